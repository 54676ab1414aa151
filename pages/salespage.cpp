#include "pages/salespage.h"

#include "data/dataobjects.h"
#include "data/salefields.h"
#include "data/settings.h"
#include "mailorders/checkemailform.h"
#include "pages/pagebinding.h"
#include "widgets/dbwidgets.h"
#include "widgets/guard.h"
#include "ui_SalesPage.h"

#include <QFocusEvent>

namespace kestrova {

namespace {

void showWindow(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

SalesPage::SalesPage(QWidget* parent)
    : FramePage(parent), m_ui(std::make_unique<Ui::SalesPage>()), m_mailState(std::make_unique<MailOrderState>())
{
    m_ui->setupUi(this);
    setButtonIcons(this, {{m_ui->OrderAboutSpeed, "help-about", QStyle::SP_MessageBoxInformation},
                          {m_ui->GridViewSpeed, "view-list-details", QStyle::SP_FileDialogDetailedView},
                          {m_ui->CalcSpeed1, "accessories-calculator", QStyle::SP_ComputerIcon},
                          {m_ui->OrderMailAppendSpeed, "document-new", QStyle::SP_FileIcon},
                          {m_ui->OrderCompuServeAppendSpeed, "mail-receive", QStyle::SP_DriveNetIcon},
                          {m_ui->LabelsPrintSpeed, "document-print", QStyle::SP_FileDialogListView},
                          {m_ui->OrderEnveloppePrintSpeed, "mail-send", QStyle::SP_ArrowRight},
                          {m_ui->OrderInvoicePrintSpeed, "document-print", QStyle::SP_DriveFDIcon},
                          {m_ui->OrderMailPrintSpeed, "mail-message-new", QStyle::SP_FileDialogContentsView},
                          {m_ui->OrderPersonFindSpeed, "edit-find", QStyle::SP_FileDialogInfoView},
                          {m_ui->OrderUnpayedFindSpeed, "dialog-warning", QStyle::SP_MessageBoxWarning},
                          {m_ui->OrderSQLFindSpeed, "system-search", QStyle::SP_FileDialogToParent},
                          {m_ui->OrderExportSpeed, "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
                          {m_ui->OrderExit, "application-exit", QStyle::SP_DialogCloseButton}});
    wireFrameButtons(m_ui->OrderAboutSpeed, m_ui->CalcSpeed1, m_ui->OrderExit);
    connect(m_ui->OrderEnveloppePrintSpeed, &QToolButton::clicked, this, &SalesPage::envelopeRequested);
    connect(m_ui->OrderInvoicePrintSpeed, &QToolButton::clicked, this, &SalesPage::invoiceRequested);
    connect(m_ui->OrderMailPrintSpeed, &QToolButton::clicked, this, &SalesPage::letterRequested);
    connect(m_ui->LabelsPrintSpeed, &QToolButton::clicked, this, &SalesPage::labelsRequested);
    m_ui->OrderAddressTab->setCurrentIndex(0);
}

SalesPage::~SalesPage() = default;

void SalesPage::setUp(DataObjects* data, const FunctionLibrary* library)
{
    m_data = data;
    m_library = library;
    m_mailOptions.workDir = data->workDir();
    bindControls(this, data->Dsale, *data);
    m_ui->OrderNavigator->bind(data->Dsale);
    setUpOrderRules(library);
    setUpSearches();
    // Orders cannot be stored in a read-only set: no message is taken in.
    if (data->isReadOnly()) {
        m_ui->OrderCompuServeAppendSpeed->setEnabled(false);
        m_ui->OrderCompuServeAppendSpeed->setToolTip(readOnlyMailHint());
    }
}

QString SalesPage::readOnlyMailHint()
{
    return tr("The tables are opened read-only: e-mail orders cannot be stored");
}

void SalesPage::setDialogs(const Dialogs& dialogs)
{
    m_dialogs = dialogs;
}

ShownOrder SalesPage::shownOrder() const
{
    ShownOrder order;
    for (const DbEdit* e : findChildren<DbEdit*>())
        order.insert(e->dataField(), e->text());
    for (const DbMemo* m : findChildren<DbMemo*>())
        order.insert(m->dataField(), m->toPlainText());
    for (const DbLookupCombo* c : findChildren<DbLookupCombo*>())
        order.insert(c->dataField(), c->value());
    order.addressTab = m_ui->OrderAddressTab->currentWidget() == m_ui->DeliveryPage ? ShownOrder::AddressTab::Delivery
                                                                                    : ShownOrder::AddressTab::Billing;
    return order;
}

void SalesPage::setUpOrderRules(const FunctionLibrary* library)
{
    m_rules = std::make_unique<OrderRules>(m_data->Dsale, m_data->Tsale, m_data->Tprice, m_data->Ttable, library);
    m_rules->setLocaleFormat(m_data->localeFormat());
    m_rules->setTaxBox([this](bool ticked) { m_ui->TaxCheck->setChecked(ticked); });
    // The rules read the order page's boxes as shown, typed text included.
    QHash<QString, std::function<QString()>> boxes;
    for (DbEdit* e : findChildren<DbEdit*>())
        boxes.insert(e->dataField(), [e] { return e->text(); });
    for (DbLookupCombo* c : findChildren<DbLookupCombo*>())
        boxes.insert(c->dataField(), [c] { return c->value(); });
    m_rules->setBoxText([this, boxes](const QString& field) {
        const auto it = boxes.constFind(field);
        if (it != boxes.constEnd())
            return (*it)();
        DataSet* ds = m_data->Dsale->dataSet();
        return ds && ds->isOpen() && ds->fieldIndex(field) >= 0 ? ds->fieldText(field) : QString();
    });

    connect(m_ui->OrderMailAppendSpeed, &QToolButton::clicked, this, guard([this] { OrderMailAppendSpeedClick(); }));
    // Failures of the after-post rule belong to whoever posted.
    m_data->Tsale->onAfterPost(this, [this] { TsaleAfterPost(); });
    connect(m_data->Dsale, &DataSource::dataChange, this, guard([this] { DsaleDataChange(); }));
    connect(m_ui->TaxCheck, &QCheckBox::toggled, this,
            [this](bool ticked) { guarded([=, this] { TaxCheckClick(ticked); }); });
    connect(m_ui->PaymentMeans, &DbLookupCombo::valueChanged, this,
            [this](const QString& text) { guarded([=, this] { PaymentMeansChange(text); }); });
    m_ui->NetAmount->installEventFilter(this);
    m_ui->Licensee->installEventFilter(this);
    DsaleDataChange();
}

bool SalesPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        // Entering a box, not the window regaining the focus it had.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == m_ui->NetAmount)
                guarded([this] { NetAmountEnter(); });
            else if (watched == m_ui->Licensee)
                guarded([this] { LicenseeEnter(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SalesPage::OrderMailAppendSpeedClick()
{
    m_rules->appendNewOrder();
    // The title list can take the focus only on the billing page.
    m_ui->OrderAddressTab->setCurrentWidget(m_ui->BillingPage);
    m_ui->Title->setFocus(Qt::OtherFocusReason);
    m_rules->postNewOrder();
}

void SalesPage::TsaleAfterPost()
{
    m_rules->orderPosted();
}

void SalesPage::DsaleDataChange()
{
    m_rules->shownOrderChanged();
}

void SalesPage::NetAmountEnter()
{
    m_rules->enterNetAmount();
}

void SalesPage::TaxCheckClick(bool ticked)
{
    m_rules->taxBoxClicked(ticked);
}

void SalesPage::PaymentMeansChange(const QString& text)
{
    // Showing another order changes the list's text too; only a change made
    // to the order being edited dates the payment, so browsing changes nothing.
    DataSet* ds = m_data->Dsale->dataSet();
    if (ds && ds->isEditing())
        m_rules->paymentMeansChanged(text);
}

void SalesPage::LicenseeEnter()
{
    if (!m_ui->Licensee->text().isEmpty())
        return;
    DataSet* ds = m_data->Dsale->dataSet();
    if (!ds || !ds->isOpen() || ds->fieldIndex(sale::Licensee) < 0)
        return;
    m_ui->Licensee->setTextAsTyped(OrderRules::proposedLicensee(m_ui->Title->value(), m_ui->Person->text()));
    m_ui->Licensee->selectAll();
}

void SalesPage::setUpSearches()
{
    m_searches = std::make_unique<OrderSearches>(m_data->Dsale, m_data->Tsale, m_data->FindPersonSQL,
                                                 m_data->FindUnpayedSQL, m_data->SQLSQL);
    connect(m_searches.get(), &OrderSearches::changed, this, &SalesPage::showSearchButtons);
    connect(m_ui->OrderPersonFindSpeed, &QToolButton::clicked, this, guard([this] { OrderPersonFindSpeedClick(); }));
    connect(m_ui->OrderUnpayedFindSpeed, &QToolButton::clicked, this, guard([this] { OrderUnpayedFindSpeedClick(); }));
    connect(m_ui->OrderSQLFindSpeed, &QToolButton::clicked, this, guard([this] { OrderSQLFindSpeedClick(); }));
    connect(m_ui->GridViewSpeed, &QToolButton::clicked, this, guard([this] { GridViewSpeedClick(); }));
    connect(m_ui->OrderExportSpeed, &QToolButton::clicked, this, guard([this] { OrderExportSpeedClick(); }));
    connect(m_ui->OrderCompuServeAppendSpeed, &QToolButton::clicked, this,
            guard([this] { OrderCompuServeAppendSpeedClick(); }));
    showSearchButtons();
}

void SalesPage::showSearchButtons()
{
    const std::pair<QToolButton*, OrderSearches::Search> buttons[] = {
        {m_ui->OrderPersonFindSpeed, OrderSearches::Person},
        {m_ui->OrderUnpayedFindSpeed, OrderSearches::Unpaid},
        {m_ui->OrderSQLFindSpeed, OrderSearches::Sql},
    };
    for (const auto& [button, search] : buttons) {
        const OrderSearches::Button& state = m_searches->button(search);
        button->setToolTip(state.hint);
        button->setEnabled(state.enabled);
        button->setCheckable(true);
        button->setChecked(state.active);
    }
}

void SalesPage::OrderPersonFindSpeedClick()
{
    // A search button ends its search when it is shown, else opens its dialog.
    if (m_searches->button(OrderSearches::Person).active)
        m_searches->end(OrderSearches::Person);
    else
        showWindow(m_dialogs.person);
}

void SalesPage::OrderUnpayedFindSpeedClick()
{
    if (m_searches->button(OrderSearches::Unpaid).active)
        m_searches->end(OrderSearches::Unpaid);
    else
        m_searches->findUnpaid();
}

void SalesPage::OrderSQLFindSpeedClick()
{
    if (m_searches->button(OrderSearches::Sql).active)
        m_searches->end(OrderSearches::Sql);
    else
        showWindow(m_dialogs.sql);
}

void SalesPage::GridViewSpeedClick()
{
    showWindow(m_dialogs.grid);
}

void SalesPage::OrderExportSpeedClick()
{
    showWindow(m_dialogs.dates);
}

void SalesPage::OrderCompuServeAppendSpeedClick()
{
    const Settings settings(m_data->Ttable);
    const auto setting = [&settings](const char* name) {
        return settings.read(QString::fromLatin1(name)).value_or(QString());
    };
    if (m_data->isReadOnly()) {
        prompter().error(readOnlyMailHint() + QLatin1Char('.'));
        return;
    }
    // A search result gives way to the order table, where the new orders go;
    // a pending edit of the shown order is stored first (a failure keeps it).
    if (const OrderSearches::Search search = m_searches->shown(); search != OrderSearches::Count) {
        if (DataSet* shown = m_data->Dsale->dataSet())
            shown->checkBrowseMode();
        m_searches->end(search);
    }
    static const FunctionLibrary noLibrary;
    MailOrderRun run(*m_mailState, m_library ? *m_library : noLibrary, MailOrderRun::pairsFrom(m_data->Qemail),
                     m_mailOptions);
    if (!run.open(setting("Profile"), setting("Password"), setting("MessageStore"), setting("SaveFolder"))) {
        prompter().error(tr("The mailbox could not be opened: %1.").arg(run.lastError()));
        return;
    }
    const bool found = run.findRecognizedMessage();
    for (const QString& problem : run.takeProblems())
        prompter().error(problem + QLatin1Char('.'));
    if (!found) {
        //: No message in the mailbox matched a recognition rule.
        prompter().message(tr("No new E-Mail registration ..."), QMessageBox::Information);
    } else if (!run.loadTemplate(m_data->workDir())) {
        prompter().error(tr("Error opening file \"Register.txt\": %1.").arg(run.lastError()));
    } else {
        TCheckEmailForm form(
            run, *m_data, [this](const ShownOrder& order) { return appendMailOrder(order); }, window());
        form.exec();
    }
    if (const QString unread = run.unreadableNotice(); !unread.isEmpty())
        prompter().message(unread + QLatin1Char('.'), QMessageBox::Warning);
    if (!run.close())
        prompter().error(tr("The mailbox could not be closed: %1.").arg(run.lastError()));
}

QString SalesPage::appendMailOrder(const ShownOrder& shown)
{
    // The new order is shown on the billing page, as after "Append".
    m_ui->OrderAddressTab->setCurrentWidget(m_ui->BillingPage);
    return kestrova::appendMailOrder(*m_rules, m_data->Tsale, shown);
}

} // namespace kestrova
