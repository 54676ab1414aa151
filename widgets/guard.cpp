#include "widgets/guard.h"

#include "data/error.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>

namespace kestrova {

namespace {

class DialogPrompter : public Prompter {
public:
    void message(const QString& text, QMessageBox::Icon icon) override
    {
        QMessageBox box(icon, QStringLiteral("Kestrova"), text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
    bool ask(const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Kestrova"), text, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        return box.exec() == QMessageBox::Yes;
    }
    bool fillIn(QDialog& dialog) override { return dialog.exec() == QDialog::Accepted; }
    // The name need not exist yet (an export creates it); the last name
    // chosen is offered again.
    QString openFileName(const QString& caption, const QString& filter) override
    {
        QFileDialog dialog(QApplication::activeWindow(), caption, m_lastName, filter);
        dialog.setObjectName(QStringLiteral("OpenDialog"));
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!m_lastName.isEmpty())
            dialog.selectFile(m_lastName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        m_lastName = dialog.selectedFiles().first();
        return m_lastName;
    }

private:
    QString m_lastName;
};

DialogPrompter g_dialogs;
Prompter* g_prompter = nullptr;

QString withStop(QString text)
{
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

} // namespace

Prompter& prompter()
{
    return g_prompter ? *g_prompter : g_dialogs;
}

void setPrompter(Prompter* p)
{
    g_prompter = p;
}

bool guarded(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const Error& e) {
        prompter().error(withStop(e.message()));
    } catch (const std::exception& e) {
        prompter().error(withStop(QString::fromLocal8Bit(e.what())));
    }
    return false;
}

} // namespace kestrova
