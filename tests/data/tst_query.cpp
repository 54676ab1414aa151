#include "data/dataset.h"
#include "data/error.h"
#include "tests/support/errorof.h"
#include "data/queryprogress.h"
#include "tests/support/tablefixture.h"
#include "tests/support/connectionprobe.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <functional>
#include <new>
#include <sqlite3.h>
#include <unistd.h>

using namespace kestrova;

namespace {

const QString kEndless =
    QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT x FROM c");

// Stands in for the person watching a query: counts the calls, stops the
// run at the given call, and can act on each call.
struct TestProgress : QueryProgress {
    int stopAt = -1; // never
    int calls = 0;
    int starts = 0;
    int finishes = 0;
    std::function<void()> onCall;
    std::function<void()> onFinish;
    void started() override { ++starts; }
    bool proceed() override
    {
        ++calls;
        if (onCall)
            onCall();
        return stopAt < 0 || calls < stopAt;
    }
    void finished() override
    {
        ++finishes;
        if (onFinish)
            onFinish();
    }
};

QStringList attachedFiles(const Query& q)
{
    QSqlQuery p(ConnectionProbe::database(q));
    p.exec(QStringLiteral("PRAGMA database_list"));
    QStringList names;
    while (p.next())
        names << p.value(1).toString();
    return names;
}

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

} // namespace

class TestQuery : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;

    std::unique_ptr<Query> query(const QString& sql)
    {
        auto q = std::make_unique<Query>();
        q->setDirectory(fx->dir());
        q->setSql(sql);
        q->setLocaleFormat(LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))));
        return q;
    }

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<TableFixture>();
        fx->exec("Xsale", "INSERT INTO Xsale (Person, PaymentMeans, NetAmount, Origin) VALUES "
                          "('John Doe', 'Card', 10, 'Direct'), ('Ann', '', 20, 'Direct'), "
                          "('John Doe', '', NULL, 'Reseller'), ('Bob', '', 5.5, 'WebShop')");
    }
    void cleanup() { fx.reset(); }

    void prepareRewritesTableFilesAndParameters()
    {
        const auto p = Query::prepare("Select * from Xsale.db x Where x.Person = :Personne and "
                                      "Note = 'Xsale.db :notaparam' -- Xsale.db :no\n and D = :datei or E = :DATEI;");
        QCOMPARE(p.sql, QString("Select * from Xsale x Where x.Person = ? and "
                                "Note = 'Xsale.db :notaparam' -- Xsale.db :no\n and D = ? or E = ?;"));
        QCOMPARE(p.params, QStringList({"Personne", "datei", "DATEI"}));
        QCOMPARE(p.tables, QStringList({"Xsale"}));
        QCOMPARE(Query::prepare("select * from XSALE.DB").sql, QString("select * from XSALE"));
        QCOMPARE(Query::prepare("select * from Xsale.dbx").sql, QString("select * from Xsale.dbx"));
    }

    void personSearchIsEditable()
    {
        auto q = query("Select * from Xsale\nWhere Person = :Personne;");
        q->setParamText("PERSONNE", "John Doe"); // names match without regard to case
        q->open();
        QVERIFY(q->isEditableResult());
        QCOMPARE(q->recordCount(), 2);
        QCOMPARE(q->fieldText("Origin"), "Direct");
        q->next();
        QCOMPARE(q->fieldText("Origin"), "Reseller");
        q->edit();
        q->setFieldText("Company", "Doe Ltd");
        q->post();
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale WHERE Origin = 'Reseller'").toString(), "Doe Ltd");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale WHERE Company <> ''").toInt(), 1);
    }

    void unpaidSearchAndTableFileName()
    {
        auto q = query("Select * from Xsale.db Where\nPaymentMeans = '' and\nNetAmount <> '';");
        q->open();
        QStringList persons;
        for (int i = 0; i < q->recordCount(); ++i)
            persons << q->textAt(i, q->fieldIndex("Person"));
        QCOMPARE(persons, QStringList({"Ann", "Bob"}));
    }

    void emptyResult()
    {
        auto q = query("Select * from Xsale Where Person = :p");
        q->setParamText("p", "Nobody");
        q->open();
        QVERIFY(q->isEmpty());
        QVERIFY(q->eof());
        QCOMPARE(q->fieldText("Person"), QString());
    }

    void joinsAndAggregatesAreReadOnly()
    {
        fx->exec("Xproduct", "INSERT INTO Xproduct VALUES ('Ledger')");
        auto agg = query("Select Origin, SUM(NetAmount) from Xsale group by Origin order by Origin");
        agg->open();
        QVERIFY(!agg->canModify());
        QCOMPARE(agg->recordCount(), 3);
        QCOMPARE(agg->fieldText("Origin"), "Direct");
        QCOMPARE(agg->fieldText("SUM OF NetAmount"), "30"); // sums are named after their field
        QVERIFY(errorOf([&] { agg->edit(); }).startsWith("This result cannot be edited"));

        auto join = query("Select * from Xsale, Xproduct");
        join->open();
        QVERIFY(!join->canModify());
        QCOMPARE(join->recordCount(), 4);

        auto cols = query("Select Person from Xsale");
        cols->open();
        QVERIFY(!cols->canModify());

        auto grouped = query("Select * from Xsale group by Person");
        grouped->open();
        QVERIFY(!grouped->canModify());

        // A literal that happens to hold a keyword does not make it read-only.
        auto literal = query("Select * from Xsale where Person <> 'group union'");
        literal->open();
        QVERIFY(literal->canModify());
    }

    void engineMessages()
    {
        auto q = query("Select * from Nowhere");
        QCOMPARE(errorOf([&] { q->open(); }), "no such table: Nowhere");
        QVERIFY(!q->isOpen());
        auto bad = query("Selec * from Xsale");
        QVERIFY(errorOf([&] { bad->open(); }).contains("syntax error"));
        auto missing = query("Select * from Xsale where Person = :who");
        QCOMPARE(errorOf([&] { missing->open(); }), "No value for parameter 'who'");
    }

    void reopenRunsAgain()
    {
        auto q = query("Select * from Xsale Where Person = :Personne;");
        q->setParamText("Personne", "Ann");
        q->open();
        QCOMPARE(q->recordCount(), 1);
        q->close();
        fx->addOrders({"Ann"});
        q->open();
        QCOMPARE(q->recordCount(), 2);
    }

    // An endless text, stopped by the watcher, in both kinds of results; the
    // query closes, lets its files go, and runs the next text.
    void endlessQueryIsCancelled_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("read-only") << kEndless;
        QTest::newRow("editable") << "Select * from Xsale where (select count(*) from Xsale a, Xsale b, Xsale c, "
                                     "Xsale d, Xsale e, Xsale f, Xsale g, Xsale h, Xsale i, Xsale j) > Person";
    }
    void endlessQueryIsCancelled()
    {
        QFETCH(QString, sql);
        TestProgress progress;
        progress.stopAt = 50;
        auto q = query(sql);
        q->setSelectOnly(true);
        q->setProgress(&progress);
        QCOMPARE(errorOf([&] { q->open(); }), "The query was cancelled");
        QCOMPARE(progress.calls, 50);
        QCOMPARE(progress.starts, 1);
        QCOMPARE(progress.finishes, 1);
        QVERIFY(!q->isOpen());
        QCOMPARE(attachedFiles(*q), QStringList{"main"});
        q->setSql("Select * from Xsale where Person = 'Ann'");
        q->open();
        QCOMPARE(q->fieldText("NetAmount"), "20");
        QCOMPARE(progress.starts, 2);
        QCOMPARE(progress.finishes, 2);
    }

    // Memory that runs out, in the engine or in the program, fails the query
    // with one message and leaves it closed and usable.
    void memoryFailureClosesTheQuery_data()
    {
        QTest::addColumn<bool>("inEngine");
        QTest::newRow("engine out of memory") << true;
        QTest::newRow("std::bad_alloc") << false;
    }
    void memoryFailureClosesTheQuery()
    {
        QFETCH(bool, inEngine);
        TestProgress progress;
        if (inEngine) {
            // From the first call on, the engine may hardly grow.
            progress.onCall = [&] {
                if (progress.calls == 1)
                    sqlite3_hard_heap_limit64(sqlite3_memory_used() + 256 * 1024);
            };
            progress.onFinish = [] { sqlite3_hard_heap_limit64(0); };
        } else {
            progress.onCall = [] { throw std::bad_alloc(); };
        }
        auto q = query("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 1000000) "
                       "SELECT length(group_concat(hex(randomblob(16)))) FROM c, Xsale");
        q->setSelectOnly(true);
        q->setProgress(&progress);
        QCOMPARE(errorOf([&] { q->open(); }), "Not enough memory to run the query");
        QVERIFY(!q->isOpen());
        QCOMPARE(attachedFiles(*q), QStringList{"main"});
        q->setProgress(nullptr);
        q->setSql("Select count(*) from Xsale");
        q->open();
        QCOMPARE(q->textAt(0, 0), "4");
    }

    // A result of a million rows is counted and read near the rows asked
    // for, never held whole.
    void hugeResultIsReadByPage()
    {
        const qint64 before = residentBytes();
        auto q = query("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 1000000) "
                       "SELECT x, 'order ' || x AS Label FROM c");
        q->setSelectOnly(true);
        q->open();
        QCOMPARE(q->recordCount(), 1000000);
        QCOMPARE(q->field("x").kind, FieldKind::Integer);
        QCOMPARE(q->fieldText("Label"), "order 1");
        QCOMPARE(q->textAt(999999, 1), "order 1000000");
        QCOMPARE(q->textAt(500000, 0), "500001");
        q->moveTo(700000);
        QCOMPARE(q->fieldText("x"), "700001");
        q->prior();
        QCOMPARE(q->fieldText("x"), "700000");
        q->last();
        QCOMPARE(q->fieldText("Label"), "order 1000000");
        QCOMPARE(q->recNo(), 999999);
        q->next();
        QVERIFY(q->eof());
        const qint64 grown = residentBytes() - before;
        QVERIFY2(grown < 40 * 1024 * 1024, qPrintable(QString::number(grown)));
    }

    // Every table file a query names is detached when it closes or fails:
    // a connection holds at most ten.
    void tableFilesAreDetached()
    {
        auto q = query(QString());
        int queries = 0;
        for (const TableDef& t : schemaTables()) {
            if (!QFile::exists(fx->path(t.name)))
                continue;
            q->setSql(QStringLiteral("Select count(*) from Xsale.db, %1.db").arg(t.name));
            q->open();
            QVERIFY(attachedFiles(*q).size() <= 3);
            q->close();
            QCOMPARE(attachedFiles(*q), QStringList{"main"});
            ++queries;
        }
        QVERIFY(queries >= 12);
        // Reopened without closing, and failing after attaching.
        q->setSql("Select * from Xsale, Xproduct, Xprice");
        q->open();
        QCOMPARE(attachedFiles(*q), QStringList({"main", "Xsale", "Xproduct", "Xprice"}));
        q->setSql("Select * from Xtitle");
        q->open();
        QCOMPARE(attachedFiles(*q), QStringList({"main", "Xtitle"}));
        q->setSql("Select Missing from Xorigin, Xcurrency");
        QCOMPARE(errorOf([&] { q->open(); }), "no such column: Missing");
        QCOMPARE(attachedFiles(*q), QStringList{"main"});
    }

    // A typed text may read, and nothing else: the authorizer names what it
    // refused, and no file changed.
    void authorizerRefusals_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("refused");
        // clang-format off
        QTest::newRow("tokenizer") << "select fts3_tokenizer('simple')" << "the function fts3_tokenizer";
        QTest::newRow("tokenizer, capitals") << "SELECT FTS3_TOKENIZER('porter')" << "the function fts3_tokenizer";
        QTest::newRow("extension") << "select load_extension('libm.so.6')" << "the function load_extension";
        QTest::newRow("pragma function") << "select * from pragma_optimize" << "PRAGMA optimize";
        QTest::newRow("write in a with") << "with x as (select 1) delete from Xsale" << "writing to Xsale";
        QTest::newRow("write in a subquery")
            << "select * from Xsale where Person in (with y as (select 1) insert into Xsale default values)"
            << "";
        // clang-format on
    }
    void authorizerRefusals()
    {
        QFETCH(QString, sql);
        QFETCH(QString, refused);
        const QByteArray before = fx->fileBytes("Xsale");
        auto q = query(sql);
        q->setSelectOnly(true);
        const QString message = errorOf([&] { q->open(); });
        if (refused.isEmpty()) {
            QVERIFY2(!message.isEmpty(), "the text ran");
        } else {
            QCOMPARE(message, QStringLiteral("Only one SELECT query can be run here, and it may only read: %1 is not "
                                             "allowed; the text was not run and no table was changed")
                                  .arg(refused));
        }
        QVERIFY(!q->isOpen());
        q.reset();
        QCOMPARE(fx->fileBytes("Xsale"), before);
    }

    void readsAreAllowed_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("first");
        // clang-format off
        QTest::newRow("recursive") << "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c LIMIT 3) "
                                      "SELECT sum(x) FROM c" << "6";
        QTest::newRow("functions") << "select upper(Person) || printf('%d', length(Origin)) from Xsale" << "JOHN DOE6";
        QTest::newRow("field list") << "select name from Xsale.pragma_table_info('Xsale') where cid = 1" << "Person";
        QTest::newRow("setting") << "select * from pragma_user_version" << "0";
        QTest::newRow("schema") << "select name from Xsale.sqlite_master where type = 'table'" << "Xsale";
        // clang-format on
    }
    void readsAreAllowed()
    {
        QFETCH(QString, sql);
        QFETCH(QString, first);
        auto q = query(sql);
        q->setSelectOnly(true);
        q->open();
        QCOMPARE(q->textAt(0, 0), first);
    }

    void appendAndDeleteThroughResult()
    {
        auto q = query("Select * from Xsale Where Person = 'John Doe'");
        q->open();
        q->append();
        q->setFieldText("Person", "Zed");
        q->post();
        QCOMPARE(q->recordCount(), 3);
        QCOMPARE(q->fieldText("Person"), "Zed");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 5);
        q->first();
        q->deleteRecord();
        QCOMPARE(q->recordCount(), 2);
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale WHERE Person = 'John Doe'").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
