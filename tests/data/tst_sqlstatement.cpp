#include "tests/support/errorof.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"

#include <QSqlDatabase>
#include <QTest>
#include <QUuid>

using namespace kestrova;

// The prepared-statement wrapper over an in-memory database.
class TestSqlStatement : public QObject {
    Q_OBJECT

    QString m_name;
    sqlite3* db = nullptr;

    QVariant scalar(const QString& sql, const QVariantList& binds = {})
    {
        SqlStatement q(db, sql);
        q.bind(binds);
        return q.step() ? q.value(0) : QVariant();
    }

private Q_SLOTS:
    void init()
    {
        m_name = QUuid::createUuid().toString();
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        c.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(c.open());
        db = sqliteHandle(c);
        SqlStatement::exec(db, "CREATE TABLE t (a TEXT, b REAL, c INTEGER NOT NULL, d BLOB)");
    }
    void cleanup()
    {
        db = nullptr;
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }

    // Only an open SQLite connection gives a handle.
    void handleOfOtherConnectionsIsRefused()
    {
        QCOMPARE(errorOf([] { sqliteHandle(QSqlDatabase()); }), "The connection is not an SQLite database");
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase closed = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            QCOMPARE(errorOf([&] { sqliteHandle(closed); }), "The connection is not open");
        }
        QSqlDatabase::removeDatabase(name);
    }

    // Every kind of value comes back as it went in; a null text is stored
    // as '', other nulls as NULL.
    void valuesRoundTrip()
    {
        SqlStatement ins(db, "INSERT INTO t VALUES (?, ?, ?, ?)");
        ins.bind({QString::fromUtf8("Zoë – 東京"), 2.5, qlonglong(1) << 40, QByteArray("\0\1\2", 3)});
        ins.run();
        ins.reset();
        ins.bind({QString(), QVariant(), 7, QVariant(QMetaType::fromType<QByteArray>())});
        ins.run();
        SqlStatement sel(db, "SELECT rowid, a, b, c, d, typeof(a), typeof(b), typeof(d) FROM t ORDER BY rowid");
        QVERIFY(sel.step());
        const Row r = sel.row(7);
        QCOMPARE(r.id, 1);
        QCOMPARE(r.values.at(0).toString(), QString::fromUtf8("Zoë – 東京"));
        QCOMPARE(r.values.at(1).toDouble(), 2.5);
        QCOMPARE(r.values.at(2).toLongLong(), qlonglong(1) << 40);
        QCOMPARE(r.values.at(3).toByteArray(), QByteArray("\0\1\2", 3));
        QVERIFY(sel.step());
        QCOMPARE(sel.value(5).toString(), "text");
        QCOMPARE(sel.value(6).toString(), "null");
        QCOMPARE(sel.value(7).toString(), "null");
        QVERIFY(!sel.value(2).isValid());
        QVERIFY(!sel.step());
    }

    // A parameter's buffer is reused from run to run: a shorter text bound
    // after a longer one is stored with its own length.
    void reboundTextKeepsItsLength()
    {
        SqlStatement ins(db, "INSERT INTO t (a, c) VALUES (?, 0)");
        for (const QString& text : {QString("a long first text"), QString("short"), QString()}) {
            StatementRun run{ins};
            ins.bind(0, text);
            ins.run();
        }
        SqlStatement sel(db, "SELECT a, length(a) FROM t ORDER BY rowid");
        QStringList got;
        while (sel.step())
            got << sel.value(0).toString() + "/" + sel.value(1).toString();
        QCOMPARE(got, (QStringList{"a long first text/17", "short/5", "/0"}));
    }

    // A row's nulls are '' in text fields only; the next free index is
    // returned for what follows the row.
    void rowBinding()
    {
        const QVector<FieldInfo> fields{{"a", FieldKind::Text, 0}, {"b", FieldKind::Number, 0}};
        SqlStatement ins(db, "INSERT INTO t (a, b, c) VALUES (?, ?, ?)");
        QCOMPARE(ins.bindRow({QVariant(), QVariant()}, fields), 2);
        ins.bind(2, 3);
        ins.run();
        QCOMPARE(scalar("SELECT typeof(a) || ',' || typeof(b) FROM t").toString(), "text,null");
        QCOMPARE(scalar("SELECT count(*) FROM t WHERE a = ?", {QString()}).toInt(), 1);
    }

    // The engine's reasons are thrown; a statement that failed runs again.
    void failures()
    {
        QCOMPARE(errorOf([&] { SqlStatement(db, "SELEC 1"); }), "near \"SELEC\": syntax error");
        QCOMPARE(errorOf([&] { SqlStatement(db, "SELECT * FROM missing"); }), "no such table: missing");
        SqlStatement ins(db, "INSERT INTO t (c) VALUES (?)");
        ins.bind(0, QVariant());
        QCOMPARE(errorOf([&] { ins.run(); }), "NOT NULL constraint failed: t.c");
        ins.reset();
        ins.bind(0, 5);
        ins.run();
        QCOMPARE(ins.changes(), 1);
        QCOMPARE(ins.lastInsertId(), 1);
        QCOMPARE(errorOf([&] { SqlStatement::exec(db, "INSERT INTO t (c) VALUES (?)", {QVariant()}); }),
                 "NOT NULL constraint failed: t.c");
    }

    // A text of comments prepares nothing and runs as an empty result; what
    // follows the first statement is kept for the caller to judge.
    void firstStatementAndRest()
    {
        SqlStatement none(db, "-- nothing\n/* at all */");
        QVERIFY(!none.get());
        QVERIFY(!none.step());
        QVERIFY(none.isReadOnly());
        SqlStatement two(db, "SELECT 1; DELETE FROM t ;  ");
        QCOMPARE(two.rest(), QByteArray("DELETE FROM t ;"));
        QVERIFY(two.isReadOnly());
        QVERIFY(!SqlStatement(db, "DELETE FROM t").isReadOnly());
    }

    // A transaction left without a commit rolls back; one the engine has
    // already ended is not reported as committed.
    void transactionsEndWithTheirScope()
    {
        auto rows = [&] { return scalar("SELECT count(*) FROM t").toInt(); };
        QCOMPARE(errorOf([&] {
                     Transaction tx(db, Transaction::Kind::Immediate);
                     SqlStatement::exec(db, "INSERT INTO t (c) VALUES (1)");
                     SqlStatement::exec(db, "INSERT INTO t (c) VALUES (NULL)");
                     tx.commit();
                 }),
                 "NOT NULL constraint failed: t.c");
        QCOMPARE(rows(), 0);
        {
            Transaction tx(db);
            SqlStatement::exec(db, "INSERT INTO t (c) VALUES (2)");
            tx.commit();
        }
        QCOMPARE(rows(), 1);
        QCOMPARE(errorOf([&] {
                     Transaction tx(db);
                     SqlStatement::exec(db, "ROLLBACK");
                     tx.commit();
                 }),
                 "the database engine had already rolled the changes back");
        SqlConnection own;
        own.exec("CREATE TABLE u (x)");
        QCOMPARE(errorOf([] { SqlConnection("/nonexistent/dir/x.db", SqlConnection::Mode::ReadWrite); }),
                 "unable to open database file");
    }

    // A guard gives its own reason, or leaves the engine's.
    void guardNamesTheReason()
    {
        struct Refusing : StatementGuard {
            bool speak = true;
            void raise(sqlite3*, int rc) const override
            {
                if (speak)
                    throw Error(QStringLiteral("refused with %1").arg(rc & 0xff));
            }
        } guard;
        QCOMPARE(errorOf([&] { SqlStatement(db, "SELECT absent", &guard); }),
                 QStringLiteral("refused with %1").arg(SQLITE_ERROR));
        guard.speak = false;
        QCOMPARE(errorOf([&] { SqlStatement(db, "SELECT absent", &guard); }), "no such column: absent");
    }
};

QTEST_GUILESS_MAIN(TestSqlStatement)
#include "tst_sqlstatement.moc"
