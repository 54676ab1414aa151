#include "widgets/dbwidgets.h"
#include "app/mainform.h"
#include "tests/support/recordingprompter.h"
#include "tests/support/standinlog.h"
#include "tests/support/tablefixture.h"
#include "documents/wordprocessorlink.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

#include "tests/support/child.h"

using namespace kestrova;

namespace {

using Fields = QHash<QString, QString>;

Fields fromMap(const QVariantMap& m)
{
    Fields out;
    for (auto it = m.begin(); it != m.end(); ++it)
        out.insert(it.key(), it.value().toString());
    return out;
}

QString quotedPath(const char* path)
{
    return QLatin1Char('"') + QString::fromLocal8Bit(path) + QLatin1Char('"');
}

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// The document buttons of the main window, through the real link on the
// test's private session bus: to the stand-in word processor, which records
// what it is sent, and to Kestrova's own document writer, which makes PDFs.
class TestDocumentButtons : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<RecordingPrompter> rec;
    StandInLog log;
    int services = 0;

    void setting(const char* name, const QString& value)
    {
        fx->exec("Xtable", "UPDATE Xtable SET Value = ? WHERE Name = ?", {value, QString::fromLatin1(name)});
    }

    QString nextService() { return QStringLiteral("org.kestrova.test.Buttons%1").arg(++services); }

    // One order with billing and delivery addresses, product Ledger in EN.
    void addOrder()
    {
        fx->exec("Xtitle", "INSERT INTO Xtitle VALUES ('Mr', 'Dear Sir'), ('Mrs', 'Dear Madam')");
        fx->exec("Xproduct", "INSERT INTO Xproduct VALUES ('Ledger')");
        fx->exec("Xlanguage", "INSERT INTO Xlanguage VALUES ('EN')");
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Title, Company, Address, FaxOrEMail, Product, Language, "
                          "Licensee, InvoiceNumber, NetAmount, Tax, NumberOfLicenses, Currency, DeliveryPerson, "
                          "DeliveryTitle, DeliveryCompany, DeliveryAddress) VALUES ('John Doe', 'Mr', "
                          "'Doe Trading', '1 Main Street' || char(10) || 'Springfield', 'john@doe.example', "
                          "'Ledger', 'EN', 'Mr John Doe', '2026-041', 100, 20.6, 2, 'EUR', 'Mary Ann Smith', "
                          "'Mrs', 'Smith Logistics', '9 Dock Road' || char(10) || 'Portsmouth')");
    }

    std::unique_ptr<TMainForm> start()
    {
        auto f = std::make_unique<TMainForm>(fx->dir(), LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))));
        f->show();
        return f;
    }

    static void press(TMainForm* f, const char* button)
    {
        auto* b = child<QToolButton>(f, button);
        QVERIFY2(b->isEnabled(), button);
        b->click();
    }

    static bool onBus(const QString& service)
    {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(service).value();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test under dbus-run-session");
    }

    void init()
    {
        fx = std::make_unique<TableFixture>();
        rec = std::make_unique<RecordingPrompter>();
        log.setPath(QDir(fx->dir()).filePath("standin.jsonl"));
        qputenv("KESTROVA_STANDIN_LOG", log.path().toLocal8Bit());
        addOrder();
    }

    void cleanup()
    {
        log.endStandIns();
        // A writer that a failed test left running is ended, so the bus
        // session can end.
        for (int i = 1; i <= services; ++i) {
            const QString name = QStringLiteral("org.kestrova.test.Buttons%1").arg(i);
            // The writer may leave the bus between the two calls: the pid
            // is used only from a valid reply.
            const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(name);
            if (pid.isValid())
                StandInLog::endProcess(pid.value());
        }
        rec.reset();
        fx.reset();
    }

    // Envelope, invoice and letter of the order shown reach the word
    // processor as one execute request each, with exactly their records;
    // closing the window sends the final macro and ends the conversation.
    void buttonsDriveTheStandIn()
    {
        const QString service = nextService();
        setting("CommandLine", quotedPath(KESTROVA_STANDIN) + " --service " + service);
        setting("DdeService", service);
        setting("DdeTopic", "Orders");
        setting("LastDdeMacro", "[final]");
        fx->exec("Xfactory",
                 "INSERT INTO Xfactory VALUES ('Ledger', 'EN', '[labels]', '[envelope]', '[letter]', "
                 "'[mailing]', '[invoice]', ?)",
                 {quotedPath(KESTROVA_STANDIN) + " --exit"});
        const QByteArray orders = fx->fileBytes("Xsale");
        auto f = start();
        QVERIFY(!f->WordProcessorLinked());

        // An unsaved change on the delivery page goes into the envelope.
        child<QTabWidget>(f, "OrderAddressTab")->setCurrentIndex(1);
        child<DbEdit>(f, "DeliveryPerson")->setTextAsTyped("Mary Ann Smithers");
        press(f.get(), "OrderEnveloppePrintSpeed");
        QVERIFY(f->WordProcessorLinked());
        QTRY_VERIFY(!f->link().isBusy());
        press(f.get(), "OrderInvoicePrintSpeed");
        QTRY_VERIFY(!f->link().isBusy());
        child<QTabWidget>(f, "OrderAddressTab")->setCurrentIndex(0);
        press(f.get(), "OrderMailPrintSpeed");
        QTRY_VERIFY(!f->link().isBusy());
        QVERIFY2(rec->messages.isEmpty(), qPrintable(rec->messages.value(0).text));

        QCOMPARE(log.commands(), (QStringList{"[envelope]", "[invoice]", "[letter]"}));
        QCOMPARE(log.count("connect"), 1);
        const auto sent = log.events("execute");
        QCOMPARE(StandInLog::records(sent[0]).size(), 1);
        QCOMPARE(fromMap(StandInLog::records(sent[0]).first()), (Fields{{"Person", "Mary Ann Smithers"},
                                                                        {"Title", "Mrs"},
                                                                        {"Company", "Smith Logistics"},
                                                                        {"Address", "9 Dock Road\r\nPortsmouth"},
                                                                        {"Politeness", "Dear Madam"},
                                                                        {"Name", "Smithers"}}));
        const Fields invoice = fromMap(StandInLog::records(sent[1]).value(0));
        QCOMPARE(invoice.value("Total"), "120.6");
        QCOMPARE(invoice.value("NetAmount"), "100");
        QCOMPARE(invoice.value("Name"), "Doe");
        QCOMPARE(invoice.value("DeliveryName"), "Smithers");
        QCOMPARE(invoice.value("InvoiceNumber"), "2026-041");
        QCOMPARE(fromMap(StandInLog::records(sent[2]).value(0)).value("Person"), "John Doe");
        // The invoice's batch got the licence owner as its one argument.
        QTRY_COMPARE(log.count("start"), 2);
        QCOMPARE(log.events("start").last().value("args").toVariant().toStringList(),
                 (QStringList{"--exit", "Mr John Doe"}));

        // The documents never stored the typed change.
        QCOMPARE(fx->fileBytes("Xsale"), orders);

        f->close();
        QCOMPARE(log.commands().last(), "[final]");
        QCOMPARE(log.count("disconnect"), 1);
        QVERIFY(!f->WordProcessorLinked());
    }

    // The buttons' own messages reach the person through the error box.
    void refusedDocumentsAreShown()
    {
        setting("CommandLine", "");
        fx->exec("Xfactory", "INSERT INTO Xfactory VALUES ('Ledger', 'EN', '', '[envelope]', '', '', '', '')");
        auto f = start();
        press(f.get(), "OrderEnveloppePrintSpeed");
        QCOMPARE(rec->errors(), QStringList{"Error when launching \"\" !"});
        fx->exec("Xfactory", "UPDATE Xfactory SET Language = 'DE'");
        f->data().Tfactory->refresh();
        press(f.get(), "OrderMailPrintSpeed");
        QCOMPARE(rec->errors().last(),
                 "There are no document settings for the product \"Ledger\" and the language \"EN\".");
        // Closing without a conversation sends nothing and shows nothing.
        f->close();
        QCOMPARE(rec->errors().size(), 2);
        QCOMPARE(log.events().size(), 0);
    }

    // Kestrova's document writer, started by the link, turns the invoice
    // button into an invoice PDF and the batch into a licence file; the
    // final macro ends it.
    void invoiceButtonMakesPdf()
    {
        const QString service = nextService();
        setting("CommandLine", quotedPath(KESTROVA_WRITER_PROGRAM) + " --service " + service);
        setting("DdeService", service);
        setting("DdeTopic", "System");
        setting("LastDdeMacro", "[Quit]");
        // Found among the installed templates (from a build folder, the checkout's samples).
        const QString templ = QStringLiteral("en/invoice.html");
        fx->exec("Xfactory", "INSERT INTO Xfactory VALUES ('Ledger', 'EN', '', '', '', '', ?, ?)",
                 {"[Pdf \"" + templ + "\" \"documents/Invoice $InvoiceNumber.pdf\"]", quotedPath(KESTROVA_BATCH)});
        auto f = start();
        child<DbEdit>(f, "Reference")->setTextAsTyped("PO-4711");
        press(f.get(), "OrderInvoicePrintSpeed");
        QVERIFY2(rec->messages.isEmpty(), qPrintable(rec->messages.value(0).text));
        QTRY_VERIFY_WITH_TIMEOUT(!f->link().isBusy(), 60000);
        const QString pdf = QDir(fx->dir()).filePath("documents/Invoice 2026-041.pdf");
        QVERIFY(QFile::exists(pdf));
        const QString text = pdfText(pdf);
        for (const char* expected : {"John Doe", "Doe Trading", "1 Main Street", "2026-041", "PO-4711", "120.6",
                                     "Mary Ann Smith", "Portsmouth"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(expected + ("\n" + text)));
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(QDir(fx->dir()).filePath("licences")).entryList(QDir::Files).isEmpty(), 30000);
        QVERIFY(onBus(service));
        f->close();
        QTRY_VERIFY_WITH_TIMEOUT(!onBus(service), 30000);
        QVERIFY(rec->messages.isEmpty());
    }
};

QTEST_MAIN(TestDocumentButtons)
#include "tst_documentbuttons.moc"
