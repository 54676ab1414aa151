#include "app/mainform.h"

#include "app/aboutform.h"
#include "documents/documentdialogs.h"
#include "documents/orderdocuments.h"
#include "pages/distributorspage.h"
#include "pages/parameterspage.h"
#include "pages/salespage.h"
#include "widgets/guard.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

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

    setUpDocuments();
    wirePages();

    m_ui->MainFormNotebook->setCurrentIndex(0);
    FormCreate();
}

TMainForm::~TMainForm()
{
    // The windows made for the frame use its pages and data objects, which
    // are its children too: the windows go first, the last made first.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow())
            windows.prepend(w);
    }
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
}

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

void TMainForm::wirePages()
{
    // The buttons every page shares are the frame's: about, calculator, exit.
    const auto handle = [this](auto* page, auto signal, void (TMainForm::*handler)()) {
        connect(page, signal, this, guard([this, handler] { (this->*handler)(); }));
    };
    for (FramePage* page : std::initializer_list<FramePage*>{sales(), distributors(), parameters()}) {
        handle(page, &FramePage::aboutRequested, &TMainForm::AboutSpeedClick);
        handle(page, &FramePage::calculatorRequested, &TMainForm::CalcSpeedClick);
        handle(page, &FramePage::exitRequested, &TMainForm::Exit);
    }
    handle(sales(), &SalesPage::envelopeRequested, &TMainForm::OrderEnveloppePrintSpeedClick);
    handle(sales(), &SalesPage::invoiceRequested, &TMainForm::OrderInvoicePrintSpeedClick);
    handle(sales(), &SalesPage::letterRequested, &TMainForm::OrderMailPrintSpeedClick);
    handle(sales(), &SalesPage::labelsRequested, &TMainForm::LabelsPrintSpeedClick);
    handle(distributors(), &DistributorsPage::envelopeRequested, &TMainForm::DistributorEnveloppePrintSpeedClick);
    handle(distributors(), &DistributorsPage::letterRequested, &TMainForm::DistributorMailPrintSpeedClick);
    handle(distributors(), &DistributorsPage::mailingRequested, &TMainForm::DistributorMailingPrintSpeedClick);
}

void TMainForm::attachWindows(const FrameWindows& windows)
{
    Q_ASSERT_X(!m_windowsAttached, "TMainForm::attachWindows", "the windows are attached once");
    m_windowsAttached = true;
    m_windows = windows;
    sales()->setDialogs({windows.personDlg, windows.sqlDlg, windows.gridView, windows.dateDlg});
    parameters()->setProgressWindow(windows.progress);
}

void TMainForm::setUpDocuments()
{
    // The link reads the settings boxes as they stand when it needs them.
    auto settings = [this] { return parameters()->linkSettings(); };
    auto showError = [](const QString& text) { prompter().error(text); };
    m_link = std::make_unique<WordProcessorLink>(settings, showError);
    m_link->setWorkingDirectory(m_workDir);
    m_sender = std::make_unique<DocumentSender>(
        m_link.get(), DocumentTables{m_data->Texport, m_data->Tfactory, m_data->Ttitle}, showError);
    m_orderDocuments = std::make_unique<OrderDocuments>(m_sender.get());
    m_orderDocuments->setLocaleFormat(m_fmt);
    m_distributorDocuments = std::make_unique<DistributorDocuments>(m_sender.get(), m_data->Tdistributor);
}

bool TMainForm::WordProcessorLinked() const
{
    return m_link && m_link->isLinked();
}

void TMainForm::OrderEnveloppePrintSpeedClick()
{
    m_orderDocuments->envelope(sales()->shownOrder());
}

void TMainForm::OrderInvoicePrintSpeedClick()
{
    m_orderDocuments->invoice(sales()->shownOrder());
}

void TMainForm::OrderMailPrintSpeedClick()
{
    m_orderDocuments->letter(sales()->shownOrder());
}

void TMainForm::LabelsPrintSpeedClick()
{
    if (m_windows.labelsDlg)
        m_windows.labelsDlg->showInFront();
}

void TMainForm::DistributorEnveloppePrintSpeedClick()
{
    // Pressed while the dialog is up, the button only switches the kind.
    if (m_windows.mailDlg) {
        m_windows.mailDlg->Tag = DistributorDocuments::Envelope;
        m_windows.mailDlg->showInFront();
    }
}

void TMainForm::DistributorMailPrintSpeedClick()
{
    if (m_windows.mailDlg) {
        m_windows.mailDlg->Tag = DistributorDocuments::Letter;
        m_windows.mailDlg->showInFront();
    }
}

void TMainForm::DistributorMailingPrintSpeedClick()
{
    if (m_windows.mailingDlg)
        m_windows.mailingDlg->showInFront();
}

void TMainForm::FormCreate()
{
    // The user's function library: silent when it is missing.
    m_library.load({m_workDir, QCoreApplication::applicationDirPath()});
    parameters()->loadSettings(m_readOnly);
    m_data->Tsale->first();
    if (m_readOnly) {
        prompter().message(tr("The working folder %1 or one of its tables cannot be written to. "
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
        if (!prompter().ask(tr("A change could not be stored.\n"
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
    if (m_windows.about)
        m_windows.about->exec();
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
