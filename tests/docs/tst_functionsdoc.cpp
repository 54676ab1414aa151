// docs/functions.md stays true: its example library and its gcc lines build
// warning-free, the libraries load through Kestrova's own loader, and the
// example's functions do what the page says with the notification it shows.

#include "functions/functionlibrary.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrova;

namespace {

QString page()
{
    QFile f(QStringLiteral(KESTROVA_SOURCE_DIR "/docs/functions.md"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The fenced blocks of the page written with language.
QStringList blocks(const QString& language)
{
    QStringList found;
    const QRegularExpression fence(QStringLiteral("```%1\\n(.*?)```").arg(language),
                                   QRegularExpression::DotMatchesEverythingOption);
    for (const auto& m : fence.globalMatch(page()))
        found << m.captured(1);
    return found;
}

// Runs a gcc line of the page in folder, warnings as errors, with extra
// arguments; the compiler's words when it fails.
QString build(const QString& line, const QString& folder, const QStringList& extra)
{
    QStringList args = QProcess::splitCommand(line.trimmed());
    const QString program = args.takeFirst();
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args + QStringList{QStringLiteral("-Werror")} + extra);
    if (!p.waitForFinished(120000))
        return QStringLiteral("gcc did not finish");
    return p.exitCode() == 0 ? QString() : QString::fromLocal8Bit(p.readAll());
}

} // namespace

class TestFunctionsDoc : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void pageHasOneExampleAndTwoBuildLines()
    {
        QCOMPARE(blocks(QStringLiteral("c")).size(), 1);
        QCOMPARE(blocks(QStringLiteral("text")).size(), 1);
        const QStringList lines = blocks(QStringLiteral("sh"));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("gcc ")));
        QVERIFY(lines.at(1).contains(QStringLiteral("samples/function-library/function.c")));
    }

    void exampleBuildsAndWorks()
    {
        const QString folder = m_dir.filePath(QStringLiteral("mine"));
        QVERIFY(QDir().mkpath(folder));
        QFile source(QDir(folder).filePath(QStringLiteral("my-functions.c")));
        QVERIFY(source.open(QIODevice::WriteOnly));
        QVERIFY(source.write(blocks(QStringLiteral("c")).value(0).toUtf8()) > 0);
        source.close();
        const QString failure =
            build(blocks(QStringLiteral("sh")).value(0), folder, {QStringLiteral("-I" KESTROVA_SOURCE_DIR "/include")});
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        FunctionLibrary library;
        QVERIFY(library.load({folder}));
        QCOMPARE(library.path(), QDir(folder).filePath(QStringLiteral("function.dll")));

        QCOMPARE(library.nextInvoiceNumber(QStringLiteral("NextNumber"), QStringLiteral("K-1041")),
                 std::optional<QString>(QStringLiteral("K-1042")));
        QCOMPARE(library.nextInvoiceNumber(QStringLiteral("NextNumber"), QStringLiteral("2026-7")),
                 std::optional<QString>(QStringLiteral("K-1000")));

        // The notification the page shows, with CR LF line ends too.
        const QString notification = blocks(QStringLiteral("text")).value(0);
        for (const QString& body :
             {notification, QString(notification).replace(QLatin1Char('\n'), QStringLiteral("\r\n"))}) {
            NotificationAreas areas;
            areas.setText(NotificationAreas::Licensee, QStringLiteral("earlier"));
            areas.setText(NotificationAreas::DeliveryAddress, QStringLiteral("earlier"));
            QVERIFY(library.recognise(QStringLiteral("RecogniseFairDesk"), body, areas));
            QCOMPARE(areas.text(NotificationAreas::Person), QStringLiteral("Ingrid Solberg"));
            QCOMPARE(areas.text(NotificationAreas::Address), QStringLiteral("Storgata 7, 0155 Oslo, Norway"));
            QCOMPARE(areas.text(NotificationAreas::ProductId), QStringLiteral("QP-02"));
            QCOMPARE(areas.text(NotificationAreas::NetAmount), QStringLiteral("39.8"));
            QCOMPARE(areas.text(NotificationAreas::Tax), QStringLiteral("7.56"));
            // Every area is written, also those the notification lacks.
            QCOMPARE(areas.text(NotificationAreas::Licensee), QString());
            QCOMPARE(areas.text(NotificationAreas::DeliveryAddress), QString());
        }
        NotificationAreas other;
        QVERIFY(!library.recognise(QStringLiteral("RecogniseFairDesk"),
                                   QStringLiteral("WebShop order notification\nName: X\n"), other));

        kestrova_pull_fn pull = library.pull();
        QVERIFY(pull);
        QByteArray text("first\tlast\r\n");
        char* cursor = text.data();
        char area[KESTROVA_PULL_CAPACITY];
        pull(&cursor, area, KESTROVA_PULL_CAPACITY, '\t');
        QCOMPARE(QByteArray(area), QByteArray("first"));
        pull(&cursor, area, KESTROVA_PULL_CAPACITY, '\r');
        QCOMPARE(QByteArray(area), QByteArray("last"));
        QCOMPARE(*cursor, '\n');
    }

    void sampleLibraryLineBuildsIt()
    {
        const QString folder = m_dir.filePath(QStringLiteral("sample"));
        QVERIFY(QDir().mkpath(folder));
        // The page's line, run in the source folder, writing into the test's folder.
        QString line = blocks(QStringLiteral("sh")).value(1);
        line.replace(QStringLiteral("-o function.dll"),
                     QStringLiteral("-o ") + QDir(folder).filePath(QStringLiteral("function.dll")));
        const QString failure = build(line, QStringLiteral(KESTROVA_SOURCE_DIR), {});
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        FunctionLibrary library;
        QVERIFY(library.load({folder}));
        QCOMPARE(library.nextInvoiceNumber(QStringLiteral("NextInvoiceNumber"), QStringLiteral("2026-0041")),
                 std::optional<QString>(QStringLiteral("2026-0042")));
        QVERIFY(library.pull());
    }
};

QTEST_GUILESS_MAIN(TestFunctionsDoc)
#include "tst_functionsdoc.moc"
