#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <utility>

class QDialog;
class QWidget;

namespace kestrova {

// Everything the program asks of a person: message boxes, yes/no questions
// and the open-file dialog. The program uses the real dialogs; tests install
// a recorder that answers as scripted.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box titled "Kestrova" with the given icon and an OK button.
    virtual void message(const QString& text, QMessageBox::Icon icon) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool ask(const QString& text) = 0;
    // An open-file dialog; empty when cancelled.
    virtual QString openFileName(const QString& caption, const QString& filter) = 0;
    // A dialog the person fills in, such as the first start assistant; true
    // when it was finished, false when cancelled.
    virtual bool fillIn(QDialog& dialog) = 0;

    void error(const QString& text) { message(text, QMessageBox::Critical); }
};

Prompter& prompter();
// Replaces the prompter (tests); nullptr restores the real dialogs.
void setPrompter(Prompter* p);

// Runs a handler; a failure is shown in the error box as its message
// followed by a full stop, and control goes back to the event loop.
// Returns false when the handler failed.
bool guarded(const std::function<void()>& handler);

// Wraps a handler for connect(): the returned callable runs it guarded.
template <typename F> auto guard(F handler)
{
    return [handler = std::move(handler)](auto&&...) { guarded(handler); };
}

} // namespace kestrova
