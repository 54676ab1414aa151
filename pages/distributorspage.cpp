#include "pages/distributorspage.h"

#include "data/dataobjects.h"
#include "widgets/dbwidgets.h"
#include "widgets/guard.h"
#include "pages/pagebinding.h"
#include "ui_DistributorsPage.h"

namespace kestrova {

DistributorsPage::DistributorsPage(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::DistributorsPage>())
{
    m_ui->setupUi(this);
    setButtonIcons(this);
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
