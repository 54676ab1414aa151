#include "tools/ordergenerator.h"

#include "data/error.h"
#include "data/schema.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace kestrova {
namespace {

// ---------------------------------------------------------------------------
// What the orders are made of: the products, prices, origins, means of
// payment and distributors of the demo set (samples/demo/demo.sql), so that
// generated orders fit the lists of a folder made with it.

QString u8(const char* s)
{
    return QString::fromUtf8(s);
}

const char* const kProducts[] = {"Tidewater Ledger", "Quillmark Pro", "Lumen Sketchbook", "Cinderpath Sync"};
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
    {0, "EUR", 49.0, 9.31}, {0, "USD", 54.0, 0.0}, {0, "GBP", 42.0, 8.4},  {1, "EUR", 19.9, 3.78},
    {1, "USD", 21.9, 0.0},  {1, "GBP", 17.5, 3.5}, {2, "EUR", 29.0, 5.51}, {2, "USD", 32.0, 0.0},
    {3, "EUR", 12.5, 2.38}, {3, "USD", 14.0, 0.0},
};

const Price* findPrice(int product, const char* currency)
{
    for (const Price& p : kPrices)
        if (p.product == product && qstrcmp(p.currency, currency) == 0)
            return &p;
    return nullptr;
}

const char* const kPayments[] = {"Card", "Transfer", "Cheque", "PayLink"};

enum Origin { Direct, WebShop, PayPoint, Reseller };
const char* const kOrigins[] = {"Direct", "WebShop", "PayPoint", "Reseller"};

struct Distributor {
    const char* company;
    const char* title;
    const char* person;
    const char* address;
    const char* email;
    const char* refPrefix; // how their purchase orders are numbered
};

// Two English distributors, then two German ones.
const Distributor kDistributors[] = {
    {"Brightwater Software Supply Ltd", "Mr", "Graham Pell", "Unit 4, Riverside Park\nReading RG1 8DN\nUnited Kingdom",
     "g.pell@example.com", "BSS"},
    {"Keystone Apps Distribution Inc.", "Ms", "Laura Fitch", "300 Pine Street, Floor 6\nSeattle, WA 98101\nUSA",
     "laura.fitch@example.org", "KAD"},
    {"Softwarehaus Brenner GmbH", "Herr", "Ulrich Brenner", "Schillerstraße 40\n80336 München\nDeutschland",
     "u.brenner@example.com", "SWB"},
    {"Nordlicht Vertrieb KG", "Frau", "Heike Sommer", "Speicherstadt 6\n20457 Hamburg\nDeutschland",
     "h.sommer@example.org", "NLV"},
};

// ---------------------------------------------------------------------------
// Writing.

double money(double v)
{
    return std::round(v * 100.0) / 100.0;
}

QVariant nullNumber()
{
    return QVariant(QMetaType::fromType<double>());
}

// Untyped: an empty date is stored as NULL, never as ''.
QVariant nullDate()
{
    return QVariant();
}

// The columns of the order table, in the order of the schema.
enum SaleColumn {
    cOrderDate,
    cPerson,
    cTitle,
    cCompany,
    cAddress,
    cFaxOrEMail,
    cProduct,
    cLanguage,
    cLicensee,
    cOrigin,
    cReference,
    cLicences,
    cCurrency,
    cPaymentMeans,
    cPaymentDate,
    cInvoiceNumber,
    cNetAmount,
    cTax,
    cDeliveryCompany,
    cDeliveryTitle,
    cDeliveryPerson,
    cDeliveryAddress,
    cDeliveryFaxOrEMail,
    cSaleColumnCount
};

const TableDef& generatedTable()
{
    const TableDef& def = kestrova::saleTable();
    if (def.fields.size() != cSaleColumnCount)
        throw Error(QStringLiteral("The order table has not the columns the generator writes"));
    return def;
}

// Opens an existing table file, runs work inside one transaction and commits.
// The file must exist: opening a missing one would make an empty database.
void inTransaction(const QString& path, const std::function<void(SqlConnection&)>& work)
{
    if (!QFileInfo::exists(path))
        throw Error(QStringLiteral("Table file %1 does not exist").arg(path));
    try {
        SqlConnection db(path, SqlConnection::Mode::ReadWrite);
        Transaction transaction(db.handle());
        work(db);
        transaction.commit();
    } catch (const Error& e) {
        throw Error(QStringLiteral("Cannot write %1: %2").arg(path, e.message()));
    }
}

QString invoiceNumber(int year, int counter, int digits)
{
    return QStringLiteral("%1-%2").arg(year).arg(counter, digits, 10, QLatin1Char('0'));
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
         parts({"James", "Oliver", "Daniel", "Samuel", "Thomas",  "Michael", "Ethan",  "Lucas", "Henry",  "George",
                "Adam",  "Ryan",   "Nathan", "Connor", "Patrick", "Simon",   "Andrew", "Peter", "Martin", "Robert"}),
         parts({"Emma",  "Olivia", "Sophie",  "Grace",  "Hannah", "Lucy",  "Chloe", "Emily", "Rachel",  "Laura",
                "Megan", "Alice",  "Rebecca", "Claire", "Fiona",  "Helen", "Julia", "Karen", "Natalie", "Zoe"}),
         parts({"Ash",   "Black", "Brad", "Brook", "Cald", "Clay",  "Crom", "Dun",   "Elm",  "Fair",
                "Gold",  "Green", "Hal",  "Hart",  "Holt", "Kings", "Lang", "Marsh", "Mill", "Moor",
                "North", "Oak",   "Pem",  "Red",   "Ride", "Shel",  "Stan", "Thorn", "Whit", "Wood"}),
         parts({"ford", "well",  "by",    "ton",  "ley",   "wick", "field", "man",   "worth", "more",
                "gate", "hurst", "croft", "dale", "stead", "wood", "bury",  "combe", "ham",   "ridge"}),
         strings({"Ltd", "& Co.", "Consulting", "Software LLC", "Design", "Associates"}),
         strings({"High Street", "Station Road", "Church Lane", "Mill Road", "Park Avenue", "Maple Drive", "Oak Street",
                  "Victoria Road", "Queen Street", "Lake View"}),
         strings({"Bristol BS1 4DJ\nUnited Kingdom", "Manchester M1 2AB\nUnited Kingdom", "Boston, MA 02110\nUSA",
                  "Denver, CO 80202\nUSA", "Cardiff CF10 1EP\nUnited Kingdom", "Chicago, IL 60601\nUSA",
                  "Edinburgh EH1 1YZ\nUnited Kingdom", "Toronto, ON M5V 2T6\nCanada"}),
         QStringLiteral("Mr"), QStringLiteral("Mrs"), QStringLiteral("Ms"), true});
    sets.push_back(
        {QStringLiteral("DE"),
         parts({"Lukas", "Jonas", "Felix", "Maximilian", "Tobias", "Florian", "Stefan", "Andreas", "Markus", "Jürgen",
                "Matthias", "Christian", "Sebastian", "Ralf", "Uwe"}),
         parts({"Anna", "Lena", "Katharina", "Sabine", "Petra", "Monika", "Birgit", "Jana", "Franziska", "Miriam",
                "Ute", "Heike", "Sandra", "Carolin", "Anja"}),
         parts({"Alt",   "Baum",  "Berg",  "Brand", "Eich", "Falk", "Fried", "Gold", "Hagen",
                "Hart",  "Hoh",   "Kirch", "Lang",  "Lind", "Mohr", "Neu",   "Ost",  "Rosen",
                "Schön", "Stein", "Stock", "Wald",  "Wein", "Wies", "Zimmer"}),
         parts({"mann", "berger", "hof", "feld", "hausen", "bach", "ner", "er", "meier", "brück", "ling", "stedt",
                "ecker", "huber", "wald", "dorf"}),
         strings({"GmbH", "KG", "& Partner", "Beratung", "Software GmbH", "Handel"}),
         strings({"Hauptstraße", "Bahnhofstraße", "Schulweg", "Lindenallee", "Gartenstraße", "Bergstraße", "Marktplatz",
                  "Am Anger", "Rosenweg", "Kirchgasse"}),
         strings({"10115 Berlin\nDeutschland", "50667 Köln\nDeutschland", "60311 Frankfurt am Main\nDeutschland",
                  "01067 Dresden\nDeutschland", "90402 Nürnberg\nDeutschland", "8001 Zürich\nSchweiz",
                  "5020 Salzburg\nÖsterreich", "30159 Hannover\nDeutschland"}),
         QStringLiteral("Herr"), QStringLiteral("Frau"), QStringLiteral("Frau"), false});
    sets.push_back(
        {QStringLiteral("FR"),
         parts({"Julien", "Antoine", "Nicolas", "Mathieu", "Pierre", "Étienne", "Hugo", "Louis", "Théo", "Rémi"}),
         parts({"Camille", "Manon", "Léa", "Chloé", "Élise", "Margaux", "Inès", "Aurélie", "Juliette", "Noémie"}),
         parts({"Beau", "Bel",   "Bon",   "Chastel", "Dela",  "Du",  "Font",  "Grand", "Lafon", "Le",
                "Mont", "Morel", "Petit", "Roche",   "Saint", "Val", "Ville", "Bois",  "Mar",   "Cour"}),
         parts({"champ", "fort", "mont", "lieu", "ville", "rive", "court", "noir", "pré", "val", "bois", "lac"}),
         strings({"SARL", "SAS", "Conseil", "& Associés", "Informatique", "Éditions"}),
         strings({"rue de la République", "avenue Jean Jaurès", "rue Victor Hugo", "boulevard Gambetta",
                  "place de la Mairie", "rue des Lilas", "chemin des Vignes", "rue du Moulin"}),
         strings({"75011 Paris\nFrance", "13001 Marseille\nFrance", "31000 Toulouse\nFrance",
                  "67000 Strasbourg\nFrance", "06000 Nice\nFrance", "35000 Rennes\nFrance", "4000 Liège\nBelgique",
                  "1003 Lausanne\nSuisse"}),
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
        p.company = surname + QLatin1Char(' ') + s.companySuffix[(h >> 45) % s.companySuffix.size()];
    const QString house = QString::number(h2 % 180 + 1);
    const QString& street = s.streets[(h2 >> 8) % s.streets.size()];
    const QString line = s.numberFirst ? house + QLatin1Char(' ') + street : street + QLatin1Char(' ') + house;
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
        for (const FieldDef& f : generatedTable().fields)
            m_lengths.push_back(f.kind == FieldKind::Text ? f.length : 0);
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
        for (const char* p : kProducts)
            m_products.push_back(u8(p));
        for (const char* o : kOrigins)
            m_origins.push_back(u8(o));
        for (const char* p : kPayments)
            m_payments.push_back(u8(p));
    }

    // Writes the values of order i (of count), in the order of the columns.
    void fill(qint64 i, QVariant* v)
    {
        const qint64 day = m_count > 1 ? i * m_span / (m_count - 1) : m_span;
        const Person p = makePerson(m_sets, m_rng.bounded(m_persons), m_seed);
        const NameSet& s = m_sets[p.set];
        const int product = int(m_rng.bounded(kProductCount));
        const quint32 roll = m_rng.bounded(100u);
        const Origin origin = roll < 5 ? Reseller : roll < 45 ? Direct : roll < 80 ? WebShop : PayPoint;
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
        for (int k : {cReference, cCurrency, cPaymentMeans, cInvoiceNumber, cDeliveryCompany, cDeliveryTitle,
                      cDeliveryPerson, cDeliveryAddress, cDeliveryFaxOrEMail})
            v[k] = m_empty;
        v[cPaymentDate] = nullDate();
        v[cNetAmount] = nullNumber();
        v[cTax] = nullNumber();

        if (origin == Reseller) {
            // Distributors serve their own language; French customers buy
            // from any of them.
            const int d = p.set == 2 ? int(m_rng.bounded(4u)) : p.set * 2 + int(m_rng.bounded(2u));
            const Distributor& dist = kDistributors[d];
            v[cReference] = u8(dist.refPrefix) + QLatin1Char('-') + QString::number(m_rng.bounded(100000u));
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
                v[cDeliveryCompany] = company.isEmpty() ? m_empty : company.left(m_lengths[cDeliveryCompany]);
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
    const QString m_usd = QStringLiteral("USD"), m_eur = QStringLiteral("EUR"), m_gbp = QStringLiteral("GBP");
    int m_year = 0;
    int m_invoiceCounter = 0;
};

} // namespace

void appendGeneratedOrders(const QString& dir, qint64 count, quint32 seed)
{
    if (count < 0)
        throw Error(QStringLiteral("The number of orders cannot be negative"));
    OrderGenerator gen(count, seed);
    QStringList cols;
    for (const FieldDef& f : generatedTable().fields)
        cols << quoted(f.name);
    const QString sql = QStringLiteral("INSERT INTO Xsale (%1) VALUES %2")
                            .arg(cols.join(QStringLiteral(", ")), placeholders(cSaleColumnCount));

    inTransaction(QDir(dir).filePath(generatedTable().fileName()), [&](SqlConnection& db) {
        db.exec(QStringLiteral("PRAGMA cache_size = -131072"));

        // For a large load the indexes are dropped and made again at the
        // end: sorting once is much faster than a million random inserts.
        QStringList indexSql, indexNames;
        // Each read is finished before the next statement: a pending one
        // would lock the table against dropping its indexes.
        qint64 existing = 0;
        {
            SqlStatement countRows(db.handle(), QStringLiteral("SELECT count(*) FROM Xsale"));
            if (countRows.step())
                existing = countRows.value(0).toLongLong();
        }
        if (count >= 50000 && 3 * count >= existing) {
            {
                SqlStatement indexes(db.handle(), QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = "
                                                                 "'index' AND tbl_name = 'Xsale' AND sql IS NOT NULL"));
                while (indexes.step()) {
                    indexNames << indexes.value(0).toString();
                    indexSql << indexes.value(1).toString();
                }
            }
            for (const QString& name : indexNames)
                db.exec(QStringLiteral("DROP INDEX %1").arg(quoted(name)));
        }

        SqlStatement insert(db.handle(), sql);
        QVariant values[cSaleColumnCount];
        for (qint64 i = 0; i < count; ++i) {
            gen.fill(i, values);
            StatementRun run(insert);
            for (int k = 0; k < cSaleColumnCount; ++k)
                insert.bind(k, values[k]);
            insert.run();
        }

        for (const QString& indexStatement : indexSql)
            db.exec(indexStatement);
    });
}

} // namespace kestrova
