#include "data/schema.h"

#include "data/error.h"
#include "data/salefields.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"
#include "data/tablefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QUuid>

namespace kestrova {

const FieldDef* TableDef::field(const QString& fieldName) const
{
    for (const FieldDef& f : fields)
        if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

namespace {

FieldDef text(const char* name, int length)
{
    return {QString::fromLatin1(name), FieldKind::Text, length};
}
FieldDef number(const char* name)
{
    return {QString::fromLatin1(name), FieldKind::Number, 0};
}
FieldDef text(const QString& name, int length)
{
    return {name, FieldKind::Text, length};
}
FieldDef number(const QString& name)
{
    return {name, FieldKind::Number, 0};
}
FieldDef integer(const QString& name)
{
    return {name, FieldKind::Integer, 0};
}
FieldDef date(const QString& name)
{
    return {name, FieldKind::Date, 0};
}

QStringList names(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* s : list)
        out << QString::fromLatin1(s);
    return out;
}

std::vector<TableDef> buildSchema()
{
    // Lengths are those the windows and the intake apply; where none is
    // given, one generous enough for the values the program handles.
    const int productLen = 32, originLen = 32, addressLen = 511;
    std::vector<TableDef> t;
    t.push_back({QStringLiteral("Xsale"),
                 {date(sale::OrderDate),
                  text(sale::Person, 32),
                  text(sale::Title, 8),
                  text(sale::Company, 48),
                  text(sale::Address, addressLen),
                  text(sale::FaxOrEMail, 40),
                  text(sale::Product, productLen),
                  text(sale::Language, 2),
                  text(sale::Licensee, 64),
                  text(sale::Origin, originLen),
                  text(sale::Reference, 32),
                  integer(sale::NumberOfLicenses),
                  text(sale::Currency, 3),
                  text(sale::PaymentMeans, 8),
                  date(sale::PaymentDate),
                  text(sale::InvoiceNumber, 16),
                  number(sale::NetAmount),
                  number(sale::Tax),
                  text(sale::DeliveryCompany, 48),
                  text(sale::DeliveryTitle, 8),
                  text(sale::DeliveryPerson, 32),
                  text(sale::DeliveryAddress, addressLen),
                  text(sale::DeliveryFaxOrEMail, 40)},
                 {},
                 QStringList{sale::Person, sale::OrderDate, sale::PaymentDate}});
    t.push_back({QStringLiteral("Xproduct"), {text("Product", productLen)}, names({"Product"}), {}});
    t.push_back({QStringLiteral("Xlanguage"), {text("Language", 2)}, names({"Language"}), {}});
    t.push_back({QStringLiteral("Xprice"),
                 {text("Product", productLen), text("Currency", 3), number("NetAmount"), number("Tax")},
                 names({"Product", "Currency"}),
                 {}});
    t.push_back({QStringLiteral("Xtitle"), {text("Title", 8), text("Politeness", 64)}, names({"Title"}), {}});
    t.push_back({QStringLiteral("Xcurrency"), {text("Currency", 3)}, names({"Currency"}), {}});
    t.push_back({QStringLiteral("Xpayment"), {text("PaymentMeans", 8)}, names({"PaymentMeans"}), {}});
    t.push_back({QStringLiteral("Xorigin"), {text("Origin", originLen)}, names({"Origin"}), {}});
    t.push_back(
        {QStringLiteral("Xemail"),
         {text("Origin", originLen), text("ProductId", 8), text("Product", productLen), text("EmailFunction", 32)},
         names({"Origin", "ProductId"}),
         {}});
    t.push_back({QStringLiteral("Xfactory"),
                 {text("Product", productLen), text("Language", 2), text("Labels", 128), text("Envelope", 128),
                  text("Mail", 128), text("Mailing", 128), text("Invoice", 128), text("Batch", 128)},
                 names({"Product", "Language"}),
                 {}});
    t.push_back({QStringLiteral("Xtable"), {text("Name", 32), text("Value", 255)}, names({"Name"}), {}});
    t.push_back(
        {QStringLiteral("Xdistributor"),
         {text("Company", 48), text("Language", 2), text("Title", 8), text("Person", 32), text("Address", addressLen),
          text("Telephone", 20), text("Fax", 20), text("EMail", 32), text("Licensee", 32)},
         {},
         {}});
    TableDef exportTable{QStringLiteral("Xexport"), {}, {}, {}};
    for (const char* f : {"Person",
                          "Name",
                          "Title",
                          "Politeness",
                          "Company",
                          "Address",
                          "FaxOrEMail",
                          "Date",
                          "Product",
                          "Language",
                          "Licensee",
                          "Reference",
                          "NumberOfLicenses",
                          "Currency",
                          "PaymentMeans",
                          "PaymentDate",
                          "InvoiceNumber",
                          "NetAmount",
                          "Tax",
                          "Total",
                          "DeliveryPerson",
                          "DeliveryName",
                          "DeliveryTitle",
                          "DeliveryPoliteness",
                          "DeliveryCompany",
                          "DeliveryAddress",
                          "DeliveryFaxOrEMail"}) {
        const bool isAddress = QByteArray(f).endsWith("Address");
        exportTable.fields.push_back(text(f, isAddress ? addressLen : 255));
    }
    t.push_back(exportTable);
    return t;
}

QString columnSql(const FieldDef& f)
{
    switch (f.kind) {
    case FieldKind::Text: return QStringLiteral("\"%1\" VARCHAR(%2) NOT NULL DEFAULT ''").arg(f.name).arg(f.length);
    case FieldKind::Number: return QStringLiteral("\"%1\" REAL").arg(f.name);
    case FieldKind::Integer: return QStringLiteral("\"%1\" INTEGER").arg(f.name);
    case FieldKind::Date: return QStringLiteral("\"%1\" DATE").arg(f.name);
    }
    return {};
}

} // namespace

const std::vector<TableDef>& schemaTables()
{
    static const std::vector<TableDef> tables = buildSchema();
    return tables;
}

const TableDef* schemaTable(const QString& name)
{
    for (const TableDef& t : schemaTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const TableDef& saleTable()
{
    static const TableDef& table = *schemaTable(QStringLiteral("Xsale"));
    return table;
}

const QStringList& saleFieldNames()
{
    static const QStringList list = [] {
        QStringList out;
        for (const FieldDef& f : saleTable().fields)
            out << f.name;
        return out;
    }();
    return list;
}

const QStringList& settingNames()
{
    static const QStringList list =
        names({"CommandLine", "DdeService", "DdeTopic", "LastDdeMacro", "Profile", "Password", "MessageStore",
               "SaveFolder", "InvoiceFunction", "LastInvoiceNumber"});
    return list;
}

QStringList createStatements(const TableDef& table)
{
    QStringList cols;
    for (const FieldDef& f : table.fields)
        cols << columnSql(f);
    if (!table.key.isEmpty()) {
        QStringList quoted;
        for (const QString& k : table.key)
            quoted << QLatin1Char('"') + k + QLatin1Char('"');
        cols << QStringLiteral("PRIMARY KEY (%1)").arg(quoted.join(QStringLiteral(", ")));
    }
    QStringList out;
    out << QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(table.name, cols.join(QStringLiteral(", ")));
    for (const QString& idx : table.indexes)
        out << QStringLiteral("CREATE INDEX \"%1_%2\" ON \"%1\" (\"%2\")").arg(table.name, idx);
    return out;
}

namespace {

// Runs statements on a new file inside one transaction; the file is removed
// again when anything fails, so no half-made table is left behind.
void writeNewFile(const QString& path, const QStringList& statements, const QList<QStringList>& rows = {},
                  const QString& insertSql = {})
{
    if (QFileInfo::exists(path))
        throw Error(QCoreApplication::translate("data::Schema", "Table file %1 already exists").arg(path));
    const QString conn = QStringLiteral("kestrova-create-") + QUuid::createUuid().toString();
    QString failure = openConnection(conn, path, QString());
    if (failure.isEmpty()) {
        try {
            sqlite3* db = sqliteHandle(QSqlDatabase::database(conn, false));
            Transaction transaction(db);
            for (const QString& sql : statements)
                SqlStatement::exec(db, sql);
            if (!insertSql.isEmpty()) {
                SqlStatement insert(db, insertSql);
                for (const QStringList& row : rows) {
                    StatementRun run{insert};
                    for (int i = 0; i < row.size(); ++i)
                        insert.bind(i, row.at(i).isNull() ? QString(QLatin1String("")) : row.at(i));
                    insert.run();
                }
            }
            transaction.commit();
        } catch (const Error& e) {
            failure = e.message();
        }
        closeConnection(conn);
    }
    if (!failure.isEmpty()) {
        QFile::remove(path);
        throw Error(QCoreApplication::translate("data::Schema", "Cannot create %1: %2").arg(path, failure));
    }
}

} // namespace

void createTableFile(const QString& dir, const TableDef& table)
{
    writeNewFile(QDir(dir).filePath(table.fileName()), createStatements(table));
}

void createEmptyTableSet(const QString& dir)
{
    if (!QDir().mkpath(dir))
        throw Error(QCoreApplication::translate("data::Schema", "Cannot create the folder %1").arg(dir));
    for (const TableDef& t : schemaTables()) {
        if (QFileInfo::exists(QDir(dir).filePath(t.fileName())))
            throw Error(QCoreApplication::translate("data::Schema", "Table file %1 already exists")
                            .arg(QDir(dir).filePath(t.fileName())));
    }
    // All or nothing: a set missing some of its files would not open.
    QStringList made;
    try {
        for (const TableDef& t : schemaTables()) {
            const QString path = QDir(dir).filePath(t.fileName());
            if (t.name == QLatin1String("Xtable")) {
                QList<QStringList> rows;
                for (const QString& n : settingNames())
                    rows << QStringList{n, QString()};
                writeNewFile(path, createStatements(t), rows,
                             QStringLiteral("INSERT INTO Xtable (Name, Value) VALUES (?, ?)"));
            } else {
                createTableFile(dir, t);
            }
            made << path;
        }
    } catch (...) {
        for (const QString& path : made)
            QFile::remove(path);
        throw;
    }
}

bool folderHasNoTables(const QString& dir)
{
    for (const TableDef& t : schemaTables())
        if (QFileInfo::exists(QDir(dir).filePath(t.fileName())))
            return false;
    return true;
}

} // namespace kestrova
