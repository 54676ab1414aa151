#include "widgets/dbwidgets.h"
#include "orders/gridviewform.h"
#include "app/mainform.h"
#include "tests/support/recordingprompter.h"
#include "orders/searchdialogs.h"
#include "app/startup.h"
#include "tests/support/tablefixture.h"
#include "tests/support/connectionprobe.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <functional>
#include <new>
#include <unistd.h>

#include "tests/support/child.h"
#include "pages/salespage.h"

using namespace kestrova;

namespace {

const QString kEndless =
    QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT x FROM c");

// Stops a query at its given call, or throws what it is told to.
struct ScriptedProgress : QueryProgress {
    int stopAt = -1;
    int calls = 0;
    std::function<void()> onCall;
    bool proceed() override
    {
        ++calls;
        if (onCall)
            onCall();
        return stopAt < 0 || calls < stopAt;
    }
};

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

} // namespace

// The three searches and the grid view, driven through the windows.
class TestSearches : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<RecordingPrompter> rec;
    Windows w;

    QToolButton* button(const char* name) { return w.main->findChild<QToolButton*>(name); }
    QString company() { return child<DbEdit>(w.main, "Company")->text(); }
    QStringList allFiles()
    {
        QStringList sums;
        for (const char* t : {"Xsale", "Xtable", "Xprice", "Xproduct", "Xemail"})
            sums << QString::fromLatin1(fx->fileBytes(t).toBase64());
        return sums;
    }
    void runSql(const QString& text)
    {
        child<QPlainTextEdit>(w.sqlDlg, "SQL")->setPlainText(text);
        child<QPushButton>(w.sqlDlg, "OKBtn")->click();
    }
    QStringList sqlAttachedFiles()
    {
        QSqlQuery p(ConnectionProbe::database(*w.main->data().SQLSQL));
        p.exec("PRAGMA database_list");
        QStringList names;
        while (p.next())
            names << p.value(1).toString();
        return names;
    }
    // After a failed search: the order table is shown, open and usable.
    void verifyTableIsBack()
    {
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().Tsale);
        QVERIFY(w.main->data().Tsale->isOpen());
        QVERIFY(!w.main->data().SQLSQL->isOpen());
        QCOMPARE(sqlAttachedFiles(), QStringList{"main"});
        QCOMPARE(company(), "A1");
        QCOMPARE(button("OrderSQLFindSpeed")->toolTip(), "SQL search");
        QVERIFY(button("OrderPersonFindSpeed")->isEnabled());
        QVERIFY(w.sqlDlg->isVisible());
        w.main->data().Tsale->edit();
        w.main->data().Tsale->setFieldText("Company", "A1 again");
        w.main->data().Tsale->post();
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale WHERE Person = 'Ann'").toString(), "A1 again");
    }

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<TableFixture>();
        rec = std::make_unique<RecordingPrompter>();
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Company, PaymentMeans, NetAmount) VALUES "
                          "('Ann', 'A1', 'Card', 10), ('John Doe', 'J1', '', 20), ('Bob', 'B1', '', NULL), "
                          "('John Doe', 'J2', '', 5), ('Cy', 'C1', 'Card', 7)");
        w = startKestrova(fx->dir());
        QVERIFY(w.main);
        w.main->show();
    }
    void cleanup()
    {
        w = Windows();
        rec.reset();
        fx.reset();
    }

    void personSearchStartsAndEnds()
    {
        auto* find = button("OrderPersonFindSpeed");
        w.main->data().Tsale->last();
        find->click();
        QVERIFY(w.personDlg->isVisible());
        QVERIFY(!w.personDlg->isModal());
        child<QLineEdit>(w.personDlg, "Person")->setText("John Doe");
        child<QPushButton>(w.personDlg, "OKBtn")->click();
        QVERIFY(!w.personDlg->isVisible());
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().FindPersonSQL);
        QVERIFY(!w.main->data().Tsale->isOpen());
        QCOMPARE(company(), "J1");
        QCOMPARE(find->toolTip(), "Select all data again");
        QVERIFY(!button("OrderUnpayedFindSpeed")->isEnabled());
        QVERIFY(!button("OrderSQLFindSpeed")->isEnabled());
        w.main->findChild<DbNavigator*>("OrderNavigator")->click(DbNavigator::Next);
        QCOMPARE(company(), "J2");
        find->click(); // ends the search: the first order of the table is current
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().Tsale);
        QVERIFY(!w.main->data().FindPersonSQL->isOpen());
        QCOMPARE(company(), "A1");
        QCOMPARE(find->toolTip(), "Find a person");
        QVERIFY(button("OrderUnpayedFindSpeed")->isEnabled());
        QVERIFY(button("OrderSQLFindSpeed")->isEnabled());
        // The dialog keeps its text.
        find->click();
        QCOMPARE(child<QLineEdit>(w.personDlg, "Person")->text(), "John Doe");
        child<QPushButton>(w.personDlg, "CancelBtn")->click();
        QVERIFY(!w.personDlg->isVisible());
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().Tsale);
    }

    void unpaidSearchHints()
    {
        auto* unpaid = button("OrderUnpayedFindSpeed");
        QCOMPARE(unpaid->toolTip(), "Orders not payed");
        unpaid->click();
        QCOMPARE(w.main->data().FindUnpayedSQL->recordCount(), 2); // an amount and no payment means
        QCOMPARE(company(), "J1");
        QCOMPARE(unpaid->toolTip(), "Select all data again");
        QVERIFY(!button("OrderPersonFindSpeed")->isEnabled());
        unpaid->click();
        QCOMPARE(unpaid->toolTip(), "Select unpayed orders");
        QVERIFY(button("OrderPersonFindSpeed")->isEnabled());
        unpaid->click();
        QCOMPARE(unpaid->toolTip(), "Select all data again");
        unpaid->click();
        QCOMPARE(unpaid->toolTip(), "Select unpayed orders");
    }

    void searchFindingNothing()
    {
        button("OrderPersonFindSpeed")->click();
        child<QLineEdit>(w.personDlg, "Person")->setText("Nobody");
        child<QPushButton>(w.personDlg, "OKBtn")->click();
        QCOMPARE(company(), QString());
        QVERIFY(w.main->data().FindPersonSQL->isEmpty());
        button("OrderPersonFindSpeed")->click();
        QCOMPARE(company(), "A1");
    }

    void rejectedSqlBringsTheTableBack()
    {
        button("OrderSQLFindSpeed")->click();
        QCOMPARE(child<QPlainTextEdit>(w.sqlDlg, "SQL")->toPlainText(),
                 "Select * from Xsale Where\nPerson = 'John Doe';");
        QCOMPARE(child<QPlainTextEdit>(w.sqlDlg, "SQL")->toolTip(), "(Get field names from grid view)");
        runSql("Select * from Nowhere");
        QCOMPARE(rec->errors(), QStringList{"no such table: Nowhere."});
        QVERIFY(w.sqlDlg->isVisible()); // for correction
        QCOMPARE(child<QPlainTextEdit>(w.sqlDlg, "SQL")->toPlainText(), "Select * from Nowhere");
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().Tsale);
        QVERIFY(w.main->data().Tsale->isOpen());
        QCOMPARE(company(), "A1");
        QCOMPARE(button("OrderSQLFindSpeed")->toolTip(), "SQL search");
        QVERIFY(button("OrderPersonFindSpeed")->isEnabled());
        runSql("Select * from Xsale Where Person = 'Bob'");
        QVERIFY(!w.sqlDlg->isVisible());
        QCOMPARE(company(), "B1");
        QCOMPARE(button("OrderSQLFindSpeed")->toolTip(), "Select all data again");
    }

    void destructiveSqlIsRefused_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("delete") << "Delete from Xsale";
        QTest::newRow("drop") << "DROP TABLE Xsale";
        QTest::newRow("update") << "Update Xsale set Company = 'x'";
        QTest::newRow("insert") << "insert into Xsale (Person) values ('x')";
        QTest::newRow("attach") << "ATTACH DATABASE 'other.db' AS other";
        QTest::newRow("pragma") << "PRAGMA Xsale.user_version = 7";
        QTest::newRow("two statements") << "Select * from Xsale; Delete from Xsale";
        QTest::newRow("with delete") << "WITH x AS (SELECT 1) DELETE FROM Xsale";
        QTest::newRow("comment first") << "/* select */ delete from Xsale";
        QTest::newRow("vacuum") << "VACUUM";
        QTest::newRow("tokenizer") << "select fts3_tokenizer('simple')";
        QTest::newRow("extension") << "select load_extension('libm.so.6')";
        QTest::newRow("pragma function") << "select * from pragma_optimize";
    }
    void destructiveSqlIsRefused()
    {
        QFETCH(QString, sql);
        w = Windows(); // the files are compared closed
        const QStringList before = allFiles();
        w = startKestrova(fx->dir());
        button("OrderSQLFindSpeed")->click();
        runSql(sql);
        QCOMPARE(rec->errors().size(), 1);
        QVERIFY2(rec->errors().first().startsWith("Only one SELECT query can be run here"),
                 qPrintable(rec->errors().first()));
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().Tsale);
        w = Windows();
        QCOMPARE(allFiles(), before);
        QVERIFY(!QFile::exists(QDir(fx->dir()).filePath("other.db")));
    }

    // The progress window comes after a moment; its Cancel stops the query
    // and the order table comes back, usable.
    void endlessSearchCancelledFromTheWindow()
    {
        button("OrderSQLFindSpeed")->click();
        bool clicked = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = w.main->findChild<QProgressDialog*>("SearchProgress");
            if (dialog && dialog->isVisible() && !clicked) {
                QVERIFY(dialog->isModal());
                QCOMPARE(dialog->findChild<QPushButton*>()->text(), "Cancel");
                dialog->findChild<QPushButton*>()->click();
                clicked = true;
            }
        });
        poll.start();
        runSql(kEndless);
        poll.stop();
        QVERIFY(clicked);
        QCOMPARE(rec->errors(), QStringList{"The query was cancelled."});
        QVERIFY(!w.main->findChild<QProgressDialog*>("SearchProgress"));
        verifyTableIsBack();
        runSql("Select * from Xsale Where Person = 'Bob'");
        QCOMPARE(company(), "B1");
    }

    // Stopped or out of memory, through the interface the window implements.
    void failedSearchBringsTheTableBack_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << true << "The query was cancelled.";
        QTest::newRow("out of memory") << false << "Not enough memory to run the query.";
    }
    void failedSearchBringsTheTableBack()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, message);
        ScriptedProgress progress;
        if (cancel)
            progress.stopAt = 100;
        else
            progress.onCall = [] { throw std::bad_alloc(); };
        w.main->searches().setProgress(&progress);
        button("OrderSQLFindSpeed")->click();
        runSql(kEndless);
        QCOMPARE(rec->errors(), QStringList{message});
        verifyTableIsBack();
        w.main->searches().setProgress(nullptr);
    }

    // Each search attaches the files it names and lets them go at its end.
    void twelveSearchesOverDifferentTables()
    {
        int searches = 0;
        for (const TableDef& t : schemaTables()) {
            if (!QFile::exists(fx->path(t.name)))
                continue;
            button("OrderSQLFindSpeed")->click();
            runSql(QStringLiteral("Select s.Person, count(*) from Xsale.db s, %1.db t").arg(t.name));
            QVERIFY2(rec->errors().isEmpty(), qPrintable(rec->errors().join('|')));
            QVERIFY(w.main->data().SQLSQL->isOpen());
            QVERIFY(sqlAttachedFiles().size() <= 3);
            button("OrderSQLFindSpeed")->click();
            QCOMPARE(sqlAttachedFiles(), QStringList{"main"});
            ++searches;
        }
        QVERIFY(searches >= 12);
    }

    // A result of a million rows in the grid view, read near the rows shown.
    void hugeResultInTheGridView()
    {
        const qint64 before = residentBytes();
        button("OrderSQLFindSpeed")->click();
        runSql("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 1000000)\n"
               "SELECT x AS InvoiceNumber, 'P' || x AS Person FROM c");
        QVERIFY2(rec->errors().isEmpty(), qPrintable(rec->errors().join('|')));
        button("GridViewSpeed")->click();
        DbGrid* grid = child<DbGrid>(w.gridView, "Gsale");
        QCOMPARE(grid->model()->rowCount(), 1000000);
        grid->setCurrentIndex(grid->model()->index(999999, 1));
        grid->scrollToBottom();
        QApplication::processEvents();
        QCOMPARE(child<DbEdit>(w.main, "Person")->text(), "P1000000");
        QCOMPARE(grid->model()->index(999998, 1).data().toString(), "P999999");
        QCOMPARE(grid->model()->index(0, 15).data().toString(), "1");
        const qint64 grown = residentBytes() - before;
        QVERIFY2(grown < 60 * 1024 * 1024, qPrintable(QString::number(grown)));
        button("OrderSQLFindSpeed")->click();
        QCOMPARE(grid->model()->rowCount(), 5);
    }

    void editingResultsWritesOrders()
    {
        button("OrderSQLFindSpeed")->click();
        runSql("select * from Xsale.db where Person = 'Cy'");
        QVERIFY(w.main->data().SQLSQL->canModify());
        w.main->data().Dsale->dataSet()->edit();
        child<DbEdit>(w.main, "Company")->setTextAsTyped("C1 Ltd");
        w.main->findChild<DbNavigator*>("OrderNavigator")->click(DbNavigator::Post);
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale WHERE Person = 'Cy'").toString(), "C1 Ltd");
        button("OrderSQLFindSpeed")->click();

        // A joined or summed result is shown but cannot be edited.
        button("OrderSQLFindSpeed")->click();
        runSql("Select Person, count(*) from Xsale group by Person");
        QVERIFY2(rec->errors().isEmpty(), qPrintable(rec->errors().join('|')));
        QCOMPARE(child<DbEdit>(w.main->sales(), "Person")->text(), "Ann");
        child<DbEdit>(w.main->sales(), "Person")->setFocus();
        QTest::keyClicks(child<DbEdit>(w.main->sales(), "Person"), "x");
        QCOMPARE(rec->errors().size(), 1);
        QVERIFY(rec->errors().first().startsWith("This result cannot be edited"));
        QCOMPARE(child<DbEdit>(w.main->sales(), "Person")->text(), "Ann");
    }

    void orderRulesWhileSearchShown()
    {
        button("OrderUnpayedFindSpeed")->click();
        button("OrderMailAppendSpeed")->click();
        QCOMPARE(rec->errors(), QStringList{"Cannot perform this operation on a closed dataset."});
        button("OrderUnpayedFindSpeed")->click();
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 5);
    }

    void secondSearchEndsTheFirst()
    {
        button("OrderSQLFindSpeed")->click(); // the SQL dialog stays open
        button("OrderPersonFindSpeed")->click();
        child<QLineEdit>(w.personDlg, "Person")->setText("Ann");
        child<QPushButton>(w.personDlg, "OKBtn")->click();
        QVERIFY(w.main->searches().button(OrderSearches::Person).active);
        runSql("Select * from Xsale where Person = 'Bob'");
        QVERIFY(!w.main->searches().button(OrderSearches::Person).active);
        QVERIFY(!w.main->data().FindPersonSQL->isOpen());
        QCOMPARE(button("OrderPersonFindSpeed")->toolTip(), "Find a person");
        QVERIFY(!button("OrderPersonFindSpeed")->isEnabled());
        QCOMPARE(w.main->data().Dsale->dataSet(), w.main->data().SQLSQL);
        QCOMPARE(company(), "B1");
    }

    void gridViewSharesTheCurrentRow()
    {
        button("GridViewSpeed")->click();
        QVERIFY(w.gridView->isVisible());
        QCOMPARE(w.gridView->windowTitle(), "Grid view");
        DbGrid* grid = child<DbGrid>(w.gridView, "Gsale");
        QCOMPARE(grid->model()->columnCount(), 23);
        QCOMPARE(grid->model()->headerData(11, Qt::Horizontal).toString(), "NumberOfLicenses");
        QCOMPARE(grid->columnWidth(1), 100);
        QCOMPARE(grid->columnWidth(6), 140);
        QCOMPARE(grid->model()->rowCount(), 5);
        grid->setCurrentIndex(grid->model()->index(3, 3));
        QCOMPARE(company(), "J2");
        w.main->findChild<DbNavigator*>("OrderNavigator")->click(DbNavigator::First);
        QCOMPARE(grid->currentIndex().row(), 0);
        QVERIFY(grid->model()->setData(grid->model()->index(0, 3), "A1 edited"));
        QCOMPARE(company(), "A1 edited");
        w.main->findChild<DbNavigator*>("OrderNavigator")->click(DbNavigator::Post);
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale WHERE Person = 'Ann'").toString(), "A1 edited");

        // A search started or ended with the grid open: the grid follows.
        button("OrderUnpayedFindSpeed")->click();
        QCOMPARE(w.gridView->Dsale()->dataSet(), w.main->data().FindUnpayedSQL);
        QCOMPARE(grid->model()->rowCount(), 2);
        button("OrderUnpayedFindSpeed")->click();
        QCOMPARE(grid->model()->rowCount(), 5);
        w.gridView->close();
        QCOMPARE(w.gridView->Dsale()->dataSet(), nullptr);
        QCOMPARE(grid->model()->rowCount(), 0);
    }
};

QTEST_MAIN(TestSearches)
#include "tst_searches.moc"
