#include "pages/distributorspage.h"

#include "data/dataobjects.h"
#include "widgets/dbwidgets.h"
#include "widgets/guard.h"
#include "pages/pagebinding.h"
#include "ui_DistributorsPage.h"

namespace kestrova {

DistributorsPage::DistributorsPage(QWidget* parent) : FramePage(parent), m_ui(std::make_unique<Ui::DistributorsPage>())
{
    m_ui->setupUi(this);
    setButtonIcons(this, {{m_ui->DistributorAboutSpeed, "help-about", QStyle::SP_MessageBoxInformation},
                          {m_ui->DistributorAppendSpeed, "contact-new", QStyle::SP_FileIcon},
                          {m_ui->DistributorEnveloppePrintSpeed, "mail-send", QStyle::SP_ArrowRight},
                          {m_ui->DistributorMailPrintSpeed, "mail-message-new", QStyle::SP_FileDialogContentsView},
                          {m_ui->DistributorMailingPrintSpeed, "mail-forward", QStyle::SP_ArrowForward},
                          {m_ui->DistributorExitSpeed, "application-exit", QStyle::SP_DialogCloseButton}});
    wireFrameButtons(m_ui->DistributorAboutSpeed, nullptr, m_ui->DistributorExitSpeed);
    connect(m_ui->DistributorEnveloppePrintSpeed, &QToolButton::clicked, this, &DistributorsPage::envelopeRequested);
    connect(m_ui->DistributorMailPrintSpeed, &QToolButton::clicked, this, &DistributorsPage::letterRequested);
    connect(m_ui->DistributorMailingPrintSpeed, &QToolButton::clicked, this, &DistributorsPage::mailingRequested);
    connect(m_ui->DistributorAppendSpeed, &QToolButton::clicked, this,
            guard([this] { DistributorAppendSpeedClick(); }));
}

DistributorsPage::~DistributorsPage() = default;

void DistributorsPage::setUp(DataObjects* data)
{
    m_data = data;
    bindControls(m_ui->DistributorPanel, data->Ddistributor, *data);
    m_ui->DistributorNavigator->bind(data->Ddistributor);
}

DistributorView DistributorsPage::shownDistributor() const
{
    DistributorView shown;
    const QWidget* panel = m_ui->DistributorPanel;
    for (const DbEdit* e : panel->findChildren<DbEdit*>())
        shown.boxes.insert(e->dataField(), e->text());
    for (const DbMemo* m : panel->findChildren<DbMemo*>())
        shown.boxes.insert(m->dataField(), m->toPlainText());
    for (const DbLookupCombo* c : panel->findChildren<DbLookupCombo*>())
        shown.boxes.insert(c->dataField(), c->value());
    return shown;
}

void DistributorsPage::DistributorAppendSpeedClick()
{
    m_data->Tdistributor->append();
    m_ui->DistributorCompany->setFocus(Qt::OtherFocusReason);
}

} // namespace kestrova
