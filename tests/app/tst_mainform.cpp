#include "app/aboutform.h"
#include "documents/documentdialogs.h"
#include "orders/gridviewform.h"
#include "orders/searchdialogs.h"
#include "reports/accountingform.h"
#include "reports/progressform.h"
#include "widgets/dbwidgets.h"
#include "app/mainform.h"
#include "tests/support/recordingprompter.h"
#include "app/startup.h"
#include "data/salefields.h"
#include "data/schema.h"
#include "tests/support/tablefixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

#include "tests/support/child.h"
#include <QTimer>

using namespace kestrova;

namespace {

int fieldLength(const char* table, const QString& field)
{
    const TableDef* def = schemaTable(QString::fromLatin1(table));
    const FieldDef* f = def ? def->field(field) : nullptr;
    if (!f)
        qFatal("no field %s.%s", table, qPrintable(field));
    return f->length;
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<RecordingPrompter> rec;

    std::unique_ptr<TMainForm> start()
    {
        return std::make_unique<TMainForm>(fx->dir(), LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))));
    }

    QStringList settingsRows()
    {
        QStringList out;
        for (const auto& r : fx->rows("Xtable", "SELECT Name, Value FROM Xtable ORDER BY Name"))
            out << r.at(0).toString() + "=" + r.at(1).toString();
        return out;
    }

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<TableFixture>();
        rec = std::make_unique<RecordingPrompter>();
    }
    void cleanup()
    {
        rec.reset();
        fx.reset();
    }

    void windowLayout()
    {
        auto f = start();
        QCOMPARE(f->objectName(), "MainForm");
        QCOMPARE(f->windowTitle(), "Kestrova");
        QCOMPARE(f->size(), QSize(640, 452));
        QCOMPARE(f->pos(), QPoint(0, 0));
        auto* nb = f->findChild<QTabWidget*>("MainFormNotebook");
        QVERIFY(nb);
        QCOMPARE(nb->count(), 3);
        QCOMPARE(nb->tabText(0), "Sales");
        QCOMPARE(nb->tabText(1), "Distributors");
        QCOMPARE(nb->tabText(2), "Parameters");
        QCOMPARE(nb->currentIndex(), 0);
        auto* addr = f->findChild<QTabWidget*>("OrderAddressTab");
        QCOMPARE(addr->tabText(0), "Billing");
        QCOMPARE(addr->tabText(1), "Delivery");
        auto* params = f->findChild<QTabWidget*>("ParametersNoteBook");
        QCOMPARE(params->count(), 5);
        QCOMPARE(params->tabText(0), "Scrolling lists");
        QCOMPARE(params->tabText(1), "Products, currencies, prices");
        QCOMPARE(params->tabText(2), "Printing, batches");
        QCOMPARE(params->tabText(3), "Messaging");
        QCOMPARE(params->tabText(4), "Company");
    }

    void buttonBars_data()
    {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("hints");
        QTest::newRow("sales") << "OrdersSpeedPanel"
                               << QStringList{"OrderAboutSpeed",
                                              "GridViewSpeed",
                                              "CalcSpeed1",
                                              "OrderMailAppendSpeed",
                                              "OrderCompuServeAppendSpeed",
                                              "LabelsPrintSpeed",
                                              "OrderEnveloppePrintSpeed",
                                              "OrderInvoicePrintSpeed",
                                              "OrderMailPrintSpeed",
                                              "OrderPersonFindSpeed",
                                              "OrderUnpayedFindSpeed",
                                              "OrderSQLFindSpeed",
                                              "OrderExportSpeed",
                                              "OrderExit"}
                               << QStringList{
                                      "About Kestrova",   "Grid view",  "Calculator",       "Append", "E-Mail",
                                      "Labels",           "Enveloppe",  "Invoice/Diskette", "Mail",   "Find a person",
                                      "Orders not payed", "SQL search", "Accounting board", "Exit"};
        QTest::newRow("distributors") << "DistributorsSpeedPanel"
                                      << QStringList{"DistributorAboutSpeed",          "DistributorAppendSpeed",
                                                     "DistributorEnveloppePrintSpeed", "DistributorMailPrintSpeed",
                                                     "DistributorMailingPrintSpeed",   "DistributorExitSpeed"}
                                      << QStringList{"About Kestrova", "Append", "Envelope", "Mail", "Mailing", "Exit"};
        QTest::newRow("parameters") << "ParametersSpeedPanel"
                                    << QStringList{"ParametersAboutSpeed", "ImportSpeed", "ExportSpeed", "CalcSpeed3",
                                                   "ParametersExitSpeed"}
                                    << QStringList{"About Kestrova", "Import", "Export", "Calculator", "Exit"};
    }
    void buttonBars()
    {
        QFETCH(QString, bar);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, hints);
        auto f = start();
        f->show();
        auto* panel = f->findChild<QWidget*>(bar);
        child<QTabWidget>(f, "MainFormNotebook")->setCurrentWidget(panel->parentWidget());
        QVERIFY(panel);
        int lastX = -1;
        for (int i = 0; i < buttons.size(); ++i) {
            auto* b = panel->findChild<QToolButton*>(buttons[i]);
            QVERIFY2(b, qPrintable(buttons[i]));
            QCOMPARE(b->toolTip(), hints[i]);
            QVERIFY2(!b->icon().isNull(), qPrintable(buttons[i]));
            QVERIFY2(b->x() > lastX, "buttons run from left to right");
            lastX = b->x();
        }
    }

    void boundControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        // The length of the table field the box edits; none for boxes that
        // take a number or a date.
        QTest::addColumn<int>("maxLength");
        // clang-format off
        QTest::newRow("Company") << "Company" << "Company:" << fieldLength("Xsale", sale::Company);
        QTest::newRow("Person") << "Person" << "" << fieldLength("Xsale", sale::Person);
        QTest::newRow("FaxOrEMail") << "FaxOrEMail" << "Fax or E-Mail:" << fieldLength("Xsale", sale::FaxOrEMail);
        QTest::newRow("DeliveryCompany") << "DeliveryCompany" << "Company:" << fieldLength("Xsale", sale::DeliveryCompany);
        QTest::newRow("DeliveryPerson") << "DeliveryPerson" << "" << fieldLength("Xsale", sale::DeliveryPerson);
        QTest::newRow("DeliveryFaxOrEMail") << "DeliveryFaxOrEMail" << "Fax or E-Mail:" << fieldLength("Xsale", sale::DeliveryFaxOrEMail);
        QTest::newRow("Licensee") << "Licensee" << "License owner:" << fieldLength("Xsale", sale::Licensee);
        QTest::newRow("OrderDate") << "OrderDate" << "Order date:" << -1;
        QTest::newRow("Reference") << "Reference" << "Customer reference:" << fieldLength("Xsale", sale::Reference);
        QTest::newRow("NumberOfLicenses") << "NumberOfLicenses" << "Number of licenses:" << -1;
        QTest::newRow("PaymentDate") << "PaymentDate" << "Payment date:" << -1;
        QTest::newRow("InvoiceNumber") << "InvoiceNumber" << "Invoice number:" << fieldLength("Xsale", sale::InvoiceNumber);
        QTest::newRow("NetAmount") << "NetAmount" << "Net amount:" << -1;
        QTest::newRow("Tax") << "Tax" << "" << -1;
        QTest::newRow("DistributorCompany") << "DistributorCompany" << "Company/Language:" << fieldLength("Xdistributor", QStringLiteral("Company"));
        QTest::newRow("DistributorPerson") << "DistributorPerson" << "" << fieldLength("Xdistributor", QStringLiteral("Person"));
        QTest::newRow("DistributorTelephone") << "DistributorTelephone" << "Telephone:" << fieldLength("Xdistributor", QStringLiteral("Telephone"));
        QTest::newRow("DistributorFax") << "DistributorFax" << "Fax:" << fieldLength("Xdistributor", QStringLiteral("Fax"));
        QTest::newRow("DistributorEMail") << "DistributorEMail" << "E-mail:" << fieldLength("Xdistributor", QStringLiteral("EMail"));
        QTest::newRow("DistributorLicensee") << "DistributorLicensee" << "License owner:" << fieldLength("Xdistributor", QStringLiteral("Licensee"));
        QTest::newRow("FactoryLabels") << "FactoryLabels" << "Labels:" << fieldLength("Xfactory", QStringLiteral("Labels"));
        QTest::newRow("FactoryEnvelope") << "FactoryEnvelope" << "Envelope:" << fieldLength("Xfactory", QStringLiteral("Envelope"));
        QTest::newRow("FactoryMail") << "FactoryMail" << "Mail:" << fieldLength("Xfactory", QStringLiteral("Mail"));
        QTest::newRow("FactoryMailing") << "FactoryMailing" << "Mailing:" << fieldLength("Xfactory", QStringLiteral("Mailing"));
        QTest::newRow("FactoryInvoice") << "FactoryInvoice" << "Invoice:" << fieldLength("Xfactory", QStringLiteral("Invoice"));
        QTest::newRow("FactoryBatch") << "FactoryBatch" << "Batch:" << fieldLength("Xfactory", QStringLiteral("Batch"));
        QTest::newRow("EmailProductId") << "EmailProductId" << "Product Id:" << fieldLength("Xemail", QStringLiteral("ProductId"));
        QTest::newRow("EmailFunction") << "EmailFunction" << "Recognition function:" << fieldLength("Xemail", QStringLiteral("EmailFunction"));
        // clang-format on
    }
    void boundControls()
    {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QFETCH(int, maxLength);
        auto f = start();
        auto* e = f->findChild<DbEdit*>(name);
        QVERIFY(e);
        if (maxLength > 0)
            QCOMPARE(e->maxLength(), maxLength);
        if (!label.isEmpty()) {
            bool found = false;
            for (QLabel* l : f->findChildren<QLabel*>())
                found = found || (l->text() == label && l->buddy() == e);
            QVERIFY2(found, qPrintable(label));
        }
    }

    void otherControls()
    {
        auto f = start();
        for (const char* n :
             {"Title", "DeliveryTitle", "Product", "Language", "Origin", "Currency", "PaymentMeans", "DistributorTitle",
              "DistributorLanguage", "FactoryProduct", "FactoryLanguage", "EMailOrigin", "EMailProduct"})
            QVERIFY2(f->findChild<DbLookupCombo*>(n), n);
        QCOMPARE(f->findChild<DbLookupCombo*>("Origin")->maxVisibleItems(), 16);
        QCOMPARE(f->findChild<DbLookupCombo*>("PaymentMeans")->maxVisibleItems(), 16);
        for (const char* n : {"Address", "DeliveryAddress", "DistributorAddress"})
            QVERIFY2(f->findChild<DbMemo*>(n), n);
        for (const char* n : {"OrderNavigator", "DistributorNavigator", "FactoryNavigator", "EmailNavigator"})
            QVERIFY2(f->findChild<DbNavigator*>(n), n);
        QVERIFY(f->findChild<QCheckBox*>("TaxCheck"));
        QVERIFY(f->findChild<QCheckBox*>("TaxCheck")->text().isEmpty());
        for (const char* n : {"OrderDate", "PaymentDate", "Tax"})
            QCOMPARE(f->findChild<DbEdit*>(n)->focusPolicy(), Qt::ClickFocus); // the Tab key skips them
        for (const char* n : {"LanguageTableGrid", "OriginTableGrid", "TitleTableGrid", "MaymentMeansTableGrid",
                              "PriceTableGrid", "CurrencyTableGrid", "ProductTableGrid"}) {
            auto* g = f->findChild<DbGrid*>(n);
            QVERIFY2(g, n);
            QCOMPARE(g->toolTip(), "Inser to insert, Ctrl+Del to delete");
        }
        auto* prices = f->findChild<DbGrid*>("PriceTableGrid")->model();
        QCOMPARE(prices->columnCount(), 4);
        QCOMPARE(prices->headerData(2, Qt::Horizontal).toString(), "Net amount");
        QCOMPARE(f->findChild<DbGrid*>("MaymentMeansTableGrid")->model()->headerData(0, Qt::Horizontal).toString(),
                 "Payment means");
        QCOMPARE(f->findChild<QLineEdit*>("SaveFolder")->toolTip(), "(You should create this folder manually)");
        QCOMPARE(f->findChild<QLineEdit*>("EmailFunction")->toolTip(),
                 "(This function must be present in the function.dll library)");
        QCOMPARE(f->findChild<QLineEdit*>("Password")->echoMode(), QLineEdit::Normal);
        auto* nav = f->findChild<DbNavigator*>("OrderNavigator");
        const QStringList hints{"First record",  "Prior record", "Next record", "Last record", "Insert record",
                                "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};
        for (int i = 0; i < DbNavigator::Count; ++i)
            QCOMPARE(nav->button(DbNavigator::Button(i))->toolTip(), hints[i]);
    }

    void dataObjectsOpenInOrder()
    {
        auto f = start();
        for (Table* t : {f->data().Tproduct, f->data().Tlanguage, f->data().Tprice, f->data().Ttitle,
                         f->data().Tcurrency, f->data().Tpayment, f->data().Tfactory, f->data().Ttable,
                         f->data().Tdistributor, f->data().Tsale, f->data().Torigin, f->data().Temail})
            QVERIFY2(t->isOpen(), qPrintable(t->tableName()));
        QVERIFY(f->data().Qemail->isOpen());
        for (DataSet* closed :
             std::initializer_list<DataSet*>{f->data().FindPersonSQL, f->data().SQLSQL, f->data().Texport,
                                             f->data().FindUnpayedSQL, f->data().TsaleIn})
            QVERIFY(!closed->isOpen());
        QCOMPARE(f->data().Dsale->dataSet(), f->data().Tsale);
        QVERIFY(!f->WordProcessorLinked());
    }

    void orderPageShowsAndEditsOrders()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Company, NetAmount, OrderDate) VALUES "
                          "('Ann', 'Acme', 59.7, '2026-03-04'), ('Bob', 'Bolt', NULL, NULL)");
        auto f = start();
        auto* company = f->findChild<DbEdit*>("Company");
        QCOMPARE(company->text(), "Acme");
        QCOMPARE(f->findChild<DbEdit*>("NetAmount")->text(), "59.7");
        QCOMPARE(f->findChild<DbEdit*>("OrderDate")->text(), "3/4/2026");
        auto* nav = f->findChild<DbNavigator*>("OrderNavigator");
        nav->click(DbNavigator::Next);
        QCOMPARE(company->text(), "Bolt");
        f->show();
        company->setFocus();
        company->selectAll();
        QTest::keyClicks(company, "Bolt & Sons");
        QCOMPARE(f->data().Tsale->state(), DataSetState::Edit);
        nav->click(DbNavigator::Post);
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale WHERE Person = 'Bob'").toString(), "Bolt & Sons");
        // A text the field refuses is shown in the error box; nothing is stored.
        auto* amount = f->findChild<DbEdit*>("NetAmount");
        amount->setFocus();
        QTest::keyClicks(amount, "12x");
        nav->click(DbNavigator::Post);
        QCOMPARE(rec->errors(), QStringList{"'12x' is not a valid floating point value for field 'NetAmount'."});
        QVERIFY(fx->value("Xsale", "SELECT NetAmount FROM Xsale WHERE Person = 'Bob'").isNull());
        nav->click(DbNavigator::Cancel);
        QCOMPARE(amount->text(), QString());
    }

    void navigatorDeleteAsks()
    {
        fx->exec("Xdistributor", "INSERT INTO Xdistributor (Company) VALUES ('North'), ('South')");
        auto f = start();
        auto* nav = f->findChild<DbNavigator*>("DistributorNavigator");
        QCOMPARE(f->findChild<DbEdit*>("DistributorCompany")->text(), "North");
        rec->answers << false;
        nav->click(DbNavigator::Delete);
        QCOMPARE(rec->questions, QStringList{"Delete record?"});
        QCOMPARE(fx->value("Xdistributor", "SELECT count(*) FROM Xdistributor").toInt(), 2);
        rec->answers << true;
        nav->click(DbNavigator::Delete);
        QCOMPARE(fx->value("Xdistributor", "SELECT group_concat(Company) FROM Xdistributor").toString(), "South");
        QCOMPARE(f->findChild<DbEdit*>("DistributorCompany")->text(), "South");
    }

    void parametersGridInsertEditDelete()
    {
        fx->exec("Xcurrency", "INSERT INTO Xcurrency VALUES ('EUR'), ('USD')");
        auto f = start();
        f->show();
        f->findChild<QTabWidget*>("MainFormNotebook")->setCurrentIndex(2);
        f->findChild<QTabWidget*>("ParametersNoteBook")->setCurrentIndex(1);
        auto* grid = f->findChild<DbGrid*>("CurrencyTableGrid");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(f->data().Tcurrency->state(), DataSetState::Insert);
        QCOMPARE(grid->model()->rowCount(), 3);
        QVERIFY(grid->model()->setData(grid->model()->index(2, 0), "GBP"));
        QTest::keyClick(grid, Qt::Key_Up); // leaving the row stores it
        QCOMPARE(f->data().Tcurrency->state(), DataSetState::Browse);
        QCOMPARE(
            fx->value("Xcurrency", "SELECT group_concat(Currency) FROM (SELECT Currency FROM Xcurrency ORDER BY 1)")
                .toString(),
            "EUR,GBP,USD");
        // The lookup list of the order page offers the new value at once.
        QVERIFY(f->findChild<DbLookupCombo*>("Currency")->findText("GBP") >= 0);

        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCOMPARE(f->data().Tcurrency->fieldText("Currency"), "EUR");
        rec->answers << false << true;
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fx->value("Xcurrency", "SELECT count(*) FROM Xcurrency").toInt(), 3);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(rec->questions, QStringList({"Delete record?", "Delete record?"}));
        QCOMPARE(
            fx->value("Xcurrency", "SELECT group_concat(Currency) FROM (SELECT Currency FROM Xcurrency ORDER BY 1)")
                .toString(),
            "GBP,USD");
        QCOMPARE(grid->model()->rowCount(), 2);
    }

    void lookupListKeepsValueNotInList()
    {
        fx->exec("Xtitle", "INSERT INTO Xtitle VALUES ('Mr', 'Dear Mr'), ('Mrs', 'Dear Mrs')");
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Title) VALUES ('Ann', 'Dr'), ('Bob', 'Mr')");
        auto f = start();
        auto* title = f->findChild<DbLookupCombo*>("Title");
        QCOMPARE(title->currentText(), "Dr");
        f->data().Tsale->next();
        QCOMPARE(title->currentText(), "Mr");
        QCOMPARE(f->data().Ttitle->fieldText("Title"), "Mr"); // the shown value is the list's current row
        QCOMPARE(title->count(), 2);                          // the stray value is gone from the list again
        f->data().Tsale->prior();
        title->chooseValue("Mrs");
        QCOMPARE(f->data().Tsale->state(), DataSetState::Edit);
        f->data().Tsale->post();
        QCOMPARE(fx->value("Xsale", "SELECT Title FROM Xsale WHERE Person = 'Ann'").toString(), "Mrs");
        // A value deleted from its list stays in the orders that name it.
        fx->exec("Xtitle", "DELETE FROM Xtitle WHERE Title = 'Mr'");
        f->data().Ttitle->refresh();
        f->data().Tsale->next();
        QCOMPARE(title->currentText(), "Mr");
        QCOMPARE(fx->value("Xsale", "SELECT Title FROM Xsale WHERE Person = 'Bob'").toString(), "Mr");
    }

    void settingsLoadedAndSaved()
    {
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'wp --macro' WHERE Name = 'CommandLine'");
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'INBOX' WHERE Name = 'MessageStore'");
        auto f = start();
        auto* cmd = f->findChild<QLineEdit*>("TablesCommandLine");
        QCOMPARE(cmd->text(), "wp --macro");
        QCOMPARE(f->findChild<QLineEdit*>("MessageStore")->text(), "INBOX");
        QCOMPARE(f->findChild<QLineEdit*>("Profile")->text(), QString());

        const QStringList before = settingsRows();
        QSignalSpy posts(f->data().Ttable, &DataSet::afterPost);
        cmd->clear();
        posts.clear();
        QTest::keyClicks(cmd, "abc");
        QCOMPARE(posts.count(), 3); // one write per keystroke, each the whole text
        QStringList expected = before;
        expected.replaceInStrings(QRegularExpression("^CommandLine=.*"), "CommandLine=abc");
        QCOMPARE(settingsRows(), expected);

        // Clearing a box stores an empty value; the next start shows it empty.
        cmd->clear();
        QCOMPARE(fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'CommandLine'").toString(), QString());
        f.reset();
        f = start();
        QCOMPARE(f->findChild<QLineEdit*>("TablesCommandLine")->text(), QString());
        QCOMPARE(f->findChild<QLineEdit*>("MessageStore")->text(), "INBOX");
    }

    void missingSettingsRowIsNeverCreated()
    {
        fx->exec("Xtable", "DELETE FROM Xtable WHERE Name = 'DdeTopic'");
        const QStringList before = settingsRows();
        auto f = start();
        auto* topic = f->findChild<QLineEdit*>("TablesDdeTopic");
        QCOMPARE(topic->text(), QString());
        QTest::keyClicks(topic, "System");
        QCOMPARE(topic->text(), "System"); // usable for this run
        QCOMPARE(settingsRows(), before);
        QVERIFY(rec->messages.isEmpty());
    }

    void failedSettingsPostIsShown()
    {
        auto f = start();
        // Another program holds the settings file locked: the post fails.
        const QString name = "locker";
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(fx->path("Xtable"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("BEGIN EXCLUSIVE"));
            auto* profile = f->findChild<QLineEdit*>("Profile");
            QTest::keyClicks(profile, "x");
            QCOMPARE(profile->text(), "x");
            QCOMPARE(rec->errors().size(), 1);
            QVERIFY2(rec->errors().first().contains("locked"), qPrintable(rec->errors().first()));
            QVERIFY(rec->errors().first().endsWith('.'));
            QCOMPARE(f->data().Ttable->state(), DataSetState::Browse);
            q.exec("ROLLBACK");
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        QCOMPARE(fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'Profile'").toString(), QString());
    }

    void firstStartAsksToCreateTables()
    {
        QTemporaryDir empty;
        rec->answers << false;
        Windows w = startKestrova(empty.path());
        QVERIFY(!w.main);
        QCOMPARE(rec->questions.size(), 1);
        QVERIFY(rec->questions.first().contains("Create a new, empty set of tables"));
        QCOMPARE(QDir(empty.path()).entryList(QDir::Files), QStringList());

        rec->answers << true;
        w = startKestrova(empty.path());
        QVERIFY(w.main);
        QVERIFY(w.about);
        QCOMPARE(QDir(empty.path()).entryList({"*.db"}, QDir::Files).size(), 13);
        QCOMPARE(w.main->data().Ttable->recordCount(), 10);
        QVERIFY(rec->errors().isEmpty());
    }

    void missingTableEndsStartUp()
    {
        QFile::remove(fx->path("Xfactory"));
        Windows w = startKestrova(fx->dir());
        QVERIFY(!w.main);
        QVERIFY(rec->questions.isEmpty()); // only a folder without any table is offered a new set
        QCOMPARE(rec->errors().size(), 1);
        const QString msg = rec->errors().first();
        QVERIFY2(msg.contains("Xfactory") && msg.contains("does not exist") && msg.endsWith('.'), qPrintable(msg));
        QVERIFY(!QFile::exists(fx->path("Xfactory")));
    }

    // The windows made at start are the main window's children and go with
    // it, shown or not, before the pages and tables they use.
    void windowsGoWithTheMainWindow()
    {
        Windows w = startKestrova(fx->dir());
        QVERIFY(w.main);
        const QList<QPointer<QWidget>> windows{
            w.personDlg.get(), w.sqlDlg.get(),    w.mailDlg.get(),    w.mailingDlg.get(), w.gridView.get(),
            w.about.get(),     w.labelsDlg.get(), w.accounting.get(), w.dateDlg.get(),    w.progress.get()};
        for (const QPointer<QWidget>& window : windows)
            QCOMPARE(window->parent(), static_cast<QObject*>(w.main.get()));
        w.main->show();
        w.sqlDlg->show();
        w.gridView->show();
        w.main.reset();
        for (const QPointer<QWidget>& window : windows)
            QVERIFY(window.isNull());
    }

    void aboutBoxFromEveryPage()
    {
        Windows w = startKestrova(fx->dir());
        QVERIFY(w.main);
        w.main->show();
        for (const char* button : {"OrderAboutSpeed", "DistributorAboutSpeed", "ParametersAboutSpeed"}) {
            bool shown = false;
            QTimer::singleShot(0, [&] {
                shown = w.about->isVisible() && w.about->isModal();
                QTest::mouseClick(child<QPushButton>(w.about, "Button1"), Qt::LeftButton);
            });
            w.main->findChild<QToolButton*>(button)->click();
            QVERIFY2(shown, button);
            QVERIFY(!w.about->isVisible());
        }
        QCOMPARE(w.about->windowTitle(), "About Kestrova");
    }

    // Order rules driven through the window, with the sample library.
    void appendButtonStoresNumberedOrders()
    {
        QVERIFY(QFile::copy(KESTROVA_SAMPLE_LIBRARY, QDir(fx->dir()).filePath("function.dll")));
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'NextInvoiceNumber' WHERE Name = 'InvoiceFunction'");
        fx->exec("Xtable", "UPDATE Xtable SET Value = '2026-0041' WHERE Name = 'LastInvoiceNumber'");
        fx->addOrders({"Ann"});
        auto f = start();
        QVERIFY(f->library().isLoaded());
        QVERIFY(f->pullFunction());
        f->show();
        QApplication::setActiveWindow(f.get());
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        auto* append = f->findChild<QToolButton*>("OrderMailAppendSpeed");
        QVERIFY(append->isEnabled());
        child<QTabWidget>(f, "OrderAddressTab")->setCurrentWidget(child<QWidget>(f, "DeliveryPage"));
        append->click();
        QVERIFY(rec->messages.isEmpty());
        QCOMPARE(child<QTabWidget>(f, "OrderAddressTab")->currentWidget(), child<QWidget>(f, "BillingPage"));
        QCOMPARE(QApplication::focusWidget(), child<DbLookupCombo>(f, "Title"));
        QCOMPARE(f->data().Tsale->state(), DataSetState::Browse);
        QCOMPARE(child<DbEdit>(f, "InvoiceNumber")->text(), "2026-0042");
        QCOMPARE(child<DbEdit>(f, "OrderDate")->text(), formatDate(QDate::currentDate(), f->localeFormat()));
        append->click();
        QCOMPARE(fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'LastInvoiceNumber'").toString(),
                 "2026-0043");
        const auto rows = fx->rows("Xsale", "SELECT OrderDate, InvoiceNumber FROM Xsale ORDER BY rowid");
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].at(0).toString(), QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(rows[1].at(1).toString(), "2026-0042");
        QCOMPARE(rows[2].at(1).toString(), "2026-0043");
    }

    void browsingChangesNothing()
    {
        fx->exec("Xpayment", "INSERT INTO Xpayment VALUES ('Card')");
        fx->exec("Xsale", "INSERT INTO Xsale (Person, PaymentMeans, PaymentDate, NetAmount, Tax) VALUES "
                          "('Ann', 'Card', NULL, 10, 0), ('Bob', '', NULL, 20, 4), ('Cy', 'Card', NULL, 5, NULL)");
        const QByteArray before = fx->fileBytes("Xsale");
        auto f = start();
        f->show();
        auto* nav = f->findChild<DbNavigator*>("OrderNavigator");
        QVERIFY(!child<QCheckBox>(f, "TaxCheck")->isChecked());
        nav->click(DbNavigator::Next);
        QVERIFY(child<QCheckBox>(f, "TaxCheck")->isChecked());
        nav->click(DbNavigator::Next);
        QVERIFY(!child<QCheckBox>(f, "TaxCheck")->isChecked());
        QCOMPARE(child<DbLookupCombo>(f, "PaymentMeans")->currentText(), "Card");
        nav->click(DbNavigator::First);
        nav->click(DbNavigator::Last);
        QCOMPARE(f->data().Tsale->state(), DataSetState::Browse);
        f->close();
        f.reset();
        QCOMPARE(fx->fileBytes("Xsale"), before);
        QVERIFY(rec->messages.isEmpty());
    }

    void amountsFollowPriceListAndTaxBox()
    {
        fx->exec("Xprice", "INSERT INTO Xprice VALUES ('Ledger', 'EUR', 19.9, 3.9)");
        fx->exec("Xpayment", "INSERT INTO Xpayment VALUES ('Card')");
        fx->exec("Xtitle", "INSERT INTO Xtitle VALUES ('Mr', 'Dear Mr')");
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Title, Product, Currency, NumberOfLicenses) "
                          "VALUES ('John Smith', 'Mr', 'Ledger', 'EUR', 3)");
        auto f = start();
        f->show();
        QApplication::setActiveWindow(f.get());
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        child<DbEdit>(f, "NetAmount")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(child<DbEdit>(f, "NetAmount")->text(), "59.7");
        QCOMPARE(child<DbEdit>(f, "Tax")->text(), "11.7");
        QVERIFY(child<QCheckBox>(f, "TaxCheck")->isChecked());
        child<QCheckBox>(f, "TaxCheck")->click();
        QCOMPARE(child<DbEdit>(f, "NetAmount")->text(), "71.4");
        QCOMPARE(child<DbEdit>(f, "Tax")->text(), "0");
        QVERIFY(!child<QCheckBox>(f, "TaxCheck")->isChecked());
        child<QCheckBox>(f, "TaxCheck")->click();
        QCOMPARE(child<DbEdit>(f, "NetAmount")->text(), "59.7");

        // Entering the empty licence owner box proposes title and person.
        child<DbEdit>(f, "Licensee")->setFocus(Qt::TabFocusReason);
        QCOMPARE(child<DbEdit>(f, "Licensee")->text(), "Mr John Smith");
        QCOMPARE(child<DbEdit>(f, "Licensee")->selectedText(), "Mr John Smith");
        // Choosing a payment means dates the payment.
        child<DbLookupCombo>(f, "PaymentMeans")->chooseValue("Card");
        QCOMPARE(child<DbEdit>(f, "PaymentDate")->text(), formatDate(QDate::currentDate(), f->localeFormat()));
        f->findChild<DbNavigator*>("OrderNavigator")->click(DbNavigator::Post);
        QVERIFY(rec->messages.isEmpty());
        const auto row =
            fx->rows("Xsale", "SELECT NetAmount, Tax, Licensee, PaymentMeans, PaymentDate FROM Xsale").first();
        QCOMPARE(row.at(0).toDouble(), 59.7);
        QCOMPARE(row.at(1).toDouble(), 11.7);
        QCOMPARE(row.at(2).toString(), "Mr John Smith");
        QCOMPARE(row.at(3).toString(), "Card");
        QCOMPARE(row.at(4).toString(), QDate::currentDate().toString(Qt::ISODate));
    }

    void exitClosesAndStoresPendingEdit()
    {
        fx->addOrders({"Ann"});
        auto f = start();
        f->show();
        f->data().Tsale->edit();
        f->data().Tsale->setFieldText("Company", "Pending");
        f->findChild<QToolButton*>("ParametersExitSpeed")->click();
        QVERIFY(!f->isVisible());
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale").toString(), "Pending");
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
