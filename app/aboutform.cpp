#include "app/aboutform.h"

#include "ui_AboutForm.h"

namespace kestrova {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::AboutForm>())
{
    m_ui->setupUi(this);
    setWindowTitle(tr("About Kestrova"));
    setModal(true);
    m_ui->VersionLabel->setText(tr("Version %1").arg(QStringLiteral(KESTROVA_VERSION)));
    connect(m_ui->Button1, &QPushButton::clicked, this, &TAboutForm::Button1Click);
}

TAboutForm::~TAboutForm() {}

void TAboutForm::Button1Click()
{
    accept();
}

} // namespace kestrova
