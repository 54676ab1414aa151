#include "orders/searchdialogs.h"

#include "widgets/guard.h"
#include "orders/ordersearches.h"
#include "ui_PersonDlg.h"
#include "ui_SQLDlg.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressDialog>
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

TPersonDlg::~TPersonDlg() {}

void TPersonDlg::OKBtnClick()
{
    m_searches->findPerson(m_ui->Person->text());
    hide();
}

TSQLDlg::TSQLDlg(OrderSearches* searches, QWidget* parent)
    : SearchDialog(searches, parent), m_ui(std::make_unique<Ui::SQLDlg>()),
      m_progress(std::make_unique<SearchProgress>(parent))
{
    m_ui->setupUi(this);
    connectForm(m_ui->OKBtn, m_ui->CancelBtn, m_ui->SQL);
    m_searches->setProgress(m_progress.get());
}

TSQLDlg::~TSQLDlg()
{
    if (m_searches->progress() == m_progress.get())
        m_searches->setProgress(nullptr);
}

void TSQLDlg::OKBtnClick()
{
    // On failure the dialog stays, with the text, for correction.
    m_searches->findBySql(m_ui->SQL->toPlainText());
    hide();
}

SearchProgress::SearchProgress(QWidget* parent) : m_parent(parent) {}

SearchProgress::~SearchProgress()
{
    delete m_dialog;
}

void SearchProgress::started()
{
    delete m_dialog;
    //: The button that stops a running search.
    m_dialog = new QProgressDialog(tr("Running the query..."), tr("Cancel"), 0, 0, m_parent);
    m_dialog->setObjectName(QStringLiteral("SearchProgress"));
    m_dialog->setWindowTitle(QStringLiteral("Kestrova"));
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_clock.start();
    m_lastEvents = 0;
}

bool SearchProgress::proceed()
{
    if (!m_dialog)
        return true;
    // Events are handled about twenty-five times a second, and only once the
    // window shows: before, the user's input would reach the other windows.
    const qint64 now = m_clock.elapsed();
    if (now - m_lastEvents < 40)
        return !m_dialog->wasCanceled();
    m_lastEvents = now;
    if (!m_dialog->isVisible()) {
        if (now < m_dialog->minimumDuration())
            return true;
        m_dialog->show();
    }
    QCoreApplication::processEvents();
    return m_dialog && !m_dialog->wasCanceled();
}

void SearchProgress::finished()
{
    delete m_dialog;
}

} // namespace kestrova
