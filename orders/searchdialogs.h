#pragma once

#include <QDialog>
#include <memory>

class QPushButton;

namespace Ui {
class PersonDlg;
class SQLDlg;
} // namespace Ui

namespace kestrova {

class OrderSearches;

// A search dialog: not modal, a fixed border, centred on the screen, the
// input focus on its box whenever it becomes active; Cancel hides it.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    void FormActivate();
    virtual void OKBtnClick() = 0;
    void CancelBtnClick();

protected:
    SearchDialog(OrderSearches* searches, QWidget* parent);
    // Called by the subclass once its form is set up.
    void connectForm(QPushButton* ok, QPushButton* cancel, QWidget* focus);
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

    OrderSearches* m_searches;

private:
    QWidget* m_focus = nullptr;
};

// "Find a person": its box keeps the name between uses.
class TPersonDlg : public SearchDialog {
    Q_OBJECT
public:
    explicit TPersonDlg(OrderSearches* searches, QWidget* parent = nullptr);
    ~TPersonDlg() override;
    Ui::PersonDlg* ui() const { return m_ui.get(); }
    void OKBtnClick() override;

private:
    std::unique_ptr<Ui::PersonDlg> m_ui;
};

// "SQL search": its box keeps the last text typed.
class TSQLDlg : public SearchDialog {
    Q_OBJECT
public:
    explicit TSQLDlg(OrderSearches* searches, QWidget* parent = nullptr);
    ~TSQLDlg() override;
    Ui::SQLDlg* ui() const { return m_ui.get(); }
    void OKBtnClick() override;

private:
    std::unique_ptr<Ui::SQLDlg> m_ui;
};


} // namespace kestrova
