#include "data/dataobjects.h"
#include "tests/support/errorof.h"
#include "mailorders/mailorderrun.h"
#include "tests/mailorders/mailordersfixture.h"
#include "orders/orderrules.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrova;
using namespace mailorders;
using mailfixture::seedMaildir;

namespace {

const QByteArray kTemplate = "Dear $Title $Person,\r\nthank you for $NumberOfLicenses x $Product ($Reference).\r\n";

// Everything one run needs below the window.
struct Intake {
    explicit Intake(const QString& dir, bool readOnly = false)
        : data(dir, LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))), readOnly)
    {
        library.load({dir});
        rules = std::make_unique<OrderRules>(data.Dsale, data.Tsale, data.Tprice, data.Ttable, &library);
        rules->setLocaleFormat(data.localeFormat());
        // The order page's after-post rule, which remembers the last number.
        data.Tsale->onAfterPost(&data, [this] { rules->orderPosted(); });
    }
    DataObjects data;
    FunctionLibrary library;
    std::unique_ptr<OrderRules> rules;
    MailOrderState state;

    // The window's texts as the processing window first shows them.
    ShownOrder shown(MailOrderRun& run)
    {
        return firstShownOrder(run.state(), data.Temail, formatDate(QDate::currentDate(), data.localeFormat()));
    }
    // Processes every recognised message; returns the problems reported.
    QStringList processAll(MailOrderRun& run)
    {
        QStringList problems;
        // The template is read once the first notification is found.
        bool found = run.findRecognizedMessage();
        if (found && !run.loadTemplate(data.workDir()))
            return {run.lastError()};
        for (; found; found = run.findRecognizedMessage()) {
            const ShownOrder s = shown(run);
            appendMailOrder(*rules, data.Tsale, s);
            problems += run.finishMessage(s);
        }
        return problems;
    }
    // The same through the record of e-mail orders, as the window does.
    QStringList storeAll(MailOrderRun& run)
    {
        QStringList problems;
        bool found = run.findRecognizedMessage() && run.loadTemplate(data.workDir());
        for (; found; found = run.findRecognizedMessage()) {
            problems += run.takeProblems();
            const ShownOrder s = shown(run);
            run.storeOrder(data.Tsale, data.Ttable, s, [&] { return appendMailOrder(*rules, data.Tsale, s); });
            problems += run.finishMessage(s);
        }
        return problems + run.takeProblems();
    }
    QList<QStringList> orders(TableFixture& fx)
    {
        QList<QStringList> out;
        for (const auto& r : fx.rows("Xsale", "SELECT Origin, Reference, Product, InvoiceNumber, Licensee FROM Xsale "
                                              "ORDER BY rowid"))
            out << QStringList{r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(), r[4].toString()};
        return out;
    }
};

} // namespace

class TestMailOrderRun : public QObject {
    Q_OBJECT

    QTemporaryDir servers;
    QString imapsPort, smtpPort;
    bool serversUp = false;
    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<QTemporaryDir> box;
    int kills = 0;

    QString lastInvoiceNumber()
    {
        return fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'LastInvoiceNumber'").toString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QProcess p;
        p.start(QStringLiteral(KESTROVA_MAIL_SERVERS), {"start", servers.path()});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QStringList ports =
            QString::fromLatin1(mailfixture::readFile(QDir(servers.path()).filePath("ports"))).trimmed().split(' ');
        QCOMPARE(ports.size(), 3);
        imapsPort = ports[1];
        smtpPort = ports[2];
        serversUp = true;
    }
    void cleanupTestCase()
    {
        qInfo("kills tried: %d", kills);
        if (serversUp)
            QProcess::execute(QStringLiteral(KESTROVA_MAIL_SERVERS), {"stop", servers.path()});
    }
    void init()
    {
        fx = std::make_unique<TableFixture>();
        box = std::make_unique<QTemporaryDir>();
        prepareFolder(*fx, KESTROVA_SAMPLE_LIBRARY, kTemplate);
    }
    void cleanup()
    {
        box.reset();
        fx.reset();
    }

    // Three notifications around an unrecognised message, replies into the Outbox.
    void runOverMaildir()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com"), newsletter(), payPoint("PP-2", "1002"),
                                  webShop("WS-3", "QP-02", "c@example.com", "Cy Young")});
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail));
        QVERIFY2(run.open(box->path(), {}, "INBOX", "Processed"), qPrintable(run.lastError()));
        QCOMPARE(in.processAll(run), QStringList());
        QCOMPARE(run.processedCount(), 3);
        QVERIFY(run.close());
        QCOMPARE(in.orders(*fx),
                 (QList<QStringList>{{"WebShop", "WS-1", "Tidewater Ledger", "2026-0042", "Owen Whitlock"},
                                     {"PayPoint", "PP-2", "Quillmark Pro", "2026-0043", "Anna Keller"},
                                     {"WebShop", "WS-3", "Quillmark Pro", "2026-0044", "Cy Young"}}));
        QCOMPARE(lastInvoiceNumber(), "2026-0044");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale WHERE PaymentDate IS NOT NULL").toInt(), 3);
        // The unrecognised message stays unmarked in place; the others moved.
        QCOMPARE(mail(box->path()), QStringList{"Subject: Newsletter []"});
        QCOMPARE(mail(box->path(), "Processed"),
                 (QStringList{"Subject: New order WS-1 [S]", "Subject: New order WS-3 [S]", "Subject: Sale PP-2 [S]"}));
        const QStringList outbox = mail(box->path(), "Outbox");
        QCOMPARE(outbox.size(), 3);
        QVERIFY(outbox.contains("Subject: R: New order WS-1 []"));
        QVERIFY(outbox.contains("Subject: R: Sale PP-2 []"));
        const QString outDir = QDir(box->path()).filePath(".Outbox");
        QStringList bodies;
        for (const QString& f : mailfixture::filesIn(outDir))
            bodies << Mailbox::readMessage(mailfixture::readFile(QDir(outDir).filePath(f))).body;
        bodies.sort();
        QCOMPARE(bodies[0], "Dear Frau Anna Keller,\r\nthank you for 1 x Quillmark Pro (PP-2).\r\n");
        QCOMPARE(bodies[2], "Dear Mr Owen Whitlock,\r\nthank you for 2 x Tidewater Ledger (WS-1).\r\n");
    }

    // The whole run against the IMAP server, replies through the SMTP sink.
    void runOverImapAndSmtp()
    {
        const QString serverBox = QDir(servers.path()).filePath("home/Maildir");
        QDir(serverBox).removeRecursively();
        seedMaildir(serverBox, {webShop("WS-7", "TL-01", "g@example.com"), newsletter(), payPoint("PP-8", "1002")});
        QProcess::execute("chmod", {"-R", "a+rwX", QDir(servers.path()).filePath("home")});
        Intake in(fx->dir());
        Mailbox::Options options;
        options.trustedCertificates = QDir(servers.path()).filePath("ca.pem");
        options.timeoutSeconds = 10;
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail), options);
        QVERIFY2(
            run.open(QStringLiteral("imaps://orders@localhost:%1 smtp://orders@localhost:%2").arg(imapsPort, smtpPort),
                     "secret", "INBOX", "Processed"),
            qPrintable(run.lastError()));
        const QStringList problems = in.processAll(run);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QVERIFY2(run.close(), qPrintable(run.lastError()));
        QCOMPARE(in.orders(*fx).size(), 2);
        const QStringList sent =
            QDir(QDir(servers.path()).filePath("outgoing")).entryList({"*.eml"}, QDir::Files, QDir::Name);
        QCOMPARE(sent.size(), 2);
        QByteArray all;
        for (const QString& f : sent)
            all += mailfixture::readFile(QDir(servers.path()).filePath("outgoing/" + f));
        QVERIFY(all.contains("R: New order WS-7"));
        QVERIFY(all.contains("thank you for 2 x Tidewater Ledger (WS-7)."));
        QCOMPARE(mail(serverBox).size(), 1); // the newsletter stays
        QVERIFY(mail(serverBox).first().startsWith("Subject: Newsletter"));
        QCOMPARE(mail(serverBox, "Processed").size(), 2);
    }

    // The first pair that accepts a body wins; a missing function is passed over.
    void firstAcceptingPairWins()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "")});
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library,
                         {{"Nowhere", "NoSuchFunction"},
                          {"PayPoint", "RecognisePayPoint"},
                          {"Second", "RecogniseWebShop"},
                          {"Third", "RecogniseWebShop"}});
        QVERIFY(run.open(box->path(), {}, {}, "Processed"));
        QVERIFY(run.findRecognizedMessage());
        QCOMPARE(in.state.matchedOrigin, "Second");
        QCOMPARE(in.state.areas.text(NotificationAreas::Reference), "WS-1");
        QCOMPARE(run.message().subject, "New order WS-1");
    }

    // No reply for an empty recognised fax-or-e-mail value, even when one is
    // typed; a reply for a recognised one, even when the box was cleared.
    void replyFollowsTheRecognisedValue()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", ""), webShop("WS-2", "TL-01", "b@example.com")});
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail));
        QVERIFY(run.open(box->path(), {}, {}, "Processed"));
        QVERIFY(run.findRecognizedMessage());
        ShownOrder s = in.shown(run);
        s["FaxOrEMail"] = "typed@example.com";
        appendMailOrder(*in.rules, in.data.Tsale, s);
        QCOMPARE(run.finishMessage(s), QStringList());
        QCOMPARE(mail(box->path(), "Outbox"), QStringList());
        QVERIFY(run.findRecognizedMessage());
        s = in.shown(run);
        s["FaxOrEMail"].clear();
        s["Language"] = "ENGLISH"; // longer than its area of 3
        appendMailOrder(*in.rules, in.data.Tsale, s);
        QCOMPARE(run.finishMessage(s), QStringList());
        QCOMPARE(mail(box->path(), "Outbox"), QStringList{"Subject: R: New order WS-2 []"});
        // The window's texts went into the value areas, cut to fit.
        QCOMPARE(in.state.areas.text(NotificationAreas::FaxOrEMail), "");
        QCOMPARE(in.state.areas.text(NotificationAreas::Language), "EN");
        QCOMPARE(in.state.productName, QByteArray("Tidewater Ledger"));
        QCOMPARE(run.processedCount(), 2);
    }

    // A post that fails leaves nothing stored and the message in place; the
    // corrected order then appends cleanly with the next number.
    void failingPostStoresNothing()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com")});
        fx->addOrders({"Earlier"});
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail));
        QVERIFY(run.open(box->path(), {}, {}, "Processed"));
        QVERIFY(run.findRecognizedMessage());
        ShownOrder s = in.shown(run);
        s["NumberOfLicenses"] = "two";
        QVERIFY(!errorOf([&] { appendMailOrder(*in.rules, in.data.Tsale, s); }).isEmpty());
        QCOMPARE(in.data.Tsale->state(), DataSetState::Browse);
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 1);
        QCOMPARE(lastInvoiceNumber(), "2026-0041");
        QCOMPARE(run.processedCount(), 0);
        QCOMPARE(mail(box->path()), QStringList{"Subject: New order WS-1 []"});
        s["NumberOfLicenses"] = "2";
        QCOMPARE(appendMailOrder(*in.rules, in.data.Tsale, s), QString());
        QCOMPARE(fx->value("Xsale", "SELECT InvoiceNumber FROM Xsale WHERE Reference = 'WS-1'").toString(),
                 "2026-0042");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 2);
    }

    // A reply that cannot be sent is reported; the order stays and the
    // message is still marked and moved.
    void unsentReplyIsReported()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com")});
        Intake in(fx->dir());
        Mailbox::Options options;
        options.timeoutSeconds = 5;
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail), options);
        QVERIFY(run.open(box->path() + QStringLiteral(" smtp://localhost:%1").arg(port), {}, {}, "Processed"));
        const QStringList problems = in.processAll(run);
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].startsWith("The reply to noreply@webshop.example.com could not be sent: "),
                 qPrintable(problems[0]));
        QVERIFY(problems[0].size() > QString("The reply to noreply@webshop.example.com could not be sent: ").size());
        QCOMPARE(run.processedCount(), 1);
        QCOMPARE(in.orders(*fx).size(), 1);
        QCOMPARE(mail(box->path(), "Processed"), QStringList{"Subject: New order WS-1 [S]"});
    }

    // A mailbox that cannot be opened says why.
    void openFailureHasAReason_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("store");
        // clang-format off
        QTest::newRow("no such Maildir") << "no-such-folder" << "" << "INBOX";
        QTest::newRow("no such folder") << "" << "" << "Missing";
        QTest::newRow("wrong password") << "imaps" << "wrong" << "INBOX";
        // clang-format on
    }
    void openFailureHasAReason()
    {
        QFETCH(QString, profile);
        QFETCH(QString, password);
        QFETCH(QString, store);
        seedMaildir(box->path(), {});
        if (profile.isEmpty())
            profile = box->path();
        if (profile == "imaps")
            profile = QStringLiteral("imaps://orders@localhost:%1").arg(imapsPort);
        Intake in(fx->dir());
        Mailbox::Options options;
        options.trustedCertificates = QDir(servers.path()).filePath("ca.pem");
        options.timeoutSeconds = 10;
        options.workDir = fx->dir();
        MailOrderRun run(in.state, in.library, {}, options);
        QVERIFY(!run.open(profile, password, store, "Processed"));
        QVERIFY(!run.lastError().isEmpty());
        QVERIFY(!run.isOpen());
    }

    // An order of the same origin and customer reference is found again.
    void storedOrderIsFound()
    {
        Intake in(fx->dir());
        fx->exec("Xsale", "INSERT INTO Xsale (Origin, Reference, InvoiceNumber, OrderDate) VALUES "
                          "('WebShop', 'WS-1', '2026-0007', '2026-03-05'), ('PayPoint', 'WS-2', '', NULL)");
        const auto found = findStoredOrder(in.data.Tsale, "WebShop", "WS-1");
        QVERIFY(found);
        QCOMPARE(found->invoiceNumber, "2026-0007");
        QCOMPARE(found->orderDate, formatDate(QDate(2026, 3, 5), in.data.localeFormat()));
        QVERIFY(!findStoredOrder(in.data.Tsale, "WebShop", "WS-2"));
        QVERIFY(findStoredOrder(in.data.Tsale, "PayPoint", "WS-2"));
        QVERIFY(!findStoredOrder(in.data.Tsale, "WebShop", ""));
        QVERIFY(!findStoredOrder(in.data.Tsale, "WebShop", "ws-1"));
        QVERIFY(!findStoredOrder(in.data.Tsale, "WebShop", "' OR '1'='1"));
    }

    // A run killed after each step of a message: the next run stores no
    // order twice, sends no reply twice and leaves nothing behind.
    void killedRunIsFinishedByTheNext_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("occurrence");
        for (const char* step : {"posted", "stored", "replied", "marked", "moved"})
            for (int occurrence : {1, 2})
                QTest::addRow("%s %d", step, occurrence) << QString::fromLatin1(step) << occurrence;
    }
    void killedRunIsFinishedByTheNext()
    {
        QFETCH(QString, step);
        QFETCH(int, occurrence);
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com"), newsletter(),
                                  webShop("WS-2", "QP-02", "b@example.com", "Cy Young")});
        Mailbox::Options options;
        options.workDir = fx->dir();
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            // The child runs until the step, then dies as a killed program does.
            Intake in(fx->dir());
            MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail), options);
            int seen = 0;
            run.setStepHook([&](const char* name) {
                if (step == QLatin1String(name) && ++seen == occurrence)
                    raise(SIGKILL);
            });
            if (run.open(box->path(), {}, {}, "Processed"))
                in.storeAll(run);
            _exit(3);
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, "the child was not killed at its step");
        ++kills;
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail), options);
        QVERIFY2(run.open(box->path(), {}, {}, "Processed"), qPrintable(run.lastError()));
        QCOMPARE(in.storeAll(run), QStringList());
        QVERIFY(run.close());
        QCOMPARE(
            fx->value("Xsale", "SELECT group_concat(Reference || '=' || InvoiceNumber, ' ') FROM Xsale").toString(),
            "WS-1=2026-0042 WS-2=2026-0043");
        QCOMPARE(lastInvoiceNumber(), "2026-0043");
        QCOMPARE(mail(box->path(), "Outbox"),
                 (QStringList{"Subject: R: New order WS-1 []", "Subject: R: New order WS-2 []"}));
        QCOMPARE(mail(box->path()), QStringList{"Subject: Newsletter []"});
        QCOMPARE(mail(box->path(), "Processed"),
                 (QStringList{"Subject: New order WS-1 [S]", "Subject: New order WS-2 [S]"}));
        QCOMPARE(mailfixture::filesIn(box->path()).size(), 1); // no twin, nothing flagged deleted left
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "record");
        db.setDatabaseName(QDir(fx->dir()).filePath(MailRecord::kFileName));
        QVERIFY(db.open());
        QSqlQuery q("SELECT count(*) FROM Processed", db);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0); // removed messages are forgotten
        q = QSqlQuery();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("record");
    }

    // The same over IMAP and SMTP: killed once the first reply is sent.
    void killedImapRunIsFinishedByTheNext()
    {
        const QString serverBox = QDir(servers.path()).filePath("home/Maildir");
        QDir(serverBox).removeRecursively();
        QDir(QDir(servers.path()).filePath("outgoing")).removeRecursively();
        QDir().mkpath(QDir(servers.path()).filePath("outgoing"));
        seedMaildir(serverBox, {webShop("WS-7", "TL-01", "g@example.com"), payPoint("PP-8", "1002")});
        QProcess::execute("chmod", {"-R", "a+rwX", QDir(servers.path()).filePath("home")});
        Mailbox::Options options;
        options.trustedCertificates = QDir(servers.path()).filePath("ca.pem");
        options.timeoutSeconds = 10;
        options.workDir = fx->dir();
        const QString profile =
            QStringLiteral("imaps://orders@localhost:%1 smtp://orders@localhost:%2").arg(imapsPort, smtpPort);
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            Intake in(fx->dir());
            MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail), options);
            run.setStepHook([](const char* name) {
                if (QLatin1String(name) == QLatin1String("replied"))
                    raise(SIGKILL);
            });
            if (run.open(profile, "secret", "INBOX", "Processed"))
                in.storeAll(run);
            _exit(3);
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        ++kills;
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail), options);
        QVERIFY2(run.open(profile, "secret", "INBOX", "Processed"), qPrintable(run.lastError()));
        QCOMPARE(in.storeAll(run), QStringList());
        QVERIFY2(run.close(), qPrintable(run.lastError()));
        QCOMPARE(fx->value("Xsale", "SELECT group_concat(Reference, ' ') FROM Xsale").toString(), "WS-7 PP-8");
        QCOMPARE(QDir(QDir(servers.path()).filePath("outgoing")).entryList({"*.eml"}, QDir::Files).size(), 2);
        QCOMPARE(mail(serverBox), QStringList());
        QCOMPARE(mail(serverBox, "Processed").size(), 2);
    }

    // Whenever the order is not stored, nothing else happens: no reply, no
    // mark, no move, no count; a pending edit of the shown order stays.
    void failedStoreTouchesNothing_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("pendingEdit");
        QTest::newRow("read-only set") << true << false;
        QTest::newRow("locked table") << false << false;
        QTest::newRow("locked table, pending edit") << false << true;
    }
    void failedStoreTouchesNothing()
    {
        QFETCH(bool, readOnly);
        QFETCH(bool, pendingEdit);
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com")});
        fx->addOrders({"Earlier"});
        Mailbox::Options options;
        options.workDir = fx->dir();
        Intake in(fx->dir(), readOnly);
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail), options);
        QVERIFY2(run.open(box->path(), {}, {}, "Processed"), qPrintable(run.lastError()));
        QVERIFY(run.findRecognizedMessage() && run.loadTemplate(fx->dir()));
        in.data.Tsale->first();
        if (pendingEdit) {
            in.data.Tsale->edit();
            in.data.Tsale->setFieldText("Person", "Edited");
        }
        QSqlDatabase lock = QSqlDatabase::addDatabase("QSQLITE", "lock");
        lock.setDatabaseName(fx->path("Xsale"));
        QVERIFY(lock.open());
        if (!readOnly)
            QVERIFY(QSqlQuery(lock).exec("BEGIN IMMEDIATE"));
        ShownOrder s = in.shown(run);
        s["FaxOrEMail"].clear(); // the recognised value still decides the next try
        const QString error = errorOf([&] {
            run.storeOrder(in.data.Tsale, in.data.Ttable, s,
                           [&] { return appendMailOrder(*in.rules, in.data.Tsale, s); });
        });
        QVERIFY(!error.isEmpty());
        QSqlQuery(lock).exec("ROLLBACK");
        lock.close();
        lock = QSqlDatabase();
        QSqlDatabase::removeDatabase("lock");
        QCOMPARE(in.data.Tsale->state(), pendingEdit ? DataSetState::Edit : DataSetState::Browse);
        QCOMPARE(in.data.Tsale->fieldText("Person"), pendingEdit ? "Edited" : "Earlier");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 1);
        QCOMPARE(lastInvoiceNumber(), "2026-0041");
        QCOMPARE(in.state.areas.text(NotificationAreas::FaxOrEMail), "a@example.com");
        QCOMPARE(run.processedCount(), 0);
        QVERIFY(run.close());
        QCOMPARE(mail(box->path()), QStringList{"Subject: New order WS-1 []"});
        QCOMPARE(mail(box->path(), "Outbox"), QStringList());
        QCOMPARE(mail(box->path(), "Processed"), QStringList());
    }

    // Unreadable messages are counted; linked folders and addresses the
    // mail library would change are refused.
    void unreadableAndUnsafeMessages()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com"), newsletter()});
        // An empty twin left by an interrupted flag change blocks nothing.
        const QString first = mailfixture::filesIn(box->path()).value(0);
        QVERIFY(QFile::rename(QDir(box->path()).filePath(first),
                              QDir(box->path()).filePath("cur/" + first.section('/', 1) + ":2,")));
        QFile twin(QDir(box->path()).filePath("cur/" + first.section('/', 1) + ":2,S"));
        QVERIFY(twin.open(QIODevice::WriteOnly));
        twin.close();
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail));
        QVERIFY(run.open(box->path(), {}, {}, "Processed"));
        QVERIFY(!twin.exists());
        QVERIFY(QFile::remove(QDir(box->path()).filePath(mailfixture::filesIn(box->path()).value(1))));
        QVERIFY(run.findRecognizedMessage());
        QCOMPARE(run.message().subject, "New order WS-1");
        run.mailbox().MailNext();
        QVERIFY(!run.findRecognizedMessage());
        QCOMPARE(run.unreadableNotice(), "1 message could not be read and was left in the mailbox");
        QVERIFY(run.close());

        QTemporaryDir other;
        seedMaildir(other.path(), {webShop("WS-9", "TL-01", "")});
        QVERIFY(QDir(QDir(box->path()).filePath("cur")).removeRecursively());
        QVERIFY(QFile::link(QDir(other.path()).filePath("new"), QDir(box->path()).filePath("cur")));
        QVERIFY(!run.open(box->path(), {}, {}, "Processed"));
        QVERIFY2(run.lastError().contains("symbolic link"), qPrintable(run.lastError()));
        QCOMPARE(mail(other.path()), QStringList{"Subject: New order WS-9 []"});
    }

    void unrepresentableAddressIsRefused_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::newRow("300 bytes") << QByteArray(288, 'a') + "@example.com";
        QTest::newRow("quoted local part") << QByteArray("\"john doe\"@example.com");
        QTest::newRow("129 characters") << QByteArray(117, 'b') + "@example.com";
    }
    void unrepresentableAddressIsRefused()
    {
        QFETCH(QByteArray, from);
        QByteArray raw = webShop("WS-1", "TL-01", "a@example.com");
        raw.replace("\"WebShop\" <noreply@webshop.example.com>", "Shop <" + from + ">");
        seedMaildir(box->path(), {raw});
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, MailOrderRun::pairsFrom(in.data.Qemail));
        QVERIFY(run.open(box->path(), {}, {}, "Processed"));
        const QStringList problems = in.processAll(run);
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].contains("could not be sent"), qPrintable(problems[0]));
        QCOMPARE(mail(box->path(), "Outbox"), QStringList());
    }

    void templateIsReadWholeAndBounded()
    {
        Intake in(fx->dir());
        MailOrderRun run(in.state, in.library, {});
        QVERIFY(run.loadTemplate(fx->dir()));
        QCOMPARE(run.replyTemplate(), kTemplate);
        QFile f(QDir(fx->dir()).filePath("Register.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(QByteArray(reply::kTemplateLimit + 1, 'x')) > 0);
        f.close();
        QVERIFY(!run.loadTemplate(fx->dir()));
        QVERIFY(run.replyTemplate().isEmpty());
        QVERIFY(f.remove());
        QVERIFY(!run.loadTemplate(fx->dir()));
        QVERIFY(!run.lastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMailOrderRun)
#include "tst_mailorderrun.moc"
