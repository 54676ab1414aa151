#include "reports/progressform.h"

#include "ui_ProgressForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <climits>

namespace kestrova {

TProgressForm::TProgressForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint), m_ui(std::make_unique<Ui::ProgressForm>())
{
    m_ui->setupUi(this);
    setFixedSize(249, 116);
}

TProgressForm::~TProgressForm() {}

void TProgressForm::begin(const QString& caption, const QString& label, qint64 maximum)
{
    setWindowTitle(caption);
    m_ui->ProgressLabel->setText(label);
    m_maximum = maximum;
    m_divisor = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
    m_ui->Progress->setMaximum(int(maximum / m_divisor));
    m_ui->Progress->setValue(0);
    m_shownPermille = 0;
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    show();
    raise();
    repaint();
}

void TProgressForm::advance(qint64 position)
{
    // Painting every order of a large table would cost more than the work:
    // the bar moves by thousandths.
    const int permille = m_maximum > 0 ? int(position * 1000 / m_maximum) : 0;
    if (permille == m_shownPermille)
        return;
    m_shownPermille = permille;
    m_ui->Progress->setValue(int(position / m_divisor));
    m_ui->Progress->repaint();
}

void TProgressForm::end()
{
    hide();
}

} // namespace kestrova
