// The writer's GUI-free core: the command language, page settings, markers,
// finding templates and reading the exchange table.

#include "writer/commandparser.h"
#include "writer/documenttemplate.h"
#include "writer/exchangetable.h"
#include "writer/markers.h"
#include "writer/pagesetup.h"
#include "writer/recordfields.h"
#include "writer/writererror.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrova::writer;

Q_DECLARE_METATYPE(WriterError::Kind)

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), qPrintable(path));
}

// Runs SQL on a table file through its own connection, as Kestrova would.
void exec(const QString& dbPath, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("w"));
        db.setDatabaseName(dbPath);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString& s : statements)
            QVERIFY2(q.exec(s), qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("w"));
}

} // namespace

class TestWriterCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parsesCommands_data();
    void parsesCommands();
    void refusesBadMacros_data();
    void refusesBadMacros();
    void readsPageSettings_data();
    void readsPageSettings();
    void refusesBadPageSettings_data();
    void refusesBadPageSettings();
    void expandsMarkers_data();
    void expandsMarkers();
    void makesValuesSafeForFileNames_data();
    void makesValuesSafeForFileNames();
    void findsTemplates();
    void measuresNesting_data();
    void measuresNesting();
    void readsTheExchangeTableReadOnlyInOneSnapshot();
    void reportsAMissingOrBrokenExchangeTable();
    void offersTheCompanySettingsAndTheDueDate();
};

void TestWriterCore::parsesCommands_data()
{
    QTest::addColumn<QString>("macro");
    QTest::addColumn<QStringList>("expected"); // one line per command

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("blanks only") << QStringLiteral("  \n ") << QStringList();
    QTest::newRow("pdf") << QStringLiteral("[Pdf \"en/invoice.html\" \"documents/$InvoiceNumber.pdf\"]")
                         << QStringList{QStringLiteral("Pdf|en/invoice.html|documents/$InvoiceNumber.pdf|||")};
    QTest::newRow("any case, blanks around")
        << QStringLiteral("  [ pDF   \"a\"\t\"b\" ]  [OPEN][quit]")
        << QStringList{QStringLiteral("Pdf|a|b|||"), QStringLiteral("Open|||||"), QStringLiteral("Quit|||||")};
    QTest::newRow("doubled quotes and brackets inside")
        << QStringLiteral("[Pdf \"say \"\"hi\"\" [x].html\" \"\"\"q\"\"\"]")
        << QStringList{QStringLiteral("Pdf|say \"hi\" [x].html|\"q\"|||")};
    QTest::newRow("print to default and named queue")
        << QStringLiteral("[Print \"a.html\"][Print \"a.html\" \"\"][print \"a.html\" \"Office\"]")
        << QStringList{QStringLiteral("Print|a.html||||"), QStringLiteral("Print|a.html||||"),
                       QStringLiteral("Print|a.html||||Office")};
    QTest::newRow("labels with bare and quoted numbers") << QStringLiteral("[Labels \"l.html\" 3 \"8\" \"out.pdf\"]")
                                                         << QStringList{QStringLiteral("Labels|l.html|out.pdf|3|8|")};
    QTest::newRow("print labels") << QStringLiteral(
                                         "[PrintLabels \"l.html\" 2 7]\n[PRINTLABELS \"l.html\" 2 7 \"Lab\"]")
                                  << QStringList{QStringLiteral("PrintLabels|l.html||2|7|"),
                                                 QStringLiteral("PrintLabels|l.html||2|7|Lab")};
    QTest::newRow("file exit") << QStringLiteral("[FileExit]") << QStringList{QStringLiteral("Quit|||||")};
}

void TestWriterCore::parsesCommands()
{
    QFETCH(QString, macro);
    QFETCH(QStringList, expected);
    static const char* const kinds[] = {"Pdf", "Print", "Labels", "PrintLabels", "Open", "Quit"};
    QStringList got;
    for (const Command& c : parseMacro(macro))
        got << QStringLiteral("%1|%2|%3|%4|%5|%6")
                   .arg(QLatin1String(kinds[c.kind]), c.templateName, c.output,
                        c.columns ? QString::number(c.columns) : QString(),
                        c.rows ? QString::number(c.rows) : QString(), c.printer);
    QCOMPARE(got, expected);
}

void TestWriterCore::refusesBadMacros_data()
{
    QTest::addColumn<QString>("macro");
    QTest::addColumn<WriterError::Kind>("kind");
    QTest::addColumn<QString>("inMessage");

    QTest::newRow("unknown name") << QStringLiteral("[Pdf \"a\" \"b\"][FileSaveAs \"x\"]")
                                  << WriterError::UnknownCommand << QStringLiteral("[FileSaveAs]");
    QTest::newRow("text outside brackets")
        << QStringLiteral("Pdf \"a\" \"b\"") << WriterError::UnknownCommand << QStringLiteral("in brackets");
    QTest::newRow("no name") << QStringLiteral("[ \"a\"]") << WriterError::UnknownCommand << QStringLiteral("no name");
    QTest::newRow("unclosed quote") << QStringLiteral("[Pdf \"a\" \"b]") << WriterError::BadArguments
                                    << QStringLiteral("closing double quote");
    QTest::newRow("unclosed bracket") << QStringLiteral("[Pdf \"a\" \"b\"") << WriterError::BadArguments
                                      << QStringLiteral("closing bracket");
    QTest::newRow("glued arguments") << QStringLiteral("[Pdf \"a\"\"b\"x]") << WriterError::BadArguments
                                     << QStringLiteral("separated by blanks");
    QTest::newRow("pdf without output") << QStringLiteral("[Pdf \"a\"]") << WriterError::BadArguments
                                        << QStringLiteral("1 argument was given");
    QTest::newRow("pdf with empty output")
        << QStringLiteral("[Pdf \"a\" \"  \"]") << WriterError::BadArguments << QStringLiteral("output file");
    QTest::newRow("empty template") << QStringLiteral("[Print \"\"]") << WriterError::BadArguments
                                    << QStringLiteral("a template");
    QTest::newRow("open with argument") << QStringLiteral("[Open \"x\"]") << WriterError::BadArguments
                                        << QStringLiteral("no argument");
    QTest::newRow("labels zero columns") << QStringLiteral("[Labels \"l\" 0 8 \"o\"]") << WriterError::BadArguments
                                         << QStringLiteral("\"0\"");
    QTest::newRow("labels rows not a number")
        << QStringLiteral("[Labels \"l\" 3 eight \"o\"]") << WriterError::BadArguments << QStringLiteral("\"eight\"");
    QTest::newRow("labels too many") << QStringLiteral("[PrintLabels \"l\" 3 51]") << WriterError::BadArguments
                                     << QStringLiteral("1 to 50");
    QTest::newRow("mail without file") << QStringLiteral("[Mail \"a@b.example\" \"Invoice\"]")
                                       << WriterError::BadArguments
                                       << QStringLiteral("[Mail \"TO\" \"SUBJECT\" \"FILE\"]");
    QTest::newRow("mail to nobody") << QStringLiteral("[Mail \" \" \"Invoice\" \"a.pdf\"]") << WriterError::BadArguments
                                    << QStringLiteral("a recipient");
    QTest::newRow("too long") << QString(kMaxMacroLength + 1, QLatin1Char(' ')) << WriterError::BadArguments
                              << QStringLiteral("at most");
}

void TestWriterCore::refusesBadMacros()
{
    QFETCH(QString, macro);
    QFETCH(WriterError::Kind, kind);
    QFETCH(QString, inMessage);
    try {
        parseMacro(macro);
        QFAIL("the macro was accepted");
    } catch (const WriterError& e) {
        QCOMPARE(e.kind(), kind);
        QVERIFY2(e.message().contains(inMessage), qPrintable(e.message()));
    }
}

void TestWriterCore::readsPageSettings_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QMarginsF>("margins");

    const QMarginsF m20(20, 20, 20, 20);
    QTest::newRow("defaults") << QString() << QSizeF(210, 297) << m20;
    QTest::newRow("A5") << QStringLiteral("<meta name=\"page-size\" content=\"a5\">") << QSizeF(148, 210) << m20;
    QTest::newRow("Letter") << QStringLiteral("<META NAME='Page-Size' CONTENT='Letter'>") << QSizeF(215.9, 279.4)
                            << m20;
    QTest::newRow("Legal, content first")
        << QStringLiteral("<meta content=\"Legal\" name=\"page-size\"/>") << QSizeF(215.9, 355.6) << m20;
    QTest::newRow("DL lies wide") << QStringLiteral("<meta name=\"page-size\" content=\"DL\">") << QSizeF(220, 110)
                                  << m20;
    QTest::newRow("C5") << QStringLiteral("<meta name=\"page-size\" content=\"C5\">") << QSizeF(229, 162) << m20;
    QTest::newRow("C6 upright") << QStringLiteral("<meta name=\"page-size\" content=\"C6\">"
                                                  "<meta name=\"orientation\" content=\"Portrait\">")
                                << QSizeF(114, 162) << m20;
    QTest::newRow("A4 landscape") << QStringLiteral("<meta name=\"orientation\" content=\"landscape\">")
                                  << QSizeF(297, 210) << m20;
    QTest::newRow("custom") << QStringLiteral("<meta name=\"page-size\" content=\"99.1x38,1 MM\">"
                                              "<meta name=\"margins\" content=\"2mm\">")
                            << QSizeF(99.1, 38.1) << QMarginsF(2, 2, 2, 2);
    QTest::newRow("one margin") << QStringLiteral("<meta name=\"margins\" content=\"1cm\">") << QSizeF(210, 297)
                                << QMarginsF(10, 10, 10, 10);
    QTest::newRow("two margins") << QStringLiteral("<meta name=\"margins\" content=\"10mm 1in\">") << QSizeF(210, 297)
                                 << QMarginsF(25.4, 10, 25.4, 10);
    QTest::newRow("four margins") << QStringLiteral("<meta name=\"margins\" content=\"1mm 2mm 3mm 72pt\">")
                                  << QSizeF(210, 297) << QMarginsF(25.4, 1, 2, 3);
}

void TestWriterCore::readsPageSettings()
{
    QFETCH(QString, head);
    QFETCH(QSizeF, size);
    QFETCH(QMarginsF, margins);
    const PageSetup page =
        readPageSetup(QStringLiteral("<html><head>%1</head><body>x</body></html>").arg(head), QStringLiteral("t.html"));
    QVERIFY2(qAbs(page.sizeMm.width() - size.width()) < 0.01 && qAbs(page.sizeMm.height() - size.height()) < 0.01,
             qPrintable(QStringLiteral("%1 x %2").arg(page.sizeMm.width()).arg(page.sizeMm.height())));
    QVERIFY(qAbs(page.marginsMm.left() - margins.left()) < 0.01);
    QVERIFY(qAbs(page.marginsMm.top() - margins.top()) < 0.01);
    QVERIFY(qAbs(page.marginsMm.right() - margins.right()) < 0.01);
    QVERIFY(qAbs(page.marginsMm.bottom() - margins.bottom()) < 0.01);
}

void TestWriterCore::refusesBadPageSettings_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("inMessage");

    QTest::newRow("unknown name") << QStringLiteral("<meta name=\"page-size\" content=\"B4\">")
                                  << QStringLiteral("\"B4\"");
    QTest::newRow("no unit") << QStringLiteral("<meta name=\"page-size\" content=\"100x50\">")
                             << QStringLiteral("\"100x50\"");
    QTest::newRow("too small") << QStringLiteral("<meta name=\"page-size\" content=\"5x50mm\">")
                               << QStringLiteral("5x50mm");
    QTest::newRow("empty") << QStringLiteral("<meta name=\"page-size\" content=\"\">") << QStringLiteral("unknown");
    QTest::newRow("orientation") << QStringLiteral("<meta name=\"orientation\" content=\"sideways\">")
                                 << QStringLiteral("sideways");
    QTest::newRow("margin unit") << QStringLiteral("<meta name=\"margins\" content=\"20px\">")
                                 << QStringLiteral("20px");
    QTest::newRow("five margins") << QStringLiteral("<meta name=\"margins\" content=\"1mm 1mm 1mm 1mm 1mm\">")
                                  << QStringLiteral("one to");
    QTest::newRow("margins fill the page")
        << QStringLiteral("<meta name=\"page-size\" content=\"DL\"><meta name=\"margins\" "
                          "content=\"55mm 10mm\">")
        << QStringLiteral("no room");
}

void TestWriterCore::refusesBadPageSettings()
{
    QFETCH(QString, head);
    QFETCH(QString, inMessage);
    try {
        readPageSetup(QStringLiteral("<html><head>%1</head></html>").arg(head), QStringLiteral("bad.html"));
        QFAIL("the page settings were accepted");
    } catch (const WriterError& e) {
        QCOMPARE(e.kind(), WriterError::BadPageSize);
        QVERIFY2(e.message().contains(inMessage) && e.message().contains(QLatin1String("bad.html")),
                 qPrintable(e.message()));
    }
}

void TestWriterCore::expandsMarkers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("any letter case") << QStringLiteral("$Person/$person/$PERSON/$pErSoN")
                                     << QStringLiteral("Ann Lee/Ann Lee/Ann Lee/Ann Lee");
    QTest::newRow("dollar dollar") << QStringLiteral("$$ $$Person $$$Total")
                                   << QStringLiteral("$ $Person $1 &lt;2&gt;");
    QTest::newRow("unknown names stay") << QStringLiteral("$Persons $Nope $ $9 x$")
                                        << QStringLiteral("$Persons $Nope $ $9 x$");
    QTest::newRow("word ends at punctuation")
        << QStringLiteral("$Person's ($Total).") << QStringLiteral("Ann Lee's (1 &lt;2&gt;).");
    QTest::newRow("html and line breaks of values")
        << QStringLiteral("<p>$Address</p>")
        << QStringLiteral("<p>&lt;b&gt;Mill &amp; Sons&lt;/b&gt;<br/>1 &quot;Quay&quot;<br/>Leeds<br/>UK</p>");
}

void TestWriterCore::expandsMarkers()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QStringList fields{QStringLiteral("Person"), QStringLiteral("Address"), QStringLiteral("Total")};
    const QStringList values{QStringLiteral("Ann Lee"), QStringLiteral("<b>Mill & Sons</b>\r\n1 \"Quay\"\nLeeds\rUK"),
                             QStringLiteral("1 <2>")};
    QCOMPARE(MarkerText(text, fields).expand(values, htmlText), expected);
}

void TestWriterCore::makesValuesSafeForFileNames_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QStringLiteral("Müller GmbH") << QStringLiteral("Müller GmbH");
    QTest::newRow("separators") << QStringLiteral("a/b\\c:d*e?f\"g<h>i|j") << QStringLiteral("a_b_c_d_e_f_g_h_i_j");
    QTest::newRow("line breaks") << QStringLiteral("Street 1\r\nTown\n") << QStringLiteral("Street 1 Town");
    QTest::newRow("control") << QStringLiteral("a\tb") << QStringLiteral("a_b");
    QTest::newRow("dots only") << QStringLiteral("..") << QStringLiteral("__");
    QTest::newRow("dots with blanks") << QStringLiteral(" . ") << QStringLiteral("_");
    QTest::newRow("long") << QString(300, QLatin1Char('x')) << QString(100, QLatin1Char('x'));
}

void TestWriterCore::makesValuesSafeForFileNames()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(fileNamePart(value), expected);
    const QString path =
        MarkerText(QStringLiteral("out/$Company.pdf"), {QStringLiteral("Company")}).expand({value}, fileNamePart);
    QCOMPARE(path, QStringLiteral("out/") + expected + QStringLiteral(".pdf"));
}

void TestWriterCore::findsTemplates()
{
    QTemporaryDir dir;
    const QString work = dir.path();
    QTemporaryDir sharedDir;
    const QString shared = sharedDir.path();
    const QStringList folders = templateFolders(work, shared);
    writeFile(work + QStringLiteral("/templates/en/letter.html"),
              "<html><head><meta name=\"page-size\" content=\"A5\"></head><body>Gr\xc3\xbc\xc3\x9f "
              "$Person</body></html>");
    writeFile(shared + QStringLiteral("/en/letter.html"), "<p>shared</p>");
    writeFile(shared + QStringLiteral("/en/invoice.html"), "<p>shared invoice</p>");
    writeFile(work + QStringLiteral("/letter.html"), "<p>here</p>");

    // The working folder's templates/ first, read as UTF-8...
    const DocumentTemplate t = DocumentTemplate::find(QStringLiteral("en/letter.html"), folders);
    QCOMPARE(t.path(), work + QStringLiteral("/templates/en/letter.html"));
    QVERIFY(t.html().contains(QStringLiteral("Grüß $Person")));
    QCOMPARE(t.page().sizeMm, QSizeF(148, 210));
    // ...then the installed ones; never the working folder itself.
    QCOMPARE(DocumentTemplate::find(QStringLiteral("en/invoice.html"), folders).html(),
             QStringLiteral("<p>shared invoice</p>"));
    QVERIFY_THROWS_EXCEPTION(WriterError, DocumentTemplate::find(QStringLiteral("letter.html"), folders));

    try {
        DocumentTemplate::find(QStringLiteral("de/letter.html"), folders);
        QFAIL("a missing template was found");
    } catch (const WriterError& e) {
        QCOMPARE(e.kind(), WriterError::MissingTemplate);
        QVERIFY2(e.message().contains(work + QStringLiteral("/templates/de/letter.html")), qPrintable(e.message()));
    }
    // A folder is no template.
    QVERIFY_THROWS_EXCEPTION(WriterError, DocumentTemplate::find(QStringLiteral("en"), folders));

    writeFile(work + QStringLiteral("/templates/big.html"), QByteArray(kMaxTemplateBytes + 1, 'x'));
    try {
        DocumentTemplate::find(QStringLiteral("big.html"), folders);
        QFAIL("an oversized template was read");
    } catch (const WriterError& e) {
        QCOMPARE(e.kind(), WriterError::BadTemplate);
    }
}

void TestWriterCore::measuresNesting_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("elements");
    QTest::addColumn<int>("tables");
    const QString deepTables =
        QStringLiteral("<table><tr><td>").repeated(9) + QStringLiteral("</td></tr></table>").repeated(9);
    // clang-format off
    QTest::newRow("flat") << "<html><body><p>a</p><p>b</p></body></html>" << 3 << 0;
    QTest::newRow("end tags left out") << "<p>a<p>b<p>c<ul><li>x<li>y</ul><table><tr><td>1<td>2<tr><td>3</table>" << 4 << 1;
    QTest::newRow("void and self-closed") << "<div><br><img src=x><hr/><span/></div>" << 1 << 0;
    QTest::newRow("comments, scripts, quoted brackets") << "<!-- <table><table> --><script><div><div></script><b title=\"<i>\">x</b>" << 1 << 0;
    QTest::newRow("tables in tables, stops past the bound") << deepTables << 25 << 9;
    QTest::newRow("stops past the bound") << QStringLiteral("<div>").repeated(5000) << kMaxElementDepth + 1 << 0;
    // clang-format on
}

void TestWriterCore::measuresNesting()
{
    QFETCH(QString, html);
    QFETCH(int, elements);
    QFETCH(int, tables);
    const Nesting n = measureNesting(html);
    QCOMPARE(n.elements, elements);
    QCOMPARE(n.tables, tables);
}

void TestWriterCore::readsTheExchangeTableReadOnlyInOneSnapshot()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Xexport.db"));
    exec(db, {QStringLiteral("CREATE TABLE Xexport (Person VARCHAR(32) NOT NULL DEFAULT '', "
                             "Address VARCHAR(511) NOT NULL DEFAULT '', Total VARCHAR(255))"),
              QStringLiteral("INSERT INTO Xexport VALUES ('B', 'x' || char(13,10) || 'y', NULL)"),
              QStringLiteral("INSERT INTO Xexport VALUES ('A', '', 12.5)")});
    auto bytes = [&] {
        QFile f(db);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    {
        ExchangeTable table(dir.path());
        QCOMPARE(table.fieldNames(),
                 (QStringList{QStringLiteral("Person"), QStringLiteral("Address"), QStringLiteral("Total")}));
        // Records come in table order; NULL reads empty, numbers as text.
        ExchangeTable::Cursor c(table);
        QVERIFY(c.next());
        QCOMPARE(c.values(), (QStringList{QStringLiteral("B"), QStringLiteral("x\r\ny"), QString()}));
        QVERIFY(c.next());
        QCOMPARE(c.values(), (QStringList{QStringLiteral("A"), QString(), QStringLiteral("12.5")}));
        QVERIFY(!c.next());

        // While the table is held, a writer cannot change it under the
        // document: it waits, and the records read stay those of before.
        {
            QSqlDatabase w = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("kw"));
            w.setDatabaseName(db);
            w.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1"));
            QVERIFY(w.open());
            QSqlQuery q(w);
            QVERIFY(!q.exec(QStringLiteral("DELETE FROM Xexport")));
            QVERIFY2(q.lastError().text().contains(QLatin1String("locked")), qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("kw"));
        ExchangeTable::Cursor again(table);
        int n = 0;
        while (again.next())
            ++n;
        QCOMPARE(n, 2);
    }
    // The file was never written, and it is free again for Kestrova.
    QVERIFY(!before.isEmpty());
    QCOMPARE(bytes(), before);
    exec(db, {QStringLiteral("DELETE FROM Xexport")});
}

void TestWriterCore::reportsAMissingOrBrokenExchangeTable()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Xexport.db"));
    auto expectFailure = [&](const QString& inMessage) {
        try {
            ExchangeTable table(dir.path());
            QFAIL("the table was read");
        } catch (const WriterError& e) {
            QCOMPARE(e.kind(), WriterError::ExchangeTable);
            QVERIFY2(e.message().contains(inMessage), qPrintable(e.message()));
        }
    };
    expectFailure(QStringLiteral("does not exist"));
    // Opening read-only creates nothing.
    QVERIFY(!QFile::exists(db));
    exec(db, {QStringLiteral("CREATE TABLE Other (x)")});
    expectFailure(QStringLiteral("no such table: Xexport"));
    writeFile(db, QByteArray(4096, 'z'));
    expectFailure(QStringLiteral("not a database"));

    QFile::remove(db);
    exec(db, {QStringLiteral("CREATE TABLE Xexport (Person TEXT)"),
              QStringLiteral("INSERT INTO Xexport VALUES (zeroblob(%1))").arg(kMaxValueBytes + 1)});
    ExchangeTable table(dir.path());
    ExchangeTable::Cursor c(table);
    try {
        c.next();
        QFAIL("an oversized value was read");
    } catch (const WriterError& e) {
        QVERIFY2(e.message().contains(QLatin1String("Person")), qPrintable(e.message()));
    }
}

// The company's rows of Xtable become markers, a missing one empty; the
// password is never offered; the due date counts from the record's date.
void TestWriterCore::offersTheCompanySettingsAndTheDueDate()
{
    QTemporaryDir dir;
    QVERIFY(readCompanySettings(dir.path()).isEmpty());
    exec(dir.filePath(QStringLiteral("Xtable.db")),
         {QStringLiteral("CREATE TABLE Xtable (Name TEXT PRIMARY KEY, Value TEXT)"),
          QStringLiteral("INSERT INTO Xtable VALUES ('CompanyName', 'Muster GmbH'), ('PaymentDays', '30'), "
                         "('Password', 'secret')")});
    const QHash<QString, QString> settings = readCompanySettings(dir.path());
    QCOMPARE(settings.size(), 2);
    QVERIFY(!settings.contains(QStringLiteral("Password")));

    kestrova::LocaleFormat german;
    german.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    german.dateSeparator = QLatin1Char('.');
    const RecordFields fields({QStringLiteral("Date"), QStringLiteral("Person")}, settings, german, QDate(2026, 12, 8));
    const MarkerText text(QStringLiteral("$CompanyName|$CompanyIban|$Person|$DueDate|$Password"), fields.names());
    const auto asIs = [](const QString& v) { return v; };
    QCOMPARE(text.expand(fields.values({QStringLiteral("15.12.2026"), QStringLiteral("Ada")}), asIs),
             QStringLiteral("Muster GmbH||Ada|14.01.2027|$Password"));
    QCOMPARE(text.expand(fields.values({QStringLiteral("soon"), QString()}), asIs),
             QStringLiteral("Muster GmbH||||$Password"));

    writeFile(dir.filePath(QStringLiteral("Xtable.db")), QByteArray(4096, 'z'));
    try {
        readCompanySettings(dir.path());
        QFAIL("a broken settings table was read");
    } catch (const WriterError& e) {
        QCOMPARE(e.kind(), WriterError::Settings);
        QVERIFY2(e.message().contains(QLatin1String("Xtable.db")), qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestWriterCore)
#include "tst_writercore.moc"
