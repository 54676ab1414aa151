#include "distributorspage.h"

#include "dataobjects.h"
#include "pagebinding.h"
#include "ui_DistributorsPage.h"

namespace kestrova {

DistributorsPage::DistributorsPage(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::DistributorsPage>())
{
    m_ui->setupUi(this);
    setButtonIcons(this);
    // Actions that the program does not offer yet stay visible but disabled.
    static const char* const notYet[] = {"DistributorAppendSpeed", "DistributorEnveloppePrintSpeed",
                                         "DistributorMailPrintSpeed", "DistributorMailingPrintSpeed"};
    disableButtons(this, notYet, int(std::size(notYet)));
}

DistributorsPage::~DistributorsPage() = default;

void DistributorsPage::setUp(DataObjects* data)
{
    m_data = data;
    bindControls(m_ui->DistributorPanel, data->Ddistributor, *data);
    m_ui->DistributorNavigator->bind(data->Ddistributor);
}

} // namespace kestrova
