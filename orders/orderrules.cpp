#include "orders/orderrules.h"

#include "functions/functionlibrary.h"
#include "data/salefields.h"
#include "data/settings.h"

namespace kestrova {

OrderRules::OrderRules(DataSource* sale, Table* tsale, Table* tprice, Table* ttable, const FunctionLibrary* library)
    : m_sale(sale), m_tsale(tsale), m_tprice(tprice), m_ttable(ttable), m_library(library), m_fmt(tsale->localeFormat())
{
}

DataSet* OrderRules::shown() const
{
    return m_sale->dataSet();
}

QString OrderRules::shownText(const QString& field) const
{
    // A search result may lack the field: its box then shows nothing.
    DataSet* ds = shown();
    return ds && ds->isOpen() && ds->fieldIndex(field) >= 0 ? ds->fieldText(field) : QString();
}

QString OrderRules::boxText(const QString& field) const
{
    return m_boxText ? m_boxText(field) : shownText(field);
}

void OrderRules::setTick(bool ticked)
{
    m_suppress = true;
    try {
        if (m_tick)
            m_tick(ticked);
    } catch (...) {
        m_suppress = false;
        throw;
    }
    m_suppress = false;
}

void OrderRules::appendNewOrder()
{
    m_tsale->append();
    m_tsale->setFieldText(sale::OrderDate, formatDate(m_today(), m_fmt));
    const Settings settings(m_ttable);
    const QString function = settings.read(QStringLiteral("InvoiceFunction")).value_or(QString());
    const QString last = settings.read(QStringLiteral("LastInvoiceNumber")).value_or(QString());
    if (function.isEmpty() || last.isEmpty() || !m_library)
        return;
    if (const auto number = m_library->nextInvoiceNumber(function, last))
        m_tsale->setFieldText(sale::InvoiceNumber, *number);
}

void OrderRules::postNewOrder()
{
    m_tsale->post();
}

void OrderRules::orderPosted()
{
    m_tsale->next();
    if (!m_tsale->eof()) {
        m_tsale->prior(); // not the last order: back to it, nothing to remember
        return;
    }
    const QString number = m_tsale->fieldText(sale::InvoiceNumber);
    if (!number.isEmpty())
        Settings(m_ttable).write(QStringLiteral("LastInvoiceNumber"), number);
}

bool OrderRules::isTaxed(const QString& taxText)
{
    return !taxText.isEmpty() && taxText != QLatin1String("0");
}

void OrderRules::shownOrderChanged()
{
    setTick(isTaxed(shownText(sale::Tax)));
}

bool OrderRules::priceLookup(QString* net, QString* tax)
{
    const QString product = boxText(sale::Product);
    const QString currency = boxText(sale::Currency);
    if (!m_tprice->findKey({product, currency}))
        return false;
    // The price table names its amounts as the order table does.
    *net = m_tprice->fieldText(sale::NetAmount);
    *tax = m_tprice->fieldText(sale::Tax);
    return true;
}

QString OrderRules::timesLicences(const QString& number) const
{
    const double value = toNumber(number, m_fmt);
    const double licences = toNumber(boxText(sale::NumberOfLicenses), m_fmt);
    return formatNumber(value * licences, m_fmt);
}

void OrderRules::requireOrderTable()
{
    if (!m_tsale->isOpen()) {
        shownOrderChanged(); // the tax box keeps showing the shown order
        m_tsale->edit();     // reports the closed order table
    }
}

void OrderRules::enterNetAmount()
{
    requireOrderTable();
    QString net, tax;
    if (!priceLookup(&net, &tax))
        return;
    m_tsale->edit();
    m_tsale->setFieldText(sale::NetAmount, timesLicences(net));
    setTick(tax != QLatin1String("0"));
    m_tsale->setFieldText(sale::Tax, timesLicences(tax));
}

void OrderRules::taxBoxClicked(bool ticked)
{
    if (m_suppress)
        return;
    requireOrderTable();
    if (ticked) {
        QString net, tax;
        if (!priceLookup(&net, &tax)) {
            shownOrderChanged();
            return;
        }
        m_tsale->edit();
        m_tsale->setFieldText(sale::NetAmount, timesLicences(net));
        m_tsale->setFieldText(sale::Tax, timesLicences(tax));
    } else {
        // With either amount empty there is nothing to fold: the box stays
        // as the user left it and the amounts are not touched.
        const QString net = boxText(sale::NetAmount);
        const QString tax = boxText(sale::Tax);
        if (net.isEmpty() || tax.isEmpty())
            return;
        m_tsale->edit();
        m_tsale->setFieldText(sale::NetAmount, formatNumber(toNumber(net, m_fmt) + toNumber(tax, m_fmt), m_fmt));
        m_tsale->setFieldText(sale::Tax, QStringLiteral("0"));
    }
}

void OrderRules::paymentMeansChanged(const QString& paymentMeans)
{
    DataSet* ds = shown();
    if (!ds || !ds->isOpen() || paymentMeans.isEmpty())
        return;
    if (ds->fieldIndex(sale::PaymentDate) < 0 || !boxText(sale::PaymentDate).isEmpty())
        return;
    ds->edit();
    ds->setFieldText(sale::PaymentDate, formatDate(m_today(), m_fmt));
}

QString OrderRules::proposedLicensee(const QString& title, const QString& person)
{
    return title + QLatin1Char(' ') + person;
}

} // namespace kestrova
