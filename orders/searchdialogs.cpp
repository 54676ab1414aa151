#include "searchdialogs.h"

#include "guard.h"
#include "ordersearches.h"
#include "ui_PersonDlg.h"
#include "ui_SQLDlg.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrova {


SearchDialog::SearchDialog(OrderSearches* searches, QWidget* parent) : QDialog(parent), m_searches(searches) {}

void SearchDialog::connectForm(QPushButton* ok, QPushButton* cancel, QWidget* focus)
{
    m_focus = focus;
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(sizeHint().expandedTo(size()));
    connect(ok, &QPushButton::clicked, this, guard([this] { OKBtnClick(); }));
    connect(cancel, &QPushButton::clicked, this, guard([this] { CancelBtnClick(); }));
}

bool SearchDialog::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        guarded([this] { FormActivate(); });
    return QDialog::event(e);
}

void SearchDialog::showEvent(QShowEvent* e)
{
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(e);
}

void SearchDialog::FormActivate()
{
    if (m_focus)
        m_focus->setFocus();
}

void SearchDialog::CancelBtnClick()
{
    hide();
}

TPersonDlg::TPersonDlg(OrderSearches* searches, QWidget* parent)
    : SearchDialog(searches, parent), m_ui(std::make_unique<Ui::PersonDlg>())
{
    m_ui->setupUi(this);
    connectForm(m_ui->OKBtn, m_ui->CancelBtn, m_ui->Person);
}

TPersonDlg::~TPersonDlg()
{
}

void TPersonDlg::OKBtnClick()
{
    m_searches->findPerson(m_ui->Person->text());
    hide();
}

TSQLDlg::TSQLDlg(OrderSearches* searches, QWidget* parent)
    : SearchDialog(searches, parent), m_ui(std::make_unique<Ui::SQLDlg>())
{
    m_ui->setupUi(this);
    connectForm(m_ui->OKBtn, m_ui->CancelBtn, m_ui->SQL);
}

TSQLDlg::~TSQLDlg()
{
}

void TSQLDlg::OKBtnClick()
{
    // On failure the dialog stays, with the text, for correction.
    m_searches->findBySql(m_ui->SQL->toPlainText());
    hide();
}

} // namespace kestrova
