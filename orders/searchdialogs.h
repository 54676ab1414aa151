#pragma once

#include "data/queryprogress.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

class QPushButton;

namespace Ui {
class PersonDlg;
class SQLDlg;
} // namespace Ui

namespace kestrova {

class OrderSearches;

// The window of a search that takes long: shown after half a second, it says
// the query runs and offers "Cancel", which stops the query. While it is
// shown the windows are repainted and only it takes the user's input.
class SearchProgress : public QueryProgress {
public:
    explicit SearchProgress(QWidget* parent);
    ~SearchProgress() override;
    void started() override;
    bool proceed() override;
    void finished() override;
    QProgressDialog* dialog() const { return m_dialog; }

private:
    Q_DECLARE_TR_FUNCTIONS(SearchProgress)

    QPointer<QWidget> m_parent;
    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_clock;
    qint64 m_lastEvents = 0;
};

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

// "SQL search": its box keeps the last text typed. It brings the progress
// window that lets the user stop a long search, of any of the three kinds.
class TSQLDlg : public SearchDialog {
    Q_OBJECT
public:
    explicit TSQLDlg(OrderSearches* searches, QWidget* parent = nullptr);
    ~TSQLDlg() override;
    Ui::SQLDlg* ui() const { return m_ui.get(); }
    void OKBtnClick() override;

private:
    std::unique_ptr<Ui::SQLDlg> m_ui;
    std::unique_ptr<SearchProgress> m_progress;
};

} // namespace kestrova
