#include "demodata.h"

#include "error.h"
#include "schema.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <vector>

namespace kestrova {
namespace {

// ---------------------------------------------------------------------------
// Reference lists. The demo set stores them; the generator draws from them.

QString u8(const char* s)
{
    return QString::fromUtf8(s);
}

struct Product {
    const char* name;
    const char* webShopId;  // product ids the shops' notification mails carry
    const char* payPointId;
    const char* tag;        // prefix of the word-processor macros
};

const Product kProducts[] = {
    {"Tidewater Ledger", "TL-01", "1001", "TL"},
    {"Quillmark Pro", "QP-02", "1002", "QP"},
    {"Lumen Sketchbook", "LS-03", "1003", "LS"},
    {"Cinderpath Sync", "CS-04", "1004", "CS"},
};
constexpr int kProductCount = int(std::size(kProducts));

struct Price {
    int product;
    const char* currency;
    double net;
    double tax;
};

// Euro and pound prices carry VAT, dollar prices none. Only the two older
// products are sold in pounds.
const Price kPrices[] = {
    {0, "EUR", 49.0, 9.31}, {0, "USD", 54.0, 0.0}, {0, "GBP", 42.0, 8.4},
    {1, "EUR", 19.9, 3.78}, {1, "USD", 21.9, 0.0}, {1, "GBP", 17.5, 3.5},
    {2, "EUR", 29.0, 5.51}, {2, "USD", 32.0, 0.0},
    {3, "EUR", 12.5, 2.38}, {3, "USD", 14.0, 0.0},
};

const Price* findPrice(int product, const char* currency)
{
    for (const Price& p : kPrices)
        if (p.product == product && qstrcmp(p.currency, currency) == 0)
            return &p;
    return nullptr;
}

const char* const kLanguages[] = {"EN", "DE", "FR"};
const char* const kCurrencies[] = {"EUR", "USD", "GBP"};
const char* const kPayments[] = {"Card", "Transfer", "Cheque", "PayLink"};

enum Origin { Direct, WebShop, PayPoint, Reseller };
const char* const kOrigins[] = {"Direct", "WebShop", "PayPoint", "Reseller"};

struct Title {
    const char* title;
    const char* politeness;
};

const Title kTitles[] = {
    {"Mr", "Dear Mr"},      {"Mrs", "Dear Mrs"},           {"Ms", "Dear Ms"},
    {"Dr", "Dear Dr"},      {"Herr", "Sehr geehrter Herr"}, {"Frau", "Sehr geehrte Frau"},
    {"M.", "Cher Monsieur"}, {"Mme", "Chère Madame"},
};

struct Contact {
    const char* title;
    const char* person;
    const char* company;
    const char* address;
    const char* email;
};

struct Distributor {
    const char* company;
    const char* language;
    const char* title;
    const char* person;
    const char* address;
    const char* telephone;
    const char* fax;
    const char* email;
    const char* licensee;
    const char* refPrefix; // how their purchase orders are numbered
};

const Distributor kDistributors[] = {
    {"Brightwater Software Supply Ltd", "EN", "Mr", "Graham Pell",
     "Unit 4, Riverside Park\nReading RG1 8DN\nUnited Kingdom", "+44 118 496 0710",
     "+44 118 496 0711", "g.pell@example.com", "Brightwater Software Supply", "BSS"},
    {"Keystone Apps Distribution Inc.", "EN", "Ms", "Laura Fitch",
     "300 Pine Street, Floor 6\nSeattle, WA 98101\nUSA", "+1 206 555 0143", "+1 206 555 0144",
     "laura.fitch@example.org", "Keystone Apps Distribution", "KAD"},
    {"Softwarehaus Brenner GmbH", "DE", "Herr", "Ulrich Brenner",
     "Schillerstraße 40\n80336 München\nDeutschland", "+49 89 5550 2210", "+49 89 5550 2211",
     "u.brenner@example.com", "Softwarehaus Brenner GmbH", "SWB"},
    {"Nordlicht Vertrieb KG", "DE", "Frau", "Heike Sommer",
     "Speicherstadt 6\n20457 Hamburg\nDeutschland", "+49 40 5550 8830", "+49 40 5550 8831",
     "h.sommer@example.org", "Nordlicht Vertrieb KG", "NLV"},
};

// ---------------------------------------------------------------------------
// The demo customers and orders.

struct Customer {
    Contact contact;
    const char* language;
    const char* currency;
    bool taxExempt; // business customer in another VAT area: invoiced net
};

const Customer kCustomers[] = {
    // English
    {{"Mr", "Owen Whitlock", "Whitlock Joinery Ltd",
      "14 Carder Lane\nNorwich NR2 4QT\nUnited Kingdom", "o.whitlock@example.com"},
     "EN", "GBP", false},
    {{"Ms", "Priya Ramanathan", "",
      "2208 Alder Court, Apt 5\nMadison, WI 53703\nUSA", "priya.r@example.org"},
     "EN", "USD", false},
    {{"Dr", "Helen Marsh", "Marsh Veterinary Practice",
      "7 Quarry Road\nBath BA1 5LX\nUnited Kingdom", "helen.marsh@example.com"},
     "EN", "GBP", false},
    {{"Mr", "Daniel Okafor", "Brightfold Studio LLC",
      "455 Harbor Street, Suite 210\nPortland, OR 97204\nUSA", "d.okafor@example.com"},
     "EN", "USD", false},
    {{"Mrs", "Margaret Ellery", "",
      "Rose Cottage\nLittle Haddon\nYork YO32 9PZ\nUnited Kingdom", "m.ellery@example.org"},
     "EN", "GBP", false},
    {{"Mr", "Samuel Brandt", "Northway Freight Inc.",
      "1200 Commerce Drive\nColumbus, OH 43215\nUSA", "sbrandt@example.com"},
     "EN", "USD", false},
    {{"Ms", "Aisling Byrne", "Byrne & Doyle Architects",
      "22 Merchant Quay\nDublin 8\nIreland", "aisling.byrne@example.com"},
     "EN", "EUR", true},
    {{"Dr", "Thomas Reyes", "Reyes Dental Group",
      "88 Cedar Avenue\nAustin, TX 78701\nUSA", "t.reyes@example.org"},
     "EN", "USD", false},
    {{"Mrs", "Janet Holloway", "",
      "3 Linden Gardens\nLeeds LS6 2HB\nUnited Kingdom", "janet.holloway@example.com"},
     "EN", "GBP", false},
    {{"Mr", "Kevin Tran", "Tranquil Software Co.",
      "919 Market Street\nSan Francisco, CA 94103\nUSA", "kevin.tran@example.com"},
     "EN", "USD", false},
    // German
    {{"Herr", "Jürgen Albrecht", "Albrecht Steuerberatung",
      "Lindenstraße 12\n20095 Hamburg\nDeutschland", "albrecht@example.com"},
     "DE", "EUR", false},
    {{"Frau", "Sabine Köhler", "",
      "Am Mühlbach 4\n79098 Freiburg\nDeutschland", "sabine.koehler@example.org"},
     "DE", "EUR", false},
    {{"Herr", "Matthias Engel", "Engel Metallbau GmbH",
      "Industriestraße 31\n70565 Stuttgart\nDeutschland", "m.engel@example.com"},
     "DE", "EUR", false},
    {{"Frau", "Katrin Vogt", "Praxis Vogt",
      "Bahnhofplatz 2\n6003 Luzern\nSchweiz", "praxis.vogt@example.org"},
     "DE", "EUR", true},
    {{"Herr", "Stefan Lorenz", "",
      "Gartenweg 9\n04109 Leipzig\nDeutschland", "stefan.lorenz@example.com"},
     "DE", "EUR", false},
    {{"Frau", "Andrea Hoffmann", "Hoffmann & Partner",
      "Kärntner Ring 18\n1010 Wien\nÖsterreich", "a.hoffmann@example.org"},
     "DE", "EUR", true},
    {{"Herr", "Tobias Wendt", "Wendt Elektrotechnik",
      "Hafenstraße 77\n28217 Bremen\nDeutschland", "t.wendt@example.com"},
     "DE", "EUR", false},
    // French
    {{"M.", "Julien Marchand", "Atelier Marchand",
      "14 rue des Tanneurs\n69002 Lyon\nFrance", "julien.marchand@example.com"},
     "FR", "EUR", false},
    {{"Mme", "Claire Dubois", "",
      "5 avenue Foch\n33000 Bordeaux\nFrance", "claire.dubois@example.org"},
     "FR", "EUR", false},
    {{"M.", "Antoine Lefèvre", "Lefèvre Conseil SARL",
      "27 boulevard Carnot\n59000 Lille\nFrance", "a.lefevre@example.com"},
     "FR", "EUR", false},
    {{"Mme", "Sophie Garnier", "Cabinet Garnier",
      "3 place du Marché\n1204 Genève\nSuisse", "s.garnier@example.org"},
     "FR", "EUR", true},
    {{"M.", "Luc Moreau", "",
      "11 rue Pasteur\n44000 Nantes\nFrance", "luc.moreau@example.com"},
     "FR", "EUR", false},
    {{"Mme", "Élodie Renaud", "Renaud Traductions",
      "8 quai de la Fosse\n1000 Bruxelles\nBelgique", "elodie.renaud@example.org"},
     "FR", "EUR", true},
};

// Delivery contacts of the orders shipped somewhere other than the billing address.
const Contact kDeliveries[] = {
    {"Ms", "Renee Castillo", "Brightfold Studio LLC",
     "Remote office\n17 Birch Hollow Road\nBend, OR 97701\nUSA", "r.castillo@example.com"},
    {"M.", "Paul Favre", "Cabinet Garnier Lausanne",
     "12 avenue de la Gare\n1003 Lausanne\nSuisse", "p.favre@example.org"},
    {"Frau", "Nina Albrecht", "Albrecht Steuerberatung",
     "Filiale Altona\nOttenser Hauptstraße 3\n22765 Hamburg\nDeutschland",
     "n.albrecht@example.com"},
    {"Mme", "Lucie Dubois", "",
     "19 rue Victor Hugo\n37000 Tours\nFrance", "lucie.dubois@example.org"},
    {"Mr", "Marcus Bell", "Tranquil Software Co.",
     "Accounts Payable\n919 Market Street, Floor 3\nSan Francisco, CA 94103\nUSA",
     "ap@example.com"},
};

struct DemoOrder {
    int daysAgo;
    int customer;
    int product;
    int licences;
    Origin origin;
    const char* payment; // empty: not paid yet
    int payDelay;        // days from order to payment
    int delivery;        // kDeliveries index, -1: ship to the billing address
    int distributor;     // reseller orders: kDistributors index
};

// In order-date order, oldest first.
const DemoOrder kOrders[] = {
    {728, 0, 0, 1, Direct, "Transfer", 6, -1, -1},
    {715, 10, 0, 2, Direct, "Transfer", 9, -1, -1},
    {701, 1, 1, 1, WebShop, "Card", 0, -1, -1},
    {688, 17, 2, 1, WebShop, "Card", 1, -1, -1},
    {670, 11, 1, 1, PayPoint, "PayLink", 0, -1, -1},
    {652, 3, 0, 3, Direct, "Transfer", 14, 0, -1},
    {640, 12, 0, 1, Reseller, "", 0, -1, 2},
    {623, 2, 1, 2, WebShop, "Card", 0, -1, -1},
    {605, 18, 1, 1, PayPoint, "PayLink", 2, -1, -1},
    {590, 5, 3, 5, Direct, "Cheque", 21, -1, -1},
    {571, 6, 0, 2, Direct, "Transfer", 10, -1, -1},
    {555, 13, 2, 1, Direct, "Transfer", 12, -1, -1},
    {538, 4, 1, 1, WebShop, "Card", 0, -1, -1},
    {520, 7, 0, 2, Reseller, "", 0, -1, 1},
    {503, 14, 3, 2, WebShop, "Card", 1, -1, -1},
    {486, 0, 1, 1, Direct, "Transfer", 5, -1, -1},
    {470, 20, 0, 3, Direct, "Transfer", 18, 1, -1},
    {452, 8, 1, 1, PayPoint, "PayLink", 0, -1, -1},
    {436, 15, 0, 4, Direct, "", 0, -1, -1},
    {419, 9, 3, 1, WebShop, "Card", 0, -1, -1},
    {401, 21, 1, 1, WebShop, "Card", 0, -1, -1},
    {384, 16, 0, 2, Reseller, "", 0, -1, 3},
    {366, 1, 2, 1, WebShop, "Card", 0, -1, -1},
    {349, 10, 3, 3, Direct, "Transfer", 7, 2, -1},
    {331, 22, 0, 1, Direct, "Transfer", 11, -1, -1},
    {312, 5, 0, 2, Direct, "Cheque", 25, -1, -1},
    {296, 11, 2, 1, PayPoint, "PayLink", 0, -1, -1},
    {278, 3, 1, 5, Direct, "Transfer", 9, -1, -1},
    {259, 17, 0, 1, Direct, "Transfer", 13, -1, -1},
    {241, 2, 0, 1, Reseller, "", 0, -1, 0},
    {224, 12, 1, 2, WebShop, "Card", 0, -1, -1},
    {206, 6, 3, 1, WebShop, "Card", 0, -1, -1},
    {188, 18, 2, 2, Direct, "Cheque", 16, 3, -1},
    {169, 7, 1, 1, PayPoint, "PayLink", 1, -1, -1},
    {150, 13, 0, 1, Direct, "", 0, -1, -1},
    {128, 4, 0, 1, WebShop, "Card", 0, -1, -1},
    {104, 15, 2, 2, Reseller, "", 0, -1, 3},
    {77, 9, 0, 3, Direct, "Transfer", 20, 4, -1},
    {45, 19, 3, 1, PayPoint, "PayLink", 0, -1, -1},
    {21, 14, 1, 1, Direct, "", 0, -1, -1},
    {9, 16, 0, 2, Direct, "", 0, -1, -1},
    {3, 1, 1, 2, WebShop, "Card", 0, -1, -1},
};

// ---------------------------------------------------------------------------
// Writing.

double money(double v)
{
    return std::round(v * 100.0) / 100.0;
}

// SQLite stores a null QString as NULL, which the NOT NULL text columns
// refuse; empty text is stored as ''.
QVariant text(const QString& s)
{
    return s.isNull() ? QVariant(QString::fromLatin1("")) : QVariant(s);
}

QVariant text(const char* s)
{
    return text(u8(s));
}

QVariant nullNumber()
{
    return QVariant(QMetaType::fromType<double>());
}

QVariant nullDate()
{
    return QVariant(QMetaType::fromType<QString>());
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

const TableDef& tableDef(const QString& name)
{
    const TableDef* def = schemaTable(name);
    if (!def)
        throw Error(QStringLiteral("There is no table %1").arg(name));
    return *def;
}

// Opens an existing table file, runs work inside one transaction and commits.
// The file must exist: opening a missing one would make an empty database.
void inTransaction(const QString& dir, const QString& table,
                   const std::function<void(QSqlDatabase&)>& work)
{
    const QString path = QDir(dir).filePath(tableDef(table).fileName());
    if (!QFileInfo::exists(path))
        throw Error(QStringLiteral("Table file %1 does not exist").arg(path));
    const QString conn = QStringLiteral("kestrova-demo-") + QUuid::createUuid().toString();
    QString failure;
    std::exception_ptr other;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        if (!db.open()) {
            failure = db.lastError().text();
        } else if (!db.transaction()) {
            failure = db.lastError().text();
        } else {
            try {
                work(db);
                if (!db.commit())
                    failure = db.lastError().text();
            } catch (const Error& e) {
                failure = e.message();
            } catch (...) {
                other = std::current_exception();
            }
            if (!failure.isEmpty() || other)
                db.rollback();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    if (other)
        std::rethrow_exception(other);
    if (!failure.isEmpty())
        throw Error(QStringLiteral("Cannot write %1: %2").arg(path, failure));
}

// Runs one prepared statement once per row of values.
void execRows(QSqlDatabase& db, const QString& sql, const QList<QVariantList>& rows)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw Error(q.lastError().text());
    for (const QVariantList& row : rows) {
        for (int i = 0; i < row.size(); ++i)
            q.bindValue(i, row.at(i));
        if (!q.exec())
            throw Error(q.lastError().text());
    }
}

// Inserts rows into a table after checking the values against its columns:
// a text longer than its column would be cut off by the program's windows.
void insertRows(const QString& dir, const QString& table, const QStringList& columns,
                const QList<QVariantList>& rows)
{
    const TableDef& def = tableDef(table);
    for (const QVariantList& row : rows) {
        if (row.size() != columns.size())
            throw Error(QStringLiteral("Wrong number of values for %1").arg(table));
        for (int i = 0; i < columns.size(); ++i) {
            const FieldDef* f = def.field(columns.at(i));
            if (!f)
                throw Error(QStringLiteral("%1 has no field %2").arg(table, columns.at(i)));
            if (f->kind == FieldKind::Text && row.at(i).toString().size() > f->length)
                throw Error(QStringLiteral("'%1' is too long for %2.%3")
                                .arg(row.at(i).toString(), table, f->name));
        }
    }
    QStringList cols, marks;
    for (const QString& c : columns) {
        cols << quoted(c);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(quoted(def.name), cols.join(QStringLiteral(", ")),
                                 marks.join(QStringLiteral(", ")));
    inTransaction(dir, table, [&](QSqlDatabase& db) { execRows(db, sql, rows); });
}

void insertSingleColumn(const QString& dir, const QString& table, const QString& column,
                        std::initializer_list<const char*> values)
{
    QList<QVariantList> rows;
    for (const char* v : values)
        rows << QVariantList{text(v)};
    insertRows(dir, table, {column}, rows);
}

void fillReferenceTables(const QString& dir)
{
    QList<QVariantList> rows;
    for (const Product& p : kProducts)
        rows << QVariantList{text(p.name)};
    insertRows(dir, QStringLiteral("Xproduct"), {QStringLiteral("Product")}, rows);

    insertSingleColumn(dir, QStringLiteral("Xlanguage"), QStringLiteral("Language"),
                       {kLanguages[0], kLanguages[1], kLanguages[2]});
    insertSingleColumn(dir, QStringLiteral("Xcurrency"), QStringLiteral("Currency"),
                       {kCurrencies[0], kCurrencies[1], kCurrencies[2]});
    insertSingleColumn(dir, QStringLiteral("Xpayment"), QStringLiteral("PaymentMeans"),
                       {kPayments[0], kPayments[1], kPayments[2], kPayments[3]});
    insertSingleColumn(dir, QStringLiteral("Xorigin"), QStringLiteral("Origin"),
                       {kOrigins[Direct], kOrigins[WebShop], kOrigins[PayPoint],
                        kOrigins[Reseller]});

    rows.clear();
    for (const Title& t : kTitles)
        rows << QVariantList{text(t.title), text(t.politeness)};
    insertRows(dir, QStringLiteral("Xtitle"),
               {QStringLiteral("Title"), QStringLiteral("Politeness")}, rows);

    rows.clear();
    for (const Price& p : kPrices)
        rows << QVariantList{text(kProducts[p.product].name), text(p.currency), p.net, p.tax};
    insertRows(dir, QStringLiteral("Xprice"),
               {QStringLiteral("Product"), QStringLiteral("Currency"), QStringLiteral("NetAmount"),
                QStringLiteral("Tax")},
               rows);

    // The document commands call macros of the word processor; the batch
    // command only echoes, so running it by mistake does no harm.
    rows.clear();
    for (const Product& p : kProducts) {
        for (const char* lang : kLanguages) {
            const QString suffix = u8(p.tag) + QLatin1Char('_') + u8(lang);
            auto macro = [&](const char* kind) {
                return text(QStringLiteral("[RunMacro \"%1_%2\"]").arg(u8(kind), suffix));
            };
            rows << QVariantList{text(p.name),     text(lang),        macro("Labels"),
                                 macro("Envelope"), macro("Mail"),     macro("Mailing"),
                                 macro("Invoice"),  text(QStringLiteral("echo \"%1 (%2) done\"")
                                                              .arg(u8(p.name), u8(lang)))};
        }
    }
    insertRows(dir, QStringLiteral("Xfactory"),
               {QStringLiteral("Product"), QStringLiteral("Language"), QStringLiteral("Labels"),
                QStringLiteral("Envelope"), QStringLiteral("Mail"), QStringLiteral("Mailing"),
                QStringLiteral("Invoice"), QStringLiteral("Batch")},
               rows);

    rows.clear();
    for (const Product& p : kProducts)
        rows << QVariantList{text(kOrigins[WebShop]), text(p.webShopId), text(p.name),
                             text("RecogniseWebShop")};
    for (const Product& p : kProducts)
        rows << QVariantList{text(kOrigins[PayPoint]), text(p.payPointId), text(p.name),
                             text("RecognisePayPoint")};
    insertRows(dir, QStringLiteral("Xemail"),
               {QStringLiteral("Origin"), QStringLiteral("ProductId"), QStringLiteral("Product"),
                QStringLiteral("EmailFunction")},
               rows);

    rows.clear();
    for (const Distributor& d : kDistributors)
        rows << QVariantList{text(d.company), text(d.language), text(d.title),
                             text(d.person),  text(d.address),  text(d.telephone),
                             text(d.fax),     text(d.email),    text(d.licensee)};
    insertRows(dir, QStringLiteral("Xdistributor"),
               {QStringLiteral("Company"), QStringLiteral("Language"), QStringLiteral("Title"),
                QStringLiteral("Person"), QStringLiteral("Address"), QStringLiteral("Telephone"),
                QStringLiteral("Fax"), QStringLiteral("EMail"), QStringLiteral("Licensee")},
               rows);
}

// Column order of every order row written here.
const QStringList& saleColumns()
{
    static const QStringList cols = {
        QStringLiteral("OrderDate"),       QStringLiteral("Person"),
        QStringLiteral("Title"),           QStringLiteral("Company"),
        QStringLiteral("Address"),         QStringLiteral("FaxOrEMail"),
        QStringLiteral("Product"),         QStringLiteral("Language"),
        QStringLiteral("Licensee"),        QStringLiteral("Origin"),
        QStringLiteral("Reference"),       QStringLiteral("NumberOfLicenses"),
        QStringLiteral("Currency"),        QStringLiteral("PaymentMeans"),
        QStringLiteral("PaymentDate"),     QStringLiteral("InvoiceNumber"),
        QStringLiteral("NetAmount"),       QStringLiteral("Tax"),
        QStringLiteral("DeliveryCompany"), QStringLiteral("DeliveryTitle"),
        QStringLiteral("DeliveryPerson"),  QStringLiteral("DeliveryAddress"),
        QStringLiteral("DeliveryFaxOrEMail")};
    return cols;
}

enum SaleColumn {
    cOrderDate, cPerson, cTitle, cCompany, cAddress, cFaxOrEMail, cProduct, cLanguage, cLicensee,
    cOrigin, cReference, cLicences, cCurrency, cPaymentMeans, cPaymentDate, cInvoiceNumber,
    cNetAmount, cTax, cDeliveryCompany, cDeliveryTitle, cDeliveryPerson, cDeliveryAddress,
    cDeliveryFaxOrEMail, cSaleColumnCount
};

QString invoiceNumber(int year, int counter, int digits)
{
    return QStringLiteral("%1-%2").arg(year).arg(counter, digits, 10, QLatin1Char('0'));
}

// Writes the demo orders; returns the last invoice number given.
QString fillOrders(const QString& dir, const QDate& today)
{
    QList<QVariantList> rows;
    QString lastInvoice;
    int counter = 0;
    for (int i = 0; i < int(std::size(kOrders)); ++i) {
        const DemoOrder& o = kOrders[i];
        const Customer& cu = kCustomers[o.customer];
        const Contact& c = cu.contact;
        const QDate orderDate = today.addDays(-o.daysAgo);
        QVariantList v(cSaleColumnCount);
        v[cOrderDate] = orderDate.toString(Qt::ISODate);
        v[cPerson] = text(c.person);
        v[cTitle] = text(c.title);
        v[cCompany] = text(c.company);
        v[cAddress] = text(c.address);
        v[cFaxOrEMail] = text(c.email);
        v[cProduct] = text(kProducts[o.product].name);
        v[cLanguage] = text(cu.language);
        v[cLicensee] = text(u8(c.title) + QLatin1Char(' ') + u8(c.person));
        v[cOrigin] = text(kOrigins[o.origin]);
        v[cLicences] = o.licences;
        v[cPaymentDate] = nullDate();
        for (int k : {cReference, cCurrency, cPaymentMeans, cInvoiceNumber, cDeliveryCompany,
                      cDeliveryTitle, cDeliveryPerson, cDeliveryAddress, cDeliveryFaxOrEMail})
            v[k] = text(QString());
        v[cNetAmount] = nullNumber();
        v[cTax] = nullNumber();

        const Contact* ship = o.delivery >= 0 ? &kDeliveries[o.delivery] : nullptr;
        if (o.origin == Reseller) {
            // Sold through a distributor: no amount and no invoice of ours;
            // the licence goes to the distributor, who passes it on.
            const Distributor& d = kDistributors[o.distributor];
            v[cReference] = text(QStringLiteral("%1-%2").arg(u8(d.refPrefix)).arg(4100 + 37 * i));
            v[cDeliveryCompany] = text(d.company);
            v[cDeliveryTitle] = text(d.title);
            v[cDeliveryPerson] = text(d.person);
            v[cDeliveryAddress] = text(d.address);
            v[cDeliveryFaxOrEMail] = text(d.email);
        } else {
            const Price* price = findPrice(o.product, cu.currency);
            if (!price)
                throw Error(QStringLiteral("No %1 price for %2")
                                .arg(u8(cu.currency), u8(kProducts[o.product].name)));
            v[cCurrency] = text(cu.currency);
            v[cNetAmount] = money(price->net * o.licences);
            v[cTax] = cu.taxExempt ? 0.0 : money(price->tax * o.licences);
            if (o.origin == WebShop)
                v[cReference] = text(QStringLiteral("WS-%1").arg(40117 + 53 * i));
            else if (o.origin == PayPoint)
                v[cReference] = text(QStringLiteral("PP%1").arg(880200 + 131 * i));
            else if (i % 3 == 0)
                v[cReference] = text(QStringLiteral("PO %1").arg(2300 + 7 * i));
            if (*o.payment) {
                v[cPaymentMeans] = text(o.payment);
                v[cPaymentDate] =
                    std::min(orderDate.addDays(o.payDelay), today).toString(Qt::ISODate);
            }
            lastInvoice = invoiceNumber(orderDate.year(), ++counter, 4);
            v[cInvoiceNumber] = lastInvoice;
            if (ship) {
                v[cDeliveryCompany] = text(ship->company);
                v[cDeliveryTitle] = text(ship->title);
                v[cDeliveryPerson] = text(ship->person);
                v[cDeliveryAddress] = text(ship->address);
                v[cDeliveryFaxOrEMail] = text(ship->email);
            }
        }
        rows << v;
    }
    insertRows(dir, QStringLiteral("Xsale"), saleColumns(), rows);
    return lastInvoice;
}

// The ten Xtable rows, in the order the settings editors expect them.
void fillSettings(const QString& dir, const QString& lastInvoice)
{
    const QHash<QString, QString> values = {
        {QStringLiteral("CommandLine"), QStringLiteral("kestrova-writer")},
        {QStringLiteral("DdeService"), QStringLiteral("org.kestrova.Writer")},
        {QStringLiteral("DdeTopic"), QStringLiteral("System")},
        {QStringLiteral("LastDdeMacro"), QStringLiteral("[FileExit]")},
        {QStringLiteral("Profile"), QStringLiteral("demo-mail")},
        {QStringLiteral("Password"), QString()},
        {QStringLiteral("MessageStore"), QStringLiteral("INBOX")},
        {QStringLiteral("SaveFolder"), QStringLiteral("Processed")},
        {QStringLiteral("InvoiceFunction"), QStringLiteral("NextInvoiceNumber")},
        {QStringLiteral("LastInvoiceNumber"), lastInvoice},
    };
    QList<QVariantList> rows;
    for (const QString& name : settingNames())
        rows << QVariantList{name, text(values.value(name))};
    insertRows(dir, QStringLiteral("Xtable"), {QStringLiteral("Name"), QStringLiteral("Value")},
               rows);
}

// ---------------------------------------------------------------------------
// Generated orders.

// A name part with the form it takes in an e-mail address.
struct NamePiece {
    QString shown;
    QString mail;
};

QString mailForm(const QString& s)
{
    QString folded = s.toLower();
    folded.replace(QChar(0x00DF), QStringLiteral("ss"));
    folded = folded.normalized(QString::NormalizationForm_D);
    QString out;
    for (QChar ch : folded)
        if (ch.unicode() < 128 && (ch.isLetterOrNumber() || ch == QLatin1Char('-')))
            out += ch;
    return out;
}

std::vector<NamePiece> parts(std::initializer_list<const char*> list)
{
    std::vector<NamePiece> out;
    for (const char* s : list)
        out.push_back({u8(s), mailForm(u8(s))});
    return out;
}

std::vector<QString> strings(std::initializer_list<const char*> list)
{
    std::vector<QString> out;
    for (const char* s : list)
        out.push_back(u8(s));
    return out;
}

struct NameSet {
    QString language;
    std::vector<NamePiece> male, female, surnameStart, surnameEnd;
    std::vector<QString> companySuffix, streets, cities;
    QString maleTitle, femaleTitle, femaleTitle2;
    bool numberFirst; // "12 High Street" rather than "Hauptstraße 12"
};

std::vector<NameSet> nameSets()
{
    std::vector<NameSet> sets;
    sets.push_back(
        {QStringLiteral("EN"),
         parts({"James", "Oliver", "Daniel", "Samuel", "Thomas", "Michael", "Ethan", "Lucas",
                "Henry", "George", "Adam", "Ryan", "Nathan", "Connor", "Patrick", "Simon",
                "Andrew", "Peter", "Martin", "Robert"}),
         parts({"Emma", "Olivia", "Sophie", "Grace", "Hannah", "Lucy", "Chloe", "Emily", "Rachel",
                "Laura", "Megan", "Alice", "Rebecca", "Claire", "Fiona", "Helen", "Julia", "Karen",
                "Natalie", "Zoe"}),
         parts({"Ash", "Black", "Brad", "Brook", "Cald", "Clay", "Crom", "Dun", "Elm", "Fair",
                "Gold", "Green", "Hal", "Hart", "Holt", "Kings", "Lang", "Marsh", "Mill", "Moor",
                "North", "Oak", "Pem", "Red", "Ride", "Shel", "Stan", "Thorn", "Whit", "Wood"}),
         parts({"ford", "well", "by", "ton", "ley", "wick", "field", "man", "worth", "more",
                "gate", "hurst", "croft", "dale", "stead", "wood", "bury", "combe", "ham",
                "ridge"}),
         strings({"Ltd", "& Co.", "Consulting", "Software LLC", "Design", "Associates"}),
         strings({"High Street", "Station Road", "Church Lane", "Mill Road", "Park Avenue",
                  "Maple Drive", "Oak Street", "Victoria Road", "Queen Street", "Lake View"}),
         strings({"Bristol BS1 4DJ\nUnited Kingdom", "Manchester M1 2AB\nUnited Kingdom",
                  "Boston, MA 02110\nUSA", "Denver, CO 80202\nUSA",
                  "Cardiff CF10 1EP\nUnited Kingdom", "Chicago, IL 60601\nUSA",
                  "Edinburgh EH1 1YZ\nUnited Kingdom", "Toronto, ON M5V 2T6\nCanada"}),
         QStringLiteral("Mr"), QStringLiteral("Mrs"), QStringLiteral("Ms"), true});
    sets.push_back(
        {QStringLiteral("DE"),
         parts({"Lukas", "Jonas", "Felix", "Maximilian", "Tobias", "Florian", "Stefan", "Andreas",
                "Markus", "Jürgen", "Matthias", "Christian", "Sebastian", "Ralf", "Uwe"}),
         parts({"Anna", "Lena", "Katharina", "Sabine", "Petra", "Monika", "Birgit", "Jana",
                "Franziska", "Miriam", "Ute", "Heike", "Sandra", "Carolin", "Anja"}),
         parts({"Alt", "Baum", "Berg", "Brand", "Eich", "Falk", "Fried", "Gold", "Hagen", "Hart",
                "Hoh", "Kirch", "Lang", "Lind", "Mohr", "Neu", "Ost", "Rosen", "Schön", "Stein",
                "Stock", "Wald", "Wein", "Wies", "Zimmer"}),
         parts({"mann", "berger", "hof", "feld", "hausen", "bach", "ner", "er", "meier", "brück",
                "ling", "stedt", "ecker", "huber", "wald", "dorf"}),
         strings({"GmbH", "KG", "& Partner", "Beratung", "Software GmbH", "Handel"}),
         strings({"Hauptstraße", "Bahnhofstraße", "Schulweg", "Lindenallee", "Gartenstraße",
                  "Bergstraße", "Marktplatz", "Am Anger", "Rosenweg", "Kirchgasse"}),
         strings({"10115 Berlin\nDeutschland", "50667 Köln\nDeutschland",
                  "60311 Frankfurt am Main\nDeutschland", "01067 Dresden\nDeutschland",
                  "90402 Nürnberg\nDeutschland", "8001 Zürich\nSchweiz",
                  "5020 Salzburg\nÖsterreich", "30159 Hannover\nDeutschland"}),
         QStringLiteral("Herr"), QStringLiteral("Frau"), QStringLiteral("Frau"), false});
    sets.push_back(
        {QStringLiteral("FR"),
         parts({"Julien", "Antoine", "Nicolas", "Mathieu", "Pierre", "Étienne", "Hugo", "Louis",
                "Théo", "Rémi"}),
         parts({"Camille", "Manon", "Léa", "Chloé", "Élise", "Margaux", "Inès", "Aurélie",
                "Juliette", "Noémie"}),
         parts({"Beau", "Bel", "Bon", "Chastel", "Dela", "Du", "Font", "Grand", "Lafon", "Le",
                "Mont", "Morel", "Petit", "Roche", "Saint", "Val", "Ville", "Bois", "Mar", "Cour"}),
         parts({"champ", "fort", "mont", "lieu", "ville", "rive", "court", "noir", "pré", "val",
                "bois", "lac"}),
         strings({"SARL", "SAS", "Conseil", "& Associés", "Informatique", "Éditions"}),
         strings({"rue de la République", "avenue Jean Jaurès", "rue Victor Hugo",
                  "boulevard Gambetta", "place de la Mairie", "rue des Lilas",
                  "chemin des Vignes", "rue du Moulin"}),
         strings({"75011 Paris\nFrance", "13001 Marseille\nFrance", "31000 Toulouse\nFrance",
                  "67000 Strasbourg\nFrance", "06000 Nice\nFrance", "35000 Rennes\nFrance",
                  "4000 Liège\nBelgique", "1003 Lausanne\nSuisse"}),
         QStringLiteral("M."), QStringLiteral("Mme"), QStringLiteral("Mme"), true});
    return sets;
}

// Spreads consecutive numbers over 64 bits (splitmix64 finaliser), so a
// person's attributes follow from their number alone.
quint64 mix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

struct Person {
    int set;
    QString title, name, company, address, email;
};

Person makePerson(const std::vector<NameSet>& sets, quint64 number, quint32 seed)
{
    const quint64 h = mix(number ^ (quint64(seed) << 32));
    const quint64 h2 = mix(h);
    Person p;
    const int pick = int(h % 10);
    p.set = pick < 5 ? 0 : pick < 8 ? 1 : 2; // half English, German, French
    const NameSet& s = sets[p.set];
    const bool female = (h >> 4) & 1;
    const auto& firsts = female ? s.female : s.male;
    const NamePiece& first = firsts[(h >> 5) % firsts.size()];
    const NamePiece& start = s.surnameStart[(h >> 13) % s.surnameStart.size()];
    const NamePiece& end = s.surnameEnd[(h >> 21) % s.surnameEnd.size()];
    const QString surname = start.shown + end.shown;
    p.name = first.shown;
    if ((h >> 29) % 3 == 0) // a third give a middle initial
        p.name += QLatin1Char(' ') + QChar(u'A' + int((h >> 31) % 26)) + QLatin1Char('.');
    p.name += QLatin1Char(' ') + surname;
    if ((h >> 36) % 25 == 0)
        p.title = QStringLiteral("Dr");
    else
        p.title = !female ? s.maleTitle : ((h >> 41) & 1) ? s.femaleTitle2 : s.femaleTitle;
    if ((h >> 42) % 5 < 2)
        p.company =
            surname + QLatin1Char(' ') + s.companySuffix[(h >> 45) % s.companySuffix.size()];
    const QString house = QString::number(h2 % 180 + 1);
    const QString& street = s.streets[(h2 >> 8) % s.streets.size()];
    const QString line = s.numberFirst ? house + QLatin1Char(' ') + street
                                       : street + QLatin1Char(' ') + house;
    p.address = line + QLatin1Char('\n') + s.cities[(h2 >> 16) % s.cities.size()];
    if (!p.company.isEmpty() && (h2 >> 24) % 3 == 0)
        p.address = p.company + QLatin1Char('\n') + p.address;
    p.email = first.mail + QLatin1Char('.') + start.mail + end.mail +
              (((h2 >> 28) & 1) ? QStringLiteral("@example.org") : QStringLiteral("@example.com"));
    return p;
}

// Makes the generated orders one by one, in date order.
class OrderGenerator {
public:
    OrderGenerator(qint64 count, quint32 seed)
        : m_sets(nameSets()), m_rng(seed), m_seed(seed), m_count(count),
          // About five orders per person, however many orders are made.
          m_persons(quint64(std::max<qint64>(count / 5, 20)))
    {
        const TableDef& sale = tableDef(QStringLiteral("Xsale"));
        for (const QString& c : saleColumns()) {
            const FieldDef* f = sale.field(c);
            if (!f)
                throw Error(QStringLiteral("Xsale has no field %1").arg(c));
            m_lengths.push_back(f->kind == FieldKind::Text ? f->length : 0);
        }
        // Dates run from six years back to today; the ISO texts are made
        // once per day.
        const QDate today = QDate::currentDate();
        const QDate first = today.addYears(-6);
        m_span = first.daysTo(today);
        for (qint64 d = 0; d <= m_span; ++d) {
            const QDate day = first.addDays(d);
            m_isoDays.push_back(day.toString(Qt::ISODate));
            m_years.push_back(day.year());
        }
        for (const Product& p : kProducts)
            m_products.push_back(u8(p.name));
        for (const char* o : kOrigins)
            m_origins.push_back(u8(o));
        for (const char* p : kPayments)
            m_payments.push_back(u8(p));
    }

    // Writes the values of order i (of count), in saleColumns() order.
    void fill(qint64 i, QVariant* v)
    {
        const qint64 day = m_count > 1 ? i * m_span / (m_count - 1) : m_span;
        const Person p = makePerson(m_sets, m_rng.bounded(m_persons), m_seed);
        const NameSet& s = m_sets[p.set];
        const int product = int(m_rng.bounded(kProductCount));
        const quint32 roll = m_rng.bounded(100u);
        const Origin origin = roll < 5    ? Reseller
                              : roll < 45 ? Direct
                              : roll < 80 ? WebShop
                                          : PayPoint;
        const int licences = m_rng.bounded(10u) < 6 ? 1 : 2 + int(m_rng.bounded(4u));

        v[cOrderDate] = m_isoDays[day];
        v[cPerson] = p.name.left(m_lengths[cPerson]);
        v[cTitle] = p.title;
        v[cCompany] = p.company.isEmpty() ? m_empty : p.company.left(m_lengths[cCompany]);
        v[cAddress] = p.address;
        v[cFaxOrEMail] = p.email.left(m_lengths[cFaxOrEMail]);
        v[cProduct] = m_products[product];
        v[cLanguage] = s.language;
        v[cLicensee] = (p.title + QLatin1Char(' ') + p.name).left(m_lengths[cLicensee]);
        v[cOrigin] = m_origins[origin];
        v[cLicences] = licences;
        for (int k : {cReference, cCurrency, cPaymentMeans, cInvoiceNumber,
                      cDeliveryCompany, cDeliveryTitle, cDeliveryPerson, cDeliveryAddress,
                      cDeliveryFaxOrEMail})
            v[k] = m_empty;
        v[cPaymentDate] = nullDate();
        v[cNetAmount] = nullNumber();
        v[cTax] = nullNumber();

        if (origin == Reseller) {
            // Distributors serve their own language; French customers buy
            // from any of them.
            const int d = p.set == 2 ? int(m_rng.bounded(4u)) : p.set * 2 + int(m_rng.bounded(2u));
            const Distributor& dist = kDistributors[d];
            v[cReference] =
                u8(dist.refPrefix) + QLatin1Char('-') + QString::number(m_rng.bounded(100000u));
            v[cDeliveryCompany] = u8(dist.company);
            v[cDeliveryTitle] = u8(dist.title);
            v[cDeliveryPerson] = u8(dist.person);
            v[cDeliveryAddress] = u8(dist.address);
            v[cDeliveryFaxOrEMail] = u8(dist.email);
        } else {
            // One order in ten goes out without tax: dollar sales, or
            // euro sales to businesses in another VAT area.
            const bool untaxed = m_rng.bounded(10u) == 0;
            const char* currency = "EUR";
            if (p.set == 0)
                currency = untaxed ? "USD" : findPrice(product, "GBP") ? "GBP" : "EUR";
            const Price* price = findPrice(product, currency);
            v[cCurrency] = currency[0] == 'U' ? m_usd : currency[0] == 'G' ? m_gbp : m_eur;
            v[cNetAmount] = money(price->net * licences);
            if (!untaxed)
                v[cTax] = money(price->tax * licences);
            else if (m_rng.bounded(2u))
                v[cTax] = 0.0;

            if (m_years[day] != m_year) {
                m_year = m_years[day];
                m_invoiceCounter = 0;
            }
            v[cInvoiceNumber] = invoiceNumber(m_year, ++m_invoiceCounter, 6);

            if (origin == WebShop)
                v[cReference] = QStringLiteral("WS-") + QString::number(m_rng.bounded(1000000u));
            else if (origin == PayPoint)
                v[cReference] = QStringLiteral("PP") + QString::number(m_rng.bounded(10000000u));
            else if (m_rng.bounded(4u) == 0)
                v[cReference] = QStringLiteral("PO ") + QString::number(m_rng.bounded(10000u));

            if (m_rng.bounded(10u) != 0) { // one in ten stays unpaid
                int delay;
                int means;
                if (origin == Direct) {
                    delay = 3 + int(m_rng.bounded(28u));
                    means = m_rng.bounded(5u) == 0 ? 2 : 1; // cheque or transfer
                } else {
                    delay = int(m_rng.bounded(2u));
                    means = origin == PayPoint || m_rng.bounded(4u) == 0 ? 3 : 0;
                }
                v[cPaymentMeans] = m_payments[means];
                v[cPaymentDate] = m_isoDays[std::min<qint64>(day + delay, m_span)];
            }

            if (origin == Direct && m_rng.bounded(20u) == 0) {
                // Shipped to a colleague at another address.
                const Person c = makePerson(m_sets, m_rng.bounded(m_persons), m_seed);
                const QString& company = p.company.isEmpty() ? c.company : p.company;
                v[cDeliveryCompany] =
                    company.isEmpty() ? m_empty : company.left(m_lengths[cDeliveryCompany]);
                v[cDeliveryTitle] = c.title;
                v[cDeliveryPerson] = c.name.left(m_lengths[cDeliveryPerson]);
                v[cDeliveryAddress] = c.address;
                v[cDeliveryFaxOrEMail] = c.email.left(m_lengths[cDeliveryFaxOrEMail]);
            }
        }
    }

private:
    const std::vector<NameSet> m_sets;
    QRandomGenerator m_rng;
    const quint32 m_seed;
    const qint64 m_count;
    const quint64 m_persons;
    qint64 m_span = 0;
    std::vector<int> m_lengths;
    std::vector<QString> m_isoDays;
    std::vector<int> m_years;
    std::vector<QString> m_products, m_origins, m_payments;
    const QString m_empty = QString::fromLatin1("");
    const QString m_usd = QStringLiteral("USD"), m_eur = QStringLiteral("EUR"),
                  m_gbp = QStringLiteral("GBP");
    int m_year = 0;
    int m_invoiceCounter = 0;
};

// Placeholders are named after the columns: binding by name costs the
// driver less than binding by position.
QStringList salePlaceholders()
{
    QStringList out;
    for (const QString& c : saleColumns())
        out << QLatin1Char(':') + c;
    return out;
}

} // namespace

void fillDemoData(const QString& dir)
{
    // Refuse before writing anything.
    for (const TableDef& t : schemaTables()) {
        const QString path = QDir(dir).filePath(t.fileName());
        if (QFileInfo::exists(path))
            throw Error(QStringLiteral("Table file %1 already exists").arg(path));
    }
    if (!QDir().mkpath(dir))
        throw Error(QStringLiteral("Cannot create the folder %1").arg(dir));

    // The tables are made one by one rather than as an empty set so that
    // Xtable gets its rows with the demo values in a single transaction.
    QStringList made;
    try {
        for (const TableDef& t : schemaTables()) {
            createTableFile(dir, t);
            made << QDir(dir).filePath(t.fileName());
        }
        fillReferenceTables(dir);
        fillSettings(dir, fillOrders(dir, QDate::currentDate()));
    } catch (...) {
        // The files are ours: leave no half-filled set behind.
        for (const QString& path : made)
            QFile::remove(path);
        throw;
    }
}

void appendGeneratedOrders(const QString& dir, qint64 count, quint32 seed)
{
    if (count < 0)
        throw Error(QStringLiteral("The number of orders cannot be negative"));
    OrderGenerator gen(count, seed);
    const QStringList placeholders = salePlaceholders();
    QStringList cols;
    for (const QString& c : saleColumns())
        cols << quoted(c);
    const QString sql = QStringLiteral("INSERT INTO Xsale (%1) VALUES (%2)")
                            .arg(cols.join(QStringLiteral(", ")),
                                 placeholders.join(QStringLiteral(", ")));

    inTransaction(dir, QStringLiteral("Xsale"), [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA cache_size = -131072"));

        // For a large load the indexes are dropped and made again at the
        // end: sorting once is much faster than a million random inserts.
        QStringList indexSql, indexNames;
        if (!q.exec(QStringLiteral("SELECT count(*) FROM Xsale")) || !q.next())
            throw Error(q.lastError().text());
        const qint64 existing = q.value(0).toLongLong();
        if (count >= 50000 && 3 * count >= existing) {
            if (!q.exec(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' "
                                       "AND tbl_name = 'Xsale' AND sql IS NOT NULL")))
                throw Error(q.lastError().text());
            while (q.next()) {
                indexNames << q.value(0).toString();
                indexSql << q.value(1).toString();
            }
            for (const QString& name : indexNames)
                if (!q.exec(QStringLiteral("DROP INDEX %1").arg(quoted(name))))
                    throw Error(q.lastError().text());
        }
        q.finish();

        QSqlQuery insert(db);
        if (!insert.prepare(sql))
            throw Error(insert.lastError().text());
        QVariant values[cSaleColumnCount];
        for (qint64 i = 0; i < count; ++i) {
            gen.fill(i, values);
            for (int k = 0; k < cSaleColumnCount; ++k)
                insert.bindValue(placeholders[k], values[k]);
            if (!insert.exec())
                throw Error(insert.lastError().text());
        }

        for (const QString& indexStatement : indexSql)
            if (!q.exec(indexStatement))
                throw Error(q.lastError().text());
    });
}

} // namespace kestrova
