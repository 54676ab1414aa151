#pragma once

#include "mailorders/mailorderrun.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;

namespace Ui {
class CheckEmailForm;
}

namespace kestrova {

class DataObjects;

// The processing window: one recognised notification at a time, split into
// order fields for the user to correct. "Process and next" stores it as an
// order, answers the sender and shows the next one; "Stop" leaves the
// current message where it is. Created anew for every run.
class TCheckEmailForm : public QDialog {
    Q_OBJECT
public:
    // Stores the window's texts as a new order; throws when nothing was
    // stored, returns a message when the order was stored but something
    // after it failed (empty when all worked).
    using AppendOrder = std::function<QString(const ShownOrder&)>;

    TCheckEmailForm(MailOrderRun& run, DataObjects& data, AppendOrder appendOrder, QWidget* parent = nullptr);
    ~TCheckEmailForm() override;

    Ui::CheckEmailForm* ui() const { return m_ui.get(); }
    // The texts of the window's controls by order field name.
    ShownOrder shownOrder() const;
    // The text the duplicate notice shows; empty when it is hidden.
    QString duplicateNotice() const;

    void FormCreate();
    void ShowNotification();
    void NextMessageClick();
    void StopClick();

private:
    void fillList(QComboBox* list, Table* table, const QString& column);
    void setText(const QString& field, const QString& text);
    void showDuplicate();

    std::unique_ptr<Ui::CheckEmailForm> m_ui;
    MailOrderRun& m_run;
    DataObjects& m_data;
    AppendOrder m_appendOrder;
};

} // namespace kestrova
