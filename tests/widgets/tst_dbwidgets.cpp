#include "widgets/dbwidgets.h"
#include "data/error.h"
#include "tests/support/recordingprompter.h"
#include "tests/support/tablefixture.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace kestrova;

class TestDbWidgets : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<RecordingPrompter> rec;
    std::unique_ptr<Table> sale;
    std::unique_ptr<DataSource> source;

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<TableFixture>();
        rec = std::make_unique<RecordingPrompter>();
        QStringList persons;
        for (int i = 0; i < 200; ++i)
            persons << QStringLiteral("P%1").arg(i);
        fx->addOrders(persons);
        sale = std::make_unique<Table>();
        sale->setDirectory(fx->dir());
        sale->setTableName("Xsale");
        sale->setLocaleFormat(LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))));
        sale->open();
        source = std::make_unique<DataSource>();
        source->setDataSet(sale.get());
    }
    void cleanup()
    {
        source.reset();
        sale.reset();
        rec.reset();
        fx.reset();
    }

    void modelFollowsDataSetChanges()
    {
        DataSetModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.bind(source.get(), {"Person", "NetAmount"}, {"Person", "Net amount"});
        QCOMPARE(model.rowCount(), 200);
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Net amount");
        QCOMPARE(model.index(199, 0).data().toString(), "P199");
        sale->append();
        QCOMPARE(model.rowCount(), 201);
        sale->setFieldText("Person", "New");
        QCOMPARE(model.index(200, 0).data().toString(), "New");
        sale->post();
        QCOMPARE(model.rowCount(), 201);
        sale->first();
        sale->deleteRecord();
        QCOMPARE(model.rowCount(), 200);
        QCOMPARE(model.index(0, 0).data().toString(), "P1");
        QVERIFY(model.setData(model.index(5, 1), "12.5", Qt::EditRole));
        QCOMPARE(sale->recNo(), 5);
        QCOMPARE(model.index(5, 1).data().toString(), "12.5");
        QVERIFY(!model.setData(model.index(6, 1), "abc", Qt::EditRole) && rec->errors().size() == 1);
        sale->cancel();
        sale->close();
        QCOMPARE(model.rowCount(), 0);
    }

    void unreadableRowsAreReportedOnce()
    {
        DataSetModel model;
        model.bind(source.get(), {"Person"}, {"Person"});
        QCOMPARE(model.index(0, 0).data().toString(), "P0");
        fx->exec("Xsale", "DROP TABLE Xsale"); // another program breaks the file
        for (int row = 150; row < 160; ++row)
            QCOMPARE(model.index(row, 0).data().toString(), "");
        QVERIFY(rec->errors().isEmpty()); // never from inside painting
        QCoreApplication::processEvents();
        QCOMPARE(rec->errors().size(), 1);
    }

    void gridAndCursorShareTheCurrentRow()
    {
        DbGrid grid;
        grid.bind(source.get(), {"Person"}, {"Person"});
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentIndex(grid.model()->index(42, 0));
        QCOMPARE(sale->fieldText("Person"), "P42");
        sale->next();
        QCOMPARE(grid.currentIndex().row(), 43);
        sale->last();
        QCOMPARE(grid.currentIndex().row(), 199);
        // A row whose post fails cannot be left.
        sale->first();
        sale->edit();
        sale->setFieldText("Person", "Q");
        QFile::remove(fx->path("Xsale")); // the file is gone: the post must fail
        grid.setCurrentIndex(grid.model()->index(3, 0));
        QCOMPARE(rec->errors().size(), 1);
        QCOMPARE(sale->state(), DataSetState::Edit);
        QCOMPARE(grid.currentIndex().row(), 0);
    }

    void editPutsRecordIntoEditing()
    {
        DbEdit edit;
        edit.bind(source.get(), "Person");
        edit.show();
        QCOMPARE(edit.text(), "P0");
        edit.setFocus();
        edit.end(false);
        QTest::keyClicks(&edit, "x");
        QCOMPARE(sale->state(), DataSetState::Edit);
        sale->post(); // the typed text is written before the post
        QCOMPARE(fx->value("Xsale", "SELECT Person FROM Xsale ORDER BY rowid LIMIT 1").toString(), "P0x");
        // A read-only data set refuses typing and shows why.
        sale->close();
        sale->setReadOnly(true);
        sale->open();
        QTest::keyClicks(&edit, "y");
        QCOMPARE(edit.text(), "P0x");
        QCOMPARE(rec->errors(), QStringList{"Cannot modify a read-only dataset."});
    }

    void refusedPostReachesTheGuardOnce()
    {
        // Two boxes with pending text and a listener that refuses the post:
        // every box still writes its text, nothing is stored, one error box.
        DbEdit person, company;
        person.bind(source.get(), "Person");
        company.bind(source.get(), "Company");
        QObject refuser;
        source->onUpdateRecord(&refuser, [] { throw Error(QStringLiteral("Refused")); });
        DbNavigator nav;
        nav.bind(source.get());
        sale->edit();
        person.setTextAsTyped("Changed");
        company.setTextAsTyped("Firm");
        nav.click(DbNavigator::Post);
        QCOMPARE(rec->errors(), QStringList{"Refused."});
        QCOMPARE(sale->state(), DataSetState::Edit);
        QCOMPARE(sale->fieldText("Company"), "Firm");
        QCOMPARE(fx->value("Xsale", "SELECT Person FROM Xsale ORDER BY rowid LIMIT 1").toString(), "P0");
    }

    void memoKeepsLineBreaks()
    {
        DbMemo memo;
        memo.bind(source.get(), "Address");
        sale->edit();
        memo.setPlainText("1 Main Street\nSpringfield");
        sale->post();
        QCOMPARE(fx->value("Xsale", "SELECT Address FROM Xsale ORDER BY rowid LIMIT 1").toString(),
                 "1 Main Street\nSpringfield");
        sale->next();
        sale->prior();
        QCOMPARE(memo.toPlainText(), "1 Main Street\nSpringfield");
    }
};

QTEST_MAIN(TestDbWidgets)
#include "tst_dbwidgets.moc"
