// Start-up in a folder of Paradox tables: the question answered both ways,
// a conversion that fails, a conversion killed at each of its steps, and
// the command line's choice of folder.

#include "data/error.h"
#include "app/firststart.h"
#include "app/mainform.h"
#include "migrate/paradoxfolder.h"
#include "tests/support/paradoxwriter.h"
#include "tests/support/recordingprompter.h"
#include "app/startup.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace kestrova;

namespace {

// Every file of a folder with a digest of its bytes, to prove nothing changed.
QMap<QString, QByteArray> snapshot(const QString& dir)
{
    QMap<QString, QByteArray> out;
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        QFile f(QDir(dir).filePath(name));
        f.open(QIODevice::ReadOnly);
        out.insert(name, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
    }
    return out;
}

void touch(const QString& path, const QByteArray& bytes = "companion")
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray head(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.read(16);
}

// The tables as an older program left them: upper-case names too, with
// index files and an unrelated file beside them.
void makeParadoxFolder(const QString& dir)
{
    paradoxtest::writeSampleSet(dir);
    QVERIFY(QFile::rename(QDir(dir).filePath("Xproduct.db"), QDir(dir).filePath("XPRODUCT.DB")));
    touch(QDir(dir).filePath("Xsale.PX"));
    touch(QDir(dir).filePath("Xsale.X02"));
    touch(QDir(dir).filePath("XSALE.Y02"));
    touch(QDir(dir).filePath("Xprice.VAL"));
    touch(QDir(dir).filePath("letter.txt"), "not a table");
}

// The child process of the kill test: converts the folder and kills itself
// before step killAt.
int convertAndDie(const QString& dir, int killAt)
{
    int step = 0;
    try {
        convertWorkingFolder(dir, [&](const QString&) {
            if (++step == killAt)
                std::raise(SIGKILL);
        });
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

} // namespace

class TestParadoxStart : public QObject {
    Q_OBJECT

    RecordingPrompter* rec = nullptr;
    QTemporaryDir* tmp = nullptr;
    QString dir;

private Q_SLOTS:
    void init()
    {
        rec = new RecordingPrompter;
        tmp = new QTemporaryDir;
        dir = tmp->path();
        makeParadoxFolder(dir);
    }
    void cleanup()
    {
        delete tmp;
        delete rec;
    }

    void answeredNoEndsTheProgramAndChangesNothing()
    {
        const QMap<QString, QByteArray> before = snapshot(dir);
        rec->answers << false;
        Windows w = startKestrova(dir);
        QVERIFY(!w.main);
        QCOMPARE(rec->questions.size(), 1);
        QVERIFY2(rec->questions.first().contains("holds its tables in the Paradox format") &&
                     rec->questions.first().contains("Convert them"),
                 qPrintable(rec->questions.first()));
        QVERIFY(rec->messages.isEmpty());
        QCOMPARE(snapshot(dir), before);
        QVERIFY(!QFileInfo::exists(QDir(dir).filePath("paradox")));
    }

    void answeredYesConvertsKeepsTheOriginalsAndStarts()
    {
        const QMap<QString, QByteArray> before = snapshot(dir);
        rec->answers << true;
        Windows w = startKestrova(dir);
        QVERIFY(w.main);
        QVERIFY2(rec->errors().isEmpty(), qPrintable(rec->errors().join('\n')));
        QCOMPARE(rec->questions.size(), 1);

        // Every Paradox file, companions included, is kept unchanged in paradox/.
        QMap<QString, QByteArray> kept = snapshot(QDir(dir).filePath("paradox"));
        QMap<QString, QByteArray> expected = before;
        expected.remove("letter.txt");
        QCOMPARE(kept, expected);
        // The working folder holds the new set and the unrelated file.
        QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(names.size(), 14);
        QVERIFY(names.contains("letter.txt"));
        for (const TableDef& t : schemaTables())
            QCOMPARE(head(QDir(dir).filePath(t.fileName())), QByteArray("SQLite format 3\0", 16));
        QCOMPARE(QDir(dir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"paradox"});

        // The program runs on the converted tables.
        QCOMPARE(w.main->data().Tproduct->recordCount(), 4);
        QCOMPARE(w.main->data().Ttable->recordCount(), 4 + settingNames().size());
        const QString report = rec->messages.last().text;
        QCOMPARE(rec->messages.last().icon, QMessageBox::Information);
        QVERIFY2(report.contains("Xsale: 4 records read, 4 written") &&
                     report.contains(QDir::toNativeSeparators(QDir(dir).filePath("paradox"))) &&
                     report.contains("Xtable.db had no settings row CommandLine"),
                 qPrintable(report));

        // The next start finds Kestrova's tables and asks nothing.
        w = Windows();
        rec->messages.clear();
        w = startKestrova(dir);
        QVERIFY(w.main);
        QCOMPARE(rec->questions.size(), 1);
    }

    void failedConversionLeavesEveryFileInPlace_data()
    {
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<QString>("problem");
        QTest::newRow("truncated table") << "Xsale.db"
                                         << "Xsale.db is truncated";
        QTest::newRow("already kept") << "paradox/Xsale.X02"
                                      << "Xsale.X02 already exists";
        QTest::newRow("looping chain of blocks") << "Xemail.db"
                                                 << "Xemail.db has a damaged chain of data blocks";
    }

    void failedConversionLeavesEveryFileInPlace()
    {
        QFETCH(QString, damaged);
        QFETCH(QString, problem);
        if (damaged.startsWith("paradox/")) {
            QDir().mkpath(QDir(dir).filePath("paradox"));
            touch(QDir(dir).filePath(damaged), "an older copy");
        } else if (problem.contains("chain")) {
            paradoxtest::loopBlockChain(QDir(dir).filePath(damaged));
        } else {
            QFile f(QDir(dir).filePath(damaged));
            QVERIFY(f.resize(f.size() - 2000));
        }
        const QMap<QString, QByteArray> before = snapshot(dir);
        const QStringList folders = QDir(dir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        rec->answers << true;
        Windows w = startKestrova(dir);
        QVERIFY(!w.main);
        QCOMPARE(rec->errors().size(), 1);
        const QString msg = rec->errors().first();
        QVERIFY2(msg.startsWith("The Paradox tables were not converted: ") && msg.contains(problem) &&
                     msg.endsWith('.'),
                 qPrintable(msg));
        QCOMPARE(snapshot(dir), before);
        QCOMPARE(QDir(dir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot), folders);
    }

    // The conversion runs in a child process killed before one of its steps,
    // each step in turn; the next start then finishes or undoes it.
    void killedConversionIsFinishedOrUndoneByTheNextStart()
    {
        int kills = 0, finished = 0, undone = 0;
        for (int killAt = 1;; ++killAt) {
            QTemporaryDir run;
            makeParadoxFolder(run.path());
            QMap<QString, QByteArray> originals = snapshot(run.path());
            originals.remove("letter.txt");
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("KESTROVA_TEST_CONVERT", run.path());
            env.insert("KESTROVA_TEST_KILL_AT", QString::number(killAt));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath());
            QVERIFY(child.waitForFinished(120000));
            if (child.exitStatus() == QProcess::NormalExit) {
                QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
                break; // past the last step
            }
            ++kills;

            RecordingPrompter next;
            next.answers << true; // convert again, when asked
            Windows w = startKestrova(run.path());
            const QString at = QStringLiteral("killed before step %1").arg(killAt);
            QVERIFY2(w.main && next.errors().isEmpty(), qPrintable(at + ": " + next.errors().join('\n')));
            for (const QString& q : std::as_const(next.questions))
                QVERIFY2(!q.contains("No tables were found"), qPrintable(at));
            finished += !next.messages.isEmpty() && next.messages.first().text.contains("interrupted conversion");
            undone += next.questions.size();
            QCOMPARE(w.main->data().Tproduct->recordCount(), 4);
            QCOMPARE(w.main->data().Tsale->recordCount(), 4);
            QCOMPARE(snapshot(QDir(run.path()).filePath("paradox")), originals);
            // No journal and no temporary folder left: the tables, letter.txt and paradox/.
            QCOMPARE(QDir(run.path()).entryList(QDir::Files | QDir::Hidden).size(), 14);
            QCOMPARE(QDir(run.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{"paradox"});
        }
        qInfo("%d kills: %d conversions finished, %d undone and made again", kills, finished, undone);
        QVERIFY(finished > 10 && undone >= 3);
    }

    // A second start while a conversion runs must not take it for an
    // interrupted one: it says so and touches nothing.
    void startDuringAConversionWaitsForIt()
    {
        touch(QDir(dir).filePath(conversionJournalName),
              "kestrova-convert 1\nphase converting\nstaging .kestrova-convert-a1B2c3\n");
        QVERIFY(QDir().mkpath(QDir(dir).filePath(".kestrova-convert-a1B2c3")));
        const QMap<QString, QByteArray> before = snapshot(dir);
        {
            const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
            QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX) == 0); // the running conversion
            Windows w = startKestrova(dir);
            ::close(fd);
            QVERIFY(!w.main);
            QVERIFY2(rec->errors().value(0).contains("Another Kestrova is converting"),
                     qPrintable(rec->errors().value(0)));
            QCOMPARE(snapshot(dir), before);
            QVERIFY(QFileInfo::exists(QDir(dir).filePath(".kestrova-convert-a1B2c3")));
        }
        // Once it has ended, the next start undoes it and asks again.
        Windows w = startKestrova(dir);
        QVERIFY(!w.main);
        QVERIFY(rec->questions.value(0).contains("holds its tables in the Paradox format"));
        QVERIFY(!QFileInfo::exists(QDir(dir).filePath(".kestrova-convert-a1B2c3")));
        QVERIFY(!QFileInfo::exists(QDir(dir).filePath(conversionJournalName)));
    }

    void commandLineChoosesTheFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("usageError");
        QTest::newRow("none") << QStringList{"kestrova"} << "/work/here" << false;
        QTest::newRow("user folder") << QStringList{"kestrova", "--user-folder"} << "/home/ann/Kestrova" << false;
        QTest::newRow("relative folder") << QStringList{"kestrova", "--folder", "books/2024"} << "/work/here/books/2024"
                                         << false;
        QTest::newRow("absolute folder") << QStringList{"kestrova", "--folder=/srv/orders/"} << "/srv/orders" << false;
        QTest::newRow("argument") << QStringList{"kestrova", "orders"} << QString() << true;
        QTest::newRow("unknown option") << QStringList{"kestrova", "--demo"} << QString() << true;
        QTest::newRow("two folders") << QStringList{"kestrova", "--user-folder", "--folder", "x"} << QString() << true;
    }

    void commandLineChoosesTheFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, folder);
        QFETCH(bool, usageError);
        const WorkingFolderChoice c = workingFolderFromArguments(arguments, "/work/here", "/home/ann");
        QCOMPARE(c.folder, folder);
        QCOMPARE(!c.usageError.isEmpty(), usageError);
        QVERIFY(!c.helpShown);
    }

    void userFolderIsMadeOnFirstStartAndOffersAnEmptySet()
    {
        QTemporaryDir home;
        const WorkingFolderChoice c = workingFolderFromArguments({"kestrova", "--user-folder"}, dir, home.path());
        makeWorkingFolder(c.folder);
        QVERIFY(QFileInfo(c.folder).isDir());
        Windows w = startKestrova(c.folder);
        QVERIFY(!w.main);
        QCOMPARE(rec->questions.size(), 1);
        QVERIFY(rec->questions.first().contains("Create a new, empty set of tables"));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("KESTROVA_TEST_CONVERT")) {
        QCoreApplication app(argc, argv);
        return convertAndDie(qEnvironmentVariable("KESTROVA_TEST_CONVERT"),
                             qEnvironmentVariableIntValue("KESTROVA_TEST_KILL_AT"));
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestParadoxStart test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_paradoxstart.moc"
