// [Mail]: the writer in this process hands a PDF it wrote to a stand-in
// xdg-email, first on PATH, which records the arguments it was given.

#include "writer/writerservice.h"
#include "tests/writer/writertestkit.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

using namespace kestrova::writer;
using namespace writertest;

namespace {

const QString kService = QStringLiteral("org.kestrova.MailWriter");
const QString kMacro = QStringLiteral("[Pdf \"inv.html\" \"documents/Invoice $InvoiceNumber.pdf\"]"
                                      "[Mail \"$FaxOrEMail\" \"%1\" \"%2\"]");

} // namespace

class TestWriterMail : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void handsTheFileToTheMailProgram_data();
    void handsTheFileToTheMailProgram();
    void refusesWhatCannotBeSent_data();
    void refusesWhatCannotBeSent();

private:
    QString path(const QString& name) const { return m_work->filePath(name); }
    QStringList recordedArguments() const
    {
        QStringList args = QString::fromUtf8(fileBytes(path(QStringLiteral("args")))).split(QChar(0));
        args.removeLast(); // after the last terminator
        return args;
    }

    QByteArray m_path = qgetenv("PATH");
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<RecordingNotifier> m_notifier;
    std::unique_ptr<RecordingViewer> m_viewer;
    std::unique_ptr<WriterService> m_service;
    std::unique_ptr<Client> m_client;
};

void TestWriterMail::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    m_notifier = std::make_unique<RecordingNotifier>();
    m_viewer = std::make_unique<RecordingViewer>();
    m_service = std::make_unique<WriterService>(m_work->path(), *m_notifier, *m_viewer);
    const QString failure = m_service->registerOn(QDBusConnection::sessionBus(), kService);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    m_client = std::make_unique<Client>(kService);

    QVERIFY(QDir().mkpath(path(QStringLiteral("templates"))));
    QFile html(path(QStringLiteral("templates/inv.html")));
    QVERIFY(html.open(QIODevice::WriteOnly) && html.write("<p>Invoice $InvoiceNumber</p>") > 0);
    QVERIFY(QDir().mkpath(path(QStringLiteral("bin"))));
    QFile standIn(path(QStringLiteral("bin/xdg-email")));
    QVERIFY(standIn.open(QIODevice::WriteOnly));
    QVERIFY(standIn.write(
                "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$MAIL_ARGS\"\n"
                "[ -z \"$MAIL_FAILS\" ] || { printf 'w3m: not found\\n%s\\n' \"$MAIL_FAILS\" >&2; exit 3; }\n") > 0);
    standIn.close();
    QVERIFY(standIn.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", QFile::encodeName(path(QStringLiteral("bin"))) + ':' + m_path);
    qputenv("MAIL_ARGS", QFile::encodeName(path(QStringLiteral("args"))));
    qunsetenv("MAIL_FAILS");
}

void TestWriterMail::cleanup()
{
    qputenv("PATH", m_path);
    m_client.reset();
    QDBusConnection::sessionBus().unregisterService(kService);
    QDBusConnection::sessionBus().unregisterObject(QStringLiteral("/org/kestrova/Dde"));
    m_service.reset();
    m_work.reset();
}

void TestWriterMail::handsTheFileToTheMailProgram_data()
{
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("subject"); // as the macro writes it
    QTest::addColumn<QString>("subjectSent");
    QTest::addColumn<QString>("fileSent"); // below the working folder
    QTest::newRow("invoice") << QStringLiteral("owen@whitlock.example") << QStringLiteral("2026-0042")
                             << QStringLiteral("Invoice $InvoiceNumber") << QStringLiteral("Invoice 2026-0042")
                             << QStringLiteral("documents/Invoice 2026-0042.pdf");
    QTest::newRow("shell metacharacters")
        << QStringLiteral("o'brien+bills@mail.whitlock.example") << QStringLiteral("$(touch x); `id` | & * 'a'")
        << QStringLiteral("Re: \"\"quoted\"\" $InvoiceNumber > /tmp/y")
        << QStringLiteral("Re: \"quoted\" $(touch x); `id` | & * 'a' > /tmp/y")
        << QStringLiteral("documents/Invoice $(touch x); `id` _ & _ 'a'.pdf");
    QTest::newRow("line breaks in the subject")
        << QStringLiteral("a@b.example") << QStringLiteral("7\r\nBcc: c@d.example")
        << QStringLiteral("No $InvoiceNumber") << QStringLiteral("No 7 Bcc: c@d.example")
        << QStringLiteral("documents/Invoice 7 Bcc_ c@d.example.pdf");
}

void TestWriterMail::handsTheFileToTheMailProgram()
{
    QFETCH(QString, recipient);
    QFETCH(QString, number);
    QFETCH(QString, subject);
    QFETCH(QString, subjectSent);
    QFETCH(QString, fileSent);
    writeExchange(m_work->path(),
                  {Record{{QStringLiteral("FaxOrEMail"), recipient}, {QStringLiteral("InvoiceNumber"), number}}});
    const uint id = m_client->connectTopic();
    QCOMPARE(
        outcome(m_client->execute(id, kMacro.arg(subject, QStringLiteral("documents/Invoice $InvoiceNumber.pdf")))),
        QStringLiteral("ok"));
    QCOMPARE(recordedArguments(), (QStringList{QStringLiteral("--subject"), subjectSent, QStringLiteral("--attach"),
                                               path(fileSent), recipient}));
    QVERIFY(pdfText(path(fileSent)).contains(QStringLiteral("Invoice")));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("x"))));
    QVERIFY(m_notifier->shown.isEmpty());
}

void TestWriterMail::refusesWhatCannotBeSent_data()
{
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("inMessage");
    const QString pdf = QStringLiteral("documents/Invoice $InvoiceNumber.pdf");
    const QString good = QStringLiteral("owen@whitlock.example");
    const QString bad = QStringLiteral("BadArguments"), failed = QStringLiteral("MailFailed");
    QTest::newRow("a fax number") << QStringLiteral("+44 117 496 0000") << pdf << bad
                                  << QStringList{QStringLiteral("e-mail address"), QStringLiteral("+44 117")};
    QTest::newRow("two addresses") << QStringLiteral("a@b.example, c@d.example") << pdf << bad
                                   << QStringList{QStringLiteral("one e-mail address")};
    QTest::newRow("mailto with fields") << QStringLiteral("a@b.example?attach=/etc/passwd") << pdf << bad
                                        << QStringList{QStringLiteral("attach=")};
    QTest::newRow("an option") << QStringLiteral("--utf8") << pdf << bad << QStringList{QStringLiteral("--utf8")};
    QTest::newRow("no such file") << good << QStringLiteral("documents/none.pdf") << failed
                                  << QStringList{QStringLiteral("none.pdf"), QStringLiteral("does not exist")};
    QTest::newRow("absolute path") << good << QStringLiteral("/etc/hostname") << bad
                                   << QStringList{QStringLiteral("absolute path")};
    QTest::newRow("climbs out") << good << QStringLiteral("documents/../../x.pdf") << bad
                                << QStringList{QStringLiteral("\"..\"")};
    QTest::newRow("through a link") << good << QStringLiteral("link/Invoice $InvoiceNumber.pdf") << bad
                                    << QStringList{QStringLiteral("symbolic link")};
    QTest::newRow("a folder") << good << QStringLiteral("documents") << bad
                              << QStringList{QStringLiteral("not a regular file")};
    QTest::newRow("no mail program") << good << pdf << failed
                                     << QStringList{QStringLiteral("no mail program"),
                                                    QStringLiteral("no method available for opening")};
    QTest::newRow("no xdg-email") << good << pdf << failed << QStringList{QStringLiteral("xdg-email (from xdg-utils)")};
}

void TestWriterMail::refusesWhatCannotBeSent()
{
    QFETCH(QString, recipient);
    QFETCH(QString, file);
    QFETCH(QString, error);
    QFETCH(QStringList, inMessage);
    writeExchange(m_work->path(), {Record{{QStringLiteral("FaxOrEMail"), recipient},
                                          {QStringLiteral("InvoiceNumber"), QStringLiteral("9")}}});
    QVERIFY(QFile::link(path(QStringLiteral("documents")), path(QStringLiteral("link"))));
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (tag == QLatin1String("no mail program"))
        qputenv("MAIL_FAILS", "xdg-email: no method available for opening 'mailto:owen@whitlock.example'");
    if (tag == QLatin1String("no xdg-email"))
        qputenv("PATH", QFile::encodeName(path(QStringLiteral("nothing"))));
    const uint id = m_client->connectTopic();
    const QDBusMessage reply = m_client->execute(id, kMacro.arg(QStringLiteral("Invoice"), file));
    qputenv("PATH", m_path);
    QCOMPARE(reply.errorName(), QStringLiteral("org.kestrova.Dde.Error.") + error);
    for (const QString& part : inMessage)
        QVERIFY2(reply.errorMessage().contains(part), qPrintable(reply.errorMessage()));
    QCOMPARE(m_notifier->shown, QStringList{reply.errorMessage()});
    // The mail program was asked only when everything was in order; the PDF stays.
    QCOMPARE(QFileInfo::exists(path(QStringLiteral("args"))), tag == QLatin1String("no mail program"));
    QVERIFY(pdfText(path(QStringLiteral("documents/Invoice 9.pdf"))).contains(QStringLiteral("Invoice 9")));
}

QTEST_MAIN(TestWriterMail)
#include "tst_writermail.moc"
