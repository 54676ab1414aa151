#include "dataset.h"
#include "error.h"
#include "errorof.h"
#include "tablefixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace kestrova;


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
