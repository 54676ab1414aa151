#include "app/mainform.h"

#include "app/aboutform.h"
#include "widgets/dbwidgets.h"
#include "pages/distributorspage.h"
#include "documents/documentdialogs.h"
#include "widgets/guard.h"
#include "documents/orderdocuments.h"
#include "pages/parameterspage.h"
#include "pages/salespage.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolButton>

namespace kestrova {

TMainForm::TMainForm(const QString& workDir, const LocaleFormat& fmt, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainForm>()), m_workDir(workDir), m_fmt(fmt)
{
    m_ui->setupUi(this);
    m_readOnly = !folderIsWritable(workDir);
    setWindowTitle(QStringLiteral("Kestrova"));
    resize(640, 452);
    move(0, 0);
    m_data = new DataObjects(workDir, fmt, m_readOnly, this);
    sales()->setUp(m_data, &m_library);
    distributors()->setUp(m_data);
    parameters()->setUp(m_data, &m_library);

    // The buttons every page shares are the frame's: about, calculator, exit.
    const auto buttons = [this](std::initializer_list<const char*> names, void (TMainForm::*handler)()) {
        for (const char* name : names) {
            if (auto* b = findChild<QToolButton*>(QString::fromLatin1(name)))
                connect(b, &QToolButton::clicked, this, guard([this, handler] { (this->*handler)(); }));
        }
    };
    buttons({"OrderAboutSpeed", "DistributorAboutSpeed", "ParametersAboutSpeed"}, &TMainForm::AboutSpeedClick);
    buttons({"CalcSpeed1", "CalcSpeed3"}, &TMainForm::CalcSpeedClick);
    buttons({"OrderExit", "DistributorExitSpeed", "ParametersExitSpeed"}, &TMainForm::Exit);
    setUpDocuments();
    buttons({"OrderEnveloppePrintSpeed"}, &TMainForm::OrderEnveloppePrintSpeedClick);
    buttons({"OrderInvoicePrintSpeed"}, &TMainForm::OrderInvoicePrintSpeedClick);
    buttons({"OrderMailPrintSpeed"}, &TMainForm::OrderMailPrintSpeedClick);
    buttons({"LabelsPrintSpeed"}, &TMainForm::LabelsPrintSpeedClick);
    buttons({"DistributorEnveloppePrintSpeed"}, &TMainForm::DistributorEnveloppePrintSpeedClick);
    buttons({"DistributorMailPrintSpeed"}, &TMainForm::DistributorMailPrintSpeedClick);
    buttons({"DistributorMailingPrintSpeed"}, &TMainForm::DistributorMailingPrintSpeedClick);

    m_ui->MainFormNotebook->setCurrentIndex(0);
    FormCreate();
}

TMainForm::~TMainForm() = default;

SalesPage* TMainForm::sales() const
{
    return m_ui->SalesPage;
}

DistributorsPage* TMainForm::distributors() const
{
    return m_ui->DistributorsPage;
}

ParametersPage* TMainForm::parameters() const
{
    return m_ui->ParametersPage;
}

OrderRules& TMainForm::rules()
{
    return sales()->rules();
}

OrderSearches& TMainForm::searches()
{
    return sales()->searches();
}

void TMainForm::setSearchWindows(QWidget* person, QWidget* sql, QWidget* grid)
{
    sales()->setSearchWindows(person, sql, grid);
}

void TMainForm::setReportWindows(QWidget* dates, TransferProgress* progress)
{
    sales()->setDateDialog(dates);
    parameters()->setProgressWindow(progress);
}

void TMainForm::setUpDocuments()
{
    // The link reads the settings boxes as they stand when it needs them.
    auto box = [this](const char* name) {
        auto* e = parameters()->findChild<QLineEdit*>(QString::fromLatin1(name));
        return e ? e->text() : QString();
    };
    auto settings = [box] {
        return LinkSettings{box("TablesCommandLine"), box("TablesDdeService"), box("TablesDdeTopic"),
                            box("TablesLastDdeMacro")};
    };
    auto showError = [](const QString& text) { prompter().error(text); };
    m_link = std::make_unique<WordProcessorLink>(settings, showError);
    m_link->setWorkingDirectory(m_workDir);
    m_road = std::make_unique<DocumentRoad>(
        m_link.get(), DocumentTables{m_data->Texport, m_data->Tfactory, m_data->Ttitle}, showError);
    m_orderDocuments = std::make_unique<OrderDocuments>(m_road.get());
    m_orderDocuments->setLocaleFormat(m_fmt);
    m_distributorDocuments = std::make_unique<DistributorDocuments>(m_road.get(), m_data->Tdistributor);
}

void TMainForm::setDocumentWindows(TMailDlg* mail, TMailingDlg* mailing, TLabelsDlg* labels)
{
    m_mailDlg = mail;
    m_mailingDlg = mailing;
    m_labelsDlg = labels;
}

bool TMainForm::WordProcessorLinked() const
{
    return m_link && m_link->isLinked();
}

OrderView TMainForm::shownOrder() const
{
    OrderView order;
    const SalesPage* page = sales();
    for (const DbEdit* e : page->findChildren<DbEdit*>())
        order.boxes.insert(e->dataField(), e->text());
    for (const DbMemo* m : page->findChildren<DbMemo*>())
        order.boxes.insert(m->dataField(), m->toPlainText());
    for (const DbLookupCombo* c : page->findChildren<DbLookupCombo*>())
        order.boxes.insert(c->dataField(), c->value());
    const auto* addresses = page->findChild<QTabWidget*>(QStringLiteral("OrderAddressTab"));
    order.deliveryPageShowing = addresses && addresses->currentIndex() == 1;
    return order;
}

void TMainForm::OrderEnveloppePrintSpeedClick()
{
    m_orderDocuments->envelope(shownOrder());
}

void TMainForm::OrderInvoicePrintSpeedClick()
{
    m_orderDocuments->invoice(shownOrder());
}

void TMainForm::OrderMailPrintSpeedClick()
{
    m_orderDocuments->letter(shownOrder());
}

void TMainForm::LabelsPrintSpeedClick()
{
    if (m_labelsDlg)
        m_labelsDlg->showInFront();
}

void TMainForm::DistributorEnveloppePrintSpeedClick()
{
    // Pressed while the dialog is up, the button only switches the kind.
    if (m_mailDlg) {
        m_mailDlg->Tag = DistributorDocuments::Envelope;
        m_mailDlg->showInFront();
    }
}

void TMainForm::DistributorMailPrintSpeedClick()
{
    if (m_mailDlg) {
        m_mailDlg->Tag = DistributorDocuments::Letter;
        m_mailDlg->showInFront();
    }
}

void TMainForm::DistributorMailingPrintSpeedClick()
{
    if (m_mailingDlg)
        m_mailingDlg->showInFront();
}

void TMainForm::FormCreate()
{
    // The user's function library: silent when it is missing.
    m_library.load({m_workDir, QCoreApplication::applicationDirPath()});
    parameters()->loadSettings(m_readOnly);
    m_data->Tsale->first();
    if (m_readOnly) {
        prompter().message(QStringLiteral("The working folder %1 or one of its tables cannot be written to. "
                                          "Kestrova opens the tables read-only: orders can be looked at, searched "
                                          "and exported, but no change can be stored.")
                               .arg(QDir::toNativeSeparators(m_workDir)),
                           QMessageBox::Warning);
    }
}

bool TMainForm::storePendingEdits()
{
    // A record being edited is stored, as leaving the row would store it.
    // One that cannot be stored (the table locked by another program) is
    // not dropped behind the user's back: the user decides.
    for (DataSet* ds : m_data->findChildren<DataSet*>()) {
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
    // The library goes first; then the word processor gets its final macro
    // and the conversation ends.
    m_library.unload();
    m_link->finalMacro();
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
