// The shipped samples: every template in English and German rendered by the
// writer over a private session bus with the records Kestrova's documents
// write, and the batch script that writes licence files.

#include "data/textformat.h"
#include "writer/writerservice.h"
#include "tests/writer/writertestkit.h"

#include <QDBusConnectionInterface>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

using namespace kestrova::writer;
using namespace writertest;

namespace {

const QString kService = QStringLiteral("org.kestrova.SampleWriter");

// The invoice record of an order with a separate delivery address.
Record invoiceRecord()
{
    return {{QStringLiteral("Person"), QStringLiteral("Owen Whitlock")},
            {QStringLiteral("Name"), QStringLiteral("Whitlock")},
            {QStringLiteral("Title"), QStringLiteral("Mr")},
            {QStringLiteral("Politeness"), QStringLiteral("Dear Mr")},
            {QStringLiteral("Company"), QStringLiteral("Whitlock Joinery Ltd")},
            {QStringLiteral("Address"), QStringLiteral("14 Chapel Street\r\nHebden Bridge HX7 8AB\r\nUnited Kingdom")},
            {QStringLiteral("FaxOrEMail"), QStringLiteral("owen@whitlock.example")},
            {QStringLiteral("Date"), QStringLiteral("3/14/2026")},
            {QStringLiteral("Product"), QStringLiteral("Tidewater Ledger")},
            {QStringLiteral("Language"), QStringLiteral("EN")},
            {QStringLiteral("Licensee"), QStringLiteral("Whitlock & Sons")},
            {QStringLiteral("Reference"), QStringLiteral("WS-10023")},
            {QStringLiteral("NumberOfLicenses"), QStringLiteral("3")},
            {QStringLiteral("Currency"), QStringLiteral("EUR")},
            {QStringLiteral("PaymentMeans"), QStringLiteral("Card")},
            {QStringLiteral("PaymentDate"), QStringLiteral("3/15/2026")},
            {QStringLiteral("InvoiceNumber"), QStringLiteral("2026-0042")},
            {QStringLiteral("NetAmount"), QStringLiteral("147")},
            {QStringLiteral("Tax"), QStringLiteral("27.93")},
            {QStringLiteral("Total"), QStringLiteral("174.93")},
            {QStringLiteral("DeliveryPerson"), QStringLiteral("Sam Whitlock")},
            {QStringLiteral("DeliveryName"), QStringLiteral("Whitlock")},
            {QStringLiteral("DeliveryTitle"), QStringLiteral("Ms")},
            {QStringLiteral("DeliveryCompany"), QStringLiteral("Whitlock Joinery Ltd")},
            {QStringLiteral("DeliveryAddress"), QStringLiteral("Unit 2, Mill Yard\r\nTodmorden OL14 5AA")},
            {QStringLiteral("DeliveryFaxOrEMail"), QStringLiteral("sam@whitlock.example")}};
}

// The address record of an envelope, a letter or one distributor of a mailing.
Record addressRecord(const QString& company, const QString& title, const QString& politeness, const QString& person,
                     const QString& address, const QString& licensee = QString())
{
    return {{QStringLiteral("Person"), person},
            {QStringLiteral("Title"), title},
            {QStringLiteral("Company"), company},
            {QStringLiteral("Address"), address},
            {QStringLiteral("FaxOrEMail"), QStringLiteral("+49 89 5550 1234")},
            {QStringLiteral("Politeness"), politeness},
            {QStringLiteral("Name"), person.section(QLatin1Char(' '), -1)},
            {QStringLiteral("Licensee"), licensee}};
}

} // namespace

class TestSampleTemplates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void invoice_data();
    void invoice();
    void envelope_data();
    void envelope();
    void letter_data();
    void letter();
    void mailingGivesEachDistributorAPage_data();
    void mailingGivesEachDistributorAPage();
    void labelsFillSheetsOfTwentyFour_data();
    void labelsFillSheetsOfTwentyFour();
    void batchWritesALicenceFileInsideLicences_data();
    void batchWritesALicenceFileInsideLicences();

private:
    QString render(const QString& macro);
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingNotifier m_notifier;
    RecordingViewer m_viewer;
    std::unique_ptr<WriterService> m_service;
    std::unique_ptr<Client> m_client;
};

namespace {
// The company, as the demo set has it.
void writeDemoCompany(const QString& dir)
{
    writeSettings(dir, {{QStringLiteral("CompanyName"), QStringLiteral("Kestrova Demo Software Ltd")},
                        {QStringLiteral("CompanyPostcode"), QStringLiteral("BS1 4QA")},
                        {QStringLiteral("CompanyCity"), QStringLiteral("Bristol")},
                        {QStringLiteral("CompanyIban"), QStringLiteral("GB82WEST12345698765432")},
                        {QStringLiteral("PaymentDays"), QStringLiteral("14")}});
}
} // namespace

void TestSampleTemplates::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // The working folder holds the templates as the demo set does.
    const QString templates = path(QStringLiteral("templates"));
    for (const QString& lang : {QStringLiteral("en"), QStringLiteral("de")}) {
        QVERIFY(QDir().mkpath(templates + QLatin1Char('/') + lang));
        const QDir source(QStringLiteral(KESTROVA_SAMPLE_TEMPLATES "/") + lang);
        for (const QString& f : source.entryList({QStringLiteral("*.html")}, QDir::Files))
            QVERIFY(QFile::copy(source.filePath(f), templates + QLatin1Char('/') + lang + QLatin1Char('/') + f));
    }
    m_notifier.shown.clear();
    m_service = std::make_unique<WriterService>(m_dir->path(), m_notifier, m_viewer);
    QCOMPARE(m_service->registerOn(QDBusConnection::sessionBus(), kService), QString());
    m_client = std::make_unique<Client>(kService);
}

void TestSampleTemplates::cleanup()
{
    m_client.reset();
    QDBusConnection::sessionBus().unregisterService(kService);
    QDBusConnection::sessionBus().unregisterObject(QStringLiteral("/org/kestrova/Dde"));
    m_service.reset();
    m_dir.reset();
}

// Runs a macro on a fresh conversation; the outcome as text.
QString TestSampleTemplates::render(const QString& macro)
{
    const uint id = m_client->connectTopic();
    return outcome(m_client->execute(id, macro));
}

void TestSampleTemplates::invoice_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("en") << QStringLiteral("en")
                        << QStringList{QStringLiteral("Invoice 2026-0042"), QStringLiteral("INVOICE TO"),
                                       QStringLiteral("DELIVER TO"), QStringLiteral("Net amount"),
                                       QStringLiteral("Total (EUR)")};
    QTest::newRow("de") << QStringLiteral("de")
                        << QStringList{QStringLiteral("Rechnung 2026-0042"), QStringLiteral("RECHNUNGSANSCHRIFT"),
                                       QStringLiteral("LIEFERANSCHRIFT"), QStringLiteral("Nettobetrag"),
                                       QStringLiteral("Gesamtbetrag (EUR)")};
}

void TestSampleTemplates::invoice()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, words);
    // Dates travel as Kestrova shows them; the due date is written alike.
    const kestrova::LocaleFormat fmt = kestrova::LocaleFormat::system();
    Record record = invoiceRecord();
    record[QStringLiteral("Date")] = kestrova::formatDate(QDate(2026, 3, 14), fmt);
    writeExchange(m_dir->path(), {record});
    writeDemoCompany(m_dir->path());
    QCOMPARE(render(QStringLiteral("[Pdf \"%1/invoice.html\" \"documents/Invoice $InvoiceNumber.pdf\"]").arg(lang)),
             QStringLiteral("ok"));
    const QString pdf = path(QStringLiteral("documents/Invoice 2026-0042.pdf"));
    const PdfFacts facts = pdfFacts(pdf);
    QCOMPARE(facts.pages, 1);
    QVERIFY(qAbs(facts.sizePt.width() - 595) <= 1 && qAbs(facts.sizePt.height() - 842) <= 1);
    const QString text = pdfText(pdf);
    for (const QString& w :
         words + QStringList{QStringLiteral("Kestrova Demo Software Ltd"), QStringLiteral("GB82WEST12345698765432"),
                             kestrova::formatDate(QDate(2026, 3, 28), fmt), QStringLiteral("Mr Owen Whitlock"),
                             QStringLiteral("Hebden Bridge HX7 8AB"), QStringLiteral("Ms Sam Whitlock"),
                             QStringLiteral("Todmorden OL14 5AA"), QStringLiteral("Tidewater Ledger"),
                             QStringLiteral("Whitlock & Sons"), QStringLiteral("WS-10023"), QStringLiteral("Card"),
                             QStringLiteral("3/15/2026"), QStringLiteral("27.93"), QStringLiteral("174.93")})
        QVERIFY2(text.contains(w), qPrintable(w + QStringLiteral(" missing from:\n") + text));
    // No marker was left unfilled.
    QVERIFY2(!text.contains(QLatin1Char('$')), qPrintable(text));
}

void TestSampleTemplates::envelope_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("en") << QStringLiteral("en");
    QTest::newRow("de") << QStringLiteral("de");
}

void TestSampleTemplates::envelope()
{
    QFETCH(QString, lang);
    writeExchange(m_dir->path(), {addressRecord(QStringLiteral("Softwarehaus Brenner GmbH"), QStringLiteral("Herr"),
                                                QStringLiteral("Sehr geehrter Herr"), QStringLiteral("Ulrich Brenner"),
                                                QStringLiteral("Leopoldstraße 21\r\n80802 München\r\nDeutschland"))});
    writeDemoCompany(m_dir->path());
    QCOMPARE(render(QStringLiteral("[Pdf \"%1/envelope.html\" \"envelope.pdf\"]").arg(lang)), QStringLiteral("ok"));
    const PdfFacts facts = pdfFacts(path(QStringLiteral("envelope.pdf")));
    QCOMPARE(facts.pages, 1);
    QVERIFY(qAbs(facts.sizePt.width() - 220 * 72 / 25.4) <= 1 && qAbs(facts.sizePt.height() - 110 * 72 / 25.4) <= 1);
    const QString text = pdfText(path(QStringLiteral("envelope.pdf")));
    for (const QString& w :
         {QStringLiteral("Softwarehaus Brenner GmbH"), QStringLiteral("Herr Ulrich Brenner"),
          QStringLiteral("Leopoldstraße 21"), QStringLiteral("80802 München"), QStringLiteral("BS1 4QA Bristol")})
        QVERIFY2(text.contains(w), qPrintable(w + QStringLiteral(" missing from:\n") + text));
}

void TestSampleTemplates::letter_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("salutation");
    QTest::newRow("en") << QStringLiteral("en") << QStringLiteral("Dear Mr Whitlock,");
    QTest::newRow("de") << QStringLiteral("de") << QStringLiteral("Sehr geehrter Herr Whitlock,");
}

void TestSampleTemplates::letter()
{
    QFETCH(QString, lang);
    QFETCH(QString, salutation);
    const bool german = lang == QLatin1String("de");
    writeExchange(
        m_dir->path(),
        {addressRecord(QStringLiteral("Whitlock Joinery Ltd"), german ? QStringLiteral("Herr") : QStringLiteral("Mr"),
                       german ? QStringLiteral("Sehr geehrter Herr") : QStringLiteral("Dear Mr"),
                       QStringLiteral("Owen Whitlock"), QStringLiteral("14 Chapel Street\r\nHebden Bridge HX7 8AB"))});
    QCOMPARE(render(QStringLiteral("[Pdf \"%1/letter.html\" \"letter.pdf\"]").arg(lang)), QStringLiteral("ok"));
    QCOMPARE(pdfFacts(path(QStringLiteral("letter.pdf"))).pages, 1);
    const QString text = pdfText(path(QStringLiteral("letter.pdf")));
    QVERIFY2(text.contains(salutation) && text.contains(QLatin1String("Hebden Bridge HX7 8AB")), qPrintable(text));
}

void TestSampleTemplates::mailingGivesEachDistributorAPage_data()
{
    envelope_data();
}

void TestSampleTemplates::mailingGivesEachDistributorAPage()
{
    QFETCH(QString, lang);
    const QList<Record> distributors{
        addressRecord(QStringLiteral("Softwarehaus Brenner GmbH"), QStringLiteral("Herr"),
                      QStringLiteral("Sehr geehrter Herr"), QStringLiteral("Ulrich Brenner"),
                      QStringLiteral("Leopoldstraße 21\r\n80802 München"), QStringLiteral("Brenner Software")),
        addressRecord(QStringLiteral("Datenwerk Kiel KG"), QStringLiteral("Frau"), QStringLiteral("Sehr geehrte Frau"),
                      QStringLiteral("Anke Sörensen"), QStringLiteral("Holtenauer Str. 5\r\n24105 Kiel"),
                      QStringLiteral("Datenwerk Kiel")),
        addressRecord(QStringLiteral("Alpen IT AG"), QStringLiteral("Herr"), QStringLiteral("Sehr geehrter Herr"),
                      QStringLiteral("Reto Gasser"), QStringLiteral("Bahnhofstr. 1\r\n7000 Chur"),
                      QStringLiteral("Alpen IT"))};
    writeExchange(m_dir->path(), distributors);
    QCOMPARE(render(QStringLiteral("[Pdf \"%1/mailing.html\" \"documents/Mailing.pdf\"]").arg(lang)),
             QStringLiteral("ok"));
    const QString pdf = path(QStringLiteral("documents/Mailing.pdf"));
    QCOMPARE(pdfFacts(pdf).pages, 3);
    const QStringList licensees{QStringLiteral("Brenner Software"), QStringLiteral("Datenwerk Kiel"),
                                QStringLiteral("Alpen IT")};
    for (int p = 0; p < 3; ++p) {
        const QString text = pdfText(pdf, p + 1);
        for (int d = 0; d < 3; ++d)
            QVERIFY2(text.contains(licensees[d]) == (d == p), qPrintable(text));
        const QString salutation = distributors[p].value(QStringLiteral("Politeness")) + QLatin1Char(' ') +
                                   distributors[p].value(QStringLiteral("Name")) + QLatin1Char(',');
        QVERIFY2(text.contains(salutation), qPrintable(salutation + QStringLiteral(" missing from:\n") + text));
    }
}

void TestSampleTemplates::labelsFillSheetsOfTwentyFour_data()
{
    envelope_data();
}

void TestSampleTemplates::labelsFillSheetsOfTwentyFour()
{
    QFETCH(QString, lang);
    QList<Record> records;
    for (int i = 1; i <= 25; ++i)
        records << addressRecord(QStringLiteral("Firm %1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Ms"),
                                 QString(), QStringLiteral("Jo Doe"), QStringLiteral("1 Road\r\nTown"));
    writeExchange(m_dir->path(), records);
    QCOMPARE(render(QStringLiteral("[Labels \"%1/labels.html\" 3 8 \"labels.pdf\"]").arg(lang)), QStringLiteral("ok"));
    const QString pdf = path(QStringLiteral("labels.pdf"));
    QCOMPARE(pdfFacts(pdf).pages, 2);
    const QString first = pdfText(pdf, 1);
    for (int i = 1; i <= 24; ++i)
        QVERIFY2(first.contains(QStringLiteral("Firm %1").arg(i, 2, 10, QLatin1Char('0'))), qPrintable(first));
    // Every label keeps its whole address inside its cell.
    QCOMPARE(first.count(QLatin1String("Town")), 24);
    const QString second = pdfText(pdf, 2);
    QVERIFY(second.contains(QLatin1String("Firm 25")) && !second.contains(QLatin1String("Firm 24")));
}

void TestSampleTemplates::batchWritesALicenceFileInsideLicences_data()
{
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << QStringLiteral("Whitlock Joinery Ltd") << QStringLiteral("Whitlock Joinery Ltd.txt");
    QTest::newRow("quotes and blanks") << QStringLiteral("O'Brien \"Q\" & Co")
                                       << QStringLiteral("O'Brien %22Q%22 & Co.txt");
    QTest::newRow("slashes") << QStringLiteral("../../escape/me") << QStringLiteral("%2E%2E%2F..%2Fescape%2Fme.txt");
    QTest::newRow("dots only") << QStringLiteral("..") << QStringLiteral("%2E%2E.txt");
    QTest::newRow("shell syntax") << QStringLiteral("$(touch pwned); `id` -rf *")
                                  << QStringLiteral("$(touch pwned); `id` -rf %2A.txt");
    QTest::newRow("umlauts") << QStringLiteral("Müller Straße GmbH") << QStringLiteral("Müller Straße GmbH.txt");
    // Owners that look alike keep files of their own.
    QTest::newRow("one dot") << QStringLiteral(".") << QStringLiteral("%2E.txt");
    QTest::newRow("blanks and dots") << QStringLiteral(" . . ") << QStringLiteral("%20%2E%20%2E%20.txt");
    QTest::newRow("an escape written out") << QStringLiteral("a%2Fb") << QStringLiteral("a%252Fb.txt");
    QTest::newRow("cut") << QString(150, QChar(0xE4)) << QString(90, QChar(0xE4)) + "%-a9f41bcd127a4715.txt";
}

void TestSampleTemplates::batchWritesALicenceFileInsideLicences()
{
    QFETCH(QString, owner);
    QFETCH(QString, file);
    QProcess batch;
    batch.setWorkingDirectory(m_dir->path());
    batch.start(QStringLiteral(KESTROVA_SAMPLE_TEMPLATES "/../batch/write-licence"), {owner});
    QVERIFY(batch.waitForFinished(60000));
    QVERIFY2(batch.exitCode() == 0, batch.readAllStandardError().constData());
    // Exactly one new file, inside licences/, and nothing else touched.
    const QStringList made =
        QDir(path(QStringLiteral("licences"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(made, QStringList{file});
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("licences"), QStringLiteral("templates")}));
    const QString text = QString::fromUtf8(fileBytes(path(QStringLiteral("licences/") + file)));
    QVERIFY2(text.contains(QStringLiteral("Licence owner: ") + owner + QLatin1Char('\n')), qPrintable(text));
    QVERIFY(QRegularExpression(QStringLiteral("Licence key: +[0-9A-F]{5}-[0-9A-F]{5}-[0-9A-F]{5}-[0-9A-F]{5}\n"))
                .match(text)
                .hasMatch());

    // Without its one argument it writes nothing.
    QProcess bare;
    bare.setWorkingDirectory(m_dir->path());
    bare.start(QStringLiteral(KESTROVA_SAMPLE_TEMPLATES "/../batch/write-licence"), {});
    QVERIFY(bare.waitForFinished(60000));
    QCOMPARE(bare.exitCode(), 2);
    QCOMPARE(QDir(path(QStringLiteral("licences"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_MAIN(TestSampleTemplates)
#include "tst_sampletemplates.moc"
