// Printing on a real print queue: a private CUPS scheduler whose queues keep
// what they receive in files, and the writer in this process printing the
// shipped invoice and label templates to it through Qt's print support.

#include "tests/support/privatecups.h"
#include "writer/writerservice.h"
#include "tests/writer/writertestkit.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

using namespace kestrova::writer;
using namespace writertest;

namespace {

const QString kService = QStringLiteral("org.kestrova.PrintWriter");

Record customer(const QString& person)
{
    return {{QStringLiteral("Person"), person},
            {QStringLiteral("Company"), QStringLiteral("Whitlock Joinery Ltd")},
            {QStringLiteral("Address"), QStringLiteral("14 Chapel Street\r\nHebden Bridge HX7 8AB")},
            {QStringLiteral("Product"), QStringLiteral("Tidewater Ledger")},
            {QStringLiteral("Currency"), QStringLiteral("EUR")},
            {QStringLiteral("InvoiceNumber"), QStringLiteral("2026-0042")},
            {QStringLiteral("NumberOfLicenses"), QStringLiteral("3")},
            {QStringLiteral("NetAmount"), QStringLiteral("147")},
            {QStringLiteral("Tax"), QStringLiteral("27.93")},
            {QStringLiteral("Total"), QStringLiteral("174.93")}};
}

bool copyTemplate(const QString& name, const QString& to, const QString& pageSize)
{
    QFile in(QStringLiteral(KESTROVA_SAMPLE_TEMPLATES "/") + name);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(to).absolutePath()) ||
        !out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray html = in.readAll().replace("content=\"A4\"", "content=\"" + pageSize.toLatin1() + "\"");
    return out.write(html) == html.size();
}

} // namespace

class TestWriterPrint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void printsOnTheQueue_data();
    void printsOnTheQueue();
    void refusedJobsAreErrors_data();
    void refusedJobsAreErrors();

private:
    QString path(const QString& name) const { return m_work->filePath(name); }

    QTemporaryDir m_cupsDir;
    testsupport::PrivateCups m_cups;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<RecordingNotifier> m_notifier;
    std::unique_ptr<RecordingViewer> m_viewer;
    std::unique_ptr<WriterService> m_service;
    std::unique_ptr<Client> m_client;
};

void TestWriterPrint::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
    const QString failure = m_cups.start(m_cupsDir.path());
    if (!failure.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no private CUPS scheduler: ") + failure));
    for (const char* queue : {"Capture", "Refusing", "Quota"})
        QCOMPARE(m_cups.addQueue(QLatin1String(queue)), QString());
    QCOMPARE(m_cups.addQueue(QStringLiteral("Filtered"), true), QString());
    QCOMPARE(m_cups.lp({QStringLiteral("lpadmin"), QStringLiteral("-d"), QStringLiteral("Capture")}), QString());
    QCOMPARE(m_cups.lp({QStringLiteral("cupsreject"), QStringLiteral("-r"), QStringLiteral("closed for the test"),
                        QStringLiteral("Refusing")}),
             QString());
    // The first job fits within a kilobyte's quota; the second finds it used.
    QCOMPARE(
        m_cups.lp({QStringLiteral("lpadmin"), QStringLiteral("-p"), QStringLiteral("Quota"), QStringLiteral("-o"),
                   QStringLiteral("job-k-limit=1"), QStringLiteral("-o"), QStringLiteral("job-quota-period=86400")}),
        QString());
}

void TestWriterPrint::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    m_notifier = std::make_unique<RecordingNotifier>();
    m_viewer = std::make_unique<RecordingViewer>();
    m_service = std::make_unique<WriterService>(m_work->path(), *m_notifier, *m_viewer);
    const QString failure = m_service->registerOn(QDBusConnection::sessionBus(), kService);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    m_client = std::make_unique<Client>(kService);
    QVERIFY(copyTemplate(QStringLiteral("en/invoice.html"), path(QStringLiteral("templates/en/invoice.html")),
                         QStringLiteral("A4")));
    QVERIFY(copyTemplate(QStringLiteral("en/invoice.html"), path(QStringLiteral("templates/us/invoice.html")),
                         QStringLiteral("Letter")));
    QVERIFY(copyTemplate(QStringLiteral("en/invoice.html"), path(QStringLiteral("templates/wide/invoice.html")),
                         QStringLiteral("A4\"><meta name=\"orientation\" content=\"landscape")));
    QVERIFY(copyTemplate(QStringLiteral("en/labels.html"), path(QStringLiteral("templates/en/labels.html")),
                         QStringLiteral("A4")));
    QFile::remove(m_cups.output(QStringLiteral("Capture")));
    QFile::remove(m_cups.output(QStringLiteral("Filtered")));
}

void TestWriterPrint::cleanup()
{
    m_client.reset();
    QDBusConnection::sessionBus().unregisterService(kService);
    QDBusConnection::sessionBus().unregisterObject(QStringLiteral("/org/kestrova/Dde"));
    m_service.reset();
    m_work.reset();
}

void TestWriterPrint::printsOnTheQueue_data()
{
    QTest::addColumn<QString>("macro");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QSizeF>("pts");
    QTest::addColumn<QStringList>("texts");
    const QSizeF a4(595.3, 841.9), letter(612, 792);
    const QStringList invoice{QStringLiteral("2026-0042"), QStringLiteral("Owen Whitlock"),
                              QStringLiteral("Tidewater Ledger"), QStringLiteral("174.93")};
    QTest::newRow("invoice, A4") << QStringLiteral("[Print \"en/invoice.html\" \"Capture\"]") << 1 << 1 << a4
                                 << invoice;
    QTest::newRow("invoice, Letter") << QStringLiteral("[Print \"us/invoice.html\" \"Capture\"]") << 1 << 1 << letter
                                     << invoice;
    QTest::newRow("invoice, A4 landscape")
        << QStringLiteral("[Print \"wide/invoice.html\" \"Capture\"]") << 1 << 1 << a4.transposed() << invoice;
    QTest::newRow("invoice, default queue") << QStringLiteral("[print \"en/invoice.html\"]") << 1 << 1 << a4 << invoice;
    // Through the PDF filter: the job's paper option sets the sheet, a wide page is turned onto it.
    QTest::newRow("invoice, Letter, filtered")
        << QStringLiteral("[Print \"us/invoice.html\" \"Filtered\"]") << 1 << 1 << letter << invoice;
    QTest::newRow("invoice, A4 landscape, filtered turns it on the sheet")
        << QStringLiteral("[Print \"wide/invoice.html\" \"Filtered\"]") << 1 << 1 << a4 << invoice;
    QTest::newRow("labels, two sheets") << QStringLiteral("[PrintLabels \"en/labels.html\" 3 8 \"Capture\"]") << 25 << 2
                                        << a4 << QStringList{QStringLiteral("Person01"), QStringLiteral("Person24")};
}

void TestWriterPrint::printsOnTheQueue()
{
    QFETCH(QString, macro);
    QFETCH(int, records);
    QFETCH(int, pages);
    QFETCH(QSizeF, pts);
    QFETCH(QStringList, texts);
    QList<Record> list;
    for (int i = 1; i <= records; ++i)
        list << customer(records == 1 ? QStringLiteral("Owen Whitlock")
                                      : QStringLiteral("Person%1").arg(i, 2, 10, QLatin1Char('0')));
    writeExchange(m_work->path(), list);
    const uint id = m_client->connectTopic();
    QCOMPARE(outcome(m_client->execute(id, macro)), QStringLiteral("ok"));
    QVERIFY(m_notifier->shown.isEmpty());

    const QString queue =
        macro.contains(QLatin1String("Filtered")) ? QStringLiteral("Filtered") : QStringLiteral("Capture");
    const QString job = m_cups.output(queue);
    QVERIFY2(m_cups.waitForOutput(queue), qPrintable(m_cups.log().right(3000)));
    const QByteArray head = fileBytes(job).left(4);
    QVERIFY2(head == "%PDF" || head == "%!PS", head.constData());
    const PdfFacts facts = pdfFacts(job);
    QCOMPARE(facts.pages, pages);
    QVERIFY2(qAbs(facts.sizePt.width() - pts.width()) <= 1.0 && qAbs(facts.sizePt.height() - pts.height()) <= 1.0,
             qPrintable(QStringLiteral("%1 x %2 pts").arg(facts.sizePt.width()).arg(facts.sizePt.height())));
    if (QByteArray(QTest::currentDataTag()).contains("turns")) {
        // Whole and turned, not shrunk upright: its words run up the sheet.
        const auto word =
            QRegularExpression(
                QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">Invoice<"))
                .match(run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), job, QStringLiteral("-")}));
        QVERIFY(word.hasMatch());
        QVERIFY(word.captured(4).toDouble() - word.captured(2).toDouble() >
                2 * (word.captured(3).toDouble() - word.captured(1).toDouble()));
    }
    const QString text = pdfText(job).simplified();
    for (const QString& t : texts)
        QVERIFY2(text.contains(t), qPrintable(t + QStringLiteral(" not in: ") + text));
}

void TestWriterPrint::refusedJobsAreErrors_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("inMessage");
    QTest::newRow("no such queue") << QStringLiteral("Nowhere") << QStringLiteral("UnknownQueue")
                                   << QStringList{QStringLiteral("\"Nowhere\""), QStringLiteral("does not exist")};
    QTest::newRow("queue rejects jobs") << QStringLiteral("Refusing") << QStringLiteral("PrintRefused")
                                        << QStringList{QStringLiteral("\"Refusing\""),
                                                       QStringLiteral("closed for the test")};
    QTest::newRow("render fails on the third record")
        << QStringLiteral("Capture") << QStringLiteral("ExchangeTable") << QStringList{QStringLiteral("Person")};
    QTest::newRow("scheduler refuses the job") << QStringLiteral("Quota") << QStringLiteral("PrintRefused")
                                               << QStringList{QStringLiteral("\"Quota\""), QStringLiteral("uota")};
}

void TestWriterPrint::refusedJobsAreErrors()
{
    QFETCH(QString, queue);
    QFETCH(QString, error);
    QFETCH(QStringList, inMessage);
    QList<Record> records{customer(QStringLiteral("Owen Whitlock"))};
    if (QTest::currentDataTag() == QByteArray("render fails on the third record"))
        records << records[0] << customer(QString(1024 * 1024 + 1, QLatin1Char('x')));
    writeExchange(m_work->path(), records);
    const uint id = m_client->connectTopic();
    const QString macro = QStringLiteral("[Print \"en/invoice.html\" \"%1\"]").arg(queue);
    if (queue == QLatin1String("Quota")) {
        QCOMPARE(outcome(m_client->execute(id, macro)), QStringLiteral("ok"));
        QVERIFY(m_cups.waitForOutput(queue));
        QVERIFY(QFile::remove(m_cups.output(queue)));
    }
    const QDBusMessage reply = m_client->execute(id, macro);
    QCOMPARE(reply.errorName(), QStringLiteral("org.kestrova.Dde.Error.") + error);
    for (const QString& part : inMessage)
        QVERIFY2(reply.errorMessage().contains(part), qPrintable(reply.errorMessage()));
    QCOMPARE(m_notifier->shown, QStringList{reply.errorMessage()});
    // Nothing of it reaches the queue.
    QVERIFY(!m_cups.waitForOutput(queue, 2000));
}

QTEST_MAIN(TestWriterPrint)
#include "tst_writerprint.moc"
