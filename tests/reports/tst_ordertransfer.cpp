#include "functions/functionlibrary.h"
#include "app/mainform.h"
#include "reports/progressform.h"
#include "tests/support/recordingprompter.h"
#include "app/startup.h"
#include "tests/reports/transferfixture.h"
#include "tests/support/child.h"

#include <QFileInfo>

using namespace kestrova;

class TestOrderTransfer : public TransferFixture {
    Q_OBJECT

    FunctionLibrary library;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(library.load({QFileInfo(QStringLiteral(KESTROVA_SAMPLE_LIBRARY)).absolutePath()}));
        QVERIFY(library.pull());
    }
    void init() { fx = std::make_unique<TableFixture>(); }
    void cleanup() { stop(); }

    void exportWritesTheDocumentedLine()
    {
        fx->exec("Xsale",
                 "INSERT INTO Xsale (OrderDate, Person, Address, NumberOfLicenses, NetAmount, Tax, "
                 "DeliveryFaxOrEMail) VALUES ('2026-03-04', 'Ann', 'Line 1\nLine 2', 3, 59.7, 0, 'x@example.org')");
        start();
        ProgressLog log;
        QCOMPARE(OrderFile::exportOrders(*saleIn, file("out.txt"), &log), 1);
        QCOMPARE(
            read(file("out.txt")),
            QByteArray("3/4/2026\tAnn\t\t\tLine 1\nLine 2\t\t\t\t\t\t\t3\t\t\t\t\t59.7\t0\t\t\t\t\tx@example.org\r\n"));
        QCOMPARE(log.calls, QStringList({"begin Exporting data/Exporting data/1", "end"}));
        QCOMPARE(log.last, 1);
        QVERIFY(!saleIn->isOpen());
    }

    void emptyTableAndEmptyFile()
    {
        start();
        QCOMPARE(OrderFile::exportOrders(*saleIn, file("empty.txt"), nullptr), 0);
        QVERIFY(QFile::exists(file("empty.txt")));
        QCOMPARE(read(file("empty.txt")).size(), 0);
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("empty.txt"), nullptr, nullptr), 0);
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 0);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("libraryPull");
        QTest::newRow("en_US, library Pull") << "en_US" << true;
        QTest::newRow("de_DE, library Pull") << "de_DE" << true;
        QTest::newRow("en_GB, built-in reader") << "en_GB" << false;
    }
    void roundTrip()
    {
        QFETCH(QString, locale);
        QFETCH(bool, libraryPull);
        const QString longAddress = QString(511, QChar(0x00e9)); // with the other address, over 2049 bytes
        fx->exec("Xsale",
                 QStringLiteral("INSERT INTO Xsale (%1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                     .arg(QLatin1String(kAllFields)),
                 {"1999-12-31",
                  "Jürgen Groß",
                  "Herr",
                  "Groß & Söhne",
                  QString("Hauptstraße 1\n") + QString(490, QChar(0x00f6)),
                  "j@example.org",
                  "Ledger",
                  "DE",
                  "Herr Jürgen Groß",
                  "WebShop",
                  "REF-1",
                  3,
                  "EUR",
                  "Card",
                  "2026-01-02",
                  "2026-0041",
                  1234567.125,
                  0.1,
                  "Lager",
                  "Frau",
                  "Eva Groß",
                  longAddress,
                  "e@example.org"});
        fx->exec("Xsale", "INSERT INTO Xsale (Person, NetAmount, Tax) VALUES ('Second', 1e-7, NULL)");
        fx->exec("Xsale", "INSERT INTO Xsale (Person) VALUES ('')");
        const auto before = orders();
        start(locale.toLatin1().constData());
        QCOMPARE(OrderFile::exportOrders(*saleIn, file("all.txt"), nullptr), 3);
        QVERIFY(read(file("all.txt")).indexOf("\r\n") > 2049); // written whole
        sale->emptyTable();
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("all.txt"), libraryPull ? library.pull() : nullptr,
                                         nullptr),
                 3);
        QCOMPARE(orders(), before);
    }

    void lineEnds()
    {
        start();
        // LF alone ends a line just as CR LF does; the last line needs no end.
        write(file("lf.txt"), line({{2, "Ann"}}, "\n") + line({{2, "Bob"}}, "\r\n") + line({{2, "Cy"}}, ""));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("lf.txt"), library.pull(), nullptr), 3);
        QCOMPARE(fx->value("Xsale", "SELECT group_concat(Person, ',') FROM (SELECT Person FROM Xsale ORDER BY rowid)")
                     .toString(),
                 "Ann,Bob,Cy");
    }

    void fieldBoundaries()
    {
        start();
        // Line breaks inside the two address fields stay in their field.
        write(file("breaks.txt"), line({{2, "Ann"}, {5, "Street 1\r\nTown"}, {22, "Depot\nCity"}, {23, "end"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("breaks.txt"), library.pull(), nullptr), 1);
        QCOMPARE(fx->value("Xsale", "SELECT Address FROM Xsale").toString(), "Street 1\r\nTown");
        QCOMPARE(fx->value("Xsale", "SELECT DeliveryAddress FROM Xsale").toString(), "Depot\nCity");
    }

    // A line must be exactly 23 fields: anything else is refused with its
    // line number, and the orders before it stay, as for a refused value.
    void refusedLinesStopTheImport_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<QString>("message");
        QTest::newRow("number") << line({{2, "Bad"}, {17, "12,5"}})
                                << "'12,5' is not a valid floating point value for field 'NetAmount'";
        QTest::newRow("integer") << line({{2, "Bad"}, {12, "two"}})
                                 << "'two' is not a valid integer value for field 'NumberOfLicenses'";
        QTest::newRow("date") << line({{1, "31/31/2026"}, {2, "Bad"}}) << "'31/31/2026' is not a valid date";
        QTest::newRow("fewer fields") << QByteArray("\tBad\r\n") << "Line 3 has 2 fields instead of 23";
        QTest::newRow("a line break in a one-line field")
            << line({{2, "Bad\nName"}}) << "Line 3 has 2 fields instead of 23";
        QTest::newRow("more fields") << line({{2, "Bad"}, {23, "last\textra"}}) << "Line 3 has 24 fields instead of 23";
        QTest::newRow("a tab inside a field") << line({{2, "Bad\tshifted"}}) << "Line 3 has 24 fields instead of 23";
        QTest::newRow("zero byte") << line({{2, QByteArray("B\0ad", 4)}}) << "Line 3 holds a zero byte";
        QTest::newRow("zero byte first") << QByteArray("\0", 1) + line({}) << "Line 3 holds a zero byte";
    }
    void refusedLinesStopTheImport()
    {
        QFETCH(QByteArray, bad);
        QFETCH(QString, message);
        start();
        fx->addOrders({"Before"});
        sale->refresh();
        // The first line holds a two-line address: the refused line is the third.
        write(file("bad.txt"), line({{2, "Ann"}, {5, "Street\r\nTown"}, {16, "A-7"}}) + bad + line({{2, "After"}}));
        ProgressLog log;
        QCOMPARE(importError(file("bad.txt"), library.pull(), &log), message);
        // The orders before the refused line stay; the half-filled one is dropped.
        QCOMPARE(persons(), "Before,Ann");
        QCOMPARE(sale->state(), DataSetState::Browse);
        QCOMPARE(log.calls.last(), "end");
        // The after-post rule ran for each stored order.
        QCOMPARE(lastInvoiceNumber(), "A-7");
        // Nothing is left pending: later changes are stored at once.
        sale->append();
        sale->setFieldText("Person", "Later");
        sale->post();
        QCOMPARE(persons(), "Before,Ann,Later");
    }

    void olderFilesInWindows1252()
    {
        start();
        write(file("ansi.txt"), line({{2, "M\xfcller"}, {4, "\x80uro \x93Works\x94"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("ansi.txt"), library.pull(), nullptr), 1);
        QCOMPARE(fx->value("Xsale", "SELECT Person FROM Xsale").toString(), QString::fromUtf8("Müller"));
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale").toString(),
                 QString::fromUtf8("€uro \u201cWorks\u201d"));
        QCOMPARE(OrderFile::textOfFile("\xEF\xBB\xBFx"), QByteArray("x"));
        // A zero byte is kept, for the reader to refuse its line.
        QCOMPARE(OrderFile::textOfFile(QByteArray("ab\0cd", 5)), QByteArray("ab\0cd", 5));
    }

    void unopenableFile()
    {
        start();
        const QString missing = file("missing.txt");
        QCOMPARE(importError(missing),
                 QStringLiteral("Cannot open the file %1: No such file or directory").arg(missing));
        bool refused = false;
        try {
            OrderFile::exportOrders(*saleIn, file("no/such/dir/x.txt"), nullptr);
        } catch (const Error& e) {
            refused = e.message().startsWith("Cannot create the file") && e.message().contains("x.txt");
        }
        QVERIFY(refused);
    }

    void pullContract()
    {
        char text[] = "abc\tdef";
        char* cursor = text;
        char out[4];
        OrderFile::builtInPull(&cursor, out, sizeof out, '\t');
        QCOMPARE(QByteArray(out), "abc");
        QCOMPARE(*cursor, 'd');
        char longText[] = "abcdefgh\tz";
        cursor = longText;
        OrderFile::builtInPull(&cursor, out, sizeof out, '\t');
        QCOMPARE(QByteArray(out), "abc"); // cut, the rest of the field skipped
        QCOMPARE(*cursor, 'z');
        OrderFile::builtInPull(&cursor, out, sizeof out, '\t');
        QCOMPARE(QByteArray(out), "z");
        QCOMPARE(*cursor, '\0');
    }

    void throughTheWindow()
    {
        RecordingPrompter rec;
        fx->exec("Xsale", "INSERT INTO Xsale (Person, InvoiceNumber) VALUES ('Ann', 'A1'), ('Bob', 'A2')");
        Windows w = startKestrova(fx->dir());
        QVERIFY(w.main);
        w.main->show();
        rec.fileNames << file("window.txt");
        child<QToolButton>(w.main, "ExportSpeed")->click();
        QVERIFY(rec.errors().isEmpty());
        QVERIFY(!w.progress->isVisible());
        QCOMPARE(read(file("window.txt")).count('\n'), 2);
        // An order being edited on the page is stored before the import.
        w.main->data().Tsale->edit();
        child<DbEdit>(w.main, "Company")->setTextAsTyped("Edited");
        rec.fileNames << file("window.txt");
        child<QToolButton>(w.main, "ImportSpeed")->click();
        QVERIFY(rec.errors().isEmpty());
        QCOMPARE(fx->value("Xsale", "SELECT group_concat(Person || ':' || Company, ',') FROM "
                                    "(SELECT Person, Company FROM Xsale ORDER BY rowid)")
                     .toString(),
                 "Ann:Edited,Bob:,Ann:,Bob:");
        QCOMPARE(fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'LastInvoiceNumber'").toString(), "A2");
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().Tsale);
        QCOMPARE(child<DbEdit>(w.main, "Person")->text(), w.main->data().Tsale->fieldText("Person"));
        QCOMPARE(w.progress->windowTitle(), "Importating data");
        QVERIFY(!w.progress->isVisible());
        // A cancelled dialog does nothing; a missing file is named.
        child<QToolButton>(w.main, "ImportSpeed")->click();
        QVERIFY(rec.errors().isEmpty());
        rec.fileNames << file("nowhere.txt");
        child<QToolButton>(w.main, "ImportSpeed")->click();
        QCOMPARE(rec.errors().size(), 1);
        QVERIFY(rec.errors().first().contains("nowhere.txt"));
    }

    // While a search is shown the order table is closed: the import is
    // refused, and the progress window does not stay behind.
    void importWhileASearchIsShown()
    {
        RecordingPrompter rec;
        fx->exec("Xsale", "INSERT INTO Xsale (Person, NetAmount) VALUES ('Ann', 10)");
        write(file("one.txt"), line({{2, "Bob"}}));
        Windows w = startKestrova(fx->dir());
        QVERIFY(w.main);
        w.main->show();
        child<QToolButton>(w.main, "OrderUnpayedFindSpeed")->click();
        QVERIFY(!w.main->data().Tsale->isOpen());
        rec.fileNames << file("one.txt");
        child<QToolButton>(w.main, "ImportSpeed")->click();
        QCOMPARE(rec.errors(), QStringList{"Cannot perform this operation on a closed dataset."});
        QVERIFY(!w.progress->isVisible());
        QCOMPARE(persons(), "Ann");
        // Once the search has ended, the import works.
        child<QToolButton>(w.main, "OrderUnpayedFindSpeed")->click();
        QVERIFY(w.main->data().Tsale->isOpen());
        rec.fileNames << file("one.txt");
        child<QToolButton>(w.main, "ImportSpeed")->click();
        QCOMPARE(rec.errors().size(), 1);
        QCOMPARE(persons(), "Ann,Bob");
        QVERIFY(!w.progress->isVisible());
    }

    // The bar's maximum and its positions count the bytes of the same text:
    // the text that the lines are read from, after the byte order mark is
    // dropped and lines of older programs are converted.
    void progressCountsTheTextRead()
    {
        start();
        const QByteArray oldLine = line({{2, QByteArray(30, '\xfc')}}); // 30 bytes more in UTF-8
        write(file("progress.txt"), "\xEF\xBB\xBF" + oldLine + oldLine + oldLine);
        ProgressLog log;
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("progress.txt"), nullptr, &log), 3);
        const qint64 lineBytes = oldLine.size() + 30;
        QCOMPARE(log.maximum, 3 * lineBytes);
        QCOMPARE(log.last, 2 * lineBytes); // the start of the last line
        QCOMPARE(log.calls.last(), "end");
    }
};

QTEST_MAIN(TestOrderTransfer)
#include "tst_ordertransfer.moc"
