#include "functions/functionlibrary.h"
#include "intake/mailbox.h"
#include "tests/intake/mailfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace kestrova;

namespace {

using namespace mailfixture;

// Seeded messages, each with what the intake must read from it.
struct Sample {
    const char* name;
    QByteArray raw;
    MailMessage expected;
};

QList<Sample> samples()
{
    const QString longBody(5000, QChar(0x00e9));
    return {
        {"plain",
         message("From: \"Ann Smith\" <ann@example.com>\r\nTo: orders@example.org\r\nSubject: Order 1\r\n"
                 "Message-ID: <m1@example.com>\r\n",
                 "WebShop order notification\r\nName: Ann Smith\r\n"),
         {"Ann Smith", "SMTP", "ann@example.com", "Order 1", "WebShop order notification\r\nName: Ann Smith\r\n"}},
        {"quoted-printable Latin-1",
         message("From: Bernd <bernd@example.de>\r\nSubject: Bestellung\r\nMIME-Version: 1.0\r\n"
                 "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n",
                 "M=FCller =E9t=E9 =\r\nweiter\r\n"),
         {"Bernd", "SMTP", "bernd@example.de", "Bestellung", QString::fromUtf8("Müller été weiter\r\n")}},
        {"base64 UTF-8",
         message("From: Cy <cy@example.com>\r\nSubject: b64\r\nMIME-Version: 1.0\r\n"
                 "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n",
                 QString::fromUtf8("Grüße ✓").toUtf8().toBase64() + "\r\n"),
         {"Cy", "SMTP", "cy@example.com", "b64", QString::fromUtf8("Grüße ✓")}},
        {"multipart alternative",
         message("From: Dee <dee@example.com>\r\nSubject: alt\r\nMIME-Version: 1.0\r\n"
                 "Content-Type: multipart/alternative; boundary=\"XX\"\r\n",
                 "--XX\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nplain part\r\n"
                 "--XX\r\nContent-Type: text/html; charset=us-ascii\r\n\r\n<p>html part</p>\r\n--XX--\r\n"),
         {"Dee", "SMTP", "dee@example.com", "alt", "plain part"}},
        {"HTML only",
         message("From: Eve <eve@example.com>\r\nSubject: html\r\nMIME-Version: 1.0\r\n"
                 "Content-Type: text/html; charset=utf-8\r\n",
                 "<html><body><p>Hello <b>HTML</b> &amp; you</p></body></html>\r\n"),
         {"Eve", "SMTP", "eve@example.com", "html", "Hello HTML & you"}},
        {"sender without name",
         message("From: frank@example.com\r\nSubject: bare\r\n", "x\r\n"),
         {"frank@example.com", "SMTP", "frank@example.com", "bare", "x\r\n"}},
        {"encoded-word subject",
         message("From: =?UTF-8?Q?G=C3=BCnter?= <g@example.com>\r\n"
                 "Subject: =?UTF-8?B?QmVzdGVsbHVuZyBmw7xyIMOEcnp0ZQ==?=\r\n",
                 "y\r\n"),
         {QString::fromUtf8("Günter"), "SMTP", "g@example.com", QString::fromUtf8("Bestellung für Ärzte"), "y\r\n"}},
        {"long body",
         message("From: Hal <hal@example.com>\r\nSubject: long\r\nMIME-Version: 1.0\r\n"
                 "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n",
                 longBody.toUtf8()),
         {"Hal", "SMTP", "hal@example.com", "long", longBody.left(4096)}},
    };
}

} // namespace

class TestMailbox : public QObject {
    Q_OBJECT

    QTemporaryDir servers;
    QString imapPort, imapsPort, smtpPort;
    bool serversUp = false;

    QString serverMaildir() const { return QDir(servers.path()).filePath("home/Maildir"); }
    Mailbox::Options trustingTestCa() const
    {
        Mailbox::Options o;
        o.trustedCertificates = QDir(servers.path()).filePath("ca.pem");
        o.timeoutSeconds = 10;
        return o;
    }
    QStringList outgoing() const
    {
        return QDir(QDir(servers.path()).filePath("outgoing")).entryList({"*.eml"}, QDir::Files, QDir::Name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QProcess p;
        p.start(QStringLiteral(KESTROVA_MAIL_SERVERS), {"start", servers.path()});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QStringList ports = QString::fromLatin1(readFile(QDir(servers.path()).filePath("ports"))).split(' ');
        QCOMPARE(ports.size(), 3);
        imapPort = ports[0].trimmed();
        imapsPort = ports[1].trimmed();
        smtpPort = ports[2].trimmed();
        serversUp = true;
    }
    void cleanupTestCase()
    {
        if (serversUp)
            QProcess::execute(QStringLiteral(KESTROVA_MAIL_SERVERS), {"stop", servers.path()});
    }

    void readsEveryKindOfMessage_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QStringList>("expected");
        for (const Sample& s : samples())
            QTest::newRow(s.name) << s.raw
                                  << QStringList{s.expected.sender1, s.expected.sender2, s.expected.sender3,
                                                 s.expected.subject, s.expected.body};
    }
    void readsEveryKindOfMessage()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        seedMaildir(dir.path(), {raw});
        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.sender1, expected[0]);
        QCOMPARE(m.sender2, expected[1]);
        QCOMPARE(m.sender3, expected[2]);
        QCOMPARE(m.subject, expected[3]);
        QCOMPARE(m.body.trimmed(), expected[4].trimmed());
        QVERIFY(m.body.size() <= Mailbox::kBodyCharacters);
        box.MailNext();
        QVERIFY(!box.MailGet(m));
        box.MailClose();
    }

    void malformedMessagesNeverStopTheRun()
    {
        QTemporaryDir dir;
        const QByteArray broken = "this is : not\r\n\r\n--a message at all\0\xff\xfe";
        const QByteArray badMime = message("From: <>\r\nSubject: =?bogus?Q?x?=\r\nMIME-Version: 1.0\r\n"
                                           "Content-Type: multipart/mixed; boundary=\"never\"\r\n"
                                           "Content-Transfer-Encoding: base64\r\n",
                                           "!!!not base64!!!\r\n");
        const QByteArray huge = message("From: big@example.com\r\nSubject: huge\r\n", QByteArray(3 << 20, 'z'));
        seedMaildir(dir.path(), {broken, badMime, huge, samples().first().raw});
        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "INBOX", "Processed"}));
        MailMessage m;
        int seen = 0;
        while (box.MailGet(m)) {
            ++seen;
            QVERIFY(m.body.size() <= Mailbox::kBodyCharacters);
            box.MailNext();
        }
        QCOMPARE(seen, 4);
        QCOMPARE(m.subject, "Order 1"); // the last one read whole
        box.MailClose();
        QVERIFY(Mailbox::readMessage(QByteArray()).body.isEmpty());
    }

    void cursorRules()
    {
        QTemporaryDir dir;
        QList<QByteArray> raws;
        for (int i = 1; i <= 4; ++i)
            raws << message(QStringLiteral("From: p%1@example.com\r\nSubject: S%1\r\n").arg(i).toUtf8(), "b\r\n");
        seedMaildir(dir.path(), raws);
        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "S1");
        box.MailNext(); // S1 passed over
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "S2");
        QVERIFY(box.MailMark());
        QVERIFY(box.MailMove());
        box.MailNext();
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "S3"); // the one after the moved one
        QVERIFY(box.MailMark());
        QVERIFY(box.MailMove());
        box.MailNext();
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "S4");
        box.MailNext();
        QVERIFY(!box.MailGet(m));
        QVERIFY(box.MailClose());
        QVERIFY(!box.isOpen());

        // The passed-over messages stay, unmarked; the moved ones are in the
        // save folder, marked.
        const QStringList left = filesIn(dir.path());
        QCOMPARE(left.size(), 2);
        for (const QString& f : left)
            QVERIFY2(!f.section(":2,", 1).contains('S'), qPrintable(f));
        const QStringList saved = filesIn(QDir(dir.path()).filePath(".Processed"));
        QCOMPARE(saved.size(), 2);
        for (const QString& f : saved)
            QVERIFY2(f.section(":2,", 1).contains('S'), qPrintable(f));
        Mailbox again;
        QVERIFY(again.MailOpen({dir.path(), "", "", "Processed"}));
        QVERIFY(again.MailGet(m));
        QCOMPARE(m.subject, "S1");
        again.MailClose();
    }

    void openFailures()
    {
        QTemporaryDir dir;
        seedMaildir(dir.path(), {}, {});
        Mailbox box;
        const MailResult missing = box.MailOpen({QDir(dir.path()).filePath("missing"), "", "", "Processed"});
        QVERIFY(!missing);
        QVERIFY(box.lastError().contains("does not exist"));
        QCOMPARE(missing.reason, box.lastError());
        QVERIFY(!box.MailOpen({dir.path(), "", "", "Processed"}));
        QVERIFY2(box.lastError().contains("Processed"), qPrintable(box.lastError()));
        QVERIFY(!box.MailOpen({dir.path(), "", "NoSuchFolder", "Processed"}));
        QVERIFY(!box.MailOpen({"", "", "", "Processed"}));
        QVERIFY(!box.isOpen());
        // A relative store is found in the working folder.
        QTemporaryDir work;
        seedMaildir(QDir(work.path()).filePath("mail"), {samples().first().raw});
        Mailbox relative(Mailbox::Options{work.path(), {}, 20});
        QVERIFY(relative.MailOpen({"mail", "", "", "Processed"}));
        relative.MailClose();
    }

    void repliesGoToTheOutbox()
    {
        QTemporaryDir dir;
        seedMaildir(dir.path(), {samples().first().raw});
        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        const bool replied =
            box.MailSend(m.sender1, m.sender2, m.sender2 + ":" + m.sender3, "R: " + m.subject, "Thank you.\n");
        QVERIFY2(replied, qPrintable(box.lastError()));
        QVERIFY(box.MailClose());
        const QStringList sent = filesIn(QDir(dir.path()).filePath(".Outbox"));
        QCOMPARE(sent.size(), 1);
        const QByteArray reply = readFile(QDir(dir.path()).filePath(".Outbox/" + sent.first()));
        QVERIFY(reply.contains("In-Reply-To: <m1@example.com>"));
        QVERIFY(reply.contains("ann@example.com"));
        QCOMPARE(Mailbox::readMessage(reply).subject, "R: Order 1");
        QCOMPARE(Mailbox::readMessage(reply).body.trimmed(), "Thank you.");
    }

    void imapAndSmtp_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::newRow("IMAP with STARTTLS") << "imap";
        QTest::newRow("IMAPS") << "imaps";
    }
    void imapAndSmtp()
    {
        QFETCH(QString, scheme);
        const QString maildir = serverMaildir();
        QDir(maildir).removeRecursively();
        seedMaildir(maildir, {samples().at(0).raw, samples().at(1).raw, samples().at(2).raw});
        QProcess::execute("chmod", {"-R", "a+rwX", QDir(servers.path()).filePath("home")});
        QDir(QDir(servers.path()).filePath("outgoing")).removeRecursively();
        QDir().mkpath(QDir(servers.path()).filePath("outgoing"));

        const QString port = scheme == "imap" ? imapPort : imapsPort;
        const QString profile =
            QStringLiteral("%1://orders@localhost:%2 smtp://orders@localhost:%3").arg(scheme, port, smtpPort);
        Mailbox box(trustingTestCa());
        QVERIFY(box.MailOpen({profile, "secret", "INBOX", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "Order 1");
        box.MailNext(); // passed over
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.body.trimmed(), QString::fromUtf8("Müller été weiter"));
        const bool replied =
            box.MailSend(m.sender1, m.sender2, m.sender2 + ":" + m.sender3, "R: " + m.subject, "Danke.\n");
        QVERIFY2(replied, qPrintable(box.lastError()));
        QVERIFY(box.MailMark());
        QVERIFY(box.MailMove());
        box.MailNext();
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "b64");
        QVERIFY(box.MailClose());

        // Reading changed no flag; the moved message is in the save folder.
        QStringList inbox = filesIn(maildir);
        QCOMPARE(inbox.size(), 2);
        for (const QString& f : inbox)
            QVERIFY2(!f.section(":2,", 1).contains('S'), qPrintable(f));
        const QStringList saved = filesIn(QDir(maildir).filePath(".Processed"));
        QCOMPARE(saved.size(), 1);
        QVERIFY(readFile(QDir(maildir).filePath(".Processed/" + saved.first())).contains("Subject: Bestellung"));

        // The reply reached the sink, addressed to the sender.
        QTRY_COMPARE(outgoing().size(), 1);
        const QByteArray reply = readFile(QDir(servers.path()).filePath("outgoing/" + outgoing().first()));
        QVERIFY(reply.startsWith("X-Envelope-To: bernd@example.de\r\n"));
        const MailMessage r = Mailbox::readMessage(reply.mid(reply.indexOf("\r\n") + 2));
        QCOMPARE(r.subject, "R: Bestellung");
        QCOMPARE(r.body.trimmed(), "Danke.");
        QVERIFY(!reply.contains("In-Reply-To") || reply.contains("In-Reply-To: <"));
    }

    void inReplyToReachesTheSink()
    {
        const QString maildir = serverMaildir();
        QDir(maildir).removeRecursively();
        seedMaildir(maildir, {samples().at(0).raw});
        QProcess::execute("chmod", {"-R", "a+rwX", QDir(servers.path()).filePath("home")});
        QDir(QDir(servers.path()).filePath("outgoing")).removeRecursively();
        QDir().mkpath(QDir(servers.path()).filePath("outgoing"));
        Mailbox box(trustingTestCa());
        QVERIFY(box.MailOpen(
            {QStringLiteral("imaps://orders@localhost:%1 smtp://orders@localhost:%2").arg(imapsPort, smtpPort),
             "secret", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        const bool replied = box.MailSend(m.sender1, m.sender2, "SMTP:" + m.sender3, "R: " + m.subject, "ok\n");
        QVERIFY2(replied, qPrintable(box.lastError()));
        QVERIFY(box.MailClose());
        QTRY_COMPARE(outgoing().size(), 1);
        const QByteArray reply = readFile(QDir(servers.path()).filePath("outgoing/" + outgoing().first()));
        QVERIFY(reply.contains("In-Reply-To: <m1@example.com>"));
        QVERIFY(reply.contains("References: <m1@example.com>"));
    }

    void refusedCredentialsAndCertificates()
    {
        QDir(serverMaildir()).removeRecursively();
        seedMaildir(serverMaildir(), {samples().first().raw});
        QProcess::execute("chmod", {"-R", "a+rwX", QDir(servers.path()).filePath("home")});
        Mailbox box(trustingTestCa());
        // A wrong password for the store.
        QVERIFY(
            !box.MailOpen({QStringLiteral("imaps://orders@localhost:%1").arg(imapsPort), "wrong", "", "Processed"}));
        QVERIFY(!box.lastError().isEmpty());
        // A server whose certificate no trusted authority signed.
        Mailbox untrusting(Mailbox::Options{{}, {}, 10});
        QVERIFY(!untrusting.MailOpen(
            {QStringLiteral("imaps://orders@localhost:%1").arg(imapsPort), "secret", "", "Processed"}));
        // A trusted certificate for another name: the server's is for
        // "localhost" only, so reaching it as 127.0.0.1 is refused.
        QVERIFY(
            !box.MailOpen({QStringLiteral("imaps://orders@127.0.0.1:%1").arg(imapsPort), "secret", "", "Processed"}));
        QVERIFY(
            box.MailOpen({QStringLiteral("imaps://orders@localhost:%1").arg(imapsPort), "secret", "", "Processed"}));
        box.MailClose();

        // A wrong password for the sending server: an error, never an
        // unauthenticated send.
        QTemporaryDir dir;
        seedMaildir(dir.path(), {samples().first().raw});
        QDir(QDir(servers.path()).filePath("outgoing")).removeRecursively();
        QDir().mkpath(QDir(servers.path()).filePath("outgoing"));
        QVERIFY(box.MailOpen(
            {dir.path() + QStringLiteral(" smtp://orders@localhost:%1").arg(smtpPort), "wrong", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QVERIFY(!box.MailSend(m.sender1, m.sender2, "SMTP:" + m.sender3, "R: x", "x"));
        QVERIFY(!box.lastError().isEmpty());
        box.MailClose();
        QTest::qWait(300);
        QVERIFY(outgoing().isEmpty());
    }

    // Opening takes the new messages into cur/ under the reader's name, and
    // they are offered in arrival order.
    void newMessagesAreTakenIntoCur()
    {
        QTemporaryDir dir;
        seedMaildir(dir.path(), {samples().at(0).raw, samples().at(5).raw});
        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "", "Processed"}));
        QVERIFY(QDir(QDir(dir.path()).filePath("new")).entryList(QDir::Files).isEmpty());
        QCOMPARE(QDir(QDir(dir.path()).filePath("cur")).entryList(QDir::Files, QDir::Name),
                 QStringList({"1700000000.M0P1.test:2,", "1700000001.M1P1.test:2,"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "Order 1");
        box.MailNext();
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "bare");
        QVERIFY(box.MailClose());
    }

    // Only regular files of a Maildir folder are messages: a link, whose
    // target could be any file, is neither read nor copied.
    void linksAndOtherEntriesArePassedOver()
    {
        QTemporaryDir dir, outside;
        seedMaildir(dir.path(), {samples().at(0).raw, samples().at(5).raw});
        const QString secret = QDir(outside.path()).filePath("secret");
        const QByteArray secretText = message("From: x@example.com\r\nSubject: secret\r\n", "not for the mailbox\r\n");
        {
            QFile f(secret);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(secretText), secretText.size());
        }
        QVERIFY(QFile::link(secret, QDir(dir.path()).filePath("new/1700000100.M1P1.link")));
        QVERIFY(QFile::link(secret, QDir(dir.path()).filePath("cur/1700000101.M1P1.link:2,")));
        QVERIFY(QDir().mkpath(QDir(dir.path()).filePath("cur/1700000102.M1P1.dir:2,")));
        QCOMPARE(mkfifo(QFile::encodeName(QDir(dir.path()).filePath("new/1700000103.M1P1.fifo")).constData(), 0600), 0);

        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "", "Processed"}));
        QStringList subjects;
        MailMessage m;
        while (box.MailGet(m)) {
            subjects << m.subject;
            QVERIFY(box.MailMark());
            QVERIFY(box.MailMove());
            box.MailNext();
        }
        QVERIFY(box.MailClose());
        QCOMPARE(subjects, QStringList({"Order 1", "bare"}));
        QCOMPARE(subjectsIn(QDir(dir.path()).filePath(".Processed")),
                 QStringList({"Subject: Order 1 [S]", "Subject: bare [S]"}));
        QCOMPARE(readFile(secret), secretText);
        int links = 0;
        for (const char* sub : {"cur", "new"})
            for (const QFileInfo& f :
                 QDir(QDir(dir.path()).filePath(sub)).entryInfoList(QDir::AllEntries | QDir::System))
                links += f.isSymLink();
        QCOMPARE(links, 2); // still there, not followed
    }

    // A message that another program flagged deleted is not offered, and
    // closing removes only what this run moved.
    void messagesOthersDeletedStay()
    {
        QTemporaryDir dir;
        seedMaildir(dir.path(), {samples().at(0).raw, samples().at(5).raw});
        seedDeleted(dir.path(), message("From: x@example.com\r\nSubject: foreign\r\n", "x\r\n"));
        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "Order 1");
        QVERIFY(box.MailMove());
        box.MailNext();
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "bare");
        box.MailNext();
        QVERIFY(!box.MailGet(m));
        QVERIFY(box.MailClose());
        QCOMPARE(subjectsIn(dir.path()), QStringList({"Subject: bare []", "Subject: foreign [ST]"}));
        QCOMPARE(subjectsIn(QDir(dir.path()).filePath(".Processed")), QStringList({"Subject: Order 1 []"}));
    }

    void imapMessagesOthersDeletedStay_data()
    {
        QTest::addColumn<bool>("uidplus");
        QTest::newRow("UID EXPUNGE") << true;
        QTest::newRow("server without UIDPLUS") << false;
    }
    void imapMessagesOthersDeletedStay()
    {
        QFETCH(bool, uidplus);
        ExtraServers extra(QStringLiteral(KESTROVA_MAIL_SERVERS));
        if (!uidplus)
            QVERIFY(extra.start({"--no-uidplus"}));
        const QString home = uidplus ? QDir(servers.path()).filePath("home") : QDir(extra.dir.path()).filePath("home");
        const QString maildir = QDir(home).filePath("Maildir");
        const QString port = uidplus ? imapsPort : extra.ports[1];
        const QString ca = QDir(uidplus ? servers.path() : extra.dir.path()).filePath("ca.pem");
        QDir(maildir).removeRecursively();
        seedMaildir(maildir, {samples().at(0).raw, samples().at(5).raw});
        seedDeleted(maildir, message("From: x@example.com\r\nSubject: foreign\r\n", "x\r\n"));
        QProcess::execute("chmod", {"-R", "a+rwX", home});

        Mailbox box(Mailbox::Options{{}, ca, 10});
        QVERIFY(box.MailOpen({"imaps://orders@localhost:" + port, "secret", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "Order 1");
        QVERIFY(box.MailMark());
        QVERIFY(box.MailMove());
        box.MailNext();
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "bare");
        box.MailNext();
        QVERIFY(!box.MailGet(m));
        const bool closed = box.MailClose();
        QVERIFY2(closed, qPrintable(box.lastError()));

        // Without UIDPLUS nothing is expunged while another message is
        // flagged deleted: the moved one stays here too, flagged deleted.
        const QStringList expected =
            uidplus ? QStringList{"Subject: bare []", "Subject: foreign [ST]"}
                    : QStringList{"Subject: Order 1 [ST]", "Subject: bare []", "Subject: foreign [ST]"};
        QCOMPARE(subjectsIn(maildir), expected);
        QCOMPARE(subjectsIn(QDir(maildir).filePath(".Processed")), QStringList({"Subject: Order 1 [S]"}));
    }

    // A user name and password are sent only over an encrypted connection:
    // servers that do not offer STARTTLS are refused before they see them.
    void credentialsNeverTravelUnencrypted()
    {
        // The checks below are meaningful: Dovecot logs the user of every
        // login, the sink every AUTH and whether it came after STARTTLS.
        QDir(serverMaildir()).removeRecursively();
        seedMaildir(serverMaildir(), {samples().first().raw});
        QProcess::execute("chmod", {"-R", "a+rwX", QDir(servers.path()).filePath("home")});
        QTemporaryDir local;
        seedMaildir(local.path(), {samples().first().raw});
        Mailbox box(trustingTestCa());
        QVERIFY(box.MailOpen({"imap://orders@localhost:" + imapPort, "secret", "", "Processed"}));
        QVERIFY(box.MailClose());
        QVERIFY(readFile(QDir(servers.path()).filePath("dovecot.log")).contains("user=<orders>"));
        QVERIFY(box.MailOpen({local.path() + " smtp://orders@localhost:" + smtpPort, "secret", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QVERIFY(box.MailSend(m.sender1, m.sender2, "SMTP:" + m.sender3, "R: x", "x"));
        QVERIFY(box.MailClose());
        const QByteArray attempts = readFile(QDir(servers.path()).filePath("outgoing/auth-attempts.log"));
        QVERIFY(attempts.contains("tls=True") && !attempts.contains("tls=False"));

        ExtraServers plain(QStringLiteral(KESTROVA_MAIL_SERVERS));
        QVERIFY(plain.start({"--no-tls"}));
        seedMaildir(plain.maildir(), {samples().first().raw});
        QProcess::execute("chmod", {"-R", "a+rwX", QDir(plain.dir.path()).filePath("home")});
        QVERIFY(!box.MailOpen({"imap://orders@localhost:" + plain.ports[0], "secret", "", "Processed"}));
        QVERIFY2(box.lastError().contains("STARTTLS"), qPrintable(box.lastError()));
        QVERIFY(!box.isOpen());
        QVERIFY(!readFile(QDir(plain.dir.path()).filePath("dovecot.log")).contains("user=<orders>"));

        QVERIFY(box.MailOpen({local.path() + " smtp://orders@localhost:" + plain.ports[2], "secret", "", "Processed"}));
        QVERIFY(box.MailGet(m));
        QVERIFY(!box.MailSend(m.sender1, m.sender2, "SMTP:" + m.sender3, "R: x", "x"));
        QVERIFY2(box.lastError().contains("STARTTLS"), qPrintable(box.lastError()));
        QVERIFY(box.MailClose());
        QTest::qWait(300);
        const QDir sink(QDir(plain.dir.path()).filePath("outgoing"));
        QVERIFY(!sink.exists("auth-attempts.log"));
        QVERIFY(sink.entryList({"*.eml"}).isEmpty());
    }

    // Mark, move and send say when they did not work.
    void failuresAreReported()
    {
        QTemporaryDir dir;
        seedMaildir(dir.path(), {samples().at(0).raw, samples().at(5).raw});
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        const QString port = QString::number(gone.serverPort());
        gone.close();
        Mailbox box(Mailbox::Options{{}, {}, 5});
        QVERIFY(!box.MailMark()); // nothing open
        QVERIFY(!box.MailMove());
        QVERIFY(!box.MailSend("a", "SMTP", "SMTP:a@example.com", "R: x", "x"));
        QVERIFY(box.MailOpen({dir.path() + " smtp://orders@localhost:" + port, "secret", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "Order 1");
        // Another program takes the message's file away.
        for (const QString& f : filesIn(dir.path()))
            if (readFile(QDir(dir.path()).filePath(f)).contains("Subject: Order 1"))
                QVERIFY(QFile::remove(QDir(dir.path()).filePath(f)));
        QVERIFY(!box.MailMark());
        QVERIFY2(box.lastError().startsWith("Cannot mark a message"), qPrintable(box.lastError()));
        QVERIFY(!box.MailMove());
        QVERIFY2(box.lastError().startsWith("Cannot move a message"), qPrintable(box.lastError()));
        QVERIFY(subjectsIn(dir.path()) == QStringList({"Subject: bare []"}));           // nothing left behind
        QVERIFY(!box.MailSend(m.sender1, m.sender2, "SMTP:" + m.sender3, "R: x", "x")); // nobody listens
        QVERIFY2(box.lastError().startsWith("Cannot send the reply"), qPrintable(box.lastError()));
        box.MailNext();
        QVERIFY(box.MailGet(m));
        QVERIFY(box.MailMark());
        QVERIFY(box.MailMove());
        box.MailNext();
        QVERIFY(box.MailClose());
        QVERIFY(filesIn(dir.path()).isEmpty());
        QCOMPARE(subjectsIn(QDir(dir.path()).filePath(".Processed")), QStringList({"Subject: bare [S]"}));
    }

    // The demo mailbox holds notifications of both sample layouts and mail
    // that no recognition function takes.
    void demoMailboxWithTheSampleLibrary()
    {
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).filePath("demo-mail");
        QVERIFY(QProcess::execute("cp", {"-r", QStringLiteral(KESTROVA_SAMPLES_DIR) + "/demo-mail", root}) == 0);
        for (const char* sub : {"cur", "tmp", ".Processed/cur", ".Processed/new", ".Processed/tmp"})
            QDir().mkpath(QDir(root).filePath(sub));
        FunctionLibrary library;
        QVERIFY(library.load({QFileInfo(QStringLiteral(KESTROVA_SAMPLE_LIBRARY)).absolutePath()}));
        Mailbox box(Mailbox::Options{dir.path(), {}, 20});
        QVERIFY(box.MailOpen({"demo-mail", "", "INBOX", "Processed"}));
        QStringList seen;
        MailMessage m;
        NotificationAreas areas;
        while (box.MailGet(m)) {
            QString by = "-";
            for (const char* f : {"RecogniseWebShop", "RecognisePayPoint"})
                if (library.recognise(f, m.body, areas)) {
                    by = QString::fromLatin1(f) + ":" + areas.text(NotificationAreas::ProductId);
                    break;
                }
            seen << by;
            if (by.startsWith("RecognisePayPoint")) {
                QCOMPARE(areas.text(NotificationAreas::Address), QString::fromUtf8("Lindenstraße 5\n80331 München"));
                QCOMPARE(areas.text(NotificationAreas::Person), "Anna Keller");
            }
            box.MailNext();
        }
        box.MailClose();
        QCOMPARE(seen,
                 QStringList({"RecogniseWebShop:TL-01", "-", "RecognisePayPoint:1002", "-", "RecogniseWebShop:CS-04"}));
    }

    void silentServerTimesOut()
    {
        QTcpServer silent; // accepts connections and never says a word
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        Mailbox box(Mailbox::Options{{}, {}, 2});
        QElapsedTimer t;
        t.start();
        QVERIFY(!box.MailOpen(
            {QStringLiteral("imap://orders@127.0.0.1:%1").arg(silent.serverPort()), "secret", "", "Processed"}));
        QVERIFY(t.elapsed() < 15000);
        QVERIFY(!box.lastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMailbox)
#include "tst_mailbox.moc"
