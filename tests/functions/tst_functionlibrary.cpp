#include "functions/functionlibrary.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrova;

// Built by the test suite: the contract library and the sample library.
static const QString kContractLibrary = QStringLiteral(KESTROVA_CONTRACT_LIBRARY);
static const QString kSampleLibrary = QStringLiteral(KESTROVA_SAMPLE_LIBRARY);

class TestFunctionLibrary : public QObject {
    Q_OBJECT

    QTemporaryDir work, program;

    static void place(const QString& library, const QString& folder)
    {
        const QString target = QDir(folder).filePath("function.dll");
        QFile::remove(target);
        QVERIFY(QFile::copy(library, target));
    }

private Q_SLOTS:
    void missingLibraryIsSilent()
    {
        FunctionLibrary lib;
        QVERIFY(!lib.load({work.path(), program.path()}));
        QVERIFY(!lib.isLoaded());
        QVERIFY(!lib.pull());
        QVERIFY(!lib.nextInvoiceNumber("EchoInvoice", "A1"));
        NotificationAreas areas;
        QVERIFY(!lib.recognise("ReportCapacities", "mine", areas));
    }

    void workingFolderComesFirst()
    {
        place(kContractLibrary, program.path());
        FunctionLibrary lib;
        QVERIFY(lib.load({work.path(), program.path()}));
        QCOMPARE(lib.path(), QDir(program.path()).filePath("function.dll"));
        place(kSampleLibrary, work.path());
        QVERIFY(lib.load({work.path(), program.path()}));
        QCOMPARE(lib.path(), QDir(work.path()).filePath("function.dll"));
        QVERIFY(lib.symbol("NextInvoiceNumber"));
        QVERIFY(!lib.symbol("EchoInvoice"));
        QFile::remove(QDir(work.path()).filePath("function.dll"));
    }

    void pullIsLookedUpAtLoad()
    {
        place(kContractLibrary, work.path());
        FunctionLibrary lib;
        QVERIFY(lib.load({work.path()}));
        QVERIFY(lib.pull());
        char text[] = "a\tb";
        char* cursor = text;
        char out[KESTROVA_PULL_CAPACITY];
        lib.pull()(&cursor, out, KESTROVA_PULL_CAPACITY, '\t');
        QCOMPARE(QString(out), "contract");
        lib.unload();
        QVERIFY(!lib.pull());
    }

    void invoiceContract()
    {
        place(kContractLibrary, work.path());
        FunctionLibrary lib;
        QVERIFY(lib.load({work.path()}));
        QCOMPARE(lib.nextInvoiceNumber("EchoInvoice", "2026-0041"), std::optional<QString>("80:2026-0041"));
        QCOMPARE(lib.nextInvoiceNumber("LongestInvoice", "1")->size(), 79);
        QVERIFY(!lib.nextInvoiceNumber("NoSuchFunction", "1"));
        QVERIFY(!lib.nextInvoiceNumber("EchoInvoice", ""));
        // Values that do not fit their areas are not passed at all.
        QVERIFY(!lib.nextInvoiceNumber(QString(32, 'F'), "1"));
        QVERIFY(lib.nextInvoiceNumber("EchoInvoice", QString(79, '1')));
        QVERIFY(!lib.nextInvoiceNumber("EchoInvoice", QString(80, '1')));
        QVERIFY(!lib.nextInvoiceNumber("EchoInvoice", QString(40, QChar(0x00e9)))); // 80 bytes in UTF-8
    }

    void recognitionContract()
    {
        place(kContractLibrary, work.path());
        FunctionLibrary lib;
        QVERIFY(lib.load({work.path()}));
        NotificationAreas areas;
        QVERIFY(!lib.recognise("ReportCapacities", "not mine", areas));
        QVERIFY(lib.recognise("ReportCapacities", "mine", areas));
        const int expected[] = {33, 9, 49, 512, 41, 33, 3, 65, 33, 13, 4, 9, 9, 9, 49, 9, 33, 512, 41};
        for (int f = 0; f < NotificationAreas::Count; ++f) {
            const auto field = NotificationAreas::Field(f);
            QCOMPARE(NotificationAreas::capacity(field), expected[f]);
            // An area too small for its capacity's digits holds what fits.
            QCOMPARE(areas.text(field), QString::number(expected[f]).left(expected[f] - 1));
        }
        QVERIFY(lib.recognise("FillAreas", "", areas));
        for (int f = 0; f < NotificationAreas::Count; ++f)
            QCOMPARE(areas.text(NotificationAreas::Field(f)).size(), expected[f] - 1);
        QVERIFY(!lib.recognise("ReturnsTwo", "x", areas)); // only 1 means recognised
        QVERIFY(lib.recognise("BodyLength", QString(5000, 'b'), areas));
        QCOMPARE(areas.text(NotificationAreas::Reference), "4096");
        QVERIFY(!lib.recognise("Missing", "mine", areas));
    }

    // dlsym also finds what the library's dependencies define: a name of
    // the C library must never be called as if the user's library had it.
    void onlyTheLibrarysOwnFunctions()
    {
        place(kContractLibrary, work.path());
        FunctionLibrary lib;
        QVERIFY(lib.load({work.path()}));
        QCOMPARE(lib.lookup("EchoInvoice"), FunctionLibrary::Lookup::Found);
        QCOMPARE(lib.lookup("NoSuchFunction"), FunctionLibrary::Lookup::Missing);
        for (const char* name : {"system", "printf", "malloc", "NotAFunction"}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("\"%1\" is not exported").arg(name)));
            void* address = &lib;
            QCOMPARE(lib.lookup(name, &address), FunctionLibrary::Lookup::NotExported);
            QVERIFY(!address);
            QVERIFY(!lib.symbol(name)); // refused again, warned only once
        }
        // Refused names behave as missing ones, and nothing runs.
        QTemporaryDir scratch;
        const QString witness = QDir(scratch.path()).filePath("ran");
        QVERIFY(!lib.nextInvoiceNumber("system", "touch " + witness));
        QVERIFY(!QFile::exists(witness));
        NotificationAreas areas;
        QVERIFY(!lib.recognise("printf", "mine", areas));
        QVERIFY(!lib.recognise("NotAFunction", "mine", areas));
        QVERIFY(lib.recognise("ReportCapacities", "mine", areas));
    }

    // Every area is exactly its capacity: a function that writes up to the
    // capacity is fine, one byte further is caught and its result dropped.
    void areasAreExactlyTheirCapacities()
    {
        place(kContractLibrary, work.path());
        FunctionLibrary lib;
        QVERIFY(lib.load({work.path()}));
        NotificationAreas areas;
        QVERIFY(lib.recognise("FillAreas", "", areas));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("\"OverrunLanguage\" wrote outside its Language area"));
        QVERIFY(!lib.recognise("OverrunLanguage", "", areas));
        // Its terminator fell on the guard: the area is read to its end only.
        QCOMPARE(areas.text(NotificationAreas::Language), "LLL");
        QCOMPARE(areas.text(NotificationAreas::Licensee), "");
        // The guards are back: the next well-behaved call counts again.
        QVERIFY(lib.recognise("FillAreas", "", areas));
        QVERIFY(!areas.checkGuards());

        QCOMPARE(lib.nextInvoiceNumber("LongestInvoice", "1"), std::optional<QString>(QString(79, '7')));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("\"OverrunInvoice\" wrote past its 80-byte area"));
        QVERIFY(!lib.nextInvoiceNumber("OverrunInvoice", "1"));
    }

    void areasAreCutOnCharacters()
    {
        NotificationAreas areas;
        areas.setText(NotificationAreas::Title, QString(10, QChar(0x00e9))); // 2 bytes each
        QCOMPARE(areas.text(NotificationAreas::Title), QString(4, QChar(0x00e9)));
        areas.setText(NotificationAreas::Language, "EN");
        QCOMPARE(areas.text(NotificationAreas::Language), "EN");
    }
};

QTEST_GUILESS_MAIN(TestFunctionLibrary)
#include "tst_functionlibrary.moc"
