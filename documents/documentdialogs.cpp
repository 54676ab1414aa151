#include "documents/documentdialogs.h"

#include "data/dataobjects.h"
#include "widgets/dbwidgets.h"
#include "widgets/guard.h"
#include "ui_LabelsDlg.h"
#include "ui_MailDlg.h"
#include "ui_MailingDlg.h"

namespace kestrova {

namespace {

QString currentText(Table* table, const char* field)
{
    if (!table || !table->isOpen() || table->isEmpty())
        return {};
    return table->fieldText(QString::fromLatin1(field));
}

// A fixed border, as for every small dialog of the program.
void fixBorder(QDialog* dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(dialog->sizeHint().expandedTo(dialog->size()));
}

} // namespace

ProductLanguageDialog::ProductLanguageDialog(DataObjects* data, DistributorDocuments* documents, QWidget* parent)
    : QDialog(parent), m_data(data), m_documents(documents)
{
}

void ProductLanguageDialog::connectForm(DbGrid* products, DbGrid* languages, QPushButton* ok, QPushButton* cancel)
{
    setModal(false);
    //: Column title of the list of products.
    const QString productTitle = tr("Product");
    //: Column title of the list of languages.
    const QString languageTitle = tr("Language");
    products->bind(m_data->Dproduct, {QStringLiteral("Product")}, {productTitle});
    languages->bind(m_data->Dlanguage, {QStringLiteral("Language")}, {languageTitle});
    for (DbGrid* grid : {products, languages}) {
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    connect(ok, &QPushButton::clicked, this, guard([this] { OKButtonClick(); }));
    connect(cancel, &QPushButton::clicked, this, guard([this] { CancelButtonClick(); }));
}

void ProductLanguageDialog::CancelButtonClick()
{
    hide();
}

void ProductLanguageDialog::showInFront()
{
    show();
    raise();
    activateWindow();
}

QString ProductLanguageDialog::chosenProduct() const
{
    return currentText(m_data->Tproduct, "Product");
}

QString ProductLanguageDialog::chosenLanguage() const
{
    return currentText(m_data->Tlanguage, "Language");
}

TMailDlg::TMailDlg(DataObjects* data, DistributorDocuments* documents,
                   std::function<DistributorView()> shownDistributor, QWidget* parent)
    : ProductLanguageDialog(data, documents, parent), m_ui(std::make_unique<Ui::MailDlg>()),
      m_shown(std::move(shownDistributor))
{
    m_ui->setupUi(this);
    connectForm(m_ui->ProductGrid, m_ui->LanguageGrid, m_ui->OKButton, m_ui->CancelButton);
    fixBorder(this);
}

TMailDlg::~TMailDlg() = default;

void TMailDlg::OKButtonClick()
{
    // The language grid does not take part: the distributor's own language
    // chooses the settings row. A refused document leaves the dialog up.
    if (m_documents->mail(m_shown(), chosenProduct(), Tag))
        hide();
}

TMailingDlg::TMailingDlg(DataObjects* data, DistributorDocuments* documents, QWidget* parent)
    : ProductLanguageDialog(data, documents, parent), m_ui(std::make_unique<Ui::MailingDlg>())
{
    m_ui->setupUi(this);
    connectForm(m_ui->ProductGrid, m_ui->LanguageGrid, m_ui->OKButton, m_ui->CancelButton);
    fixBorder(this);
}

TMailingDlg::~TMailingDlg() = default;

void TMailingDlg::OKButtonClick()
{
    // Product and language are taken once, before the distributors are read.
    const QString product = chosenProduct();
    const QString language = chosenLanguage();
    if (m_documents->mailing(product, language))
        hide();
}

TLabelsDlg::TLabelsDlg(DataObjects* data, DistributorDocuments* documents, QWidget* parent)
    : ProductLanguageDialog(data, documents, parent), m_ui(std::make_unique<Ui::LabelsDlg>())
{
    m_ui->setupUi(this);
    connectForm(m_ui->ProductGrid, m_ui->LanguageGris, m_ui->OKButton, m_ui->CancelButton);
    setWindowFlags(Qt::Window);
}

TLabelsDlg::~TLabelsDlg() = default;

void TLabelsDlg::OKButtonClick()
{
    if (m_documents->labels(chosenProduct(), chosenLanguage()))
        hide();
}

} // namespace kestrova
