#include "tests/reports/transferfixture.h"
#include "tests/support/connectionprobe.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

using namespace kestrova;

namespace {

// A disk with room for only so many bytes per file: a write past the limit
// fails (EFBIG) as it would on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(bytes);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

// Field readers that break the contract: one leaves the cursor where it is
// for its first calls, one moves it to another text.
int g_stalls = 0;
int stallingPull(char** cursor, char* output, int capacity, int terminator)
{
    if (g_stalls > 0) {
        --g_stalls;
        output[0] = '\0';
        return 0;
    }
    return OrderFile::builtInPull(cursor, output, capacity, terminator);
}
char g_elsewhere[] = "";
int wanderingPull(char** cursor, char* output, int, int)
{
    *cursor = g_elsewhere;
    output[0] = '\0';
    return 0;
}

} // namespace

// Malformed files, field readers that break their contract, locked files
// and full disks: nothing half-done is stored or reported as done.
class TestTransferFaults : public TransferFixture {
    Q_OBJECT

    QByteArray threeOrders()
    {
        return line({{2, "Ann"}, {16, "A-1"}}) + line({{2, "Bob"}, {16, "A-2"}}) + line({{2, "Cy"}, {16, "A-3"}});
    }
    void setUpBefore()
    {
        fx->addOrders({"Before"});
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'B-1' WHERE Name = 'LastInvoiceNumber'");
        start();
        // Waiting for a lock would only slow the tests down.
        for (Table* t : {sale.get(), settings.get()})
            QVERIFY(QSqlQuery(ConnectionProbe::database(*t)).exec(QStringLiteral("PRAGMA busy_timeout = 20")));
    }
    // After a failed import the tables are as before it, and work on as
    // usual: a change is stored at once, and the import can run again.
    void checkNothingStoredAndWorkingOn()
    {
        QCOMPARE(persons(), "Before");
        QCOMPARE(lastInvoiceNumber(), "B-1");
        QCOMPARE(sale->state(), DataSetState::Browse);
        QCOMPARE(sale->fieldText("Person"), "Before");
        QCOMPARE(sale->recordCount(), 1);
        sale->append();
        sale->setFieldText("Person", "Later");
        sale->setFieldText("InvoiceNumber", "C-1");
        sale->post();
        QCOMPARE(persons(), "Before,Later");
        QCOMPARE(lastInvoiceNumber(), "C-1");
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("three.txt"), nullptr, nullptr), 3);
        QCOMPARE(persons(), "Before,Later,Ann,Bob,Cy");
        QCOMPARE(lastInvoiceNumber(), "A-3");
    }

private Q_SLOTS:
    void init() { fx = std::make_unique<TableFixture>(); }
    void cleanup() { stop(); }

    void blankLinesArePassedOver()
    {
        start();
        write(file("blanks.txt"), "\r\n  \r\n\n\r\n   ");
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("blanks.txt"), nullptr, nullptr), 0);
        write(file("some.txt"), "\r\n" + line({{2, "Ann"}}) + "   \n\r\n" + line({{2, "Bob"}}) + "\r\n\r\n");
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("some.txt"), nullptr, nullptr), 2);
        QCOMPARE(persons(), "Ann,Bob");
        // Blank lines count in the line numbers of a refused line.
        write(file("late.txt"), "\r\n\n" + line({{2, "Cy"}}) + "\r\n\tDee\r\n");
        QCOMPARE(importError(file("late.txt")), "Line 5 has 2 fields instead of 23");
        QCOMPARE(persons(), "Ann,Bob,Cy");
    }

    // A file cut off in the middle of a line does not store half an order.
    void fileCutOffMidLine()
    {
        start();
        const QByteArray whole = line({{2, "Ann"}}) + line({{2, "Bob"}});
        write(file("cut.txt"), whole + line({{2, "Cy"}}).left(12));
        QCOMPARE(importError(file("cut.txt")), "Line 3 has 11 fields instead of 23");
        QCOMPARE(persons(), "Ann,Bob");
        // The last line needs no line end, and its last field may be empty.
        sale->emptyTable();
        write(file("noend.txt"), whole + line({{2, "Cy"}}, ""));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("noend.txt"), nullptr, nullptr), 3);
    }

    // One line of an older program does not make the others Windows-1252.
    void validUtf8IsNeverReadAsWindows1252()
    {
        start();
        write(file("mixed.txt"), line({{2, "J\xc3\xbcrgen Gro\xc3\x9f"}}) + line({{2, "M\xfcller"}}) +
                                     line({{2, "\xe2\x82\xac Caf\xc3\xa9"},
                                           {5, "Stra\xc3\x9f"
                                               "e\r\nOrt"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("mixed.txt"), nullptr, nullptr), 3);
        QCOMPARE(persons(), QString::fromUtf8("Jürgen Groß,Müller,€ Café"));
        QCOMPARE(fx->value("Xsale", "SELECT Address FROM Xsale WHERE rowid = 3").toString(),
                 QString::fromUtf8("Straße\r\nOrt"));
        // Cut or overlong sequences and surrogates are not UTF-8.
        QCOMPARE(OrderFile::textOfFile("a\xc3"), QByteArray("a\xc3\x83"));
        QCOMPARE(OrderFile::textOfFile("\xc0\xaf"), QByteArray("\xc3\x80\xc2\xaf"));
        QCOMPARE(OrderFile::textOfFile("\xed\xa0\x80"), QByteArray("\xc3\xad\xc2\xa0\xe2\x82\xac"));
        QCOMPARE(OrderFile::textOfFile("\xf0\x9f\x98\x80"), QByteArray("\xf0\x9f\x98\x80"));
    }

    void twoDigitYearsImported()
    {
        start();
        write(file("years.txt"), line({{1, "12/31/99"}, {2, "Ann"}, {15, "1/2/03"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("years.txt"), nullptr, nullptr), 1);
        QCOMPARE(fx->rows("Xsale", "SELECT OrderDate, PaymentDate FROM Xsale").first(),
                 QVariantList({"1999-12-31", "2003-01-02"}));
    }

    // A field reader that does not move on, or moves outside the text,
    // stops the import at once instead of appending orders for ever.
    void brokenFieldReaders()
    {
        start();
        write(file("three.txt"), threeOrders());
        g_stalls = 1000;
        QCOMPARE(importError(file("three.txt"), stallingPull),
                 "Line 1 cannot be read: the field reader Pull does not advance");
        QCOMPARE(importError(file("three.txt"), wanderingPull),
                 "Line 1 cannot be read: the field reader Pull moved outside the text");
        QCOMPARE(persons(), "");
        QCOMPARE(sale->state(), DataSetState::Browse);
    }

    // Another program reading the order file when the import commits: the
    // whole import is undone and the engine's reason is reported.
    void orderFileLockedAtCommit()
    {
        setUpBefore();
        write(file("three.txt"), threeOrders());
        ProgressLog log;
        {
            ReadLock reader(fx->path("Xsale"));
            QCOMPARE(importError(file("three.txt"), nullptr, &log),
                     "Cannot store the imported orders: database is locked");
        }
        QCOMPARE(log.calls.last(), "end");
        checkNothingStoredAndWorkingOn();
    }

    // The orders and the last invoice number are stored together: a lock on
    // the settings file alone keeps the orders out too.
    void settingsFileLockedAtCommit()
    {
        setUpBefore();
        write(file("three.txt"), threeOrders());
        {
            ReadLock reader(fx->path("Xtable"));
            QCOMPARE(importError(file("three.txt")), "Cannot store the imported orders: database is locked");
        }
        checkNothingStoredAndWorkingOn();
    }

    // A full disk when the orders are written out: nothing of the import is
    // kept, and the program goes on normally once there is room again.
    void diskFullAtCommit()
    {
        setUpBefore();
        QByteArray text;
        const QByteArray address(200, 'a');
        for (int i = 0; i < 2000; ++i)
            text += line({{2, "Many"}, {5, address}, {16, "M-" + QByteArray::number(i)}});
        write(file("many.txt"), text);
        write(file("three.txt"), threeOrders());
        QString message;
        {
            FileSizeLimit disk(QFileInfo(fx->path("Xsale")).size() + 32768);
            message = importError(file("many.txt"));
        }
        QVERIFY2(message.startsWith("Cannot store the imported orders: "), qPrintable(message));
        QVERIFY(!message.contains("no transaction"));
        checkNothingStoredAndWorkingOn();
    }

    // A write of the export that fails is reported with its reason, and the
    // previous file stays as it was.
    void exportOnFullDisk_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one write") << 100;
        QTest::newRow("several writes") << 4000;
    }
    void exportOnFullDisk()
    {
        QFETCH(int, count);
        fx->exec("Xsale",
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                 "INSERT INTO Xsale (Person) SELECT 'Person ' || i FROM n",
                 {count});
        start();
        const QString target = file("previous.txt");
        write(target, "the previous export\r\n");
        ProgressLog log;
        QString message;
        {
            FileSizeLimit disk(2048);
            try {
                OrderFile::exportOrders(*saleIn, target, &log);
            } catch (const Error& e) {
                message = e.message();
            }
        }
        QCOMPARE(message, QStringLiteral("Cannot write the file %1: File too large").arg(target));
        QCOMPARE(read(target), QByteArray("the previous export\r\n"));
        QCOMPARE(QDir(files.path()).entryList({"previous*"}, QDir::Files), QStringList{"previous.txt"});
        QVERIFY(!saleIn->isOpen());
        QCOMPARE(log.calls.last(), "end");
        // With room on the disk, the same export replaces the file.
        QCOMPARE(OrderFile::exportOrders(*saleIn, target, nullptr), count);
        QCOMPARE(read(target).count('\n'), count);
    }
};

QTEST_MAIN(TestTransferFaults)
#include "tst_transferfaults.moc"
