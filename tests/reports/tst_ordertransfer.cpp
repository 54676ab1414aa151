#include "error.h"
#include "functionlibrary.h"
#include "mainform.h"
#include "orderrules.h"
#include "ordertransfer.h"
#include "progressform.h"
#include "recordingprompter.h"
#include "startup.h"
#include "tablefixture.h"

#include <QFileInfo>
#include <QTest>

#include "child.h"

using namespace kestrova;

namespace {

struct ProgressLog : TransferProgress {
    QStringList calls;
    qint64 last = -1;
    void begin(const QString& caption, const QString& label, qint64 max) override
    {
        calls << QStringLiteral("begin %1/%2/%3").arg(caption, label).arg(max);
    }
    void advance(qint64 pos) override { last = pos; }
    void end() override { calls << QStringLiteral("end"); }
};

const char* const kAllFields =
    "OrderDate, Person, Title, Company, Address, FaxOrEMail, Product, Language, Licensee, Origin, Reference, "
    "NumberOfLicenses, Currency, PaymentMeans, PaymentDate, InvoiceNumber, NetAmount, Tax, DeliveryCompany, "
    "DeliveryTitle, DeliveryPerson, DeliveryAddress, DeliveryFaxOrEMail";

} // namespace

class TestOrderTransfer : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<Table> sale, saleIn, settings;
    std::unique_ptr<DataSource> source;
    std::unique_ptr<OrderRules> rules;
    FunctionLibrary library;
    QTemporaryDir files;

    void start(const char* locale = "en_US")
    {
        const LocaleFormat fmt = LocaleFormat::fromLocale(QLocale(QString::fromLatin1(locale)));
        auto table = [&](const char* name) {
            auto t = std::make_unique<Table>();
            t->setDirectory(fx->dir());
            t->setTableName(QString::fromLatin1(name));
            t->setLocaleFormat(fmt);
            return t;
        };
        sale = table("Xsale");
        saleIn = table("Xsale");
        settings = table("Xtable");
        sale->open();
        settings->open();
        source = std::make_unique<DataSource>();
        source->setDataSet(sale.get());
        rules = std::make_unique<OrderRules>(source.get(), sale.get(), nullptr, settings.get(), nullptr);
        sale->onAfterPost(sale.get(), [this] { rules->orderPosted(); });
    }
    QString file(const char* name) const { return QDir(files.path()).filePath(QString::fromLatin1(name)); }
    void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QList<QVariantList> orders()
    {
        return fx->rows("Xsale", QStringLiteral("SELECT %1 FROM Xsale ORDER BY rowid").arg(QLatin1String(kAllFields)));
    }
    QString importError(const QString& path, kestrova_pull_fn pull = nullptr, ProgressLog* log = nullptr)
    {
        try {
            OrderFile::importOrders(*sale, settings.get(), path, pull, log);
        } catch (const Error& e) {
            return e.message();
        }
        return QString();
    }
    // One line of the file: fields given, the rest empty.
    static QByteArray line(const QMap<int, QByteArray>& fields, const QByteArray& end = "\r\n")
    {
        QList<QByteArray> parts(23);
        for (auto it = fields.begin(); it != fields.end(); ++it)
            parts[it.key() - 1] = it.value();
        return parts.join('\t') + end;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(library.load({QFileInfo(QStringLiteral(KESTROVA_SAMPLE_LIBRARY)).absolutePath()}));
        QVERIFY(library.pull());
    }
    void init() { fx = std::make_unique<TableFixture>(); }
    void cleanup()
    {
        rules.reset();
        source.reset();
        sale.reset();
        saleIn.reset();
        settings.reset();
        fx.reset();
    }

    void exportWritesTheDocumentedLine()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (OrderDate, Person, Address, NumberOfLicenses, NetAmount, Tax, "
                          "DeliveryFaxOrEMail) VALUES ('2026-03-04', 'Ann', 'Line 1\nLine 2', 3, 59.7, 0, 'x@example.org')");
        start();
        ProgressLog log;
        QCOMPARE(OrderFile::exportOrders(*saleIn, file("out.txt"), &log), 1);
        QCOMPARE(read(file("out.txt")),
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
        fx->exec("Xsale", QStringLiteral("INSERT INTO Xsale (%1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                              .arg(QLatin1String(kAllFields)),
                 {"1999-12-31", "Jürgen Groß", "Herr", "Groß & Söhne", QString("Hauptstraße 1\n") + QString(490, QChar(0x00f6)), "j@example.org",
                  "Ledger", "DE", "Herr Jürgen Groß", "WebShop", "REF-1", 3, "EUR", "Card", "2026-01-02",
                  "2026-0041", 1234567.125, 0.1, "Lager", "Frau", "Eva Groß", longAddress, "e@example.org"});
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
        // Line breaks inside fields 1 to 22 stay in their field.
        write(file("breaks.txt"), line({{2, "Ann"}, {5, "Street 1\r\nTown"}, {22, "Depot\nCity"}, {23, "end"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("breaks.txt"), library.pull(), nullptr), 1);
        QCOMPARE(fx->value("Xsale", "SELECT Address FROM Xsale").toString(), "Street 1\r\nTown");
        QCOMPARE(fx->value("Xsale", "SELECT DeliveryAddress FROM Xsale").toString(), "Depot\nCity");
        sale->emptyTable();
        // More than 23 fields: the rest stays in field 23. A tab inside a
        // field shifts the later ones.
        write(file("more.txt"), line({{2, "Ann"}, {23, "last\textra"}}) + line({{2, "Bob\tshifted"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("more.txt"), library.pull(), nullptr), 2);
        const auto rows = fx->rows("Xsale", "SELECT Person, Title, DeliveryFaxOrEMail FROM Xsale ORDER BY rowid");
        QCOMPARE(rows[0].at(2).toString(), "last\textra");
        QCOMPARE(rows[1].at(0).toString(), "Bob");
        QCOMPARE(rows[1].at(1).toString(), "shifted");
        sale->emptyTable();
        // Fewer than 23 fields: the missing ones come from the next line.
        write(file("fewer.txt"), QByteArray("\tAnn\r\n") + line({{1, "3/4/2026"}, {23, "z"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("fewer.txt"), library.pull(), nullptr), 1);
        QCOMPARE(fx->value("Xsale", "SELECT Person FROM Xsale").toString(), "Ann\r\n3/4/2026");
        QCOMPARE(fx->value("Xsale", "SELECT DeliveryFaxOrEMail FROM Xsale").toString(), "\tz");
    }

    void refusedFieldsStopTheImport_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<QString>("message");
        QTest::newRow("number") << line({{2, "Bad"}, {17, "12,5"}}) << "'12,5' is not a valid floating point value for field 'NetAmount'";
        QTest::newRow("integer") << line({{2, "Bad"}, {12, "two"}}) << "'two' is not a valid integer value for field 'NumberOfLicenses'";
        QTest::newRow("date") << line({{1, "31/31/2026"}, {2, "Bad"}}) << "'31/31/2026' is not a valid date";
        QTest::newRow("empty line") << QByteArray("\r\n") + line({{1, "3/4/2026"}}) << "'\r\n3/4/2026' is not a valid date";
    }
    void refusedFieldsStopTheImport()
    {
        QFETCH(QByteArray, bad);
        QFETCH(QString, message);
        start();
        fx->addOrders({"Before"});
        sale->refresh();
        write(file("bad.txt"), line({{2, "Ann"}, {16, "A-7"}}) + bad + line({{2, "After"}}));
        ProgressLog log;
        QCOMPARE(importError(file("bad.txt"), library.pull(), &log), message);
        // The orders before the refused line stay; the half-filled one is dropped.
        QCOMPARE(fx->value("Xsale", "SELECT group_concat(Person, ',') FROM (SELECT Person FROM Xsale ORDER BY rowid)")
                     .toString(),
                 "Before,Ann");
        QCOMPARE(sale->state(), DataSetState::Browse);
        QCOMPARE(log.calls.last(), "end");
        // The after-post rule ran for each stored order.
        QCOMPARE(fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'LastInvoiceNumber'").toString(), "A-7");
    }

    void olderFilesInWindows1252()
    {
        start();
        write(file("ansi.txt"), line({{2, "M\xfcller"}, {4, "\x80uro \x93Works\x94"}}));
        QCOMPARE(OrderFile::importOrders(*sale, settings.get(), file("ansi.txt"), library.pull(), nullptr), 1);
        QCOMPARE(fx->value("Xsale", "SELECT Person FROM Xsale").toString(), QString::fromUtf8("Müller"));
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale").toString(),
                 QString::fromUtf8("€uro \u201cWorks\u201d"));
        QCOMPARE(OrderFile::textOfFile("ab\0cd"), QByteArray("ab"));
        QCOMPARE(OrderFile::textOfFile("\xEF\xBB\xBFx"), QByteArray("x"));
    }

    void unopenableFile()
    {
        start();
        const QString missing = file("missing.txt");
        QCOMPARE(importError(missing), QStringLiteral("Cannot open the file %1: No such file or directory").arg(missing));
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
        QCOMPARE(child<QLineEdit>(w.main, "Person")->text(), w.main->data().Tsale->fieldText("Person"));
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
};

QTEST_MAIN(TestOrderTransfer)
#include "tst_ordertransfer.moc"
