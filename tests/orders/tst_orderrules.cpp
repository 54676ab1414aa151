#include "data/error.h"
#include "tests/support/errorof.h"
#include "functions/functionlibrary.h"
#include "orders/orderrules.h"
#include "tests/support/tablefixture.h"

#include <QFileInfo>
#include <QTest>

using namespace kestrova;

namespace {

const QDate kToday(2026, 12, 7);

} // namespace

// The order rules on real table files, with the sample function library.
class TestOrderRules : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    FunctionLibrary library;
    std::unique_ptr<Table> sale, price, settings;
    std::unique_ptr<DataSource> source;
    std::unique_ptr<OrderRules> rules;
    bool taxBox = false;
    int ticks = 0;

    void start(const char* locale = "en_US")
    {
        const LocaleFormat fmt = LocaleFormat::fromLocale(QLocale(QString::fromLatin1(locale)));
        auto open = [&](const char* name) {
            auto t = std::make_unique<Table>();
            t->setDirectory(fx->dir());
            t->setTableName(QString::fromLatin1(name));
            t->setLocaleFormat(fmt);
            t->open();
            return t;
        };
        sale = open("Xsale");
        price = open("Xprice");
        settings = open("Xtable");
        source = std::make_unique<DataSource>();
        source->setDataSet(sale.get());
        rules = std::make_unique<OrderRules>(source.get(), sale.get(), price.get(), settings.get(), &library);
        rules->setClock([] { return kToday; });
        rules->setTaxBox([this](bool t) {
            taxBox = t;
            ++ticks;
        });
        sale->onAfterPost(sale.get(), [this] { rules->orderPosted(); });
        QObject::connect(source.get(), &DataSource::dataChange, [this] { rules->shownOrderChanged(); });
    }

    QString setting(const char* name)
    {
        return fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = ?", {QString::fromLatin1(name)}).toString();
    }

    void addOrder(const char* product, const char* currency, const QVariant& licences)
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Product, Currency, NumberOfLicenses) VALUES (?, ?, ?)",
                 {QString::fromLatin1(product), QString::fromLatin1(currency), licences});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QTemporaryDir dir;
        QVERIFY(library.load({QFileInfo(QStringLiteral(KESTROVA_SAMPLE_LIBRARY)).absolutePath()}));
    }

    void init()
    {
        fx = std::make_unique<TableFixture>();
        fx->exec("Xprice", "INSERT INTO Xprice VALUES ('Ledger', 'EUR', 19.9, 3.9), ('Ledger', 'USD', 21, 0), "
                           "('Sketch', 'EUR', 10, NULL)");
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'NextInvoiceNumber' WHERE Name = 'InvoiceFunction'");
        taxBox = false;
        ticks = 0;
    }
    void cleanup()
    {
        rules.reset();
        source.reset();
        sale.reset();
        price.reset();
        settings.reset();
        fx.reset();
    }

    void priceAndTaxBox_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("expected"); // net, tax, folded net
        QTest::newRow("decimal point") << "en_US" << QStringList{"59.7", "11.7", "71.4"};
        QTest::newRow("decimal comma") << "de_DE" << QStringList{"59,7", "11,7", "71,4"};
    }
    void priceAndTaxBox()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, expected);
        addOrder("Ledger", "EUR", 3);
        start(locale.toLatin1().constData());
        rules->enterNetAmount();
        QCOMPARE(sale->state(), DataSetState::Edit);
        QCOMPARE(sale->fieldText("NetAmount"), expected[0]);
        QCOMPARE(sale->fieldText("Tax"), expected[1]);
        QVERIFY(taxBox);
        // Clearing the box folds the tax into the net amount.
        taxBox = false;
        rules->taxBoxClicked(false);
        QCOMPARE(sale->fieldText("NetAmount"), expected[2]);
        QCOMPARE(sale->fieldText("Tax"), "0");
        QVERIFY(!taxBox);
        // Ticking it again takes the amounts from the price list again.
        rules->taxBoxClicked(true);
        QCOMPARE(sale->fieldText("NetAmount"), expected[0]);
        QCOMPARE(sale->fieldText("Tax"), expected[1]);
        QVERIFY(taxBox);
        sale->post();
        QCOMPARE(fx->value("Xsale", "SELECT NetAmount FROM Xsale").toDouble(), 59.7);
        QCOMPARE(fx->value("Xsale", "SELECT Tax FROM Xsale").toDouble(), 11.7);
    }

    void zeroTaxPrice()
    {
        addOrder("Ledger", "USD", 2);
        start();
        taxBox = true;
        rules->enterNetAmount();
        QCOMPARE(sale->fieldText("NetAmount"), "42");
        QCOMPARE(sale->fieldText("Tax"), "0");
        QVERIFY(!taxBox);
    }

    void noPriceRowLeavesAmounts()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Product, Currency, NumberOfLicenses, NetAmount, Tax) "
                          "VALUES ('Ledger', 'GBP', 3, 50, 5)");
        start();
        price->findKey({"Ledger", "EUR"}); // some other price row is current
        rules->enterNetAmount();
        QCOMPARE(sale->fieldText("NetAmount"), "50");
        QCOMPARE(sale->fieldText("Tax"), "5");
        taxBox = false;
        rules->taxBoxClicked(true);
        QCOMPARE(sale->fieldText("NetAmount"), "50");
        QVERIFY(taxBox); // the box shows the order's tax again
        QCOMPARE(sale->state(), DataSetState::Browse);
    }

    void unreadableNumbers()
    {
        addOrder("Ledger", "EUR", QVariant());
        start();
        QCOMPARE(errorOf([&] { rules->enterNetAmount(); }), "'' is not a valid floating point value");
        QCOMPARE(sale->state(), DataSetState::Edit);
        sale->cancel();
        // A price row whose tax is empty fails after the net amount is written.
        fx->exec("Xsale", "UPDATE Xsale SET Product = 'Sketch', NumberOfLicenses = 2");
        sale->refresh();
        QCOMPARE(errorOf([&] { rules->enterNetAmount(); }), "'' is not a valid floating point value");
        QCOMPARE(sale->fieldText("NetAmount"), "20");
        QVERIFY(taxBox);
    }

    void foldingNeedsBothAmounts()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (NetAmount, Tax) VALUES (80, NULL)");
        start();
        rules->taxBoxClicked(false);
        QCOMPARE(sale->fieldText("NetAmount"), "80");
        QCOMPARE(sale->state(), DataSetState::Browse);
    }

    void taxBoxFollowsShownOrder()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Tax) VALUES (0), (NULL), (2.5)");
        start();
        QVERIFY(!taxBox);
        sale->next();
        QVERIFY(!taxBox);
        sale->next();
        QVERIFY(taxBox);
        QVERIFY(OrderRules::isTaxed("0.5"));
        QVERIFY(!OrderRules::isTaxed("0"));
        QVERIFY(!OrderRules::isTaxed(""));
        // Showing orders never changes them.
        QCOMPARE(sale->state(), DataSetState::Browse);
    }

    void newOrdersContinueTheNumbering()
    {
        fx->exec("Xtable", "UPDATE Xtable SET Value = '2026-0041' WHERE Name = 'LastInvoiceNumber'");
        addOrder("Ledger", "EUR", 1);
        start();
        rules->appendNewOrder();
        QCOMPARE(sale->state(), DataSetState::Insert);
        QCOMPARE(sale->fieldText("OrderDate"), "12/7/2026");
        QCOMPARE(sale->fieldText("InvoiceNumber"), "2026-0042");
        rules->postNewOrder();
        QCOMPARE(setting("LastInvoiceNumber"), "2026-0042");
        QCOMPARE(sale->fieldText("InvoiceNumber"), "2026-0042"); // still the new order
        rules->appendNewOrder();
        rules->postNewOrder();
        QCOMPARE(setting("LastInvoiceNumber"), "2026-0043");
        const auto rows = fx->rows("Xsale", "SELECT OrderDate, InvoiceNumber FROM Xsale ORDER BY rowid");
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].at(0).toString(), "2026-12-07");
        QCOMPARE(rows[2].at(1).toString(), "2026-0043");
    }

    void newOrderWithoutLastNumberOrLibrary()
    {
        start();
        rules->appendNewOrder();
        rules->postNewOrder();
        QCOMPARE(fx->value("Xsale", "SELECT InvoiceNumber FROM Xsale").toString(), QString());
        QCOMPARE(fx->value("Xsale", "SELECT OrderDate FROM Xsale").toString(), "2026-12-07");
        QCOMPARE(setting("LastInvoiceNumber"), QString());

        fx->exec("Xtable", "UPDATE Xtable SET Value = 'A99' WHERE Name = 'LastInvoiceNumber'");
        FunctionLibrary none;
        OrderRules withoutLibrary(source.get(), sale.get(), price.get(), settings.get(), &none);
        withoutLibrary.appendNewOrder();
        QCOMPARE(sale->fieldText("InvoiceNumber"), QString());
        sale->cancel();
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'NoSuchFunction' WHERE Name = 'InvoiceFunction'");
        rules->appendNewOrder();
        QCOMPARE(sale->fieldText("InvoiceNumber"), QString());
        sale->cancel();
    }

    void onlyTheLastOrderSetsTheNumber()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Person, InvoiceNumber) VALUES ('Ann', 'A1'), ('Bob', 'A2')");
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'A2' WHERE Name = 'LastInvoiceNumber'");
        start();
        sale->edit();
        sale->setFieldText("InvoiceNumber", "A7");
        sale->post();
        QCOMPARE(setting("LastInvoiceNumber"), "A2");
        QCOMPARE(sale->fieldText("Person"), "Ann"); // the same order stays current
        // A number typed into the last order continues the numbering.
        sale->last();
        sale->edit();
        sale->setFieldText("InvoiceNumber", "X-0100");
        sale->post();
        QCOMPARE(setting("LastInvoiceNumber"), "X-0100");
        rules->appendNewOrder();
        QCOMPARE(sale->fieldText("InvoiceNumber"), "X-0101");
        sale->cancel();
        // An empty invoice number on the last order leaves the setting alone.
        sale->last();
        sale->edit();
        sale->setFieldText("InvoiceNumber", "");
        sale->post();
        QCOMPARE(setting("LastInvoiceNumber"), "X-0100");
    }

    void missingSettingRowIsNotCreated()
    {
        fx->exec("Xtable", "DELETE FROM Xtable WHERE Name = 'LastInvoiceNumber'");
        fx->addOrders({"Ann"});
        start();
        sale->edit();
        sale->setFieldText("InvoiceNumber", "Z1");
        sale->post();
        QCOMPARE(fx->value("Xtable", "SELECT count(*) FROM Xtable WHERE Name = 'LastInvoiceNumber'").toInt(), 0);
    }

    void paymentDate()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Person, PaymentDate) VALUES ('Ann', NULL), ('Bob', '2026-01-15')");
        start();
        rules->paymentMeansChanged("Card");
        QCOMPARE(sale->state(), DataSetState::Edit);
        QCOMPARE(sale->fieldText("PaymentDate"), "12/7/2026");
        sale->post();
        sale->next();
        rules->paymentMeansChanged("Card"); // a date already there is kept
        QCOMPARE(sale->fieldText("PaymentDate"), "1/15/2026");
        QCOMPARE(sale->state(), DataSetState::Browse);
        rules->paymentMeansChanged(""); // clearing the means leaves the date
        QCOMPARE(sale->fieldText("PaymentDate"), "1/15/2026");
    }

    void searchShownClosesTheOrderTable()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Product, Currency, NumberOfLicenses, Tax) "
                          "VALUES ('Ann', 'Ledger', 'EUR', 1, 2)");
        start();
        Query search;
        search.setDirectory(fx->dir());
        search.setLocaleFormat(sale->localeFormat());
        search.setSql("Select * from Xsale Where Person = 'Ann'");
        search.open();
        sale->close();
        source->setDataSet(&search);
        QVERIFY(taxBox);
        const QString closed = "Cannot perform this operation on a closed dataset";
        QCOMPARE(errorOf([&] { rules->appendNewOrder(); }), closed);
        QCOMPARE(errorOf([&] { rules->enterNetAmount(); }), closed);
        taxBox = false;
        QCOMPARE(errorOf([&] { rules->taxBoxClicked(false); }), closed);
        QVERIFY(taxBox); // the box went back to the shown order's tax
        QCOMPARE(search.state(), DataSetState::Browse);
        rules->paymentMeansChanged("Card"); // works on the shown result
        search.post();
        QCOMPARE(fx->value("Xsale", "SELECT PaymentDate FROM Xsale").toString(), "2026-12-07");
        QCOMPARE(fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(), 1);
    }

    void licenseeProposal()
    {
        QCOMPARE(OrderRules::proposedLicensee("Mr", "John Smith"), "Mr John Smith");
        QCOMPARE(OrderRules::proposedLicensee("", "John Smith"), " John Smith");
    }
};

QTEST_GUILESS_MAIN(TestOrderRules)
#include "tst_orderrules.moc"
