// Setting a set up for work: the company's settings and their checks, the
// standard document settings, a new set's defaults.
#include "data/dataset.h"
#include "data/error.h"
#include "data/schema.h"
#include "data/settings.h"
#include "setup/companysettings.h"
#include "setup/firststart.h"
#include "setup/newset.h"
#include "setup/standarddocuments.h"
#include "tests/support/errorof.h"
#include "tests/support/tablefixture.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

using namespace kestrova;

namespace {

std::unique_ptr<Table> openTable(const QString& dir, const QString& name)
{
    auto t = std::make_unique<Table>();
    t->setDirectory(dir);
    t->setTableName(name);
    t->open();
    return t;
}

} // namespace

class TestSetup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void companyValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused
        // clang-format off
        QTest::newRow("iban with blanks")  << company::Iban << "de89 3704 0044 0532 0130 00" << "DE89370400440532013000";
        QTest::newRow("iban check digits") << company::Iban << "DE88370400440532013000" << "";
        QTest::newRow("iban no country")   << company::Iban << "XX89370400440532013000" << "";
        QTest::newRow("iban letters")      << company::Iban << "GB82 WEST 1234 5698 7654 32" << "GB82WEST12345698765432";
        QTest::newRow("vat id")            << company::VatId << "atu 12345678" << "ATU12345678";
        QTest::newRow("vat id greece")     << company::VatId << "EL123456789" << "EL123456789";
        QTest::newRow("vat no prefix")     << company::VatId << "123456789" << "";
        QTest::newRow("country")           << company::Country << "at" << "AT";
        QTest::newRow("country unknown")   << company::Country << "XY" << "";
        QTest::newRow("country alpha-3")   << company::Country << "DEU" << "";
        QTest::newRow("days")              << company::PaymentDays << " 30 " << "30";
        QTest::newRow("days negative")     << company::PaymentDays << "-1" << "";
        QTest::newRow("days text")         << company::PaymentDays << "thirty" << "";
        QTest::newRow("name as typed")     << company::Name << " Muster GmbH " << "Muster GmbH";
        // clang-format on
    }
    // A value is stored normalised, in a row added when the set has none;
    // a refused one leaves the stored value as it was and says why.
    void companyValues()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TableFixture f;
        auto settings = openTable(f.dir(), QStringLiteral("Xtable"));
        storeCompanySetting(settings.get(), name, QString());
        const QString message = errorOf([&] { storeCompanySetting(settings.get(), name, typed); });
        QCOMPARE(message.isEmpty(), !stored.isEmpty());
        if (!stored.isEmpty())
            QCOMPARE(f.value("Xtable", "SELECT Value FROM Xtable WHERE Name = ?", {name}).toString(), stored);
        else
            QVERIFY2(message.contains(normalisedCompanySetting(name, typed)), qPrintable(message));
        QCOMPARE(f.value("Xtable", "SELECT count(*) FROM Xtable WHERE Name = ?", {name}).toInt(), 1);
    }

    // The list names every country Qt's locale data knows by a two-letter
    // code, each once, and only codes the company's settings accept.
    void countriesCoverTheLocaleData()
    {
        const QList<Country> all = countries();
        QSet<QString> listed;
        for (const Country& c : all) {
            QVERIFY2(isCountryCode(c.code), qPrintable(c.code));
            QVERIFY2(!listed.contains(c.code), qPrintable(c.code));
            listed << c.code;
        }
        for (int t = QLocale::AnyTerritory + 1; t <= QLocale::LastTerritory; ++t) {
            const QString code = QLocale::territoryToCode(QLocale::Territory(t));
            if (code.size() == 2 && code.at(0).isLetter() && code != QLatin1String("EU") && code != QLatin1String("QO"))
                QVERIFY2(listed.contains(code), qPrintable(code));
        }
        const auto find = [&](const QString& code) {
            return std::find_if(all.begin(), all.end(), [&](const Country& c) { return c.code == code; });
        };
        QCOMPARE(find(QStringLiteral("AT"))->name, QStringLiteral("Austria"));
        QVERIFY(find(QStringLiteral("AT")) < find(QStringLiteral("DE")));
    }

    // Rows for each product and each language with shipped templates; an
    // existing row is kept as it is.
    void standardDocuments()
    {
        TableFixture f;
        f.exec("Xproduct", "INSERT INTO Xproduct (Product) VALUES ('Alpha'), ('Beta')");
        f.exec("Xlanguage", "INSERT INTO Xlanguage (Language) VALUES ('DE'), ('EN'), ('FR')");
        f.exec("Xfactory", "INSERT INTO Xfactory (Product, Language, Invoice) VALUES ('Beta', 'EN', '[Own]')");
        auto factory = openTable(f.dir(), QStringLiteral("Xfactory"));
        auto products = openTable(f.dir(), QStringLiteral("Xproduct"));
        auto languages = openTable(f.dir(), QStringLiteral("Xlanguage"));
        const QString templates = QStringLiteral(KESTROVA_SOURCE_TEMPLATES);
        QCOMPARE(addStandardDocuments(factory.get(), products.get(), languages.get(), templates, false), 3);
        QCOMPARE(addStandardDocuments(factory.get(), products.get(), languages.get(), templates, true), 0);
        const auto rows = f.rows("Xfactory", "SELECT Product, Language, Invoice FROM Xfactory ORDER BY 1, 2");
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.at(0).at(2).toString(),
                 QStringLiteral("[Pdf \"de/invoice.html\" \"documents/Invoice $InvoiceNumber.pdf\"][Open]"));
        QCOMPARE(rows.at(3).at(2).toString(), QStringLiteral("[Own]"));
    }

    // The assistant's answers land in all their tables together, or, when
    // one is refused, in none.
    void firstStartStoresAllOrNothing()
    {
        TableFixture f;
        FirstStartAnswers a;
        a.company = {{company::Name, QStringLiteral("Muster GmbH")},
                     {company::Country, QStringLiteral("DE")},
                     {company::Iban, QStringLiteral("DE88 1234")}};
        a.product = QStringLiteral("Alpha");
        a.languages = QStringList{QStringLiteral("DE"), QStringLiteral("FR")};
        a.currency = QStringLiteral("EUR");
        a.netPrice = 49.9;
        a.taxRate = 19;
        QVERIFY(errorOf([&] {
                    applyFirstStart(f.dir(), a, QStringLiteral(KESTROVA_SOURCE_TEMPLATES));
                }).contains(QLatin1String("IBAN")));
        QCOMPARE(f.value("Xtable", "SELECT count(*) FROM Xtable").toInt(), settingNames().size());
        for (const char* table : {"Xproduct", "Xprice", "Xfactory", "Xlanguage"})
            QCOMPARE(f.value(table, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table))).toInt(), 0);

        a.company[company::Iban] = QStringLiteral("DE89 3704 0044 0532 0130 00");
        applyFirstStart(f.dir(), a, QStringLiteral(KESTROVA_SOURCE_TEMPLATES));
        QCOMPARE(f.value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'CompanyIban'").toString(),
                 QStringLiteral("DE89370400440532013000"));
        QCOMPARE(f.rows("Xprice", "SELECT Product, Currency, NetAmount, Tax FROM Xprice"),
                 (QList<QVariantList>{{"Alpha", "EUR", 49.9, 9.48}}));
        // French has no shipped templates: a language, but no document row.
        QCOMPARE(f.rows("Xfactory", "SELECT Language FROM Xfactory"), QList<QVariantList>{{"DE"}});
        // A company in the EU sends its invoices as e-invoices.
        QVERIFY(
            f.value("Xfactory", "SELECT Invoice FROM Xfactory").toString().startsWith("[FacturX \"de/invoice.html\""));
        QCOMPARE(f.value("Xlanguage", "SELECT count(*) FROM Xlanguage").toInt(), 2);
    }

    void newSetIsReadyForWork()
    {
        QTemporaryDir tmp;
        const QString dir = QDir(tmp.path()).filePath(QStringLiteral("set"));
        ShippedFiles shipped;
        shipped.functionLibrary = QStringLiteral(KESTROVA_BUILT_LIBRARY);
        createNewTableSet(dir, shipped, QLocale::German);
        QVERIFY(QFile::exists(QDir(dir).filePath(QStringLiteral("function.dll"))));
        auto settings = openTable(dir, QStringLiteral("Xtable"));
        const Settings s(settings.get());
        QCOMPARE(s.read(QStringLiteral("CommandLine")), QStringLiteral("kestrova-writer"));
        QCOMPARE(s.read(QStringLiteral("LastDdeMacro")), QStringLiteral("[Quit]"));
        QCOMPARE(s.read(QStringLiteral("InvoiceFunction")), QStringLiteral("NextInvoiceNumber"));
        QCOMPARE(openTable(dir, QStringLiteral("Xorigin"))->columnTexts(QStringLiteral("Origin")),
                 QStringList{QStringLiteral("Direkt")});
        QVERIFY(openTable(dir, QStringLiteral("Xtitle"))->columnTexts(QStringLiteral("Title")).contains("Frau"));

        // A second set in the same folder is refused and the library kept.
        QVERIFY(!errorOf([&] { createNewTableSet(dir, shipped, QLocale::English); }).isEmpty());
        QVERIFY(QFile::exists(QDir(dir).filePath(QStringLiteral("function.dll"))));
    }
};

QTEST_GUILESS_MAIN(TestSetup)
#include "tst_setup.moc"
