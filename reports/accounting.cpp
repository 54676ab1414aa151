#include "reports/accounting.h"

namespace kestrova {

QString AccountingBoard::queryName(Sum s)
{
    static const char* const names[Count] = {"QSalesWithTaxes", "QSalesWithoutTaxes", "QIndirectSales", "QTotalSales",
                                             "QGrandTotal"};
    return QString::fromLatin1(names[s]);
}

AccountingBoard::AccountingBoard(const QString& workDir, const LocaleFormat& fmt, QObject* parent) : m_fmt(fmt)
{
    const QStringList texts[Count] = {
        {QStringLiteral("Select Currency, Sum(NetAmount), Sum(Tax), Sum(NumberOfLicenses)"),
         QStringLiteral("From Xsale.db"), QStringLiteral("Where (:datei <= PaymentDate and PaymentDate <= :datef) and"),
         QStringLiteral("(Tax IS NOT NULL and Tax <> 0)"), QStringLiteral("Group By Currency;")},
        {QStringLiteral("Select Currency,Sum(NetAmount),Sum(NumberOfLicenses) From Xsale.db"),
         QStringLiteral("Where (:datei <= PaymentDate and PaymentDate <= :datef) and"),
         QStringLiteral("(Tax IS NULL or Tax = 0)"), QStringLiteral("Group By Currency;")},
        {QStringLiteral("Select Origin, SUM(NumberOfLicenses) from Xsale.db"),
         QStringLiteral("Where (:datei <= OrderDate and OrderDate <= :datef) and"),
         QStringLiteral("(NetAmount IS NULL or NetAmount = 0)"), QStringLiteral("Group By Origin;")},
        {QStringLiteral("Select Product, SUM(NumberOfLicenses) from Xsale.db"), QStringLiteral("Where"),
         QStringLiteral("(:datei <= PaymentDate and PaymentDate <= :datef) or"),
         QStringLiteral("((:datei <= OrderDate and OrderDate <= :datef) and"),
         QStringLiteral("(NetAmount IS NULL or NetAmount = 0))"), QStringLiteral("Group By Product;")},
        {QStringLiteral("Select Product, SUM(NumberOfLicenses) from Xsale.db"),
         QStringLiteral("Where (PaymentDate IS NOT NULL) or (NetAmount IS NULL or NetAmount = 0)"),
         QStringLiteral("Group By Product;")},
    };
    for (int s = 0; s < Count; ++s) {
        auto* q = new Query(parent);
        q->setObjectName(queryName(Sum(s)));
        q->setDirectory(workDir);
        q->setLocaleFormat(fmt);
        q->setSql(texts[s]);
        m_queries[s] = q;
    }
}

void AccountingBoard::setPeriod(const QString& initialDate, const QString& finalDate, const QDate& today)
{
    // Each query reads both texts anew, the first before the last, so the
    // first text that is not a date is the one reported.
    for (Sum s : {SalesWithTaxes, SalesWithoutTaxes, IndirectSales, TotalSales}) {
        const QDate first = toDate(initialDate, m_fmt, today);
        const QDate last = toDate(finalDate, m_fmt, today);
        // Dates are stored as ISO text, so they compare as the days they are.
        m_queries[s]->setParamValue(QStringLiteral("datei"), first.toString(Qt::ISODate));
        m_queries[s]->setParamValue(QStringLiteral("datef"), last.toString(Qt::ISODate));
    }
}

void AccountingBoard::open()
{
    for (Query* q : m_queries) {
        q->close();
        q->open();
    }
}

void AccountingBoard::close()
{
    for (Query* q : m_queries)
        q->close();
}

} // namespace kestrova
