#pragma once

#include "reports/accounting.h"

#include <QDialog>
#include <QWidget>
#include <memory>

namespace Ui {
class AccountingForm;
class DateDlg;
} // namespace Ui

namespace kestrova {

// The accounting board: five read-only grids over the sums of the period.
class TAccountingForm : public QWidget {
    Q_OBJECT
public:
    TAccountingForm(const QString& workDir, const LocaleFormat& fmt, QWidget* parent = nullptr);
    ~TAccountingForm() override;
    Ui::AccountingForm* ui() const { return m_ui.get(); }
    AccountingBoard& board() { return m_board; }
    DataSource* source(AccountingBoard::Sum s) const { return m_sources[s]; }

    void FormShow();
    void FormHide();
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    std::unique_ptr<Ui::AccountingForm> m_ui;
    AccountingBoard m_board;
    DataSource* m_sources[AccountingBoard::Count];
};

// The period dialog: the first and the last day, both included.
class TDateDlg : public QDialog {
    Q_OBJECT
public:
    TDateDlg(TAccountingForm* board, const LocaleFormat& fmt, QWidget* parent = nullptr);
    ~TDateDlg() override;
    Ui::DateDlg* ui() const { return m_ui.get(); }

    void FormShow();
    void OKButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::unique_ptr<Ui::DateDlg> m_ui;
    TAccountingForm* m_board;
    LocaleFormat m_fmt;
};

} // namespace kestrova
