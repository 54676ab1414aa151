#include "mainform.h"

#include "aboutform.h"
#include "accountingform.h"
#include "gridviewform.h"
#include "ordertransfer.h"
#include "progressform.h"
#include "searchdialogs.h"
#include "dbwidgets.h"
#include "guard.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>

namespace kestrova {

TMainForm* MainForm = nullptr;

// The folder must take new files (SQLite writes its journal beside the
// table) and every table file must be writable.
static bool folderIsWritable(const QString& dir)
{
    if (!QFileInfo(dir).isWritable())
        return false;
    for (const TableDef& t : schemaTables()) {
        const QFileInfo file(QDir(dir).filePath(t.fileName()));
        if (file.exists() && !file.isWritable())
            return false;
    }
    return true;
}

template <typename T>
T* TMainForm::makeTable(const QString& name)
{
    auto* t = new T(this);
    t->setObjectName(QStringLiteral("T") + name.mid(1));
    t->setDirectory(m_workDir);
    t->setTableName(name);
    t->setLocaleFormat(m_fmt);
    if (m_readOnly)
        t->setReadOnly(true);
    return t;
}

TMainForm::TMainForm(const QString& workDir, const LocaleFormat& fmt, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainForm>()), m_workDir(workDir), m_fmt(fmt)
{
    m_ui->setupUi(this);
    m_readOnly = !folderIsWritable(workDir);
    setWindowTitle(QStringLiteral("Kestrova"));
    resize(640, 452);
    move(0, 0);
    createDataObjects();
    bindControls();
    setUpButtons();
    setUpOrderRules();
    setUpSearches();
    m_ui->MainFormNotebook->setCurrentIndex(0);
    m_ui->OrderAddressTab->setCurrentIndex(0);
    FormCreate();
}

TMainForm::~TMainForm()
{
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::createDataObjects()
{
    auto source = [this](const char* name, DataSet* ds) {
        auto* d = new DataSource(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setDataSet(ds);
        return d;
    };
    auto query = [this](const char* name, const QStringList& lines) {
        auto* q = new Query(this);
        q->setObjectName(QString::fromLatin1(name));
        q->setDirectory(m_workDir);
        q->setSql(lines);
        q->setLocaleFormat(m_fmt);
        return q;
    };

    // Created and opened in this order; the first that fails ends start-up.
    Tproduct = makeTable<Table>(QStringLiteral("Xproduct"));
    Tproduct->open();
    Dproduct = source("Dproduct", Tproduct);
    Tlanguage = makeTable<Table>(QStringLiteral("Xlanguage"));
    Tlanguage->open();
    Dlanguage = source("Dlanguage", Tlanguage);
    Tprice = makeTable<Table>(QStringLiteral("Xprice"));
    Tprice->open();
    Dprice = source("Dprice", Tprice);
    Ttitle = makeTable<Table>(QStringLiteral("Xtitle"));
    Ttitle->open();
    Dtitle = source("Dtitle", Ttitle);
    Tcurrency = makeTable<Table>(QStringLiteral("Xcurrency"));
    Tcurrency->open();
    Dcurrency = source("Dcurrency", Tcurrency);
    Tpayment = makeTable<Table>(QStringLiteral("Xpayment"));
    Tpayment->open();
    Dpayment = source("Dpayment", Tpayment);
    FindPersonSQL = query("FindPersonSQL", {QStringLiteral("Select * from Xsale"),
                                            QStringLiteral("Where Person = :Personne;")});
    SQLSQL = query("SQLSQL", {});
    Texport = makeTable<Table>(QStringLiteral("Xexport"));
    Texport->setExclusive(true);
    Tfactory = makeTable<Table>(QStringLiteral("Xfactory"));
    Tfactory->open();
    Dfactory = source("Dfactory", Tfactory);
    Ttable = makeTable<Table>(QStringLiteral("Xtable"));
    Ttable->open();
    Dtable = source("Dtable", Ttable);
    Tdistributor = makeTable<Table>(QStringLiteral("Xdistributor"));
    Tdistributor->open();
    Ddistributor = source("Ddistributor", Tdistributor);
    Tsale = makeTable<Table>(QStringLiteral("Xsale"));
    Dsale = source("Dsale", Tsale);
    Tsale->open();
    FindUnpayedSQL = query("FindUnpayedSQL", {QStringLiteral("Select * from Xsale Where"),
                                              QStringLiteral("PaymentMeans = '' and"),
                                              QStringLiteral("NetAmount <> '';")});
    Torigin = makeTable<Table>(QStringLiteral("Xorigin"));
    Torigin->open();
    Dorigin = source("Dorigin", Torigin);
    Temail = makeTable<Table>(QStringLiteral("Xemail"));
    Temail->open();
    Demail = source("Demail", Temail);
    Qemail = query("Qemail", {QStringLiteral("Select distinct Origin, EmailFunction from Xemail;")});
    Qemail->open();
    TsaleIn = makeTable<Table>(QStringLiteral("Xsale"));
    TsaleIn->setObjectName(QStringLiteral("TsaleIn"));
    TsaleIn->setReadOnly(true);
}

void TMainForm::bindControls()
{
    // Bound controls carry the field they show; the page decides the source.
    struct PageSource {
        QWidget* page;
        DataSource* source;
    };
    const PageSource pages[] = {
        {m_ui->SalesPage, Dsale},
        {m_ui->DistributorPanel, Ddistributor},
        {m_ui->FactoryPanel, Dfactory},
        {m_ui->EmailPanel, Demail},
    };
    // Lookup lists and the value lists behind them.
    const QHash<QString, QPair<Table*, QString>> lists = {
        {QStringLiteral("Title"), {Ttitle, QStringLiteral("Title")}},
        {QStringLiteral("DeliveryTitle"), {Ttitle, QStringLiteral("Title")}},
        {QStringLiteral("Product"), {Tproduct, QStringLiteral("Product")}},
        {QStringLiteral("Language"), {Tlanguage, QStringLiteral("Language")}},
        {QStringLiteral("Origin"), {Torigin, QStringLiteral("Origin")}},
        {QStringLiteral("Currency"), {Tcurrency, QStringLiteral("Currency")}},
        {QStringLiteral("PaymentMeans"), {Tpayment, QStringLiteral("PaymentMeans")}},
        {QStringLiteral("DistributorTitle"), {Ttitle, QStringLiteral("Title")}},
        {QStringLiteral("DistributorLanguage"), {Tlanguage, QStringLiteral("Language")}},
        {QStringLiteral("FactoryProduct"), {Tproduct, QStringLiteral("Product")}},
        {QStringLiteral("FactoryLanguage"), {Tlanguage, QStringLiteral("Language")}},
        {QStringLiteral("EMailOrigin"), {Torigin, QStringLiteral("Origin")}},
        {QStringLiteral("EMailProduct"), {Tproduct, QStringLiteral("Product")}},
    };
    for (const PageSource& p : pages) {
        for (DbEdit* e : p.page->findChildren<DbEdit*>())
            e->bind(p.source, e->property("dataField").toString());
        for (DbMemo* m : p.page->findChildren<DbMemo*>())
            m->bind(p.source, m->property("dataField").toString());
        for (DbLookupCombo* c : p.page->findChildren<DbLookupCombo*>()) {
            const auto list = lists.value(c->objectName());
            c->bind(p.source, c->property("dataField").toString(), list.first, list.second);
        }
    }
    m_ui->OrderNavigator->bind(Dsale);
    m_ui->DistributorNavigator->bind(Ddistributor);
    m_ui->FactoryNavigator->bind(Dfactory);
    m_ui->EmailNavigator->bind(Demail);

    const QPair<DbGrid*, DataSource*> grids[] = {
        {m_ui->LanguageTableGrid, Dlanguage}, {m_ui->OriginTableGrid, Dorigin},
        {m_ui->TitleTableGrid, Dtitle},       {m_ui->MaymentMeansTableGrid, Dpayment},
        {m_ui->PriceTableGrid, Dprice},       {m_ui->CurrencyTableGrid, Dcurrency},
        {m_ui->ProductTableGrid, Dproduct},
    };
    for (const auto& [grid, src] : grids) {
        grid->bind(src, grid->property("dataFields").toString().split(QLatin1Char(',')),
                   grid->property("dataHeadings").toString().split(QLatin1Char(',')));
    }
}

void TMainForm::setUpButtons()
{
    struct Icon {
        const char* button;
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    static const Icon icons[] = {
        {"OrderAboutSpeed", "help-about", QStyle::SP_MessageBoxInformation},
        {"DistributorAboutSpeed", "help-about", QStyle::SP_MessageBoxInformation},
        {"ParametersAboutSpeed", "help-about", QStyle::SP_MessageBoxInformation},
        {"GridViewSpeed", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"CalcSpeed1", "accessories-calculator", QStyle::SP_ComputerIcon},
        {"CalcSpeed3", "accessories-calculator", QStyle::SP_ComputerIcon},
        {"OrderMailAppendSpeed", "document-new", QStyle::SP_FileIcon},
        {"OrderCompuServeAppendSpeed", "mail-receive", QStyle::SP_DriveNetIcon},
        {"LabelsPrintSpeed", "document-print", QStyle::SP_FileDialogListView},
        {"OrderEnveloppePrintSpeed", "mail-send", QStyle::SP_ArrowRight},
        {"OrderInvoicePrintSpeed", "document-print", QStyle::SP_DriveFDIcon},
        {"OrderMailPrintSpeed", "mail-message-new", QStyle::SP_FileDialogContentsView},
        {"OrderPersonFindSpeed", "edit-find", QStyle::SP_FileDialogInfoView},
        {"OrderUnpayedFindSpeed", "dialog-warning", QStyle::SP_MessageBoxWarning},
        {"OrderSQLFindSpeed", "system-search", QStyle::SP_FileDialogToParent},
        {"OrderExportSpeed", "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
        {"DistributorAppendSpeed", "contact-new", QStyle::SP_FileIcon},
        {"DistributorEnveloppePrintSpeed", "mail-send", QStyle::SP_ArrowRight},
        {"DistributorMailPrintSpeed", "mail-message-new", QStyle::SP_FileDialogContentsView},
        {"DistributorMailingPrintSpeed", "mail-forward", QStyle::SP_ArrowForward},
        {"ImportSpeed", "document-open", QStyle::SP_DialogOpenButton},
        {"ExportSpeed", "document-save", QStyle::SP_DialogSaveButton},
        {"OrderExit", "application-exit", QStyle::SP_DialogCloseButton},
        {"DistributorExitSpeed", "application-exit", QStyle::SP_DialogCloseButton},
        {"ParametersExitSpeed", "application-exit", QStyle::SP_DialogCloseButton},
    };
    for (const Icon& i : icons) {
        if (auto* b = findChild<QToolButton*>(QString::fromLatin1(i.button))) {
            b->setIcon(QIcon::fromTheme(QString::fromLatin1(i.theme), style()->standardIcon(i.fallback)));
            b->setIconSize(QSize(22, 22));
        }
    }

    // Actions that the program does not offer yet stay visible but disabled.
    for (const char* name :
         {"OrderCompuServeAppendSpeed", "LabelsPrintSpeed", "OrderEnveloppePrintSpeed",
          "OrderInvoicePrintSpeed", "OrderMailPrintSpeed",
          "DistributorAppendSpeed", "DistributorEnveloppePrintSpeed", "DistributorMailPrintSpeed",
          "DistributorMailingPrintSpeed"}) {
        if (auto* b = findChild<QToolButton*>(QString::fromLatin1(name)))
            b->setEnabled(false);
    }

    for (QToolButton* b : {m_ui->OrderAboutSpeed, m_ui->DistributorAboutSpeed, m_ui->ParametersAboutSpeed})
        connect(b, &QToolButton::clicked, this, guard([this] { AboutSpeedClick(); }));
    for (QToolButton* b : {m_ui->CalcSpeed1, m_ui->CalcSpeed3})
        connect(b, &QToolButton::clicked, this, guard([this] { CalcSpeedClick(); }));
    for (QToolButton* b : {m_ui->OrderExit, m_ui->DistributorExitSpeed, m_ui->ParametersExitSpeed})
        connect(b, &QToolButton::clicked, this, guard([this] { Exit(); }));
}

void TMainForm::setUpOrderRules()
{
    m_rules = std::make_unique<OrderRules>(Dsale, Tsale, Tprice, Ttable, &m_library);
    m_rules->setLocaleFormat(m_fmt);
    m_rules->setTaxBox([this](bool ticked) { m_ui->TaxCheck->setChecked(ticked); });
    // The rules read the order page's boxes as shown, typed text included.
    QHash<QString, std::function<QString()>> boxes;
    for (DbEdit* e : m_ui->SalesPage->findChildren<DbEdit*>())
        boxes.insert(e->dataField(), [e] { return e->text(); });
    for (DbLookupCombo* c : m_ui->SalesPage->findChildren<DbLookupCombo*>())
        boxes.insert(c->dataField(), [c] { return c->value(); });
    m_rules->setBoxText([this, boxes](const QString& field) {
        const auto it = boxes.constFind(field);
        if (it != boxes.constEnd())
            return (*it)();
        DataSet* ds = Dsale->dataSet();
        return ds && ds->isOpen() && ds->fieldIndex(field) >= 0 ? ds->fieldText(field) : QString();
    });

    connect(m_ui->OrderMailAppendSpeed, &QToolButton::clicked, this, guard([this] { OrderMailAppendSpeedClick(); }));
    // Failures of the after-post rule belong to whoever posted.
    connect(Tsale, &DataSet::afterPost, this, [this] { TsaleAfterPost(); });
    connect(Dsale, &DataSource::dataChange, this, guard([this] { DsaleDataChange(); }));
    connect(m_ui->TaxCheck, &QCheckBox::toggled, this, [this](bool ticked) { guarded([=, this] { TaxCheckClick(ticked); }); });
    connect(m_ui->PaymentMeans, &DbLookupCombo::valueChanged, this,
            [this](const QString& text) { guarded([=, this] { PaymentMeansChange(text); }); });
    m_ui->NetAmount->installEventFilter(this);
    m_ui->Licensee->installEventFilter(this);
    DsaleDataChange();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
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
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::OrderMailAppendSpeedClick()
{
    m_rules->appendNewOrder();
    // The title list can take the focus only on the billing page.
    m_ui->OrderAddressTab->setCurrentWidget(m_ui->BillingPage);
    m_ui->Title->setFocus(Qt::OtherFocusReason);
    m_rules->postNewOrder();
}

void TMainForm::TsaleAfterPost()
{
    m_rules->orderPosted();
}

void TMainForm::DsaleDataChange()
{
    m_rules->shownOrderChanged();
}

void TMainForm::NetAmountEnter()
{
    m_rules->enterNetAmount();
}

void TMainForm::TaxCheckClick(bool ticked)
{
    m_rules->taxBoxClicked(ticked);
}

void TMainForm::PaymentMeansChange(const QString& text)
{
    // Showing another order changes the list's text too; only a change made
    // to the order being edited dates the payment, so browsing changes nothing.
    DataSet* ds = Dsale->dataSet();
    if (ds && ds->isEditing())
        m_rules->paymentMeansChanged(text);
}

void TMainForm::LicenseeEnter()
{
    if (!m_ui->Licensee->text().isEmpty())
        return;
    DataSet* ds = Dsale->dataSet();
    if (!ds || !ds->isOpen() || ds->fieldIndex(QStringLiteral("Licensee")) < 0)
        return;
    m_ui->Licensee->setTextAsTyped(
        OrderRules::proposedLicensee(m_ui->Title->value(), m_ui->Person->text()));
    m_ui->Licensee->selectAll();
}

void TMainForm::setUpSearches()
{
    m_searches = std::make_unique<OrderSearches>(Dsale, Tsale, FindPersonSQL, FindUnpayedSQL, SQLSQL);
    connect(m_searches.get(), &OrderSearches::changed, this, &TMainForm::showSearchButtons);
    connect(m_ui->OrderPersonFindSpeed, &QToolButton::clicked, this, guard([this] { OrderPersonFindSpeedClick(); }));
    connect(m_ui->OrderUnpayedFindSpeed, &QToolButton::clicked, this, guard([this] { OrderUnpayedFindSpeedClick(); }));
    connect(m_ui->OrderSQLFindSpeed, &QToolButton::clicked, this, guard([this] { OrderSQLFindSpeedClick(); }));
    connect(m_ui->GridViewSpeed, &QToolButton::clicked, this, guard([this] { GridViewSpeedClick(); }));
    connect(m_ui->OrderExportSpeed, &QToolButton::clicked, this, guard([this] { OrderExportSpeedClick(); }));
    connect(m_ui->ExportSpeed, &QToolButton::clicked, this, guard([this] { ExportSpeedClick(); }));
    connect(m_ui->ImportSpeed, &QToolButton::clicked, this, guard([this] { ImportSpeedClick(); }));
    showSearchButtons();
}

void TMainForm::showSearchButtons()
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

// A search button ends its search when it is shown, else opens its dialog.
static void endOrAsk(OrderSearches& searches, OrderSearches::Search search, QWidget* dialog)
{
    if (searches.button(search).active) {
        searches.end(search);
    } else if (dialog) {
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    }
}

void TMainForm::OrderPersonFindSpeedClick()
{
    endOrAsk(*m_searches, OrderSearches::Person, m_personDlg);
}

void TMainForm::OrderUnpayedFindSpeedClick()
{
    if (m_searches->button(OrderSearches::Unpaid).active)
        m_searches->end(OrderSearches::Unpaid);
    else
        m_searches->findUnpaid();
}

void TMainForm::OrderSQLFindSpeedClick()
{
    endOrAsk(*m_searches, OrderSearches::Sql, m_sqlDlg);
}

void TMainForm::GridViewSpeedClick()
{
    if (!m_gridView)
        return;
    m_gridView->show();
    m_gridView->raise();
    m_gridView->activateWindow();
}

void TMainForm::OrderExportSpeedClick()
{
    if (!m_dateDlg)
        return;
    m_dateDlg->show();
    m_dateDlg->raise();
    m_dateDlg->activateWindow();
}

static const QString kTextFiles = QStringLiteral("Text file(*.txt)");

void TMainForm::ExportSpeedClick()
{
    const QString path = prompter().openFileName(QStringLiteral("Export"), kTextFiles);
    if (path.isEmpty())
        return;
    OrderFile::exportOrders(*TsaleIn, path, m_progress);
}

void TMainForm::ImportSpeedClick()
{
    const QString path = prompter().openFileName(QStringLiteral("Import"), kTextFiles);
    if (path.isEmpty())
        return;
    // An order being edited on the page is stored first. While the orders
    // stream in, the page's controls are not refreshed for each of them.
    const bool pageShowsTable = Dsale->dataSet() == Tsale;
    if (Tsale->isOpen())
        Tsale->checkBrowseMode();
    if (pageShowsTable)
        Dsale->setDataSet(nullptr);
    try {
        OrderFile::importOrders(*Tsale, Ttable, path, m_library.pull(), m_progress);
    } catch (...) {
        if (pageShowsTable)
            Dsale->setDataSet(Tsale);
        throw;
    }
    if (pageShowsTable)
        Dsale->setDataSet(Tsale);
}

void TMainForm::FormCreate()
{
    WordProcessorLinked = false;
    // The user's function library: silent when it is missing.
    m_library.load({m_workDir, QCoreApplication::applicationDirPath()});

    // Settings editors, loaded in this order; a missing row leaves its box
    // empty. Loading a box runs its change handler like any other change.
    const struct {
        QLineEdit* box;
        void (TMainForm::*handler)();
        const char* row;
    } editors[] = {
        {m_ui->TablesCommandLine, &TMainForm::TablesCommandLineChange, "CommandLine"},
        {m_ui->TablesDdeService, &TMainForm::TablesDdeServiceChange, "DdeService"},
        {m_ui->TablesDdeTopic, &TMainForm::TablesDdeTopicChange, "DdeTopic"},
        {m_ui->TablesLastDdeMacro, &TMainForm::TablesLastDdeMacroChange, "LastDdeMacro"},
        {m_ui->Profile, &TMainForm::ProfileChange, "Profile"},
        {m_ui->Password, &TMainForm::PasswordChange, "Password"},
        {m_ui->MessageStore, &TMainForm::MessageStoreChange, "MessageStore"},
        {m_ui->SaveFolder, &TMainForm::SaveFolderChange, "SaveFolder"},
    };
    // Loading shows what is stored, so it writes nothing back: the handlers
    // are connected once the boxes are filled.
    for (const auto& e : editors) {
        if (const auto value = settings().read(QString::fromLatin1(e.row)))
            e.box->setText(*value);
        e.box->setReadOnly(m_readOnly);
    }
    for (const auto& e : editors) {
        const auto handler = e.handler;
        connect(e.box, &QLineEdit::textChanged, this, guard([this, handler] { (this->*handler)(); }));
    }
    Tsale->first();
    if (m_readOnly) {
        prompter().message(
            QStringLiteral("The working folder %1 or one of its tables cannot be written to. "
                           "Kestrova opens the tables read-only: orders can be looked at, searched "
                           "and exported, but no change can be stored.")
                .arg(QDir::toNativeSeparators(m_workDir)),
            QMessageBox::Warning);
    }
}

void TMainForm::saveSetting(QLineEdit* box, const QString& name)
{
    settings().write(name, box->text());
}

void TMainForm::TablesCommandLineChange() { saveSetting(m_ui->TablesCommandLine, QStringLiteral("CommandLine")); }
void TMainForm::TablesDdeServiceChange() { saveSetting(m_ui->TablesDdeService, QStringLiteral("DdeService")); }
void TMainForm::TablesDdeTopicChange() { saveSetting(m_ui->TablesDdeTopic, QStringLiteral("DdeTopic")); }
void TMainForm::TablesLastDdeMacroChange() { saveSetting(m_ui->TablesLastDdeMacro, QStringLiteral("LastDdeMacro")); }
void TMainForm::ProfileChange() { saveSetting(m_ui->Profile, QStringLiteral("Profile")); }
void TMainForm::PasswordChange() { saveSetting(m_ui->Password, QStringLiteral("Password")); }
void TMainForm::MessageStoreChange() { saveSetting(m_ui->MessageStore, QStringLiteral("MessageStore")); }
void TMainForm::SaveFolderChange() { saveSetting(m_ui->SaveFolder, QStringLiteral("SaveFolder")); }

bool TMainForm::storePendingEdits()
{
    // A record being edited is stored, as leaving the row would store it.
    // One that cannot be stored (the table locked by another program) is
    // not dropped behind the user's back: the user decides.
    for (DataSet* ds : findChildren<DataSet*>()) {
        if (!ds->isOpen() || !ds->isEditing())
            continue;
        if (guarded([ds] { ds->checkBrowseMode(); }))
            continue;
        if (!prompter().ask(QStringLiteral("A change could not be stored.\n"
                                           "Close Kestrova anyway and lose it?")))
            return false;
        ds->cancel();
    }
    return true;
}

void TMainForm::FormClose()
{
    m_library.unload();
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    if (!m_closed) {
        if (!storePendingEdits()) {
            e->ignore();
            return;
        }
        m_closed = true;
        FormClose();
    }
    QMainWindow::closeEvent(e);
}

void TMainForm::Exit()
{
    close();
}

void TMainForm::AboutSpeedClick()
{
    if (m_about)
        m_about->exec();
}

void TMainForm::CalcSpeedClick()
{
    startCalculator(); // a calculator that does not start is ignored
}

bool startCalculator()
{
    for (const char* name : {"Calc.exe", "gnome-calculator", "kcalc", "galculator", "qalculate-gtk", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return QProcess::startDetached(path, {});
    }
    return false;
}

} // namespace kestrova
