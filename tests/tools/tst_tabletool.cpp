#include "tools/demodata.h"
#include "data/error.h"
#include "tests/support/errorof.h"
#include "tools/ordergenerator.h"
#include "data/schema.h"
#include "data/tableset.h"
#include "data/companyfields.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace kestrova;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

// Runs a built tool as a user would, from a folder of its own.
Run runTool(const QString& program, const QStringList& args)
{
    QTemporaryDir cwd;
    QProcess p;
    p.setWorkingDirectory(cwd.path());
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Run tables(const QString& command, const QString& dir)
{
    return runTool(QStringLiteral(KESTROVA_TABLES_TOOL), {command, dir});
}

Run genOrders(const QStringList& args)
{
    return runTool(QStringLiteral(KESTROVA_GEN_ORDERS), args);
}

// Runs a query over the table files of dir: every table it names is attached
// under its own name, so the query reads like one on a single database.
QList<QVariantList> rows(const QString& dir, const QString& sql)
{
    const QString name = QStringLiteral("tabletool-") + QUuid::createUuid().toString();
    QList<QVariantList> out;
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open())
            failure = db.lastError().text();
        QSqlQuery q(db);
        for (const TableDef& t : schemaTables()) {
            if (!failure.isEmpty())
                break;
            if (!sql.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(t.name))))
                continue;
            q.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(t.name));
            q.addBindValue(QDir(dir).filePath(t.fileName()));
            if (!q.exec())
                failure = q.lastError().text();
        }
        if (failure.isEmpty() && !q.exec(sql))
            failure = q.lastError().text();
        while (failure.isEmpty() && q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            out << row;
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw Error(failure + QStringLiteral(" in ") + sql);
    return out;
}

QVariant value(const QString& dir, const QString& sql)
{
    const auto r = rows(dir, sql);
    return r.isEmpty() ? QVariant() : r.first().first();
}

int rowCount(const QString& dir, const QString& table)
{
    return value(dir, QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
}

QString show(const QList<QVariantList>& r)
{
    QStringList lines;
    for (const QVariantList& row : r) {
        QStringList cells;
        for (const QVariant& v : row)
            cells << v.toString();
        lines << cells.join(QStringLiteral(" | "));
    }
    return lines.join(QLatin1Char('\n'));
}

// Fails the test with the offending rows when the query finds any.
#define VERIFY_NONE(dir, sql)                                                                                          \
    do {                                                                                                               \
        const auto found_ = rows(dir, QStringLiteral(sql));                                                            \
        QVERIFY2(found_.isEmpty(), qPrintable(QStringLiteral(sql) + QLatin1Char('\n') + show(found_)));                \
    } while (false)

QStringList tableFiles(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name);
}

QStringList allTableFiles()
{
    QStringList out;
    for (const TableDef& t : schemaTables())
        out << t.fileName();
    out.sort();
    return out;
}

// No text of dir's tables is longer than its column.
void verifyTextLengths(const QString& dir)
{
    for (const TableDef& t : schemaTables())
        for (const FieldDef& f : t.fields)
            if (f.kind == FieldKind::Text) {
                const QString sql =
                    QStringLiteral("SELECT %1 FROM %2 WHERE length(%1) > %3").arg(f.name, t.name).arg(f.length);
                QVERIFY2(rows(dir, sql).isEmpty(), qPrintable(sql));
            }
}

// Every order of dir fits the reference lists of the same folder.
void verifyOrdersFitLists(const QString& dir)
{
    VERIFY_NONE(dir, "SELECT rowid, Product, Language, Origin, Title FROM Xsale"
                     " WHERE Product NOT IN (SELECT Product FROM Xproduct)"
                     " OR Language NOT IN (SELECT Language FROM Xlanguage)"
                     " OR Origin NOT IN (SELECT Origin FROM Xorigin)"
                     " OR Title NOT IN (SELECT Title FROM Xtitle)"
                     " OR (DeliveryTitle <> ''"
                     "     AND DeliveryTitle NOT IN (SELECT Title FROM Xtitle))");
    VERIFY_NONE(dir, "SELECT rowid, Currency, PaymentMeans FROM Xsale"
                     " WHERE (Currency <> '' AND Currency NOT IN (SELECT Currency FROM Xcurrency))"
                     " OR (PaymentMeans <> ''"
                     "     AND PaymentMeans NOT IN (SELECT PaymentMeans FROM Xpayment))");
    // Our own sales: the list price times the licences, tax at that rate or none.
    VERIFY_NONE(dir, "SELECT s.rowid, s.Product, s.Currency, s.NetAmount, s.Tax FROM Xsale s"
                     " LEFT JOIN Xprice p ON p.Product = s.Product AND p.Currency = s.Currency"
                     " WHERE s.Origin <> 'Reseller' AND (p.Product IS NULL"
                     " OR abs(s.NetAmount - round(p.NetAmount * s.NumberOfLicenses, 2)) > 0.001"
                     " OR NOT (s.Tax IS NULL OR s.Tax = 0"
                     "         OR abs(s.Tax - round(p.Tax * s.NumberOfLicenses, 2)) < 0.001))");
    // Reseller sales: no amount, no invoice, delivered to a listed distributor.
    VERIFY_NONE(dir, "SELECT s.rowid, s.DeliveryCompany FROM Xsale s WHERE s.Origin = 'Reseller'"
                     " AND (s.NetAmount IS NOT NULL OR s.InvoiceNumber <> '' OR NOT EXISTS ("
                     "   SELECT 1 FROM Xdistributor d WHERE d.Company = s.DeliveryCompany"
                     "   AND d.Person = s.DeliveryPerson AND d.Address = s.DeliveryAddress"
                     "   AND d.EMail = s.DeliveryFaxOrEMail))");
    // Invoice numbers: unique, the year of the order in front.
    VERIFY_NONE(dir, "SELECT rowid, OrderDate, InvoiceNumber FROM Xsale WHERE Origin <> 'Reseller'"
                     " AND substr(InvoiceNumber, 1, 5) <> strftime('%Y', OrderDate) || '-'");
    VERIFY_NONE(dir, "SELECT InvoiceNumber FROM Xsale WHERE InvoiceNumber <> ''"
                     " GROUP BY InvoiceNumber HAVING count(*) > 1");
    // Dates are ISO dates, none after today, no payment before its order.
    VERIFY_NONE(dir, "SELECT rowid, OrderDate, PaymentDate FROM Xsale"
                     " WHERE date(OrderDate) IS NOT OrderDate"
                     " OR OrderDate > date('now', 'localtime')"
                     " OR (PaymentDate IS NOT NULL AND (date(PaymentDate) IS NOT PaymentDate"
                     "     OR PaymentDate < OrderDate OR PaymentDate > date('now', 'localtime')))");
    verifyTextLengths(dir);
}

QList<QVariantList> allOrders(const QString& dir)
{
    return rows(dir, QStringLiteral("SELECT * FROM Xsale ORDER BY rowid"));
}

} // namespace

class TestTableTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A new set: no orders, every table as the schema says, the writer's
    // settings, the sample numbering, the usual titles, means and origin.
    void createMakesNewSetReadyForWork()
    {
        QTemporaryDir tmp;
        const QString dir = QDir(tmp.path()).filePath(QStringLiteral("new/set"));
        const Run r = tables(QStringLiteral("create"), dir);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("Made an empty set of tables in %1\n").arg(dir));
        QCOMPARE(r.err, QString());
        QCOMPARE(tableFiles(dir), allTableFiles());
        QVERIFY(QFile::exists(QDir(dir).filePath(QStringLiteral("function.dll"))));

        const QStringList filled{QStringLiteral("Xtable"), QStringLiteral("Xtitle"), QStringLiteral("Xpayment"),
                                 QStringLiteral("Xorigin")};
        for (const TableDef& t : schemaTables()) {
            QStringList columns;
            for (const QVariantList& c :
                 rows(dir, QStringLiteral("SELECT name FROM pragma_table_info('%1', '%1')").arg(t.name)))
                columns << c.first().toString();
            QStringList expected;
            for (const FieldDef& f : t.fields)
                expected << f.name;
            QCOMPARE(columns, expected);
            QCOMPARE(rowCount(dir, t.name) > 0, filled.contains(t.name));
        }
        QStringList names, values;
        for (const QVariantList& row : rows(dir, QStringLiteral("SELECT Name, Value FROM Xtable ORDER BY rowid"))) {
            names << row.at(0).toString();
            values << row.at(1).toString();
            QVERIFY(!row.at(1).isNull()); // NOT NULL columns hold '', never NULL
        }
        QCOMPARE(names, settingNames());
        QCOMPARE(values,
                 (QStringList{"kestrova-writer", "org.kestrova.Writer", "System", "[Quit]", "", "", "", "",
                              "NextInvoiceNumber", QStringLiteral("%1-0000").arg(QDate::currentDate().year())}));
        QCOMPARE(rows(dir, QStringLiteral("SELECT Origin FROM Xorigin")),
                 QList<QVariantList>{{QStringLiteral("Direct")}});
    }

    void demoMakesRecentConsistentSet()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.path();
        const Run r = tables(QStringLiteral("demo"), dir);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("Made the demo tables in %1\n").arg(dir));
        QCOMPARE(r.err, QString());
        QCOMPARE(tableFiles(dir), allTableFiles());

        for (const TableDef& t : schemaTables()) {
            const int count = rowCount(dir, t.name);
            QVERIFY2(t.name == QLatin1String("Xexport") ? count == 0 : count > 0, qPrintable(t.name));
        }

        // The dates follow today: the newest order is a few days old, the
        // oldest about two years.
        const QDate today = QDate::currentDate();
        const QDate newest =
            QDate::fromString(value(dir, QStringLiteral("SELECT max(OrderDate) FROM Xsale")).toString(), Qt::ISODate);
        const QDate oldest =
            QDate::fromString(value(dir, QStringLiteral("SELECT min(OrderDate) FROM Xsale")).toString(), Qt::ISODate);
        QVERIFY2(newest <= today && newest >= today.addDays(-7), qPrintable(newest.toString()));
        QVERIFY2(oldest >= today.addYears(-2).addDays(-7) && oldest < today.addYears(-1),
                 qPrintable(oldest.toString()));
        VERIFY_NONE(dir, "SELECT a.rowid, a.OrderDate, b.OrderDate FROM Xsale a"
                         " JOIN Xsale b ON b.rowid = a.rowid + 1 WHERE b.OrderDate < a.OrderDate");

        // The numbering goes on from the last order's invoice number.
        const QString last = value(dir, QStringLiteral("SELECT InvoiceNumber FROM Xsale WHERE InvoiceNumber <> ''"
                                                       " ORDER BY rowid DESC LIMIT 1"))
                                 .toString();
        QVERIFY(last.startsWith(QString::number(newest.year()) + QLatin1Char('-')));
        QCOMPARE(value(dir, QStringLiteral("SELECT Value FROM Xtable"
                                           " WHERE Name = 'LastInvoiceNumber'"))
                     .toString(),
                 last);

        // The settings rows are those of an empty set, with values, and the
        // demo company's.
        QStringList names;
        for (const QVariantList& row : rows(dir, QStringLiteral("SELECT Name FROM Xtable ORDER BY rowid")))
            names << row.first().toString();
        QCOMPARE(names, settingNames() + companySettingNames());
        QCOMPARE(value(dir, QStringLiteral("SELECT Value FROM Xtable WHERE Name = 'Profile'")),
                 QVariant(QStringLiteral("demo-mail")));

        // Lists that refer to one another agree.
        VERIFY_NONE(dir, "SELECT Product, Currency FROM Xprice WHERE Product NOT IN"
                         " (SELECT Product FROM Xproduct)"
                         " OR Currency NOT IN (SELECT Currency FROM Xcurrency)");
        VERIFY_NONE(dir, "SELECT Product, Language FROM Xfactory WHERE Product NOT IN"
                         " (SELECT Product FROM Xproduct)"
                         " OR Language NOT IN (SELECT Language FROM Xlanguage)");
        VERIFY_NONE(dir, "SELECT Origin, Product FROM Xemail WHERE Product NOT IN"
                         " (SELECT Product FROM Xproduct)"
                         " OR Origin NOT IN (SELECT Origin FROM Xorigin)");
        VERIFY_NONE(dir, "SELECT Company FROM Xdistributor WHERE Language NOT IN"
                         " (SELECT Language FROM Xlanguage)"
                         " OR Title NOT IN (SELECT Title FROM Xtitle)");
        verifyOrdersFitLists(dir);
        if (QTest::currentTestFailed())
            return;

        // Addresses hold real line breaks, not the script's \n.
        VERIFY_NONE(dir, "SELECT rowid, Address FROM Xsale WHERE instr(Address, char(10)) = 0"
                         " OR instr(Address || DeliveryAddress, '\\n') > 0");
        VERIFY_NONE(dir, "SELECT Company FROM Xdistributor WHERE instr(Address, char(10)) = 0"
                         " OR instr(Address, '\\n') > 0");
    }

    void neitherCommandOverwritesATable_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("existing");
        for (const char* command : {"create", "demo"})
            for (const char* existing : {"Xsale.db", "Xtable.db", "Xexport.db"})
                QTest::addRow("%s over %s", command, existing) << command << existing;
    }

    void neitherCommandOverwritesATable()
    {
        QFETCH(QString, command);
        QFETCH(QString, existing);
        QTemporaryDir tmp;
        const QString path = QDir(tmp.path()).filePath(existing);
        const QByteArray bytes("not a table, but somebody's file");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
        }
        const Run r = tables(command, tmp.path());
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, QStringLiteral("kestrova-tables: Table file %1 already exists.\n").arg(path));
        QCOMPARE(r.out, QString());
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{existing});
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }

    void scriptRunsWithCommentsAndEmptyStatements()
    {
        QTemporaryDir tmp;
        fillTableSet(tmp.path(),
                     "/* made for a test */\n"
                     "INSERT INTO Xlanguage (Language) VALUES ('EN'), ('DE'); -- two\n"
                     ";;\n"
                     "UPDATE Xtable SET Value = 'x;y' WHERE Name = 'Profile';\n"
                     "-- the end, with no statement after it",
                     QStringLiteral("test.sql"));
        QCOMPARE(tableFiles(tmp.path()), allTableFiles());
        QCOMPARE(value(tmp.path(), QStringLiteral("SELECT group_concat(Language) FROM Xlanguage")),
                 QVariant(QStringLiteral("EN,DE")));
        QCOMPARE(value(tmp.path(), QStringLiteral("SELECT Value FROM Xtable WHERE Name = 'Profile'")),
                 QVariant(QStringLiteral("x;y")));
        QCOMPARE(value(tmp.path(), QStringLiteral("SELECT count(*) FROM Xtable")).toInt(), int(settingNames().size()));
    }

    void failedScriptLeavesNoTable_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("message");
        const QByteArray good = "INSERT INTO Xproduct (Product) VALUES ('Tool');\n"
                                "UPDATE Xtable SET Value = 'p' WHERE Name = 'Profile';\n";
        QTest::newRow("syntax error") << good + "\nINSERT INTO Xsale (Person VALUES ('Ann');"
                                      << "s.sql, line 4: near \"VALUES\": syntax error";
        QTest::newRow("unknown column") << good + "INSERT INTO Xlanguage (Lang) VALUES ('EN');"
                                        << "s.sql, line 3: table Xlanguage has no column named Lang";
        QTest::newRow("duplicate key") << good + "INSERT INTO Xproduct (Product) VALUES ('Tool');"
                                       << "s.sql, line 3: UNIQUE constraint failed: Xproduct.Product";
        QTest::newRow("misspelt setting") << good + "UPDATE Xtable SET Value = 'x' WHERE Name = 'Proflie';"
                                          << "s.sql, line 3: the statement changed no row";
        QTest::newRow("transaction ended") << good + "COMMIT;\nINSERT INTO Xlanguage (Language) VALUES ('EN');"
                                           << "s.sql, line 3: the script must not end the transaction";
        QTest::newRow("text too long") << good + "INSERT INTO Xlanguage (Language) VALUES ('ENG');"
                                       << "'ENG' is too long for Xlanguage.Language";
    }

    void failedScriptLeavesNoTable()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, message);
        QTemporaryDir tmp;
        QFile other(QDir(tmp.path()).filePath(QStringLiteral("notes.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QCOMPARE(errorOf([&] { fillTableSet(tmp.path(), script, QStringLiteral("s.sql")); }), message);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("notes.txt")});
    }

    void generatorRepeatsItselfForTheSameSeed()
    {
        QTemporaryDir a, b, c;
        for (const QTemporaryDir* d : {&a, &b, &c})
            createEmptyTableSet(d->path());
        appendGeneratedOrders(a.path(), 600, 7);
        appendGeneratedOrders(b.path(), 600, 7);
        appendGeneratedOrders(c.path(), 600, 8);
        const auto first = allOrders(a.path());
        QCOMPARE(first.size(), 600);
        QVERIFY(first == allOrders(b.path()));
        QVERIFY(first != allOrders(c.path()));
    }

    void generatedOrdersFitTheDemoLists()
    {
        QTemporaryDir tmp;
        fillDemoData(tmp.path());
        const int demoOrders = rowCount(tmp.path(), QStringLiteral("Xsale"));
        // From 50,000 orders on, the indexes are dropped and made again.
        appendGeneratedOrders(tmp.path(), 50000, 3);
        QCOMPARE(rowCount(tmp.path(), QStringLiteral("Xsale")), demoOrders + 50000);
        verifyOrdersFitLists(tmp.path());
        if (QTest::currentTestFailed())
            return;
        VERIFY_NONE(tmp.path(), "SELECT a.rowid FROM Xsale a JOIN Xsale b ON b.rowid = a.rowid + 1"
                                " WHERE a.rowid > (SELECT count(*) FROM Xsale) - 50000"
                                " AND b.OrderDate < a.OrderDate");
        QStringList indexes;
        for (const QVariantList& row : rows(tmp.path(), QStringLiteral("SELECT name FROM Xsale.sqlite_master"
                                                                       " WHERE type = 'index' AND sql IS NOT NULL"
                                                                       " ORDER BY name")))
            indexes << row.first().toString();
        QCOMPARE(indexes, (QStringList{QStringLiteral("Xsale_OrderDate"), QStringLiteral("Xsale_PaymentDate"),
                                       QStringLiteral("Xsale_Person")}));
    }

    void generatorNeedsTheOrderTable()
    {
        QTemporaryDir tmp;
        const QString path = QDir(tmp.path()).filePath(QStringLiteral("Xsale.db"));
        QCOMPARE(errorOf([&] { appendGeneratedOrders(tmp.path(), 5, 1); }),
                 QStringLiteral("Table file %1 does not exist").arg(path));
        QVERIFY(!QFile::exists(path));
    }

    void genOrdersCommandLine()
    {
        QTemporaryDir tmp;
        const QString dir = QDir(tmp.path()).filePath(QStringLiteral("orders"));
        // On a folder without tables it makes the demo set first.
        Run r = genOrders({dir, QStringLiteral("25"), QStringLiteral("4")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.startsWith(QStringLiteral("Made the demo tables in %1\n").arg(dir)), qPrintable(r.err));
        QTemporaryDir demo;
        fillDemoData(demo.path());
        const int total = rowCount(demo.path(), QStringLiteral("Xsale")) + 25;
        QCOMPARE(rowCount(dir, QStringLiteral("Xsale")), total);
        QCOMPARE(r.out, QString::number(total) + QLatin1Char('\n'));

        r = genOrders({dir, QStringLiteral("10")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QString::number(total + 10) + QLatin1Char('\n'));

        r = genOrders({dir, QStringLiteral("-1")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.startsWith(QStringLiteral("usage: kestrova-gen-orders DIR COUNT [SEED]\n")));
    }
};

QTEST_GUILESS_MAIN(TestTableTool)
#include "tst_tabletool.moc"
