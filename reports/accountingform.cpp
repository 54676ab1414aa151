#include "reports/accountingform.h"

#include "widgets/dbwidgets.h"
#include "widgets/guard.h"
#include "ui_AccountingForm.h"
#include "ui_DateDlg.h"

#include <QGuiApplication>
#include <algorithm>
#include <QHeaderView>
#include <QScreen>

namespace kestrova {

namespace {

struct Column {
    const char* field;
    const char* caption;
    int width;
    bool right;
};

} // namespace

TAccountingForm::TAccountingForm(const QString& workDir, const LocaleFormat& fmt, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::AccountingForm>()), m_board(workDir, fmt, this)
{
    m_ui->setupUi(this);
    resize(640, 452);
    move(0, 0);
    static const char* const sourceNames[AccountingBoard::Count] = {"DSalesWithTaxes", "DSalesWithoutTaxes",
                                                                    "DIndirectSales", "DTotalSales", "DGrandTotal"};
    const std::vector<Column> columns[AccountingBoard::Count] = {
        {{"Currency", QT_TR_NOOP("Currency"), 46, false},
         {"SUM OF NetAmount", QT_TR_NOOP("Net amount"), 62, true},
         {"SUM OF Tax", QT_TR_NOOP("Taxes"), 42, true},
         {"SUM OF NumberOfLicenses", QT_TR_NOOP("Licenses"), 50, true}},
        {{"Currency", QT_TR_NOOP("Currency"), 46, false},
         {"SUM OF NetAmount", QT_TR_NOOP("Net amount"), 62, false},
         {"SUM OF NumberOfLicenses", QT_TR_NOOP("Licenses"), 50, false}},
        {{"Origin", QT_TR_NOOP("Origin"), 86, false}, {"SUM OF NumberOfLicenses", QT_TR_NOOP("Licenses"), 50, false}},
        {{"Product", QT_TR_NOOP("Product"), 207, false},
         {"SUM OF NumberOfLicenses", QT_TR_NOOP("Licenses"), 50, false}},
        {{"Product", QT_TR_NOOP("Product"), 207, false},
         {"SUM OF NumberOfLicenses", QT_TR_NOOP("Licenses"), 50, false}},
    };
    DbGrid* grids[AccountingBoard::Count] = {m_ui->SalesWithTaxesGrid, m_ui->SalesWithoutTaxesGrid,
                                             m_ui->IndirectSalesGrid, m_ui->TotalSalesGrid, m_ui->GrandTotalGrid};
    for (int s = 0; s < AccountingBoard::Count; ++s) {
        auto* source = new DataSource(this);
        source->setObjectName(QString::fromLatin1(sourceNames[s]));
        source->setDataSet(m_board.query(AccountingBoard::Sum(s)));
        m_sources[s] = source;
        QStringList fields, captions;
        for (const Column& c : columns[s]) {
            fields << QString::fromLatin1(c.field);
            captions << tr(c.caption);
        }
        DbGrid* grid = grids[s];
        grid->setAutoFitColumns(false);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->verticalHeader()->hide(); // read-only sums: every pixel for the columns
        grid->bind(source, fields, captions);
        for (int c = 0; c < int(columns[s].size()); ++c) {
            // The board's set widths, widened where the heading would be cut
            // off in the user's font.
            grid->setColumnWidth(c, std::max(columns[s][c].width, grid->horizontalHeader()->sectionSizeHint(c)));
            if (columns[s][c].right)
                grid->dataModel()->setAlignment(c, Qt::AlignRight);
        }
    }
    connect(m_ui->OKButton, &QPushButton::clicked, this, guard([this] { OKButtonClick(); }));
}

TAccountingForm::~TAccountingForm() {}

void TAccountingForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous())
        guarded([this] { FormShow(); });
}

void TAccountingForm::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (!e->spontaneous())
        guarded([this] { FormHide(); });
}

void TAccountingForm::FormShow()
{
    m_board.open();
}

void TAccountingForm::FormHide()
{
    m_board.close();
}

void TAccountingForm::OKButtonClick()
{
    hide();
}

TDateDlg::TDateDlg(TAccountingForm* board, const LocaleFormat& fmt, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::DateDlg>()), m_board(board), m_fmt(fmt)
{
    m_ui->setupUi(this);
    setModal(false);
    connect(m_ui->OKButton, &QPushButton::clicked, this, guard([this] { OKButtonClick(); }));
    connect(m_ui->CancelButton, &QPushButton::clicked, this, guard([this] { CancelButtonClick(); }));
}

TDateDlg::~TDateDlg() {}

void TDateDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
        guarded([this] { FormShow(); });
    }
}

void TDateDlg::FormShow()
{
    const QString today = formatDate(QDate::currentDate(), m_fmt);
    m_ui->InitialDate->setText(today);
    m_ui->FinalDate->setText(today);
    m_ui->InitialDate->setFocus();
}

void TDateDlg::OKButtonClick()
{
    const QString first = m_ui->InitialDate->text();
    const QString last = m_ui->FinalDate->text();
    m_board->ui()->TitleLabel->setText(
        //: The title of the accounting board; %1 and %2 are the first and last date.
        tr("Sales accounting between %1 and %2 (included).").arg(first, last));
    m_board->board().setPeriod(first, last, QDate::currentDate());
    hide();
    if (m_board->isVisible())
        m_board->FormShow(); // the grids always match the title
    else
        m_board->show();
    m_board->raise();
    m_board->activateWindow();
}

void TDateDlg::CancelButtonClick()
{
    hide();
}

} // namespace kestrova
