#include "reports/accountingform.h"
#include "tests/support/child.h"
#include "widgets/dbwidgets.h"
#include "data/error.h"
#include "tests/support/recordingprompter.h"
#include "tests/support/tablefixture.h"

#include <QHeaderView>
#include <QTest>

using namespace kestrova;

// The accounting board's sums on real order files, and its two windows.
class TestAccounting : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    const LocaleFormat us = LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US")));

    void order(const char* product, const char* currency, const char* origin, QVariant net, QVariant tax,
               QVariant licences, QVariant orderDate, QVariant paymentDate)
    {
        fx->exec("Xsale",
                 "INSERT INTO Xsale (Product, Currency, Origin, NetAmount, Tax, NumberOfLicenses, OrderDate, "
                 "PaymentDate) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                 {QString::fromLatin1(product), QString::fromLatin1(currency), QString::fromLatin1(origin), net, tax,
                  licences, orderDate, paymentDate});
    }

    // A query's rows as "text|text|..." lines, sorted.
    static QStringList rows(Query* q)
    {
        QStringList out;
        for (int r = 0; r < q->recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < q->fields().size(); ++c)
                cells << q->textAt(r, c);
            out << cells.join('|');
        }
        out.sort();
        return out;
    }

    const QVariant null;

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<TableFixture>();
        // Paid on 2026-03-10 with tax, in EUR and USD.
        order("Ledger", "EUR", "Direct", 59.7, 11.7, 3, "2026-03-01", "2026-03-10");
        order("Ledger", "EUR", "WebShop", 19.9, 3.9, 1, "2026-03-05", "2026-03-10");
        order("Sketch", "USD", "Direct", 30, 5, 2, "2026-02-01", "2026-03-11");
        // Paid without tax: zero and empty.
        order("Sketch", "EUR", "Direct", 10, 0, 1, "2026-03-02", "2026-03-10");
        order("Sketch", "", "Direct", 12, null, 4, "2026-03-02", "2026-03-12");
        // Indirect: no amount, counted by order date whatever the payment.
        order("Ledger", "", "Reseller", null, null, 5, "2026-03-10", null);
        order("Ledger", "", "Reseller", 0, null, 2, "2026-03-10", "2025-01-01");
        order("Sketch", "", "", null, null, 7, "2026-03-11", null);
        // Unpaid with an amount: in no grid at all.
        order("Ledger", "EUR", "Direct", 100, 19, 50, "2026-03-10", null);
        // Paid long before: only in the grand total.
        order("Ledger", "EUR", "Direct", 19.9, 3.9, 10, "2020-01-01", "2020-01-02");
    }
    void cleanup() { fx.reset(); }

    void oneDayPeriod()
    {
        AccountingBoard board(fx->dir(), us);
        board.setPeriod("3/10/2026", "3/10/2026", QDate(2026, 12, 7));
        board.open();
        QCOMPARE(board.query(AccountingBoard::SalesWithTaxes)->fields().at(1).name, "SUM OF NetAmount");
        QCOMPARE(rows(board.query(AccountingBoard::SalesWithTaxes)), QStringList{"EUR|79.6|15.6|4"});
        QCOMPARE(rows(board.query(AccountingBoard::SalesWithoutTaxes)), QStringList{"EUR|10|1"});
        QCOMPARE(rows(board.query(AccountingBoard::IndirectSales)), QStringList{"Reseller|7"});
        QCOMPARE(rows(board.query(AccountingBoard::TotalSales)), QStringList({"Ledger|11", "Sketch|1"}));
        QCOMPARE(rows(board.query(AccountingBoard::GrandTotal)), QStringList({"Ledger|21", "Sketch|14"}));
        QVERIFY(!board.query(AccountingBoard::TotalSales)->canModify());
    }

    void widerPeriodAndEmptyGroups()
    {
        AccountingBoard board(fx->dir(), us);
        board.setPeriod("3/1/2026", "3/31/2026", QDate(2026, 12, 7));
        board.open();
        QCOMPARE(rows(board.query(AccountingBoard::SalesWithTaxes)), QStringList({"EUR|79.6|15.6|4", "USD|30|5|2"}));
        // The empty currency is a group of its own.
        QCOMPARE(rows(board.query(AccountingBoard::SalesWithoutTaxes)), QStringList({"EUR|10|1", "|12|4"}));
        QCOMPARE(rows(board.query(AccountingBoard::IndirectSales)), QStringList({"Reseller|7", "|7"}));
        QCOMPARE(rows(board.query(AccountingBoard::TotalSales)), QStringList({"Ledger|11", "Sketch|14"}));
        // The grand total does not depend on the period.
        QCOMPARE(rows(board.query(AccountingBoard::GrandTotal)), QStringList({"Ledger|21", "Sketch|14"}));
        // A first day after the last: empty period grids, same grand total.
        board.setPeriod("3/31/2026", "3/1/2026", QDate(2026, 12, 7));
        board.open();
        QVERIFY(rows(board.query(AccountingBoard::TotalSales)).isEmpty());
        QCOMPARE(rows(board.query(AccountingBoard::GrandTotal)), QStringList({"Ledger|21", "Sketch|14"}));
    }

    void datesAsTyped()
    {
        AccountingBoard board(fx->dir(), us);
        // Two numbers: the current year; two digits: the current century.
        board.setPeriod("3/10", "3/10/26", QDate(2026, 12, 7));
        board.open();
        QCOMPARE(rows(board.query(AccountingBoard::TotalSales)), QStringList({"Ledger|11", "Sketch|1"}));
        auto message = [&](const QString& a, const QString& b) {
            try {
                board.setPeriod(a, b, QDate(2026, 12, 7));
            } catch (const Error& e) {
                return e.message();
            }
            return QString();
        };
        QCOMPARE(message("", "x"), "'' is not a valid date"); // the first date first
        QCOMPARE(message("3/1/2026", "3/32/2026"), "'3/32/2026' is not a valid date");
        QCOMPARE(message("3/1/", "3/2/2026"), "'3/1/' is not a valid date");
    }

    void windows()
    {
        RecordingPrompter rec;
        TAccountingForm form(fx->dir(), us);
        TDateDlg dlg(&form, us);
        QCOMPARE(form.windowTitle(), "Accounting board");
        QCOMPARE(form.size(), QSize(640, 452));
        QCOMPARE(dlg.windowTitle(), "Accounting board");
        QCOMPARE(child<QLabel>(&dlg, "TitleLabel")->text(), "Sales accounting between two dates (included):");
        dlg.show();
        const QString today = formatDate(QDate::currentDate(), us);
        QCOMPARE(child<QLineEdit>(&dlg, "InitialDate")->text(), today);
        QCOMPARE(child<QLineEdit>(&dlg, "FinalDate")->text(), today);

        // A refused date: the message, the dialog stays, the board is not shown.
        child<QLineEdit>(&dlg, "InitialDate")->setText("");
        child<QPushButton>(&dlg, "OKButton")->click();
        QCOMPARE(rec.errors(), QStringList{"'' is not a valid date."});
        QVERIFY(dlg.isVisible());
        QVERIFY(!form.isVisible());
        QCOMPARE(child<QLabel>(&form, "TitleLabel")->text(), "Sales accounting between  and " + today + " (included).");

        child<QLineEdit>(&dlg, "InitialDate")->setText("3/10/2026");
        child<QLineEdit>(&dlg, "FinalDate")->setText("3/10/2026");
        child<QPushButton>(&dlg, "OKButton")->click();
        QVERIFY(!dlg.isVisible());
        QVERIFY(form.isVisible());
        QCOMPARE(child<QLabel>(&form, "TitleLabel")->text(),
                 "Sales accounting between 3/10/2026 and 3/10/2026 (included).");
        auto* taxed = child<DbGrid>(&form, "SalesWithTaxesGrid");
        QCOMPARE(taxed->model()->rowCount(), 1);
        QCOMPARE(taxed->model()->headerData(1, Qt::Horizontal).toString(), "Net amount");
        QCOMPARE(taxed->model()->headerData(2, Qt::Horizontal).toString(), "Taxes");
        QCOMPARE(taxed->model()->index(0, 1).data().toString(), "79.6");
        QVERIFY(taxed->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        // Set widths, widened so that no heading is cut off.
        QVERIFY(taxed->columnWidth(1) >= 62);
        for (int c = 0; c < taxed->model()->columnCount(); ++c)
            QVERIFY(taxed->columnWidth(c) >= taxed->horizontalHeader()->sectionSizeHint(c));
        QCOMPARE(child<DbGrid>(&form, "TotalSalesGrid")->columnWidth(0), 207);

        // A new period while the board is shown runs the queries again.
        dlg.show();
        QCOMPARE(child<QLineEdit>(&dlg, "InitialDate")->text(), today); // reset on every showing
        child<QLineEdit>(&dlg, "InitialDate")->setText("3/1/2026");
        child<QLineEdit>(&dlg, "FinalDate")->setText("3/31/2026");
        child<QPushButton>(&dlg, "OKButton")->click();
        QCOMPARE(taxed->model()->rowCount(), 2);
        // Cancel leaves the board as it was.
        dlg.show();
        child<QPushButton>(&dlg, "CancelButton")->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(taxed->model()->rowCount(), 2);
        // Hiding the board closes its queries.
        child<QPushButton>(&form, "OKButton")->click();
        QVERIFY(!form.board().query(AccountingBoard::GrandTotal)->isOpen());
    }
};

QTEST_MAIN(TestAccounting)
#include "tst_accounting.moc"
