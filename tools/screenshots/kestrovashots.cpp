#include "tools/screenshots/kestrovashots.h"

#include "setup/firststartwizard.h"
#include "widgets/dbwidgets.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QDate>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTemporaryDir>

namespace kestrova::shots {

namespace {

QWidget* mainWindow(Driver& d)
{
    return d.window(QStringLiteral("MainForm"));
}

// The main window on one of its pages, with the "Sales" page's address
// notebook on its billing page.
QWidget* mainOnPage(Driver& d, const QString& page)
{
    QWidget* main = mainWindow(d);
    d.showTab(main, QStringLiteral("MainFormNotebook"), page);
    return main;
}

QWidget* parametersPage(Driver& d, const QString& page)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Parameters"));
    d.showTab(main, QStringLiteral("ParametersNoteBook"), page);
    return main;
}

// Types text into the box named name as a user would.
void type(Driver& d, QWidget* window, const QString& name, const QString& text)
{
    if (auto* edit = window->findChild<DbEdit*>(name)) {
        edit->setTextAsTyped(text);
    } else {
        auto* memo = d.child<QPlainTextEdit>(window, name);
        memo->setPlainText(text);
    }
    Driver::settle();
}

void choose(Driver& d, QWidget* window, const QString& list, const QString& value)
{
    d.child<DbLookupCombo>(window, list)->chooseValue(value);
    Driver::settle();
}

// Gives the keyboard focus to a box, which runs its enter rule.
void enter(Driver& d, QWidget* window, const QString& name)
{
    d.activate(window);
    d.child<QWidget>(window, name)->setFocus(Qt::MouseFocusReason);
    Driver::settle();
}

QString shortDate(const QDate& date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QWidget* salesBilling(Driver& d)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.showTab(main, QStringLiteral("OrderAddressTab"), QStringLiteral("Billing"));
    goToOrder(d, main, QStringLiteral("Owen Whitlock"));
    return main;
}

QWidget* salesDelivery(Driver& d)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    goToOrder(d, main, QStringLiteral("Daniel Okafor"));
    d.showTab(main, QStringLiteral("OrderAddressTab"), QStringLiteral("Delivery"));
    return main;
}

QWidget* gridView(Driver& d)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.showTab(main, QStringLiteral("OrderAddressTab"), QStringLiteral("Billing"));
    d.click(main, QStringLiteral("GridViewSpeed"));
    return d.window(QStringLiteral("GridViewForm"));
}

QWidget* findPerson(Driver& d)
{
    d.window(QStringLiteral("GridViewForm"))->hide();
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.click(main, QStringLiteral("OrderPersonFindSpeed"));
    QWidget* dialog = d.window(QStringLiteral("PersonDlg"));
    d.child<QLineEdit>(dialog, QStringLiteral("Person"))->setText(QStringLiteral("Owen Whitlock"));
    return dialog;
}

QWidget* personResult(Driver& d)
{
    QWidget* dialog = d.window(QStringLiteral("PersonDlg"));
    d.click(dialog, QStringLiteral("OKBtn"));
    return mainWindow(d);
}

QWidget* unpaidOrders(Driver& d)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.click(main, QStringLiteral("OrderPersonFindSpeed")); // ends the person search
    d.click(main, QStringLiteral("OrderUnpayedFindSpeed"));
    return main;
}

QWidget* sqlSearch(Driver& d)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.click(main, QStringLiteral("OrderUnpayedFindSpeed")); // ends the unpaid search
    d.click(main, QStringLiteral("OrderSQLFindSpeed"));
    QWidget* dialog = d.window(QStringLiteral("SQLDlg"));
    d.child<QPlainTextEdit>(dialog, QStringLiteral("SQL"))
        ->setPlainText(QStringLiteral("Select * from Xsale Where\nOrigin = 'WebShop' and Currency = 'EUR';"));
    return dialog;
}

QWidget* sqlResult(Driver& d)
{
    d.click(d.window(QStringLiteral("SQLDlg")), QStringLiteral("OKBtn"));
    QWidget* main = mainWindow(d);
    return main;
}

QWidget* accountingPeriod(Driver& d)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.click(main, QStringLiteral("OrderSQLFindSpeed")); // ends the SQL search
    d.click(main, QStringLiteral("OrderExportSpeed"));
    QWidget* dialog = d.window(QStringLiteral("DateDlg"));
    const QDate today = QDate::currentDate();
    d.child<QLineEdit>(dialog, QStringLiteral("InitialDate"))->setText(shortDate(QDate(today.year() - 1, 1, 1)));
    d.child<QLineEdit>(dialog, QStringLiteral("FinalDate"))->setText(shortDate(QDate(today.year() - 1, 12, 31)));
    return dialog;
}

QWidget* accountingBoard(Driver& d)
{
    d.click(d.window(QStringLiteral("DateDlg")), QStringLiteral("OKButton"));
    return d.window(QStringLiteral("AccountingForm"));
}

// A new order typed in after "Append": the rules have dated it, numbered it,
// priced it, proposed the licence owner and dated the payment.
QWidget* newOrder(Driver& d)
{
    d.window(QStringLiteral("AccountingForm"))->hide();
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.showTab(main, QStringLiteral("OrderAddressTab"), QStringLiteral("Billing"));
    d.click(main, QStringLiteral("OrderMailAppendSpeed"));
    choose(d, main, QStringLiteral("Title"), QStringLiteral("Ms"));
    type(d, main, QStringLiteral("Person"), QStringLiteral("Hanna Lindqvist"));
    type(d, main, QStringLiteral("Company"), QStringLiteral("Lindqvist Arkitekter AB"));
    type(d, main, QStringLiteral("Address"), QStringLiteral("Sveavägen 21\n111 34 Stockholm\nSweden"));
    type(d, main, QStringLiteral("FaxOrEMail"), QStringLiteral("hanna@lindqvist.example"));
    choose(d, main, QStringLiteral("Product"), QStringLiteral("Quillmark Pro"));
    choose(d, main, QStringLiteral("Language"), QStringLiteral("EN"));
    choose(d, main, QStringLiteral("Origin"), QStringLiteral("Direct"));
    type(d, main, QStringLiteral("NumberOfLicenses"), QStringLiteral("3"));
    choose(d, main, QStringLiteral("Currency"), QStringLiteral("EUR"));
    enter(d, main, QStringLiteral("NetAmount"));
    enter(d, main, QStringLiteral("Licensee"));
    choose(d, main, QStringLiteral("PaymentMeans"), QStringLiteral("Card"));
    d.click(d.child<QWidget>(main, QStringLiteral("OrderNavigator")), QStringLiteral("NavPost"));
    return main;
}

// Moves the grid named name to the row whose first column reads text, as a
// click on that row would.
void chooseRow(Driver& d, QWidget* window, const QString& name, const QString& text)
{
    auto* grid = d.child<DbGrid>(window, name);
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (index.data().toString() == text) {
            grid->setCurrentIndex(index);
            Driver::settle();
            return;
        }
    }
    throw MissingWidget(QStringLiteral("row \"%1\" of \"%2\" in window \"%3\"").arg(text, name, window->objectName()));
}

// The "Mail" dialog as "Mail" on the "Distributors" page opens it, on a
// product.
QWidget* mailDialog(Driver& d)
{
    QWidget* main = mainOnPage(d, QStringLiteral("Distributors"));
    d.click(main, QStringLiteral("DistributorMailPrintSpeed"));
    QWidget* dialog = d.window(QStringLiteral("MailDlg"));
    chooseRow(d, dialog, QStringLiteral("ProductGrid"), QStringLiteral("Quillmark Pro"));
    return dialog;
}

// The "Mailing" dialog on a product and the language of the mailing.
QWidget* mailingDialog(Driver& d)
{
    d.click(d.window(QStringLiteral("MailDlg")), QStringLiteral("CancelButton"));
    QWidget* main = mainOnPage(d, QStringLiteral("Distributors"));
    d.click(main, QStringLiteral("DistributorMailingPrintSpeed"));
    QWidget* dialog = d.window(QStringLiteral("MailingDlg"));
    chooseRow(d, dialog, QStringLiteral("ProductGrid"), QStringLiteral("Quillmark Pro"));
    chooseRow(d, dialog, QStringLiteral("LanguageGrid"), QStringLiteral("DE"));
    return dialog;
}

// "Printing labels" as "Labels" on the "Sales" page opens it.
QWidget* labelsDialog(Driver& d)
{
    d.click(d.window(QStringLiteral("MailingDlg")), QStringLiteral("CancelButton"));
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.click(main, QStringLiteral("LabelsPrintSpeed"));
    QWidget* dialog = d.window(QStringLiteral("LabelsDlg"));
    chooseRow(d, dialog, QStringLiteral("ProductGrid"), QStringLiteral("Quillmark Pro"));
    chooseRow(d, dialog, QStringLiteral("LanguageGris"), QStringLiteral("DE"));
    return dialog;
}

// The processing window on the first notification of the demo mailbox. It
// is modal: the picture is taken while it is open, then "Stop" leaves the
// message in the mailbox.
QWidget* emailProcessing(Driver& d)
{
    d.click(d.window(QStringLiteral("LabelsDlg")), QStringLiteral("CancelButton"));
    QWidget* main = mainOnPage(d, QStringLiteral("Sales"));
    d.whileModal(main, QStringLiteral("OrderCompuServeAppendSpeed"), QStringLiteral("CheckEmailForm"),
                 [&d](QWidget* form) {
                     d.holdPicture(form);
                     d.click(form, QStringLiteral("Stop"));
                 });
    return nullptr;
}

} // namespace

void goToOrder(Driver& d, QWidget* main, const QString& person)
{
    auto* navigator = d.child<QWidget>(main, QStringLiteral("OrderNavigator"));
    auto* box = d.child<QLineEdit>(main, QStringLiteral("Person"));
    auto* first = d.child<QAbstractButton>(navigator, QStringLiteral("NavFirst"));
    auto* next = d.child<QAbstractButton>(navigator, QStringLiteral("NavNext"));
    // The navigator disables the moves that lead nowhere.
    if (first->isEnabled())
        d.click(navigator, QStringLiteral("NavFirst"));
    while (box->text() != person && next->isEnabled())
        d.click(navigator, QStringLiteral("NavNext"));
    if (box->text() != person)
        throw MissingWidget(QStringLiteral("demo order of \"%1\"").arg(person));
}

// The first start assistant on its first page, filled in as a new user
// would, over a folder of its own (it stores nothing until Finish).
QWidget* firstStart(Driver& d)
{
    static QTemporaryDir folder;
    auto* assistant =
        new FirstStartWizard(folder.path(), QString(), QLocale(QLocale::English, QLocale::Germany), mainWindow(d));
    assistant->setAttribute(Qt::WA_DeleteOnClose);
    const std::pair<const char*, const char*> typed[] = {{"CompanyName", "Muster Software GmbH"},
                                                         {"CompanyStreet", "Hafenweg 7"},
                                                         {"CompanyPostcode", "20457"},
                                                         {"CompanyCity", "Hamburg"},
                                                         {"CompanyVatId", "DE123456789"},
                                                         {"CompanyEMail", "info@muster.example"}};
    for (const auto& [name, text] : typed)
        d.child<QLineEdit>(assistant, QString::fromLatin1(name))->setText(QString::fromUtf8(text));
    assistant->show();
    Driver::settle();
    return assistant;
}

QWidget* companyTab(Driver& d)
{
    if (QWidget* assistant = mainWindow(d)->findChild<FirstStartWizard*>())
        assistant->close();
    return parametersPage(d, QStringLiteral("Company"));
}

std::vector<Shot> kestrovaShots()
{
    return {
        {QStringLiteral("sales-billing.png"), QStringLiteral("the \"Sales\" page on an order, billing address"),
         salesBilling},
        {QStringLiteral("sales-delivery.png"), QStringLiteral("the \"Sales\" page on an order with a delivery address"),
         salesDelivery},
        {QStringLiteral("distributors.png"), QStringLiteral("the \"Distributors\" page"),
         [](Driver& d) { return mainOnPage(d, QStringLiteral("Distributors")); }},
        {QStringLiteral("parameters-lists.png"), QStringLiteral("\"Parameters\", \"Scrolling lists\""),
         [](Driver& d) { return parametersPage(d, QStringLiteral("Scrolling lists")); }},
        {QStringLiteral("parameters-prices.png"), QStringLiteral("\"Parameters\", \"Products, currencies, prices\""),
         [](Driver& d) { return parametersPage(d, QStringLiteral("Products, currencies, prices")); }},
        {QStringLiteral("parameters-printing.png"), QStringLiteral("\"Parameters\", \"Printing, batches\""),
         [](Driver& d) { return parametersPage(d, QStringLiteral("Printing, batches")); }},
        {QStringLiteral("parameters-messaging.png"), QStringLiteral("\"Parameters\", \"Messaging\""),
         [](Driver& d) { return parametersPage(d, QStringLiteral("Messaging")); }},
        {QStringLiteral("first-start.png"), QStringLiteral("the first start assistant"), firstStart},
        {QStringLiteral("parameters-company.png"), QStringLiteral("\"Parameters\", \"Company\""), companyTab},
        {QStringLiteral("grid-view.png"), QStringLiteral("the grid view of all orders"), gridView},
        {QStringLiteral("find-person.png"), QStringLiteral("the \"Find a person\" dialog"), findPerson},
        {QStringLiteral("find-person-result.png"), QStringLiteral("the \"Sales\" page showing a person's orders"),
         personResult},
        {QStringLiteral("unpaid-orders.png"), QStringLiteral("the \"Sales\" page showing the unpaid orders"),
         unpaidOrders},
        {QStringLiteral("sql-search.png"), QStringLiteral("the \"SQL search\" dialog"), sqlSearch},
        {QStringLiteral("sql-search-result.png"), QStringLiteral("the \"Sales\" page showing an SQL search"),
         sqlResult},
        {QStringLiteral("accounting-period.png"), QStringLiteral("the accounting period dialog"), accountingPeriod},
        {QStringLiteral("accounting-board.png"), QStringLiteral("the accounting board"), accountingBoard},
        {QStringLiteral("new-order.png"), QStringLiteral("a new order after \"Append\" and the order rules"), newOrder},
        {QStringLiteral("mail-dialog.png"), QStringLiteral("the \"Mail\" dialog of the \"Distributors\" page"),
         mailDialog},
        {QStringLiteral("mailing-dialog.png"), QStringLiteral("the \"Mailing\" dialog"), mailingDialog},
        {QStringLiteral("labels-dialog.png"), QStringLiteral("the \"Printing labels\" dialog"), labelsDialog},
        {QStringLiteral("email-processing.png"), QStringLiteral("the e-mail processing window on a demo notification"),
         emailProcessing},
    };
}

} // namespace kestrova::shots
