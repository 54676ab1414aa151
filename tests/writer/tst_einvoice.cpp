// E-invoices made from exchange records and company settings, each checked
// against the official EN 16931 schema and business rules (and the German
// XRechnung rules for XRechnung), and the refusals when data is missing.

#include "data/companyfields.h"
#include "writer/einvoice.h"
#include "writer/recordfields.h"
#include "writer/sqlitereader.h"
#include "writer/writererror.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrova;
using namespace kestrova::writer;

using Fields = QHash<QString, QString>;
Q_DECLARE_METATYPE(EInvoiceForm)

namespace {

const QString kRules = QStringLiteral(KESTROVA_EINVOICE_RULES);
const QDate kToday(2026, 3, 20);

Fields seller()
{
    using namespace company;
    return {{Name, QStringLiteral("Feldmark Software GmbH")},
            {Street, QStringLiteral("Hafenweg 3")},
            {Postcode, QStringLiteral("20457")},
            {City, QStringLiteral("Hamburg")},
            {Country, QStringLiteral("DE")},
            {VatId, QStringLiteral("DE 123 456 789")},
            {Contact, QStringLiteral("Jana Feld")},
            {Phone, QStringLiteral("+49 40 5550 1200")},
            {EMail, QStringLiteral("billing@feldmark.example")},
            {Iban, QStringLiteral("DE89 3704 0044 0532 0130 00")},
            {Bic, QStringLiteral("COBADEFFXXX")},
            {PaymentTerms, QStringLiteral("Payable within 14 days without deduction.")},
            {PaymentDays, QStringLiteral("14")}};
}

// A domestic order of two licences with 19 % tax, unpaid; rows change parts.
Fields order(const Fields& changes = {})
{
    Fields r{{QStringLiteral("Person"), QStringLiteral("Jürgen Albrecht")},
             {QStringLiteral("Company"), QStringLiteral("Albrecht Steuerberatung")},
             {QStringLiteral("Address"), QStringLiteral("Lindenstraße 12\n20095 Hamburg\nDeutschland")},
             {QStringLiteral("FaxOrEMail"), QStringLiteral("albrecht@example.com")},
             {QStringLiteral("Date"), QStringLiteral("3/12/26")},
             {QStringLiteral("Product"), QStringLiteral("Tidewater Ledger")},
             {QStringLiteral("NumberOfLicenses"), QStringLiteral("2")},
             {QStringLiteral("Currency"), QStringLiteral("EUR")},
             {QStringLiteral("InvoiceNumber"), QStringLiteral("2026-0042")},
             {QStringLiteral("NetAmount"), QStringLiteral("98")},
             {QStringLiteral("Tax"), QStringLiteral("18.62")}};
    for (auto it = changes.begin(); it != changes.end(); ++it)
        r.insert(it.key(), it.value());
    return r;
}

// The fatal failed assertions of one validation report.
QStringList failedAsserts(const QString& svrl)
{
    static const QRegularExpression failed(QStringLiteral("<svrl:failed-assert[^>]*>.*?</svrl:failed-assert>"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression text(QStringLiteral("<svrl:text>(.*?)</svrl:text>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    QStringList out;
    for (auto it = failed.globalMatch(svrl); it.hasNext();) {
        const QString assert = it.next().captured(0);
        if (assert.contains(QLatin1String("flag=\"fatal\"")))
            out << text.match(assert).captured(1).simplified();
    }
    return out;
}

// The ids and texts of the rules the invoice breaks (fatal ones only), or the
// reason the check could not run.
QStringList brokenRules(const QString& xml, const QString& stylesheet, const QString& reportPath)
{
    QProcess java;
    java.start(QStringLiteral("java"), {QStringLiteral("-cp"), QStringLiteral("/usr/share/java/Saxon-HE.jar"),
                                        QStringLiteral("net.sf.saxon.Transform"), QStringLiteral("-s:") + xml,
                                        QStringLiteral("-xsl:") + stylesheet, QStringLiteral("-o:") + reportPath});
    if (!java.waitForFinished(180000) || java.exitCode() != 0)
        return {QStringLiteral("Saxon failed: ") + QString::fromUtf8(java.readAllStandardError())};
    QFile report(reportPath);
    if (!report.open(QIODevice::ReadOnly))
        return {QStringLiteral("no report")};
    return failedAsserts(QString::fromUtf8(report.readAll()));
}

} // namespace

class TestEInvoice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void passesTheOfficialRules_data();
    void passesTheOfficialRules();
    void refusesWhatTheRulesCannotTake_data();
    void refusesWhatTheRulesCannotTake();
    void everyDemoInvoicePasses();
};

void TestEInvoice::passesTheOfficialRules_data()
{
    QTest::addColumn<Fields>("record");
    QTest::addColumn<Fields>("settings");
    QTest::addColumn<EInvoiceForm>("form");
    // category, rate, buyer country, postcode, city, buyer VAT id, amount due
    QTest::addColumn<QStringList>("expected");

    const auto fx = EInvoiceForm::FacturX;
    Fields withNote = seller();
    withNote.insert(company::VatExemptionNote, QStringLiteral("No VAT charged: small business under § 19 UStG."));

    QTest::newRow("domestic, unpaid") << order() << seller() << fx
                                      << QStringList{"S", "19", "DE", "20095", "Hamburg", "", "116.62"};
    QTest::newRow("domestic, paid by card") << order({{"PaymentMeans", "Card"}, {"PaymentDate", "3/16/26"}}) << seller()
                                            << fx << QStringList{"S", "19", "DE", "20095", "Hamburg", "", "0.00"};
    // Payment means chosen but no payment date: still due.
    QTest::newRow("domestic, transfer not yet paid") << order({{"PaymentMeans", "Transfer"}}) << seller() << fx
                                                     << QStringList{"S", "19", "DE", "20095", "Hamburg", "", "116.62"};
    QTest::newRow("tax of each licence rounded")
        << order({{"NumberOfLicenses", "7"}, {"NetAmount", "139.3"}, {"Tax", "26.46"}}) << seller() << fx
        << QStringList{"S", "19", "DE", "20095", "Hamburg", "", "165.76"};
    QTest::newRow("no exact price of one licence")
        << order({{"NumberOfLicenses", "3"}, {"NetAmount", "100"}, {"Tax", "7"}}) << seller() << fx
        << QStringList{"S", "7", "DE", "20095", "Hamburg", "", "107.00"};
    QTest::newRow("reverse charge, labelled VAT ID")
        << order({{"Company", "Wiener Zeichenbüro GmbH"},
                  {"Address", "Mariahilfer Straße 5\n1060 Wien\nUSt-IdNr.: ATU12345678\nÖsterreich"},
                  {"Tax", "0"}})
        << seller() << fx << QStringList{"AE", "0", "AT", "1060", "Wien", "ATU12345678", "98.00"};
    QTest::newRow("reverse charge, bare VAT ID, ISO alpha-3, paid by cheque")
        << order({{"Company", "Atelier Dupont SPRL"},
                  {"Address", "Rue de la Loi 1\n1000 Bruxelles\nBE 0123.456.789\nBEL"},
                  {"Tax", "0"},
                  {"PaymentMeans", "Cheque"},
                  {"PaymentDate", "3/18/26"}})
        << seller() << fx << QStringList{"AE", "0", "BE", "1000", "Bruxelles", "BE0123456789", "0.00"};
    QTest::newRow("reverse charge, Dutch postcode, German country name")
        << order({{"Company", "Grachtsoft B.V."},
                  {"Address", "Keizersgracht 100\n1015 AA Amsterdam\nVAT: NL123456789B01\nNiederlande"},
                  {"Tax", "0"}})
        << seller() << fx << QStringList{"AE", "0", "NL", "1015 AA", "Amsterdam", "NL123456789B01", "98.00"};
    QTest::newRow("export, UK address, paid by transfer")
        << order({{"Company", "Whitlock Joinery Ltd"},
                  {"Address", "14 Carder Lane\nNorwich NR2 4QT\nUnited Kingdom"},
                  {"Currency", "GBP"},
                  {"NumberOfLicenses", "1"},
                  {"NetAmount", "42"},
                  {"Tax", "0"},
                  {"PaymentMeans", "Transfer"},
                  {"PaymentDate", "3/14/26"}})
        << seller() << fx << QStringList{"G", "0", "GB", "NR2 4QT", "Norwich", "", "0.00"};
    QTest::newRow("export, US address, unpaid")
        << order({{"Company", ""},
                  {"Person", "Laura Fitch"},
                  {"Address", "300 Pine Street, Floor 6\nSeattle, WA 98101\nUSA"},
                  {"Currency", "USD"},
                  {"NetAmount", "108"},
                  {"Tax", "0"}})
        << seller() << fx << QStringList{"G", "0", "US", "98101", "Seattle", "", "108.00"};
    QTest::newRow("exempt with the note")
        << order({{"Tax", "0"}}) << withNote << fx << QStringList{"E", "0", "DE", "20095", "Hamburg", "", "98.00"};
    QTest::newRow("XRechnung to a German public buyer")
        << order({{"Company", "Stadtverwaltung Musterstadt"},
                  {"Person", ""},
                  {"Address", "Rathausplatz 1\n12345 Musterstadt"},
                  {"FaxOrEMail", "rechnung@musterstadt.example"},
                  {"Reference", "04011000-12345-34"}})
        << seller() << EInvoiceForm::XRechnung << QStringList{"S", "19", "DE", "12345", "Musterstadt", "", "116.62"};
}

void TestEInvoice::passesTheOfficialRules()
{
    QFETCH(Fields, record);
    QFETCH(Fields, settings);
    QFETCH(EInvoiceForm, form);
    QFETCH(QStringList, expected);

    const EInvoice inv = makeEInvoice(record, settings, form, LocaleFormat(), kToday);
    const QString category[] = {QStringLiteral("S"), QStringLiteral("AE"), QStringLiteral("G"), QStringLiteral("E")};
    QCOMPARE(category[int(inv.category)], expected[0]);
    QCOMPARE(inv.rateHundredths / 100, expected[1].toInt());
    QCOMPARE(inv.buyer.address.country, expected[2]);
    QCOMPARE(inv.buyer.address.postcode, expected[3]);
    QCOMPARE(inv.buyer.address.city, expected[4]);
    QCOMPARE(inv.buyer.vatId, expected[5]);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("invoice.xml"));
    const QByteArray xml = ciiXml(inv);
    QVERIFY(xml.contains("<ram:DuePayableAmount>" + expected[6].toUtf8() + "</ram:DuePayableAmount>"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(xml) == xml.size());
    }

    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"),
                                              kRules + QStringLiteral("/en16931-cii/schema/CII/uncefact/data/standard/"
                                                                      "CrossIndustryInvoice_100pD16B.xsd"),
                                              path});
    QVERIFY(xmllint.waitForFinished(60000));
    QVERIFY2(xmllint.exitCode() == 0, xmllint.readAllStandardError().constData());

    QStringList broken = brokenRules(path, kRules + QStringLiteral("/en16931-cii/xslt/EN16931-CII-validation.xslt"),
                                     dir.filePath(QStringLiteral("en16931.svrl")));
    if (form == EInvoiceForm::XRechnung)
        broken += brokenRules(path, kRules + QStringLiteral("/xrechnung-cii/XRechnung-CII-validation.xsl"),
                              dir.filePath(QStringLiteral("xrechnung.svrl")));
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char('\n')) + QLatin1Char('\n') + QString::fromUtf8(xml)));
}

void TestEInvoice::refusesWhatTheRulesCannotTake_data()
{
    QTest::addColumn<Fields>("record");
    QTest::addColumn<Fields>("settings");
    QTest::addColumn<EInvoiceForm>("form");
    QTest::addColumn<QStringList>("said"); // parts of the message

    const auto fx = EInvoiceForm::FacturX;
    const auto without = [](const QString& name) {
        Fields s = seller();
        s.remove(name);
        return s;
    };
    Fields noVat = without(company::VatId);
    QTest::newRow("no company name") << order() << without(company::Name) << fx
                                     << QStringList{"company's name", "\"Company\" tab"};
    QTest::newRow("no VAT ID nor tax number")
        << order() << noVat << fx << QStringList{"VAT ID or tax number", "\"Company\" tab"};
    QTest::newRow("export without VAT ID")
        << order({{"Address", "300 Pine Street\nSeattle, WA 98101\nUSA"}, {"Tax", "0"}}) <<
        [&] {
            Fields s = noVat;
            s.insert(company::TaxNumber, QStringLiteral("22/123/45678"));
            return s;
        }()
        << fx << QStringList{"company's VAT ID is missing"};
    QTest::newRow("exempt without the note") << order({{"Tax", "0"}}) << seller() << fx
                                             << QStringList{"note", "\"Note without VAT\" on the \"Company\" tab"};
    QTest::newRow("reverse charge without the buyer's VAT ID")
        << order({{"Address", "Mariahilfer Straße 5\n1060 Wien\nAustria"}, {"Tax", "0"}}) << seller() << fx
        << QStringList{"buyer in AT", "VAT ID", "\"Address:\" box"};
    QTest::newRow("unknown country") << order({{"Address", "Main Street 1\n12345 Springfield\nAtlantis"}}) << seller()
                                     << fx << QStringList{"\"Atlantis\"", "\"Address:\" box"};
    QTest::newRow("tax at no rate") << order({{"Tax", "0.01"}, {"NetAmount", "1000"}}) << seller() << fx
                                    << QStringList{"no rate", "\"Tax:\" box"};
    QTest::newRow("XRechnung without buyer reference")
        << order() << seller() << EInvoiceForm::XRechnung << QStringList{"buyer reference", "Customer reference:"};
    QTest::newRow("XRechnung without buyer e-mail")
        << order({{"Reference", "991-01234-56"}, {"FaxOrEMail", "+49 40 1234"}}) << seller() << EInvoiceForm::XRechnung
        << QStringList{"e-mail", "Fax or E-Mail:"};
    QTest::newRow("XRechnung without seller contact")
        << order({{"Reference", "991-01234-56"}}) << without(company::Phone) << EInvoiceForm::XRechnung
        << QStringList{"contact, phone and e-mail", "\"Company\" tab"};
}

void TestEInvoice::refusesWhatTheRulesCannotTake()
{
    QFETCH(Fields, record);
    QFETCH(Fields, settings);
    QFETCH(EInvoiceForm, form);
    QFETCH(QStringList, said);
    try {
        makeEInvoice(record, settings, form, LocaleFormat(), kToday);
        QFAIL("no refusal");
    } catch (const WriterError& e) {
        QCOMPARE(e.kind(), WriterError::EInvoice);
        QVERIFY2(e.message().contains(QLatin1String("invoice 2026-0042")), qPrintable(e.message()));
        for (const QString& part : said)
            QVERIFY2(e.message().contains(part), qPrintable(e.message()));
    }
}

// The demo set's orders as their invoices send them: every order with an
// invoice number becomes an e-invoice that passes the schema and the rules,
// and together they show each tax situation a small publisher meets.
void TestEInvoice::everyDemoInvoicePasses()
{
    QTemporaryDir demo;
    QCOMPARE(QProcess::execute(QStringLiteral(KESTROVA_TABLES_TOOL), {QStringLiteral("demo"), demo.path()}), 0);
    const QHash<QString, QString> settings = readCompanySettings(demo.path());
    const LocaleFormat fmt;
    const QDate today = currentDate();

    SqliteReader reader(QDir(demo.path()).filePath(QStringLiteral("Xsale.db")), 1000);
    SqliteQuery rows(reader, "SELECT Person, Company, Address, FaxOrEMail, OrderDate, Product, Reference,"
                             " NumberOfLicenses, Currency, PaymentMeans, PaymentDate, InvoiceNumber, NetAmount, Tax"
                             " FROM Xsale WHERE InvoiceNumber <> '' ORDER BY rowid");
    QTemporaryDir out;
    QSet<QString> categories;
    int count = 0;
    while (rows.step()) {
        Fields record;
        for (int c = 0; c < rows.columnCount(); ++c)
            record.insert(rows.columnName(c), rows.text(c));
        // The texts as the order's boxes show them and the invoice hands them on.
        record.insert(QStringLiteral("Date"),
                      formatDate(QDate::fromString(record.take("OrderDate"), Qt::ISODate), fmt));
        if (!record.value("PaymentDate").isEmpty())
            record["PaymentDate"] = formatDate(QDate::fromString(record.value("PaymentDate"), Qt::ISODate), fmt);
        for (const char* amount : {"NetAmount", "Tax"})
            record[amount] = formatNumber(record.value(amount).toDouble(), fmt);

        const QString number = record.value("InvoiceNumber");
        try {
            const EInvoice inv = makeEInvoice(record, settings, EInvoiceForm::FacturX, fmt, today);
            categories << QStringList{"S", "AE", "G", "E"}.at(int(inv.category));
            QFile f(out.filePath(number + QStringLiteral(".xml")));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(ciiXml(inv)) > 0 && f.flush());
        } catch (const WriterError& e) {
            QFAIL(qPrintable(e.message()));
        }
        ++count;
    }
    QVERIFY(count >= 30);
    QCOMPARE(categories, (QSet<QString>{"S", "AE", "G"}));

    QStringList files = QDir(out.path()).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    QCOMPARE(files.size(), count);
    QProcess xmllint;
    xmllint.setWorkingDirectory(out.path());
    xmllint.start(QStringLiteral("xmllint"),
                  QStringList{QStringLiteral("--noout"), QStringLiteral("--schema"),
                              kRules + QStringLiteral("/en16931-cii/schema/CII/uncefact/data/"
                                                      "standard/CrossIndustryInvoice_100pD16B.xsd")} +
                      files);
    QVERIFY(xmllint.waitForFinished(120000));
    QVERIFY2(xmllint.exitCode() == 0, xmllint.readAllStandardError().constData());

    // One Saxon run over the folder: the rules are compiled once for all.
    QDir(out.path()).mkdir(QStringLiteral("reports"));
    QProcess java;
    java.start(QStringLiteral("java"),
               {QStringLiteral("-cp"), QStringLiteral("/usr/share/java/Saxon-HE.jar"),
                QStringLiteral("net.sf.saxon.Transform"), QStringLiteral("-s:") + out.path(),
                QStringLiteral("-o:") + out.filePath(QStringLiteral("reports")),
                QStringLiteral("-xsl:") + kRules + QStringLiteral("/en16931-cii/xslt/EN16931-CII-validation.xslt")});
    QVERIFY(java.waitForFinished(300000));
    QVERIFY2(java.exitCode() == 0, java.readAllStandardError().constData());
    for (const QString& file : files) {
        QFile report(out.filePath(QStringLiteral("reports/") + file));
        QVERIFY2(report.open(QIODevice::ReadOnly), qPrintable(file));
        const QStringList broken = failedAsserts(QString::fromUtf8(report.readAll()));
        QVERIFY2(broken.isEmpty(), qPrintable(file + QLatin1String(": ") + broken.join(QLatin1Char('\n'))));
    }
}

QTEST_GUILESS_MAIN(TestEInvoice)
#include "tst_einvoice.moc"
