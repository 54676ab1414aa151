#include "data/dataset.h"
#include "data/error.h"
#include "tests/support/errorof.h"
#include "tests/support/tablefixture.h"
#include "data/transaction.h"

#include <QSignalSpy>
#include <QTest>

using namespace kestrova;

namespace {

LocaleFormat usFormat()
{
    return LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US")));
}

} // namespace

class TestDataSet : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;

    std::unique_ptr<Table> table(const QString& name)
    {
        auto t = std::make_unique<Table>();
        t->setDirectory(fx->dir());
        t->setTableName(name);
        t->setLocaleFormat(usFormat());
        return t;
    }

private Q_SLOTS:
    void init() { fx = std::make_unique<TableFixture>(); }
    void cleanup() { fx.reset(); }

    void callbacksAllRunAndTheFirstFailureIsThrown()
    {
        auto t = table("Xsale");
        t->open();
        QStringList calls;
        QObject first, second;
        t->onUpdateRecord(&first, [&] {
            calls << "refuse";
            throw Error(QStringLiteral("refused"));
        });
        t->onUpdateRecord(&second, [&] { calls << "later"; });
        t->append();
        t->setFieldText("Person", "Ann");
        QCOMPARE(errorOf([&] { t->post(); }), "refused");
        QCOMPARE(calls, (QStringList{"refuse", "later"}));
        QCOMPARE(t->state(), DataSetState::Insert);
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 0);

        // The refusing owner goes: its callback goes with it.
        t->removeCallbacks(&first);
        calls.clear();
        {
            QObject transient;
            t->onAfterPost(&transient, [&] { calls << "gone"; });
        }
        QObject a, b;
        t->onAfterPost(&a, [&] {
            calls << "a";
            throw Error(QStringLiteral("after"));
        });
        t->onAfterPost(&b, [&] {
            calls << "b";
            throw Error(QStringLiteral("second"));
        });
        QSignalSpy posted(t.get(), &DataSet::afterPost);
        // A failing after-post rule reports once; the row stays stored.
        QCOMPARE(errorOf([&] { t->post(); }), "after");
        QCOMPARE(calls, (QStringList{"later", "a", "b"}));
        QCOMPARE(t->state(), DataSetState::Browse);
        QCOMPARE(fx->value("Xsale", "SELECT Person FROM Xsale").toString(), "Ann");
        QCOMPARE(posted.count(), 1);
    }

    void cursorAndEndFlag()
    {
        fx->addOrders({"Ann", "Bob", "Cy"});
        auto t = table("Xsale");
        t->open();
        QCOMPARE(t->fieldText("Person"), "Ann");
        QVERIFY(t->bof());
        QVERIFY(!t->eof());
        t->next();
        t->next();
        QCOMPARE(t->fieldText("Person"), "Cy");
        QVERIFY(!t->eof());
        t->next(); // from the last row: stays there, end flag set
        QVERIFY(t->eof());
        QCOMPARE(t->fieldText("Person"), "Cy");
        t->prior();
        QVERIFY(!t->eof());
        QCOMPARE(t->fieldText("Person"), "Bob");
        t->first();
        t->prior();
        QVERIFY(t->bof());
        QCOMPARE(t->fieldText("Person"), "Ann");
        t->last();
        QVERIFY(t->eof());
        QCOMPARE(t->fieldText("Person"), "Cy");
        QCOMPARE(t->recordCount(), 3);
        QCOMPARE(t->recNo(), 2);
    }

    void emptyTable()
    {
        auto t = table("Xsale");
        t->open();
        QVERIFY(t->isEmpty());
        QVERIFY(t->eof());
        QVERIFY(t->bof());
        QCOMPARE(t->fieldText("Person"), QString());
        t->next();
        QVERIFY(t->eof());
        QCOMPARE(t->recordCount(), 0);
        QCOMPARE(errorOf([&] { t->deleteRecord(); }), "Cannot perform this operation on an empty dataset");
    }

    void keyedTableInKeyOrder()
    {
        for (const char* p : {"Zeta", "Alpha", "Mid"})
            fx->exec("Xproduct", "INSERT INTO Xproduct VALUES (?)", {p});
        auto t = table("Xproduct");
        t->open();
        QStringList seen;
        while (true) {
            seen << t->fieldText("Product");
            t->next();
            if (t->eof())
                break;
        }
        QCOMPARE(seen, QStringList({"Alpha", "Mid", "Zeta"}));
        QCOMPARE(t->columnTexts("Product"), seen);
        // Moves by position, as a grid makes them, from any row to any row.
        for (int from = 0; from < 3; ++from)
            for (int to = 0; to < 3; ++to) {
                t->moveTo(from);
                t->moveTo(to);
                QCOMPARE(t->recNo(), to);
                QCOMPARE(t->fieldText("Product"), seen[to]);
            }
    }

    void keySearch()
    {
        fx->exec("Xprice",
                 "INSERT INTO Xprice VALUES ('Ledger','EUR',19.9,3.9), ('Ledger','USD',21,0), ('Quill','EUR',5,1)");
        auto t = table("Xprice");
        t->open();
        t->last();
        QCOMPARE(t->fieldText("Product"), "Quill");
        QVERIFY(t->findKey({"Ledger", "USD"}));
        QCOMPARE(t->fieldText("NetAmount"), "21");
        QCOMPARE(t->fieldText("Tax"), "0");
        // Not found: the cursor stays where it was.
        QVERIFY(!t->findKey({"Ledger", "GBP"}));
        QCOMPARE(t->fieldText("Currency"), "USD");
        // The three-step form finds the same rows.
        t->setKey();
        t->setKeyFieldText("Product", "Ledger");
        t->setKeyFieldText("Currency", "EUR");
        QVERIFY(t->gotoKey());
        QCOMPARE(t->fieldText("NetAmount"), "19.9");
        // Key fields are matched exactly, case included.
        QVERIFY(!t->findKey({"ledger", "EUR"}));
        QCOMPARE(t->fieldText("Currency"), "EUR");
        // One price row per product and currency.
        t->append();
        t->setFieldText("Product", "Ledger");
        t->setFieldText("Currency", "EUR");
        QVERIFY(!errorOf([&] { t->post(); }).isEmpty());
        QCOMPARE(t->state(), DataSetState::Insert);
        t->cancel();
        QCOMPARE(fx->value("Xprice", "SELECT count(*) FROM Xprice").toInt(), 3);
    }

    void appendGoesToTheEndAndEventsFire()
    {
        fx->addOrders({"Ann", "Bob"});
        auto t = table("Xsale");
        t->open();
        QSignalSpy posted(t.get(), &DataSet::afterPost);
        QSignalSpy changed(t.get(), &DataSet::dataChanged);
        QSignalSpy states(t.get(), &DataSet::stateChanged);
        t->append();
        QCOMPARE(t->state(), DataSetState::Insert);
        QCOMPARE(t->fieldText("Person"), QString());
        t->setFieldText("Person", "Cy");
        QVERIFY(changed.contains(QVariantList{QString("Person")}));
        t->setFieldText("OrderDate", "12/7/2026");
        t->setFieldText("NetAmount", "59.70");
        t->setFieldText("NumberOfLicenses", "3");
        t->post();
        QCOMPARE(posted.count(), 1);
        QCOMPARE(t->state(), DataSetState::Browse);
        QVERIFY(states.count() >= 2);
        // The new row is the last one, current, and stored as typed values.
        t->next();
        QVERIFY(t->eof());
        QCOMPARE(t->fieldText("Person"), "Cy");
        QCOMPARE(t->fieldText("NetAmount"), "59.7");
        QCOMPARE(t->fieldText("OrderDate"), "12/7/2026");
        const auto row = fx->rows("Xsale", "SELECT Person, OrderDate, NetAmount, NumberOfLicenses, Company, Tax "
                                           "FROM Xsale ORDER BY rowid DESC LIMIT 1")
                             .first();
        QCOMPARE(row.at(0).toString(), "Cy");
        QCOMPARE(row.at(1).toString(), "2026-12-07");
        QCOMPARE(row.at(2).toDouble(), 59.7);
        QCOMPARE(row.at(3).toInt(), 3);
        QCOMPARE(row.at(4).toString(), QString()); // empty text stored as ''
        QVERIFY(!row.at(4).isNull());
        QVERIFY(row.at(5).isNull()); // empty number stored as NULL
    }

    void editPostCancel()
    {
        fx->addOrders({"Ann", "Bob"});
        auto t = table("Xsale");
        t->open();
        QCOMPARE(errorOf([&] { t->setFieldText("Person", "x"); }), "Dataset not in edit or insert mode");
        t->edit();
        t->setFieldText("Person", "Anne");
        t->cancel();
        QCOMPARE(t->fieldText("Person"), "Ann");
        QCOMPARE(t->state(), DataSetState::Browse);
        t->edit();
        t->setFieldText("Person", "Anne");
        t->next(); // leaving a changed row stores it
        QCOMPARE(t->fieldText("Person"), "Bob");
        QCOMPARE(fx->value("Xsale", "SELECT Person FROM Xsale ORDER BY rowid LIMIT 1").toString(), "Anne");
        // Cancelling an append returns to the row that was current.
        t->append();
        t->setFieldText("Person", "Nobody");
        t->cancel();
        QCOMPARE(t->fieldText("Person"), "Bob");
        QCOMPARE(t->recordCount(), 2);
        // An append left unchanged is not stored when the cursor moves.
        t->append();
        t->first();
        QCOMPARE(t->recordCount(), 2);
    }

    void fieldConversionsRefused()
    {
        fx->addOrders({"Ann"});
        auto t = table("Xsale");
        t->open();
        t->edit();
        QCOMPARE(errorOf([&] { t->setFieldText("NetAmount", "12,5"); }),
                 "'12,5' is not a valid floating point value for field 'NetAmount'");
        QCOMPARE(errorOf([&] { t->setFieldText("NumberOfLicenses", "2.5"); }),
                 "'2.5' is not a valid integer value for field 'NumberOfLicenses'");
        QCOMPARE(errorOf([&] { t->setFieldText("PaymentDate", "13/45/2026"); }), "'13/45/2026' is not a valid date");
        QCOMPARE(errorOf([&] { t->setFieldText("NoSuchField", "x"); }), "Field 'NoSuchField' not found");
        // A refused text leaves the field as it was.
        QCOMPARE(t->fieldText("NetAmount"), QString());
        // Text beyond the field's length is cut when stored.
        t->setFieldText("InvoiceNumber", "12345678901234567890");
        QCOMPARE(t->fieldText("InvoiceNumber"), "1234567890123456");
        // Emptying number and date fields stores nothing.
        t->setFieldText("NetAmount", "  ");
        QVERIFY(t->fieldValue("NetAmount").isNull());
    }

    void decimalCommaLocale()
    {
        fx->addOrders({"Ann"});
        auto t = table("Xsale");
        t->setLocaleFormat(LocaleFormat::fromLocale(QLocale(QStringLiteral("de_DE"))));
        t->open();
        t->edit();
        t->setFieldText("NetAmount", "71,4");
        t->setFieldText("OrderDate", "24.12.2026");
        t->post();
        QCOMPARE(t->fieldText("NetAmount"), "71,4");
        QCOMPARE(t->fieldText("OrderDate"), "24.12.2026");
        QCOMPARE(fx->value("Xsale", "SELECT NetAmount FROM Xsale").toDouble(), 71.4);
    }

    void deleteMovesToNeighbour()
    {
        fx->addOrders({"Ann", "Bob", "Cy"});
        auto t = table("Xsale");
        t->open();
        t->next();
        QSignalSpy deleted(t.get(), &DataSet::afterDelete);
        t->deleteRecord();
        QCOMPARE(t->fieldText("Person"), "Cy");
        t->deleteRecord(); // the last row: its predecessor becomes current
        QCOMPARE(t->fieldText("Person"), "Ann");
        QCOMPARE(deleted.count(), 2);
        QCOMPARE(fx->value("Xsale", "SELECT group_concat(Person) FROM Xsale").toString(), "Ann");
    }

    void positionsForGrids()
    {
        QStringList persons;
        for (int i = 0; i < 150; ++i)
            persons << QStringLiteral("P%1").arg(i);
        fx->addOrders(persons);
        auto t = table("Xsale");
        t->open();
        QCOMPARE(t->textAt(149, t->fieldIndex("Person")), "P149");
        QCOMPARE(t->textAt(64, t->fieldIndex("Person")), "P64");
        t->moveTo(100);
        QCOMPARE(t->fieldText("Person"), "P100");
        QCOMPARE(t->recNo(), 100);
        t->next();
        QCOMPARE(t->recNo(), 101);
        // An unposted edit shows in the row it belongs to.
        t->edit();
        t->setFieldText("Person", "Changed");
        QCOMPARE(t->textAt(101, t->fieldIndex("Person")), "Changed");
        t->cancel();
        QCOMPARE(t->textAt(101, t->fieldIndex("Person")), "P101");
        // Rows appended by others show after a refresh.
        fx->addOrders({"Late"});
        t->refresh();
        QCOMPARE(t->recordCount(), 151);
        QCOMPARE(t->textAt(150, t->fieldIndex("Person")), "Late");
        QCOMPARE(t->fieldText("Person"), "P101");
    }

    // Rows by position in key order, reached from either end or from a
    // position read before, must be the same rows whatever the path.
    void positionsInKeyOrder()
    {
        QStringList expected;
        for (int i = 0; i < 300; ++i) {
            const QString p = QStringLiteral("K%1").arg((i * 7919) % 1000, 4, 10, QLatin1Char('0'));
            fx->exec("Xproduct", "INSERT INTO Xproduct VALUES (?)", {p});
            expected << p;
        }
        expected.sort();
        auto t = table("Xproduct");
        t->open();
        const int col = t->fieldIndex("Product");
        for (int i : {299, 0, 150, 151, 149, 64, 63, 200, 298, 1, 250, 130})
            QCOMPARE(t->textAt(i, col), expected.at(i));
        for (int i : {10, 290, 145, 5})
            QCOMPARE(t->textAt(i, col), expected.at(i)); // from the row cache
        t->moveTo(180);
        QCOMPARE(t->fieldText("Product"), expected.at(180));
        t->next();
        QCOMPARE(t->recNo(), 181);
        QVERIFY(t->findKey({expected.at(42)}));
        QCOMPARE(t->recNo(), 42);
        t->last();
        QCOMPARE(t->recNo(), 299);
        t->deleteRecord();
        QCOMPARE(t->recNo(), 298);
        QCOMPARE(t->fieldText("Product"), expected.at(298));
    }

    // The price table's key has two fields: moves, positions and pages in
    // key order must compare both, whichever way a row is reached.
    void cursorAndPagingOnCompositeKey()
    {
        const QStringList currencies{"USD", "EUR", "CHF"};
        QStringList expected;
        for (int i = 0; i < 240; ++i) {
            const QString product = QStringLiteral("P%1").arg((i * 37) % 80, 2, 10, QLatin1Char('0'));
            const QString currency = currencies.at((i * 7) % 3);
            if (expected.contains(product + "/" + currency))
                continue;
            fx->exec("Xprice", "INSERT INTO Xprice VALUES (?, ?, ?, 0)", {product, currency, i});
            expected << product + "/" + currency;
        }
        expected.sort();
        const int n = int(expected.size());
        QVERIFY(n > 200);
        auto keyAt = [](Table& t, int i) { return t.textAt(i, 0) + "/" + t.textAt(i, 1); };
        auto current = [](Table& t) { return t.fieldText("Product") + "/" + t.fieldText("Currency"); };

        auto t = table("Xprice");
        t->open();
        QCOMPARE(t->recordCount(), n);
        // Pages from the start, the end and rows read before, in any order.
        for (int i : {n - 1, 0, n / 2, n / 2 + 1, n / 2 - 1, 64, 63, n - 65, 1, 130, 129, 200})
            QCOMPARE(keyAt(*t, i), expected.at(i));
        // Moving one row at a time crosses from one product to the next.
        t->moveTo(2);
        QCOMPARE(current(*t), expected.at(2));
        for (int i = 3; i < 12; ++i) {
            t->next();
            QCOMPARE(current(*t), expected.at(i));
            QCOMPARE(t->recNo(), i);
        }
        for (int i = 10; i >= 0; --i) {
            t->prior();
            QCOMPARE(current(*t), expected.at(i));
        }
        t->prior();
        QVERIFY(t->bof());
        QVERIFY(t->findKey({"P41", "EUR"}));
        QCOMPARE(t->recNo(), int(expected.indexOf("P41/EUR")));

        // A changed key field moves the row to its new place.
        t->edit();
        t->setFieldText("Currency", "AAA");
        t->post();
        expected[expected.indexOf("P41/EUR")] = "P41/AAA";
        expected.sort();
        QCOMPARE(t->recNo(), int(expected.indexOf("P41/AAA")));
        for (int i : {0, n - 1, int(expected.indexOf("P41/AAA")) + 1, n / 3})
            QCOMPARE(keyAt(*t, i), expected.at(i));
        t->deleteRecord();
        const int gone = int(expected.indexOf("P41/AAA"));
        expected.removeAt(gone);
        QCOMPARE(current(*t), expected.at(gone));
        QCOMPARE(t->recordCount(), n - 1);

        // A read-only cursor reads ahead in blocks, in the same order.
        auto ro = table("Xprice");
        ro->setReadOnly(true);
        ro->open();
        QStringList walked{current(*ro)};
        for (ro->next(); !ro->eof(); ro->next())
            walked << current(*ro);
        QCOMPARE(walked, expected);
    }

    void emptyAndClosedOperations()
    {
        fx->addOrders({"Ann", "Bob"});
        auto t = table("Xsale");
        QCOMPARE(errorOf([&] { t->first(); }), "Cannot perform this operation on a closed dataset");
        QCOMPARE(errorOf([&] { t->append(); }), "Cannot perform this operation on a closed dataset");
        QCOMPARE(errorOf([&] { t->fieldText("Person"); }), "Cannot perform this operation on a closed dataset");
        t->open();
        t->emptyTable();
        QCOMPARE(t->recordCount(), 0);
        QVERIFY(t->isEmpty());
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 0);
    }

    void openFailures()
    {
        auto t = table("Xsale");
        QFile::remove(fx->path("Xsale"));
        const QString msg = errorOf([&] { t->open(); });
        QVERIFY2(msg.contains("Xsale") && msg.contains("does not exist"), qPrintable(msg));
        QVERIFY(!t->isOpen());
        QVERIFY(!QFile::exists(fx->path("Xsale"))); // never created by opening
        // A file that is not a table file.
        QFile junk(fx->path("Xsale"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        const QString junkMsg = errorOf([&] { t->open(); });
        QVERIFY2(junkMsg.contains("not a database"), qPrintable(junkMsg));
    }

    void readOnlyAndExclusive()
    {
        fx->addOrders({"Ann"});
        auto ro = table("Xsale");
        ro->setReadOnly(true);
        ro->open();
        QVERIFY(!ro->canModify());
        QCOMPARE(errorOf([&] { ro->edit(); }), "Cannot modify a read-only dataset");
        QCOMPARE(ro->fieldText("Person"), "Ann");
        ro->close();

        auto ex = table("Xexport");
        ex->setExclusive(true);
        ex->open();
        ex->append();
        ex->setFieldText("Person", "Ann");
        ex->post();
        auto other = table("Xexport");
        QVERIFY(!errorOf([&] { other->open(); }).isEmpty()); // locked out while held
        ex->close();
        other->open();
        QCOMPARE(other->recordCount(), 1);
    }

    // A batch over the orders and the settings keeps both or neither: left
    // by an error it rolls back, committed it stays; replacing every row
    // stops at the source's error with the old rows kept.
    void batchesAndWholeTableWrites()
    {
        fx->addOrders({"Ann"});
        auto sale = table("Xsale");
        auto settings = table("Xtable");
        sale->open();
        settings->open();
        const int settingsRows = fx->value("Xtable", "SELECT count(*) FROM Xtable").toInt();
        auto addBoth = [&](const QString& person) {
            sale->append();
            sale->setFieldText("Person", person);
            sale->post();
            settings->append();
            settings->setFieldText("Name", person);
            settings->post();
        };
        QCOMPARE(errorOf([&] {
                     Batch batch(*sale, settings.get());
                     addBoth("Bob");
                     throw Error(QStringLiteral("stopped"));
                 }),
                 "stopped");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 1);
        QCOMPARE(fx->value("Xtable", "SELECT count(*) FROM Xtable").toInt(), settingsRows);
        QCOMPARE(sale->fieldText("Person"), "Ann");
        {
            Batch batch(*sale, settings.get());
            addBoth("Cid");
            batch.commit();
        }
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 2);
        QCOMPARE(fx->value("Xtable", "SELECT count(*) FROM Xtable WHERE Name = 'Cid'").toInt(), 1);

        int given = 0;
        QCOMPARE(errorOf([&] {
                     sale->replaceRows([&](QVector<QVariant>& values) {
                         if (++given == 3)
                             throw Error(QStringLiteral("source failed"));
                         values[sale->fieldIndex("Person")] = QStringLiteral("New");
                         return true;
                     });
                 }),
                 "source failed");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale WHERE Person <> 'New'").toInt(), 2);
        sale->replaceRows([&, n = 0](QVector<QVariant>& values) mutable {
            values[sale->fieldIndex("Person")] = QStringLiteral("Row %1").arg(n);
            return n++ < 2;
        });
        QCOMPARE(fx->rows("Xsale", "SELECT Person FROM Xsale ORDER BY rowid"),
                 (QList<QVariantList>{{"Row 0"}, {"Row 1"}}));
        QStringList texts;
        RowWalk walk = sale->walk({"Person"}, {"Person"}, {"Row 1"});
        QVERIFY(walk.next(texts));
        QCOMPARE(texts, QStringList{"Row 1"});
        QVERIFY(!walk.next(texts));
    }

    void dataChangeOnScroll()
    {
        fx->addOrders({"Ann", "Bob"});
        auto t = table("Xsale");
        t->open();
        DataSource src;
        QSignalSpy spy(&src, &DataSource::dataChange);
        src.setDataSet(t.get());
        QCOMPARE(spy.count(), 1);
        t->next();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.last().first().toString(), QString());
        t->next(); // hits the end: no row change, no event
        QCOMPARE(spy.count(), 2);
        t->edit();
        t->setFieldText("Company", "Acme");
        QCOMPARE(spy.last().first().toString(), "Company");
        src.setDataSet(nullptr);
        t->cancel();
        QCOMPARE(spy.count(), 4);
    }
};

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
