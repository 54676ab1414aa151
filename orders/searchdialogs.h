#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class PersonDlg;
class SQLDlg;
} // namespace Ui

namespace kestrova {

class OrderSearches;

// "Find a person": not modal; its box keeps the name between uses.
class TPersonDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPersonDlg(OrderSearches* searches, QWidget* parent = nullptr);
    ~TPersonDlg() override;
    Ui::PersonDlg* ui() const { return m_ui.get(); }

    void FormActivate();
    void OKBtnClick();
    void CancelBtnClick();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    std::unique_ptr<Ui::PersonDlg> m_ui;
    OrderSearches* m_searches;
};

// "SQL search": not modal; its box keeps the last text typed.
class TSQLDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSQLDlg(OrderSearches* searches, QWidget* parent = nullptr);
    ~TSQLDlg() override;
    Ui::SQLDlg* ui() const { return m_ui.get(); }

    void FormActivate();
    void OKBtnClick();
    void CancelBtnClick();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    std::unique_ptr<Ui::SQLDlg> m_ui;
    OrderSearches* m_searches;
};

extern TPersonDlg* PersonDlg;
extern TSQLDlg* SQLDlg;

} // namespace kestrova
