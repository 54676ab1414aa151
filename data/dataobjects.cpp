#include "data/dataobjects.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

bool folderIsWritable(const QString& workDir)
{
    if (!QFileInfo(workDir).isWritable())
        return false;
    for (const TableDef& t : schemaTables()) {
        const QFileInfo file(QDir(workDir).filePath(t.fileName()));
        if (file.exists() && !file.isWritable())
            return false;
    }
    return true;
}

Table* DataObjects::makeTable(const QString& name)
{
    auto* t = new Table(this);
    t->setObjectName(QStringLiteral("T") + name.mid(1));
    t->setDirectory(m_workDir);
    t->setTableName(name);
    t->setLocaleFormat(m_fmt);
    if (m_readOnly)
        t->setReadOnly(true);
    return t;
}

DataSource* DataObjects::makeSource(const char* name, DataSet* dataSet)
{
    auto* d = new DataSource(this);
    d->setObjectName(QString::fromLatin1(name));
    d->setDataSet(dataSet);
    return d;
}

Query* DataObjects::makeQuery(const char* name, const QStringList& lines)
{
    auto* q = new Query(this);
    q->setObjectName(QString::fromLatin1(name));
    q->setDirectory(m_workDir);
    q->setSql(lines);
    q->setLocaleFormat(m_fmt);
    return q;
}

DataObjects::DataObjects(const QString& workDir, const LocaleFormat& fmt, bool readOnly, QObject* parent)
    : QObject(parent), m_workDir(workDir), m_fmt(fmt), m_readOnly(readOnly)
{
    setObjectName(QStringLiteral("DataObjects"));
    // Created and opened in this order; the first that fails ends start-up.
    Tproduct = makeTable(QStringLiteral("Xproduct"));
    Tproduct->open();
    Dproduct = makeSource("Dproduct", Tproduct);
    Tlanguage = makeTable(QStringLiteral("Xlanguage"));
    Tlanguage->open();
    Dlanguage = makeSource("Dlanguage", Tlanguage);
    Tprice = makeTable(QStringLiteral("Xprice"));
    Tprice->open();
    Dprice = makeSource("Dprice", Tprice);
    Ttitle = makeTable(QStringLiteral("Xtitle"));
    Ttitle->open();
    Dtitle = makeSource("Dtitle", Ttitle);
    Tcurrency = makeTable(QStringLiteral("Xcurrency"));
    Tcurrency->open();
    Dcurrency = makeSource("Dcurrency", Tcurrency);
    Tpayment = makeTable(QStringLiteral("Xpayment"));
    Tpayment->open();
    Dpayment = makeSource("Dpayment", Tpayment);
    FindPersonSQL = makeQuery("FindPersonSQL",
                              {QStringLiteral("Select * from Xsale"), QStringLiteral("Where Person = :Personne;")});
    SQLSQL = makeQuery("SQLSQL", {});
    Texport = makeTable(QStringLiteral("Xexport"));
    Texport->setExclusive(true);
    Tfactory = makeTable(QStringLiteral("Xfactory"));
    Tfactory->open();
    Dfactory = makeSource("Dfactory", Tfactory);
    Ttable = makeTable(QStringLiteral("Xtable"));
    Ttable->open();
    Dtable = makeSource("Dtable", Ttable);
    Tdistributor = makeTable(QStringLiteral("Xdistributor"));
    Tdistributor->open();
    Ddistributor = makeSource("Ddistributor", Tdistributor);
    Tsale = makeTable(QStringLiteral("Xsale"));
    Dsale = makeSource("Dsale", Tsale);
    Tsale->open();
    FindUnpayedSQL =
        makeQuery("FindUnpayedSQL", {QStringLiteral("Select * from Xsale Where"),
                                     QStringLiteral("PaymentMeans = '' and"), QStringLiteral("NetAmount <> '';")});
    Torigin = makeTable(QStringLiteral("Xorigin"));
    Torigin->open();
    Dorigin = makeSource("Dorigin", Torigin);
    Temail = makeTable(QStringLiteral("Xemail"));
    Temail->open();
    Demail = makeSource("Demail", Temail);
    Qemail = makeQuery("Qemail", {QStringLiteral("Select distinct Origin, EmailFunction from Xemail;")});
    Qemail->open();
    TsaleIn = makeTable(QStringLiteral("Xsale"));
    TsaleIn->setObjectName(QStringLiteral("TsaleIn"));
    TsaleIn->setReadOnly(true);
}

} // namespace kestrova
