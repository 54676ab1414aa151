// The document writer over a private session bus: the service in this
// process with recording stand-ins for message boxes and the viewer, and the
// real kestrova-writer program, both spoken to over the bus as Kestrova does.

#include "writer/writerservice.h"
#include "tests/writer/writertestkit.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrova::writer;
using namespace writertest;

namespace {

const QString kService = QStringLiteral("org.kestrova.TestWriter");

void writeFile(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    const QByteArray bytes = text.toUtf8();
    QVERIFY(f.write(bytes) == bytes.size());
}

QString page(const QString& meta, const QString& body)
{
    return QStringLiteral("<html><head>%1</head><body>%2</body></html>").arg(meta, body);
}

Record person(const QString& name, const QString& extra = QString())
{
    Record r{{QStringLiteral("Person"), name}, {QStringLiteral("Company"), QStringLiteral("Acme")}};
    if (!extra.isEmpty())
        r.insert(QStringLiteral("Address"), extra);
    return r;
}

QStringList listing(const QString& dir)
{
    QStringList out;
    for (const QFileInfo& f :
         QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        out << f.fileName() +
                   (f.isDir() ? QStringLiteral("/") + listing(f.filePath()).join(QLatin1Char(',')) : QString());
    return out;
}

} // namespace

class TestWriterService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void rendersOneRecordAndAnswers();
    void rendersEachRecordFromANewPage();
    void laysLabelsOutInAGrid();
    void printsValuesAsTextWithTheirLineBreaks();
    void setsThePageSize_data();
    void setsThePageSize();
    void namesTheOutputAfterTheFirstRecord();
    void answersBadInputWithAnErrorAndKeepsTheEarlierPdf_data();
    void answersBadInputWithAnErrorAndKeepsTheEarlierPdf();
    void opensTheLastPdfOfTheConversation();
    void keepsConversationsApart();
    void quitsAfterTheReply();
    void theErrorBoxIsTitledAndLeavesTheWriterAnswering();
    void theProgramServesTheLinkAndEndsOnFileExit();
    void conversationsBelongToTheirCaller_data();
    void conversationsBelongToTheirCaller();
    void answersOthersWhileALongMailingRuns();
    void endsWhenTheBusIsLost();

private:
    void prepareRefusals(const QString& outside);
    QString work() const { return m_dir->path(); }
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordingNotifier> m_notifier;
    std::unique_ptr<RecordingViewer> m_viewer;
    std::unique_ptr<WriterService> m_service;
    std::unique_ptr<Client> m_client;
};

void TestWriterService::init()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
    m_dir = std::make_unique<QTemporaryDir>();
    m_notifier = std::make_unique<RecordingNotifier>();
    m_viewer = std::make_unique<RecordingViewer>();
    m_service = std::make_unique<WriterService>(work(), *m_notifier, *m_viewer);
    const QString failure = m_service->registerOn(QDBusConnection::sessionBus(), kService);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    m_client = std::make_unique<Client>(kService);
    writeFile(path(QStringLiteral("templates/good.html")), page(QString(), QStringLiteral("<p>Hello $Person</p>")));
}

void TestWriterService::cleanup()
{
    m_client.reset();
    QDBusConnection::sessionBus().unregisterService(kService);
    QDBusConnection::sessionBus().unregisterObject(QStringLiteral("/org/kestrova/Dde"));
    m_service.reset();
    m_dir.reset();
}

void TestWriterService::rendersOneRecordAndAnswers()
{
    writeExchange(work(), {Record{{QStringLiteral("Person"), QStringLiteral("Ann Lee")},
                                  {QStringLiteral("InvoiceNumber"), QStringLiteral("2026-0042")},
                                  {QStringLiteral("Total"), QStringLiteral("120.6")},
                                  {QStringLiteral("Currency"), QStringLiteral("EUR")}}});
    writeFile(path(QStringLiteral("templates/en/invoice.html")),
              page(QString(), QStringLiteral("<h1>Invoice $InvoiceNumber</h1><p>To $Person: $Total $Currency</p>")));
    const uint id = m_client->connectTopic();
    QVERIFY(id != 0);
    QCOMPARE(outcome(m_client->execute(id, QStringLiteral("[Pdf \"en/invoice.html\" \"documents/invoice.pdf\"]"))),
             QStringLiteral("ok"));
    const QString pdf = path(QStringLiteral("documents/invoice.pdf"));
    QCOMPARE(pdfFacts(pdf).pages, 1);
    const QString text = pdfText(pdf).simplified();
    QVERIFY2(text.contains(QLatin1String("Invoice 2026-0042")) && text.contains(QLatin1String("To Ann Lee: 120.6 EUR")),
             qPrintable(text));
    QVERIFY(m_notifier->shown.isEmpty());
    // Nothing but the PDF was left behind.
    QCOMPARE(listing(path(QStringLiteral("documents"))), QStringList{QStringLiteral("invoice.pdf")});
    // An empty macro, as the final macro may be, does nothing and succeeds.
    QCOMPARE(outcome(m_client->execute(id, QString())), QStringLiteral("ok"));
}

void TestWriterService::rendersEachRecordFromANewPage()
{
    QList<Record> records;
    for (int i = 1; i <= 5; ++i)
        records << person(QStringLiteral("Person%1").arg(i));
    // The third one's document runs over two pages.
    records[2].insert(QStringLiteral("Address"), QString(50, QLatin1Char('\n')) + QStringLiteral("LastLine"));
    writeExchange(work(), records);
    writeFile(path(QStringLiteral("templates/mailing.html")),
              page(QStringLiteral("<meta name=\"page-size\" content=\"A5\">"),
                   QStringLiteral("<p>Dear $Person</p><p>$Address</p>")));
    const uint id = m_client->connectTopic();
    QCOMPARE(outcome(m_client->execute(id, QStringLiteral("[PDF \"mailing.html\" \"m.pdf\"]"))), QStringLiteral("ok"));
    const QString pdf = path(QStringLiteral("m.pdf"));
    QCOMPARE(pdfFacts(pdf).pages, 6);
    const QStringList expected{QStringLiteral("Person1"), QStringLiteral("Person2"),
                               QStringLiteral("Person3"), QString(),
                               QStringLiteral("Person4"), QStringLiteral("Person5")};
    for (int p = 1; p <= 6; ++p) {
        const QString text = pdfText(pdf, p);
        for (int i = 1; i <= 5; ++i) {
            const QString name = QStringLiteral("Person%1").arg(i);
            QVERIFY2(text.contains(name) == (expected[p - 1] == name),
                     qPrintable(QStringLiteral("page %1: %2").arg(p).arg(text.simplified())));
        }
    }
    QVERIFY(pdfText(pdf, 4).contains(QLatin1String("LastLine")));
}

void TestWriterService::laysLabelsOutInAGrid()
{
    QList<Record> records;
    for (int i = 1; i <= 25; ++i)
        records << person(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0')));
    writeExchange(work(), records);
    writeFile(path(QStringLiteral("templates/labels.html")),
              page(QStringLiteral("<meta name=\"margins\" content=\"10mm\">"), QStringLiteral("<p>$Person</p>")));
    const uint id = m_client->connectTopic();
    QCOMPARE(outcome(m_client->execute(id, QStringLiteral("[Labels \"labels.html\" 3 8 \"labels.pdf\"]"))),
             QStringLiteral("ok"));
    const QString pdf = path(QStringLiteral("labels.pdf"));
    QCOMPARE(pdfFacts(pdf).pages, 2);
    const QString first = pdfText(pdf, 1);
    for (int i = 1; i <= 24; ++i)
        QVERIFY2(first.contains(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0'))), qPrintable(first));
    // Across first, then down: three labels to a line.
    const QStringList lines = first.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0).simplified(), QStringLiteral("L01 L02 L03"));
    QCOMPARE(lines.value(7).simplified(), QStringLiteral("L22 L23 L24"));
    QCOMPARE(pdfText(pdf, 2).simplified(), QStringLiteral("L25"));
}

void TestWriterService::printsValuesAsTextWithTheirLineBreaks()
{
    writeExchange(work(),
                  {Record{{QStringLiteral("Person"), QStringLiteral("<b>Bold</b> & <i>Sons</i>")},
                          {QStringLiteral("Address"), QStringLiteral("1 Mill Lane\r\nLeeds LS1\r\nUnited Kingdom")},
                          {QStringLiteral("Total"), QStringLiteral("&amp;")}}});
    writeFile(
        path(QStringLiteral("templates/t.html")),
        page(QString(), QStringLiteral("<p>[$person]</p><p>[$PERSON] [$Person]</p><p>Price $$5, $$Total, $Nope</p>"
                                       "<p>$Address</p><p>$total</p>")));
    const uint id = m_client->connectTopic();
    QCOMPARE(outcome(m_client->execute(id, QStringLiteral("[Pdf \"t.html\" \"t.pdf\"]"))), QStringLiteral("ok"));
    const QStringList lines = pdfText(path(QStringLiteral("t.pdf"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList simplified;
    for (const QString& l : lines)
        if (!l.trimmed().isEmpty())
            simplified << l.simplified();
    QCOMPARE(simplified.mid(0, 7),
             (QStringList{QStringLiteral("[<b>Bold</b> & <i>Sons</i>]"),
                          QStringLiteral("[<b>Bold</b> & <i>Sons</i>] [<b>Bold</b> & <i>Sons</i>]"),
                          QStringLiteral("Price $5, $Total, $Nope"), QStringLiteral("1 Mill Lane"),
                          QStringLiteral("Leeds LS1"), QStringLiteral("United Kingdom"), QStringLiteral("&amp;")}));
}

void TestWriterService::setsThePageSize_data()
{
    QTest::addColumn<QString>("meta");
    QTest::addColumn<QSizeF>("pts");
    auto mm = [](double w, double h) { return QSizeF(w * 72 / 25.4, h * 72 / 25.4); };
    auto size = [](const char* s) {
        return QStringLiteral("<meta name=\"page-size\" content=\"%1\">").arg(QLatin1String(s));
    };
    QTest::newRow("A4 by default") << QString() << mm(210, 297);
    QTest::newRow("A5") << size("A5") << mm(148, 210);
    QTest::newRow("Letter") << size("letter") << QSizeF(612, 792);
    QTest::newRow("Legal") << size("Legal") << QSizeF(612, 1008);
    QTest::newRow("DL") << size("DL") << mm(220, 110);
    QTest::newRow("C5") << size("C5") << mm(229, 162);
    QTest::newRow("C6") << size("C6") << mm(162, 114);
    QTest::newRow("custom") << size("100x50mm") << mm(100, 50);
    QTest::newRow("A4 landscape") << QStringLiteral("<meta name=\"orientation\" content=\"landscape\">")
                                  << mm(297, 210);
    QTest::newRow("DL upright") << size("DL") + QStringLiteral("<meta name=\"orientation\" content=\"portrait\">")
                                << mm(110, 220);
}

void TestWriterService::setsThePageSize()
{
    QFETCH(QString, meta);
    QFETCH(QSizeF, pts);
    writeExchange(work(), {person(QStringLiteral("Ann"))});
    writeFile(path(QStringLiteral("templates/s.html")),
              page(meta + QStringLiteral("<meta name=\"margins\" content=\"5mm\">"), QStringLiteral("<p>$Person</p>")));
    const uint id = m_client->connectTopic();
    QCOMPARE(outcome(m_client->execute(id, QStringLiteral("[Pdf \"s.html\" \"s.pdf\"]"))), QStringLiteral("ok"));
    const PdfFacts facts = pdfFacts(path(QStringLiteral("s.pdf")));
    QVERIFY2(qAbs(facts.sizePt.width() - pts.width()) <= 1.0 && qAbs(facts.sizePt.height() - pts.height()) <= 1.0,
             qPrintable(QStringLiteral("%1 x %2 pts").arg(facts.sizePt.width()).arg(facts.sizePt.height())));
    QVERIFY(pdfText(path(QStringLiteral("s.pdf"))).contains(QLatin1String("Ann")));
}

void TestWriterService::namesTheOutputAfterTheFirstRecord()
{
    writeExchange(work(), {Record{{QStringLiteral("Company"), QStringLiteral("A/B: \"C\" ..")},
                                  {QStringLiteral("InvoiceNumber"), QStringLiteral("..")},
                                  {QStringLiteral("Person"), QStringLiteral("first")}},
                           Record{{QStringLiteral("Company"), QStringLiteral("Other")},
                                  {QStringLiteral("Person"), QStringLiteral("second")}}});
    const uint id = m_client->connectTopic();
    QCOMPARE(outcome(m_client->execute(
                 id, QStringLiteral("[Pdf \"good.html\" \"out/$company/$InvoiceNumber $Unknown.pdf\"]"))),
             QStringLiteral("ok"));
    // Values cannot climb out of the folder; unknown markers stay.
    const QString pdf = path(QStringLiteral("out/A_B_ _C_ ../__ $Unknown.pdf"));
    QVERIFY2(QFile::exists(pdf), qPrintable(listing(work()).join(QLatin1Char(' '))));
    QCOMPARE(pdfFacts(pdf).pages, 2);
}

void TestWriterService::answersBadInputWithAnErrorAndKeepsTheEarlierPdf_data()
{
    QTest::addColumn<QString>("macro");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("inMessage");

    QTest::newRow("unknown command") << QStringLiteral("[Pdf \"good.html\" \"out.pdf\"] [Mailmerge]")
                                     << QStringLiteral("UnknownCommand") << QStringLiteral("[Mailmerge]");
    QTest::newRow("bad arguments") << QStringLiteral("[Labels \"good.html\" 3 \"out.pdf\"]")
                                   << QStringLiteral("BadArguments") << QStringLiteral("3 arguments were given");
    QTest::newRow("missing template") << QStringLiteral("[Pdf \"none.html\" \"out.pdf\"]")
                                      << QStringLiteral("MissingTemplate") << QStringLiteral("templates/none.html");
    QTest::newRow("bad page size") << QStringLiteral("[Pdf \"b7.html\" \"out.pdf\"]") << QStringLiteral("BadPageSize")
                                   << QStringLiteral("\"B7\"");
    QTest::newRow("unknown print queue") << QStringLiteral("[Print \"good.html\" \"NoSuchQueue\"]")
                                         << QStringLiteral("UnknownQueue") << QStringLiteral("\"NoSuchQueue\"");
    QTest::newRow("unknown queue for labels") << QStringLiteral("[PrintLabels \"good.html\" 3 8 \"NoSuchQueue\"]")
                                              << QStringLiteral("UnknownQueue") << QStringLiteral("\"NoSuchQueue\"");
    QTest::newRow("output under a file") << QStringLiteral("[Pdf \"good.html\" \"out.pdf/x.pdf\"]")
                                         << QStringLiteral("UnwritableOutput") << QStringLiteral("cannot be created");
    QTest::newRow("output is a folder") << QStringLiteral("[Pdf \"good.html\" \"folder.pdf\"]")
                                        << QStringLiteral("UnwritableOutput") << QStringLiteral("is a folder");
    QTest::newRow("render fails on the third record") << QStringLiteral("[Pdf \"good.html\" \"out.pdf\"]")
                                                      << QStringLiteral("ExchangeTable") << QStringLiteral("Address");
    QTest::newRow("empty exchange table") << QStringLiteral("[Pdf \"good.html\" \"out.pdf\"]")
                                          << QStringLiteral("NoDocument") << QStringLiteral("no record");
    QTest::newRow("no exchange table") << QStringLiteral("[Pdf \"good.html\" \"out.pdf\"]")
                                       << QStringLiteral("ExchangeTable") << QStringLiteral("does not exist");
    QTest::newRow("exchange table left by a killed writer")
        << QStringLiteral("[Pdf \"good.html\" \"out.pdf\"]") << QStringLiteral("ExchangeTable")
        << QStringLiteral("is being written; try again");

    // Any program of the session may call: paths stay inside the writer's folders.
    const auto refused = [](const char* tag, const char* macro, const char* error, const char* inMessage) {
        QTest::newRow(tag) << QString::fromUtf8(macro) << QString::fromUtf8(error) << QString::fromUtf8(inMessage);
    };
    // clang-format off
    refused("absolute output", "[Pdf \"good.html\" \"OUTSIDE/x.pdf\"]", "RefusedPath", "only relative paths");
    refused("output climbing out", "[Pdf \"good.html\" \"docs/../../x.pdf\"]", "RefusedPath", "\"..\"");
    refused("table file as output", "[Pdf \"good.html\" \"Xsale.db\"]", "RefusedPath", "table file");
    refused("labels not into a pdf", "[Labels \"good.html\" 3 8 \"out.txt\"]", "RefusedPath", "end in .pdf");
    refused("output through a linked folder", "[Pdf \"good.html\" \"linked/x.pdf\"]", "RefusedPath", "\"linked\" is a symbolic link");
    refused("output is a link", "[Pdf \"good.html\" \"link.pdf\"]", "RefusedPath", "\"link.pdf\" is a symbolic link");
    refused("absolute template", "[Pdf \"OUTSIDE/secret.html\" \"out.pdf\"]", "RefusedPath", "only relative paths");
    refused("template climbing out", "[Pdf \"../Xexport.db\" \"out.pdf\"]", "RefusedPath", "\"..\"");
    refused("linked template", "[Pdf \"linked.html\" \"out.pdf\"]", "RefusedPath", "symbolic link");
    refused("image from a device", "[Pdf \"zero.html\" \"out.pdf\"]", "RefusedPath", "/dev/zero");
    refused("image from a pipe", "[Pdf \"fifo.html\" \"out.pdf\"]", "RefusedPath", "not a regular file");
    refused("image outside the folder", "[Pdf \"outside.html\" \"out.pdf\"]", "RefusedPath", "own folder");
    refused("style sheet outside the folder", "[Pdf \"css.html\" \"out.pdf\"]", "RefusedPath", "own folder");
    refused("linked image", "[Labels \"imglink.html\" 2 2 \"out.pdf\"]", "RefusedPath", "symbolic link");
    refused("image over the size bound", "[Pdf \"bigimage.html\" \"out.pdf\"]", "BadTemplate", "16 MiB");
    refused("tables nested 30 deep", "[Pdf \"tables.html\" \"out.pdf\"]", "BadTemplate", "tables in tables");
    refused("elements nested 3000 deep", "[Pdf \"divs.html\" \"out.pdf\"]", "BadTemplate", "elements");
    // clang-format on
}

// What a hostile caller points the writer at: a folder and files outside the
// working folder, links to them, a pipe, a huge image, deep templates.
void TestWriterService::prepareRefusals(const QString& outside)
{
    writeFile(outside + QStringLiteral("/secret.html"), QStringLiteral("SECRET"));
    writeFile(outside + QStringLiteral("/secret.png"), QStringLiteral("SECRET"));
    writeFile(outside + QStringLiteral("/secret.css"), QStringLiteral("p { color: red }"));
    QVERIFY(QFile::link(outside, path(QStringLiteral("linked"))));
    QVERIFY(QFile::link(outside + QStringLiteral("/secret.html"), path(QStringLiteral("link.pdf"))));
    QVERIFY(QFile::link(outside + QStringLiteral("/secret.html"), path(QStringLiteral("templates/linked.html"))));
    QVERIFY(QFile::link(outside + QStringLiteral("/secret.png"), path(QStringLiteral("templates/link.png"))));
    QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("templates/pipe.png"))).constData(), 0600), 0);
    QFile big(path(QStringLiteral("templates/big.png")));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(17 * 1024 * 1024));
    const auto image = [&](const char* name, const QString& src) {
        writeFile(path(QStringLiteral("templates/") + QLatin1String(name)),
                  page(QString(), QStringLiteral("<p>$Person <img src=\"%1\"></p>").arg(src)));
    };
    image("zero.html", QStringLiteral("/dev/zero"));
    image("fifo.html", QStringLiteral("pipe.png"));
    image("outside.html", QUrl::fromLocalFile(outside + QStringLiteral("/secret.png")).toString());
    image("imglink.html", QStringLiteral("link.png"));
    image("bigimage.html", QStringLiteral("big.png"));
    writeFile(path(QStringLiteral("templates/css.html")),
              page(QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"../linked/secret.css\">"),
                   QStringLiteral("<p>x</p>")));
    writeFile(path(QStringLiteral("templates/tables.html")),
              page(QString(), QStringLiteral("<table><tr><td>").repeated(30) + QStringLiteral("x") +
                                  QStringLiteral("</td></tr></table>").repeated(30)));
    writeFile(path(QStringLiteral("templates/divs.html")),
              page(QString(), QStringLiteral("<div>").repeated(3000) + QStringLiteral("</div>").repeated(3000)));
}

// Kestrova killed while it wrote the exchange table: its journal stays behind.
void leaveHalfWritten(const QString& table)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(table).constData(), &db);
        // More than the cache holds, so pages reach the table file before
        // the end and the journal that could undo them is hot.
        sqlite3_exec(db,
                     "PRAGMA cache_size = 1; BEGIN; DELETE FROM Xexport; INSERT INTO Xexport (Person) "
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                     "SELECT printf('%0500d', i) FROM n;",
                     nullptr, nullptr, nullptr);
        ::raise(SIGKILL);
    }
    QVERIFY(pid > 0);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY(WIFSIGNALED(status));
    QVERIFY(QFile::exists(table + QStringLiteral("-journal")));
}

void TestWriterService::answersBadInputWithAnErrorAndKeepsTheEarlierPdf()
{
    QFETCH(QString, macro);
    QFETCH(QString, error);
    QFETCH(QString, inMessage);
    writeExchange(work(), {person(QStringLiteral("Earlier"))});
    const uint id = m_client->connectTopic();
    QCOMPARE(outcome(m_client->execute(id, QStringLiteral("[Pdf \"good.html\" \"out.pdf\"]"))), QStringLiteral("ok"));
    const QByteArray earlier = fileBytes(path(QStringLiteral("out.pdf")));
    QVERIFY(pdfText(path(QStringLiteral("out.pdf"))).contains(QLatin1String("Hello Earlier")));

    writeFile(path(QStringLiteral("templates/b7.html")),
              page(QStringLiteral("<meta name=\"page-size\" content=\"B7\">"), QStringLiteral("x")));
    QVERIFY(QDir().mkpath(path(QStringLiteral("folder.pdf"))));
    QTemporaryDir outside;
    prepareRefusals(outside.path());
    const QStringList outsideBefore = listing(outside.path());
    macro.replace(QLatin1String("OUTSIDE"), outside.path());
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (tag.startsWith(QLatin1String("render fails"))) {
        // Two good records, then one Kestrova could never have written.
        writeExchange(work(), {person(QStringLiteral("One")), person(QStringLiteral("Two")),
                               person(QStringLiteral("Three"), QString(1024 * 1024 + 1, QLatin1Char('x')))});
    } else if (tag == QLatin1String("empty exchange table")) {
        writeExchange(work(), {});
    } else if (tag == QLatin1String("no exchange table")) {
        QVERIFY(QFile::remove(path(QStringLiteral("Xexport.db"))));
    } else if (tag.startsWith(QLatin1String("exchange table left"))) {
        leaveHalfWritten(path(QStringLiteral("Xexport.db")));
    }
    const QStringList before = listing(work());

    const QDBusMessage reply = m_client->execute(id, macro);
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(reply.errorName(), QStringLiteral("org.kestrova.Dde.Error.") + error);
    QVERIFY2(reply.errorMessage().contains(inMessage), qPrintable(reply.errorMessage()));
    QVERIFY(reply.errorMessage().endsWith(QLatin1Char('.')));
    // The person is told the same, once.
    QCOMPARE(m_notifier->shown, QStringList{reply.errorMessage()});
    // Nothing half-written: the earlier PDF is intact and no stray file is left.
    QCOMPARE(fileBytes(path(QStringLiteral("out.pdf"))), earlier);
    QCOMPARE(listing(work()), before);
    QCOMPARE(listing(outside.path()), outsideBefore);
    QCOMPARE(fileBytes(outside.path() + QStringLiteral("/secret.html")), QByteArray("SECRET"));

    // The conversation goes on.
    writeExchange(work(), {person(QStringLiteral("Later"))});
    QCOMPARE(outcome(m_client->execute(id, QStringLiteral("[Pdf \"good.html\" \"out.pdf\"]"))), QStringLiteral("ok"));
    QVERIFY(pdfText(path(QStringLiteral("out.pdf"))).contains(QLatin1String("Hello Later")));
}

void TestWriterService::opensTheLastPdfOfTheConversation()
{
    writeExchange(work(), {person(QStringLiteral("Ann"))});
    const uint id = m_client->connectTopic();
    QDBusMessage reply = m_client->execute(id, QStringLiteral("[Open]"));
    QCOMPARE(reply.errorName(), QStringLiteral("org.kestrova.Dde.Error.NoDocument"));
    QVERIFY(m_viewer->opened.isEmpty());

    QCOMPARE(outcome(m_client->execute(
                 id, QStringLiteral("[Pdf \"good.html\" \"a.pdf\"][Pdf \"good.html\" \"b.pdf\"] [open]"))),
             QStringLiteral("ok"));
    QCOMPARE(m_viewer->opened, QStringList{path(QStringLiteral("b.pdf"))});

    m_viewer->works = false;
    reply = m_client->execute(id, QStringLiteral("[Open]"));
    QCOMPARE(reply.errorName(), QStringLiteral("org.kestrova.Dde.Error.ViewerFailed"));
    QVERIFY(reply.errorMessage().contains(path(QStringLiteral("b.pdf"))));
    QCOMPARE(m_notifier->shown.size(), 2);
}

void TestWriterService::keepsConversationsApart()
{
    writeExchange(work(), {person(QStringLiteral("Ann"))});
    const uint a = m_client->connectTopic(QStringLiteral("System"));
    const uint b = m_client->connectTopic(QStringLiteral("any topic at all"));
    QVERIFY(a != 0 && b != 0 && a != b);
    QCOMPARE(outcome(m_client->execute(a, QStringLiteral("[Pdf \"good.html\" \"a.pdf\"]"))), QStringLiteral("ok"));
    QCOMPARE(m_client->execute(b, QStringLiteral("[Open]")).errorName(),
             QStringLiteral("org.kestrova.Dde.Error.NoDocument"));

    QCOMPARE(outcome(m_client->call(QStringLiteral("Disconnect"), {a})), QStringLiteral("ok"));
    QDBusMessage reply = m_client->execute(a, QStringLiteral("[Pdf \"good.html\" \"again.pdf\"]"));
    QCOMPARE(reply.errorName(), QStringLiteral("org.kestrova.Dde.Error.NoConversation"));
    QVERIFY(!QFile::exists(path(QStringLiteral("again.pdf"))));
    reply = m_client->call(QStringLiteral("Disconnect"), {a});
    QCOMPARE(reply.errorName(), QStringLiteral("org.kestrova.Dde.Error.NoConversation"));
    QCOMPARE(outcome(m_client->execute(b, QStringLiteral("[Pdf \"good.html\" \"b.pdf\"]"))), QStringLiteral("ok"));
}

void TestWriterService::quitsAfterTheReply()
{
    writeExchange(work(), {person(QStringLiteral("Ann"))});
    QSignalSpy finished(m_service.get(), &WriterService::finished);
    QSignalSpy disconnected(m_service.get(), &WriterService::Disconnected);
    const uint a = m_client->connectTopic();
    const uint b = m_client->connectTopic();
    // Commands after [Quit] are not carried out.
    QCOMPARE(outcome(m_client->execute(
                 a, QStringLiteral("[Pdf \"good.html\" \"a.pdf\"][Quit][Pdf \"good.html\" \"b.pdf\"]"))),
             QStringLiteral("ok"));
    QVERIFY(QFile::exists(path(QStringLiteral("a.pdf"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("b.pdf"))));
    // The end may come while the client still waits for the reply.
    QVERIFY(!finished.isEmpty() || finished.wait(60000));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(disconnected.size(), 2);
    QCOMPARE(QSet<uint>({disconnected[0][0].toUInt(), disconnected[1][0].toUInt()}), QSet<uint>({a, b}));
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value());
}

void TestWriterService::theErrorBoxIsTitledAndLeavesTheWriterAnswering()
{
    BoxNotifier boxes;
    boxes.showError(QStringLiteral("There is no print queue \"X\"."));
    QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("WriterErrorBox") && w->isVisible())
            box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Kestrova writer"));
    QCOMPARE(box->text(), QStringLiteral("There is no print queue \"X\"."));
    QCOMPARE(box->icon(), QMessageBox::Critical);
    // showError returned with the box still up: the writer goes on serving.
    QVERIFY(!box->isModal());
    QPointer<QMessageBox> guard(box);
    box->close();
    QTRY_VERIFY(guard.isNull());
}

void TestWriterService::theProgramServesTheLinkAndEndsOnFileExit()
{
    const QString service = QStringLiteral("org.kestrova.ProgramWriter");
    writeExchange(work(), {person(QStringLiteral("Ann"))});
    QProcess writer;
    writer.setWorkingDirectory(work());
    writer.start(QStringLiteral(KESTROVA_WRITER_PROGRAM),
                 {QStringLiteral("--service"), service, QStringLiteral("--no-boxes")});
    QVERIFY(writer.waitForStarted());
    // The link waits for the name to appear; so does the test, with the event loop running.
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    for (int i = 0; i < 600 && !bus->isServiceRegistered(service).value(); ++i)
        QTest::qWait(50);
    QVERIFY(bus->isServiceRegistered(service).value());

    Client client(service);
    const uint id = client.connectTopic();
    QVERIFY(id != 0);
    QCOMPARE(outcome(client.execute(id, QStringLiteral("[Pdf \"good.html\" \"docs/ann.pdf\"]"))), QStringLiteral("ok"));
    QVERIFY(pdfText(path(QStringLiteral("docs/ann.pdf"))).contains(QLatin1String("Hello Ann")));
    const QDBusMessage bad = client.execute(id, QStringLiteral("[Bogus]"));
    QCOMPARE(bad.errorName(), QStringLiteral("org.kestrova.Dde.Error.UnknownCommand"));
    // A second writer cannot take the same name.
    QProcess second;
    second.start(QStringLiteral(KESTROVA_WRITER_PROGRAM),
                 {QStringLiteral("--service"), service, QStringLiteral("--no-boxes")});
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 1);

    QCOMPARE(outcome(client.execute(id, QStringLiteral("[FileExit]"))), QStringLiteral("ok"));
    QVERIFY(writer.waitForFinished(60000));
    QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
    QCOMPARE(writer.exitCode(), 0);
    // Its messages went to the error output, not into boxes.
    QVERIFY(QString::fromUtf8(writer.readAllStandardError()).contains(QLatin1String("Unknown command [Bogus]")));
    QVERIFY(!bus->isServiceRegistered(service).value());
}

void TestWriterService::conversationsBelongToTheirCaller_data()
{
    QTest::addColumn<bool>("leaveBus");
    QTest::newRow("the other client disconnects") << false;
    QTest::newRow("the other client leaves the bus") << true;
}

void TestWriterService::conversationsBelongToTheirCaller()
{
    QFETCH(bool, leaveBus);
    writeExchange(work(), {person(QStringLiteral("Ann"))});
    QSignalSpy finished(m_service.get(), &WriterService::finished);
    auto other = std::make_unique<Client>(kService, QStringLiteral("other-client"));
    const uint mine = m_client->connectTopic();
    const uint theirs = other->connectTopic();
    const QString noConversation = QStringLiteral("org.kestrova.Dde.Error.NoConversation");
    QCOMPARE(m_client->execute(theirs, QStringLiteral("[Pdf \"good.html\" \"x.pdf\"]")).errorName(), noConversation);
    QCOMPARE(m_client->call(QStringLiteral("Disconnect"), {theirs}).errorName(), noConversation);
    QVERIFY(!QFile::exists(path(QStringLiteral("x.pdf"))));

    // [Quit] waits while another client's conversation is open...
    QCOMPARE(outcome(m_client->execute(mine, QStringLiteral("[Quit]"))), QStringLiteral("ok"));
    QTest::qWait(300);
    QVERIFY(finished.isEmpty());
    QCOMPARE(outcome(other->execute(theirs, QStringLiteral("[Pdf \"good.html\" \"x.pdf\"]"))), QStringLiteral("ok"));
    // ...and the writer ends once it is over.
    if (leaveBus)
        other.reset();
    else
        QCOMPARE(outcome(other->call(QStringLiteral("Disconnect"), {theirs})), QStringLiteral("ok"));
    QVERIFY(!finished.isEmpty() || finished.wait(10000));
}

namespace {

// Starts kestrova-writer in `dir` with an environment of its own; waits for
// its name on the bus `bus`.
void startWriter(QProcess& writer, const QString& dir, const QString& service, QDBusConnection bus,
                 const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    writer.setWorkingDirectory(dir);
    writer.setProcessEnvironment(env);
    writer.start(QStringLiteral(KESTROVA_WRITER_PROGRAM),
                 {QStringLiteral("--service"), service, QStringLiteral("--no-boxes")});
    QVERIFY(writer.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(bus.interface()->isServiceRegistered(service).value(), 30000);
}

} // namespace

void TestWriterService::answersOthersWhileALongMailingRuns()
{
    const QString service = QStringLiteral("org.kestrova.BusyWriter");
    QList<Record> records;
    for (int i = 0; i < 40; ++i)
        records << person(QStringLiteral("Reader %1").arg(i));
    writeExchange(work(), records);
    // Every page a large table: seconds of layout in all.
    writeFile(
        path(QStringLiteral("templates/heavy.html")),
        page(QString(), QStringLiteral("<table>") +
                            QStringLiteral("<tr><td>$Person</td><td>a</td><td>b</td><td>c</td></tr>").repeated(600) +
                            QStringLiteral("</table>")));
    QProcess writer;
    startWriter(writer, work(), service, QDBusConnection::sessionBus());
    Client mailer(service, QStringLiteral("mailer"));
    Client other(service, QStringLiteral("other"));
    const uint id = mailer.connectTopic();
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/kestrova/Dde"),
                                                       QStringLiteral("org.kestrova.Dde"), QStringLiteral("Execute"));
    call.setArguments({id, QStringLiteral("[Pdf \"heavy.html\" \"mailing.pdf\"]")});
    QDBusPendingCallWatcher mailing(mailer.bus().asyncCall(call, 600000));

    // While it runs, another client is answered at once: busy for a macro,
    // a new conversation as always.
    const uint otherId = other.connectTopic();
    QVERIFY(otherId != 0);
    QString answer;
    for (int i = 0; i < 100 && !mailing.isFinished(); ++i) {
        answer = outcome(
            other.call(QStringLiteral("Execute"), {otherId, QStringLiteral("[Pdf \"good.html\" \"b.pdf\"]")}, 2000));
        if (answer != QLatin1String("ok"))
            break;
        QTest::qWait(20);
    }
    QVERIFY2(answer.startsWith(QLatin1String("org.kestrova.Dde.Error.Busy")),
             qPrintable(answer + QStringLiteral(" / mailing: ") + outcome(mailing.reply())));
    QElapsedTimer took;
    took.start();
    const QDBusMessage connected = other.call(QStringLiteral("Connect"), {QStringLiteral("System")}, 2000);
    QCOMPARE(connected.type(), QDBusMessage::ReplyMessage);
    QVERIFY(took.elapsed() < 2000);
    QVERIFY(!mailing.isFinished());

    mailing.waitForFinished();
    QCOMPARE(outcome(mailing.reply()), QStringLiteral("ok"));
    QCOMPARE(pdfFacts(path(QStringLiteral("mailing.pdf"))).pages >= 40, true);
    QCOMPARE(outcome(mailer.execute(id, QStringLiteral("[Quit]"))), QStringLiteral("ok"));
    QCOMPARE(outcome(other.call(QStringLiteral("Disconnect"), {otherId})), QStringLiteral("ok"));
    QCOMPARE(outcome(other.call(QStringLiteral("Disconnect"), {connected.arguments().value(0)})), QStringLiteral("ok"));
    QVERIFY(writer.waitForFinished(30000));
}

void TestWriterService::endsWhenTheBusIsLost()
{
    // A bus of its own, ended under the writer's feet.
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(daemon.waitForStarted());
    QTRY_VERIFY(daemon.canReadLine());
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("own-bus"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    QProcess writer;
    startWriter(writer, work(), QStringLiteral("org.kestrova.LonelyWriter"), bus, env);
    QDBusConnection::disconnectFromBus(QStringLiteral("own-bus"));

    daemon.kill();
    QVERIFY(daemon.waitForFinished());
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitCode(), 1);
    QVERIFY(QString::fromUtf8(writer.readAllStandardError()).contains(QLatin1String("session bus was lost")));
}

QTEST_MAIN(TestWriterService)
#include "tst_writerservice.moc"
