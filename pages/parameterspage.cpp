#include "pages/parameterspage.h"

#include "data/dataobjects.h"
#include "widgets/dbwidgets.h"
#include "functions/functionlibrary.h"
#include "widgets/guard.h"
#include "reports/ordertransfer.h"
#include "pages/companytab.h"
#include "pages/pagebinding.h"
#include "data/companyfields.h"
#include "data/settings.h"
#include "setup/shippedfiles.h"
#include "setup/standarddocuments.h"
#include "ui_ParametersPage.h"

namespace kestrova {

ParametersPage::ParametersPage(QWidget* parent) : FramePage(parent), m_ui(std::make_unique<Ui::ParametersPage>())
{
    m_ui->setupUi(this);
    setButtonIcons(this, {{m_ui->ParametersAboutSpeed, "help-about", QStyle::SP_MessageBoxInformation},
                          {m_ui->ImportSpeed, "document-open", QStyle::SP_DialogOpenButton},
                          {m_ui->ExportSpeed, "document-save", QStyle::SP_DialogSaveButton},
                          {m_ui->CalcSpeed3, "accessories-calculator", QStyle::SP_ComputerIcon},
                          {m_ui->ParametersExitSpeed, "application-exit", QStyle::SP_DialogCloseButton}});
    wireFrameButtons(m_ui->ParametersAboutSpeed, m_ui->CalcSpeed3, m_ui->ParametersExitSpeed);
    m_company = new CompanyTab(this);
    //: Tab title: the company's own details.
    m_ui->ParametersNoteBook->addTab(m_company, tr("Company"));
}

LinkSettings ParametersPage::linkSettings() const
{
    return LinkSettings{m_ui->TablesCommandLine->text(), m_ui->TablesDdeService->text(), m_ui->TablesDdeTopic->text(),
                        m_ui->TablesLastDdeMacro->text()};
}

ParametersPage::~ParametersPage() = default;

void ParametersPage::setUp(DataObjects* data, const FunctionLibrary* library)
{
    m_data = data;
    m_library = library;
    bindControls(m_ui->FactoryPanel, data->Dfactory, *data);
    bindControls(m_ui->EmailPanel, data->Demail, *data);
    m_ui->FactoryNavigator->bind(data->Dfactory);
    m_ui->EmailNavigator->bind(data->Demail);

    const QPair<DbGrid*, DataSource*> grids[] = {
        {m_ui->LanguageTableGrid, data->Dlanguage}, {m_ui->OriginTableGrid, data->Dorigin},
        {m_ui->TitleTableGrid, data->Dtitle},       {m_ui->MaymentMeansTableGrid, data->Dpayment},
        {m_ui->PriceTableGrid, data->Dprice},       {m_ui->CurrencyTableGrid, data->Dcurrency},
        {m_ui->ProductTableGrid, data->Dproduct},
    };
    for (const auto& [grid, src] : grids) {
        grid->bind(src, grid->property("dataFields").toString().split(QLatin1Char(',')),
                   grid->property("dataHeadings").toString().split(QLatin1Char(',')));
    }

    m_settings = new SettingsEditors({m_ui->TablesCommandLine, m_ui->TablesDdeService, m_ui->TablesDdeTopic,
                                      m_ui->TablesLastDdeMacro, m_ui->Profile, m_ui->Password, m_ui->MessageStore,
                                      m_ui->SaveFolder},
                                     data->Ttable, this);

    connect(m_ui->ExportSpeed, &QToolButton::clicked, this, guard([this] { ExportSpeedClick(); }));
    connect(m_ui->ImportSpeed, &QToolButton::clicked, this, guard([this] { ImportSpeedClick(); }));
    connect(m_ui->StandardDocumentsButton, &QPushButton::clicked, this,
            guard([this] { StandardDocumentsButtonClick(); }));
}

void ParametersPage::loadSettings(bool readOnly)
{
    m_settings->load(readOnly);
    m_company->load(m_data->Ttable, readOnly);
    m_ui->StandardDocumentsButton->setEnabled(!readOnly);
}

void ParametersPage::StandardDocumentsButtonClick()
{
    // A row being edited on the tab is stored first.
    m_data->Tfactory->checkBrowseMode();
    const QString country = Settings(m_data->Ttable).read(company::Country).value_or(QString());
    const int added =
        addStandardDocuments(m_data->Tfactory, m_data->Tproduct, m_data->Tlanguage,
                             ShippedFiles::ofThisProgram().templates, standardInvoicesAreEInvoices(country));
    m_data->Dfactory->dataSet()->first();
    prompter().message(added == 1 ? tr("1 document settings row was added.")
                                  : tr("%1 document settings rows were added.").arg(added),
                       QMessageBox::Information);
}

namespace {

// The filter of the export's and import's file dialogs.
QString textFiles()
{
    return ParametersPage::tr("Text file(*.txt)");
}

} // namespace

void ParametersPage::ExportSpeedClick()
{
    const QString path = prompter().openFileName(tr("Export"), textFiles());
    if (path.isEmpty())
        return;
    OrderFile::exportOrders(*m_data->TsaleIn, path, m_progress);
}

void ParametersPage::ImportSpeedClick()
{
    const QString path = prompter().openFileName(tr("Import"), textFiles());
    if (path.isEmpty())
        return;
    DataSource* Dsale = m_data->Dsale;
    Table* Tsale = m_data->Tsale;
    // An order being edited on the page is stored first. While the orders
    // stream in, the page's controls are not refreshed for each of them.
    const bool pageShowsTable = Dsale->dataSet() == Tsale;
    if (Tsale->isOpen())
        Tsale->checkBrowseMode();
    if (pageShowsTable)
        Dsale->setDataSet(nullptr);
    try {
        OrderFile::importOrders(*Tsale, m_data->Ttable, path, m_library->pull(), m_progress);
    } catch (...) {
        if (pageShowsTable)
            Dsale->setDataSet(Tsale);
        throw;
    }
    if (pageShowsTable)
        Dsale->setDataSet(Tsale);
}

} // namespace kestrova
