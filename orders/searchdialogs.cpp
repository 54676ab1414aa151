#include "searchdialogs.h"

#include "guard.h"
#include "ordersearches.h"
#include "ui_PersonDlg.h"
#include "ui_SQLDlg.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrova {

TPersonDlg* PersonDlg = nullptr;
TSQLDlg* SQLDlg = nullptr;

namespace {

// A fixed dialog border, centred on the screen.
void fixAndCentre(QDialog* d)
{
    d->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
    d->setModal(false);
    d->setFixedSize(d->sizeHint().expandedTo(d->size()));
}

void centre(QDialog* d)
{
    if (QScreen* s = d->screen() ? d->screen() : QGuiApplication::primaryScreen())
        d->move(s->availableGeometry().center() - d->rect().center());
}

} // namespace

TPersonDlg::TPersonDlg(OrderSearches* searches, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PersonDlg>()), m_searches(searches)
{
    m_ui->setupUi(this);
    fixAndCentre(this);
    connect(m_ui->OKBtn, &QPushButton::clicked, this, guard([this] { OKBtnClick(); }));
    connect(m_ui->CancelBtn, &QPushButton::clicked, this, guard([this] { CancelBtnClick(); }));
}

TPersonDlg::~TPersonDlg()
{
    if (PersonDlg == this)
        PersonDlg = nullptr;
}

bool TPersonDlg::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        guarded([this] { FormActivate(); });
    return QDialog::event(e);
}

void TPersonDlg::showEvent(QShowEvent* e)
{
    centre(this);
    QDialog::showEvent(e);
}

void TPersonDlg::FormActivate()
{
    m_ui->Person->setFocus();
}

void TPersonDlg::OKBtnClick()
{
    m_searches->findPerson(m_ui->Person->text());
    hide();
}

void TPersonDlg::CancelBtnClick()
{
    hide();
}

TSQLDlg::TSQLDlg(OrderSearches* searches, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::SQLDlg>()), m_searches(searches)
{
    m_ui->setupUi(this);
    fixAndCentre(this);
    connect(m_ui->OKBtn, &QPushButton::clicked, this, guard([this] { OKBtnClick(); }));
    connect(m_ui->CancelBtn, &QPushButton::clicked, this, guard([this] { CancelBtnClick(); }));
}

TSQLDlg::~TSQLDlg()
{
    if (SQLDlg == this)
        SQLDlg = nullptr;
}

bool TSQLDlg::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        guarded([this] { FormActivate(); });
    return QDialog::event(e);
}

void TSQLDlg::showEvent(QShowEvent* e)
{
    centre(this);
    QDialog::showEvent(e);
}

void TSQLDlg::FormActivate()
{
    m_ui->SQL->setFocus();
}

void TSQLDlg::OKBtnClick()
{
    // On failure the dialog stays, with the text, for correction.
    m_searches->findBySql(m_ui->SQL->toPlainText());
    hide();
}

void TSQLDlg::CancelBtnClick()
{
    hide();
}

} // namespace kestrova
