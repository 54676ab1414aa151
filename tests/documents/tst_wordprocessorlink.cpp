#include "tests/support/standinlog.h"
#include "tests/support/tablefixture.h"
#include "documents/wordprocessorlink.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrova;

// The link against the stand-in word processor on the test's private bus.
class TestWordProcessorLink : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    StandInLog log;
    LinkSettings settings;
    QStringList shown;
    std::unique_ptr<WordProcessorLink> link;
    QString service;
    int services = 0;

    static QString standIn(const QString& options = {})
    {
        return QLatin1Char('"') + QStringLiteral(KESTROVA_STANDIN) + QStringLiteral("\" ") + options;
    }

    // A document's traffic: make sure of the link, send the macro, wait for
    // its completion.
    void document(const QString& macro)
    {
        link->WordProcessor();
        link->execute(macro, true);
        QTRY_VERIFY(!link->isWaiting());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test under dbus-run-session");
    }

    void init()
    {
        fx = std::make_unique<TableFixture>();
        log.setPath(QDir(fx->dir()).filePath(QStringLiteral("standin.jsonl")));
        qputenv("KESTROVA_STANDIN_LOG", log.path().toLocal8Bit());
        service = QStringLiteral("org.kestrova.test.Link%1").arg(++services);
        settings = {standIn(QStringLiteral("--service ") + service), service, QStringLiteral("Orders"),
                    QStringLiteral("[final]")};
        shown.clear();
        link =
            std::make_unique<WordProcessorLink>([this] { return settings; }, [this](const QString& t) { shown << t; });
        link->setWorkingDirectory(fx->dir());
    }

    void cleanup()
    {
        link.reset();
        log.endStandIns();
    }

    void busNames_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("busName");
        // clang-format off
        QTest::newRow("bus name") << "org.example.Writer" << "org.example.Writer";
        QTest::newRow("bus name with dash") << "org.example.my-writer" << "org.example.my-writer";
        QTest::newRow("plain word") << "Penman" << "org.kestrova.dde.Penman";
        QTest::newRow("blanks and signs") << "Win Word-2" << "org.kestrova.dde.Win_Word_2";
        QTest::newRow("leading digit") << "3Writer" << "org.kestrova.dde._3Writer";
        QTest::newRow("digit element") << "org.9x" << "org.kestrova.dde.org_9x";
        QTest::newRow("empty element") << "a..b" << "org.kestrova.dde.a__b";
        QTest::newRow("unique name") << ":1.5" << "org.kestrova.dde._1_5";
        QTest::newRow("accented") << "Wörd" << "org.kestrova.dde.W_rd";
        QTest::newRow("empty") << "" << "";
        // clang-format on
    }
    void busNames()
    {
        QFETCH(QString, service);
        QFETCH(QString, busName);
        QCOMPARE(ddeBusName(service), busName);
        QVERIFY(busName.isEmpty() || isWellKnownBusName(busName));
    }

    void commandLinesReachNoShell()
    {
        const QString tricky = QStringLiteral("O'Brien \"Q\" & Co; $(touch pwned) `x`");
        QVERIFY(startCommandLine(standIn(QStringLiteral("--exit \"a b\" \"c;d\"")), {tricky}, fx->dir()));
        QTRY_COMPARE(log.count(QStringLiteral("start")), 1);
        const QJsonObject start = log.events(QStringLiteral("start")).first();
        QCOMPARE(start.value(QLatin1String("args")).toVariant().toStringList(),
                 (QStringList{QStringLiteral("--exit"), QStringLiteral("a b"), QStringLiteral("c;d"), tricky}));
        QCOMPARE(start.value(QLatin1String("cwd")).toString(), QDir(fx->dir()).canonicalPath());
        QVERIFY(!QFile::exists(QDir(fx->dir()).filePath(QStringLiteral("pwned"))));

        QVERIFY(!startCommandLine(QString(), {}, fx->dir()));
        QVERIFY(!startCommandLine(QStringLiteral("   "), {}, fx->dir()));
        QVERIFY(!startCommandLine(QDir(fx->dir()).filePath(QStringLiteral("no-such-program")), {}, fx->dir()));
    }

    void oneStartAndOneConnectPerRun()
    {
        document(QStringLiteral("[first]"));
        QVERIFY(link->isLinked());
        // Later documents read no setting again.
        settings = {};
        document(QStringLiteral("[second]"));
        QVERIFY(shown.isEmpty());
        QCOMPARE(log.count(QStringLiteral("start")), 1);
        const auto connects = log.events(QStringLiteral("connect"));
        QCOMPARE(connects.size(), 1);
        QCOMPARE(connects.first().value(QLatin1String("topic")).toString(), QStringLiteral("Orders"));
        QCOMPARE(log.commands(), (QStringList{QStringLiteral("[first]"), QStringLiteral("[second]")}));
        for (const QJsonObject& e : log.events(QStringLiteral("execute")))
            QCOMPARE(e.value(QLatin1String("conversation")), connects.first().value(QLatin1String("conversation")));
    }

    void launchMessageWithEmptyCommandLine()
    {
        settings.commandLine.clear();
        link->WordProcessor();
        QCOMPARE(shown, QStringList{QStringLiteral("Error when launching \"\" !")});
        QVERIFY(!link->isLinked());
        QVERIFY(!link->execute(QStringLiteral("[lost]"), true));
        QVERIFY(!link->isWaiting());
        // Nothing was linked, so the next document tries again.
        link->WordProcessor();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(log.events().size(), 0);
    }

    void conversationMessageWithEmptyServiceAndTopic()
    {
        settings = {standIn(QStringLiteral("--exit")), QString(), QString(), QString()};
        link->WordProcessor();
        QCOMPARE(shown, QStringList{QStringLiteral("Error during \"/\" DDE conversation !")});
        QVERIFY(!link->isLinked());
        QTRY_COMPARE(log.count(QStringLiteral("start")), 1);
        QCOMPARE(log.count(QStringLiteral("connect")), 0);
    }

    void retryStartsServiceWithTopic()
    {
        // The command line starts a program that never answers; the service
        // names the word processor found on the program search path.
        QTemporaryDir bin;
        QVERIFY(QFile::link(QStringLiteral(KESTROVA_STANDIN), bin.filePath(QStringLiteral("Penman"))));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        settings = {standIn(QStringLiteral("--exit")), QStringLiteral("Penman"), QStringLiteral("Orders"), QString()};
        link->setStartTimeout(1000);
        link->WordProcessor();
        qputenv("PATH", path);

        QVERIFY(shown.isEmpty());
        QVERIFY(link->isLinked());
        const auto starts = log.events(QStringLiteral("start"));
        QCOMPARE(starts.size(), 2);
        QCOMPARE(starts[0].value(QLatin1String("args")).toVariant().toStringList(),
                 QStringList{QStringLiteral("--exit")});
        QCOMPARE(starts[1].value(QLatin1String("args")).toVariant().toStringList(),
                 QStringList{QStringLiteral("Orders")});
        QCOMPARE(starts[1].value(QLatin1String("service")).toString(), QStringLiteral("org.kestrova.dde.Penman"));
        QCOMPARE(log.events(QStringLiteral("connect")).value(0).value(QLatin1String("topic")).toString(),
                 QStringLiteral("Orders"));
    }

    void failedAttemptStartsAgain()
    {
        settings.commandLine = standIn(QStringLiteral("--refuse-connect --service ") + service);
        const QString message =
            QStringLiteral("Error during \"") + service + QStringLiteral("/Orders\" DDE conversation !");
        link->WordProcessor();
        QCOMPARE(shown, QStringList{message});
        link->WordProcessor();
        QCOMPARE(shown, (QStringList{message, message}));
        QTRY_COMPARE(log.count(QStringLiteral("start")), 2);
        QCOMPARE(log.count(QStringLiteral("connect-refused")), 2);
        QVERIFY(!link->isLinked());
    }

    void secondRequestWhilePendingIsRefused()
    {
        link->WordProcessor();
        QVERIFY(link->execute(QStringLiteral("[delay 1500]"), true));
        QVERIFY(link->isBusy());
        QVERIFY(!link->execute(QStringLiteral("[second]"), true));
        QTRY_VERIFY(!link->isWaiting());
        QVERIFY(link->execute(QStringLiteral("[third]"), true));
        QTRY_VERIFY(!link->isWaiting());
        QCOMPARE(log.commands(), (QStringList{QStringLiteral("[delay 1500]"), QStringLiteral("[third]")}));
    }

    // Whatever completes a waited macro clears the waiting mark; whatever
    // ends the conversation makes the next document set the link up again.
    void waitingMarkAndConversationEnd_data()
    {
        QTest::addColumn<QString>("macro");
        QTest::addColumn<bool>("endStandIn");
        QTest::addColumn<int>("executeTimeout");
        QTest::addColumn<bool>("conversationLasts");
        QTest::newRow("reply") << "[delay 300]" << false << 0 << true;
        QTest::newRow("error reply") << "[fail]" << false << 0 << true;
        QTest::newRow("service vanishes") << "[delay 60000]" << true << 0 << false;
        QTest::newRow("time-out") << "[delay 60000]" << false << 500 << false;
        QTest::newRow("word processor hangs up") << "[hangup]" << false << 0 << false;
        QTest::newRow("word processor quits") << "[quit]" << false << 0 << false;
    }
    void waitingMarkAndConversationEnd()
    {
        QFETCH(QString, macro);
        QFETCH(bool, endStandIn);
        QFETCH(int, executeTimeout);
        QFETCH(bool, conversationLasts);
        if (executeTimeout > 0)
            link->setExecuteTimeout(executeTimeout);
        link->WordProcessor();
        QVERIFY(link->execute(macro, true));
        QVERIFY(link->isWaiting());
        if (endStandIn) {
            QTRY_COMPARE(log.count(QStringLiteral("execute")), 1);
            log.endStandIns();
        }
        QTRY_VERIFY(!link->isWaiting());
        QTRY_COMPARE(link->isLinked(), conversationLasts);
        QCOMPARE(link->hasConversation(), conversationLasts);

        link->setExecuteTimeout(30000);
        document(QStringLiteral("[next]"));
        QVERIFY(shown.isEmpty());
        QCOMPARE(log.commands().last(), QStringLiteral("[next]"));
        QCOMPARE(log.count(QStringLiteral("start")), conversationLasts ? 1 : 2);
        QCOMPARE(log.count(QStringLiteral("connect")), conversationLasts ? 1 : 2);
    }

    void finalMacroEndsConversation()
    {
        document(QStringLiteral("[document]"));
        settings.finalMacro = QStringLiteral("[final]");
        link->finalMacro();
        QVERIFY(!link->hasConversation());
        QVERIFY(!link->isWaiting());
        QCOMPARE(log.commands(), (QStringList{QStringLiteral("[document]"), QStringLiteral("[final]")}));
        const auto events = log.events();
        QCOMPARE(events.last().value(QLatin1String("event")).toString(), QStringLiteral("disconnect"));
        QVERIFY(shown.isEmpty());
    }

    void emptyFinalMacroIsSentAsItStands()
    {
        document(QStringLiteral("[document]"));
        settings.finalMacro.clear();
        link->finalMacro();
        QCOMPARE(log.commands(), (QStringList{QStringLiteral("[document]"), QString()}));
    }

    void finalMacroWithoutConversation()
    {
        link->finalMacro();
        QVERIFY(shown.isEmpty());
        QCOMPARE(log.events().size(), 0);
    }

    // A final macro asked for while a waited macro runs follows that macro's
    // answer, or its time-out, instead of being lost.
    void finalMacroFollowsAPendingMacro_data()
    {
        QTest::addColumn<QString>("pending");
        QTest::addColumn<int>("executeTimeout");
        QTest::newRow("answered") << "[delay 1000]" << 30000;
        QTest::newRow("timed out") << "[delay 3000]" << 500;
    }
    void finalMacroFollowsAPendingMacro()
    {
        QFETCH(QString, pending);
        QFETCH(int, executeTimeout);
        link->setExecuteTimeout(executeTimeout);
        link->WordProcessor();
        QVERIFY(link->execute(pending, true));
        link->finalMacro();
        QVERIFY(!link->isWaiting());
        QVERIFY(!link->hasConversation());
        QTRY_COMPARE(log.commands(), (QStringList{pending, QStringLiteral("[final]")}));
        QTRY_COMPARE(log.count(QStringLiteral("disconnect")), 1);
        QCOMPARE(log.events().last().value(QLatin1String("event")).toString(), QStringLiteral("disconnect"));
        QVERIFY(shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWordProcessorLink)
#include "tst_wordprocessorlink.moc"
