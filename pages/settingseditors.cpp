#include "pages/settingseditors.h"

#include "widgets/guard.h"
#include "data/settings.h"

#include <QLineEdit>

namespace kestrova {

SettingsEditors::SettingsEditors(const Boxes& boxes, Table* settingsTable, QObject* parent)
    : QObject(parent), m_boxes(boxes), m_table(settingsTable)
{
}

void SettingsEditors::load(bool readOnly)
{
    const struct {
        QLineEdit* box;
        void (SettingsEditors::*handler)();
        const char* row;
    } editors[] = {
        {m_boxes.commandLine, &SettingsEditors::TablesCommandLineChange, "CommandLine"},
        {m_boxes.ddeService, &SettingsEditors::TablesDdeServiceChange, "DdeService"},
        {m_boxes.ddeTopic, &SettingsEditors::TablesDdeTopicChange, "DdeTopic"},
        {m_boxes.lastDdeMacro, &SettingsEditors::TablesLastDdeMacroChange, "LastDdeMacro"},
        {m_boxes.profile, &SettingsEditors::ProfileChange, "Profile"},
        {m_boxes.password, &SettingsEditors::PasswordChange, "Password"},
        {m_boxes.messageStore, &SettingsEditors::MessageStoreChange, "MessageStore"},
        {m_boxes.saveFolder, &SettingsEditors::SaveFolderChange, "SaveFolder"},
    };
    // Loading shows what is stored, so it writes nothing back: the handlers
    // are connected once the boxes are filled.
    const Settings settings(m_table);
    for (const auto& e : editors) {
        if (const auto value = settings.read(QString::fromLatin1(e.row)))
            e.box->setText(*value);
        e.box->setReadOnly(readOnly);
    }
    for (const auto& e : editors) {
        const auto handler = e.handler;
        connect(e.box, &QLineEdit::textChanged, this, guard([this, handler] { (this->*handler)(); }));
    }
}

void SettingsEditors::save(QLineEdit* box, const QString& name)
{
    Settings(m_table).write(name, box->text());
}

void SettingsEditors::TablesCommandLineChange()
{
    save(m_boxes.commandLine, QStringLiteral("CommandLine"));
}
void SettingsEditors::TablesDdeServiceChange()
{
    save(m_boxes.ddeService, QStringLiteral("DdeService"));
}
void SettingsEditors::TablesDdeTopicChange()
{
    save(m_boxes.ddeTopic, QStringLiteral("DdeTopic"));
}
void SettingsEditors::TablesLastDdeMacroChange()
{
    save(m_boxes.lastDdeMacro, QStringLiteral("LastDdeMacro"));
}
void SettingsEditors::ProfileChange()
{
    save(m_boxes.profile, QStringLiteral("Profile"));
}
void SettingsEditors::PasswordChange()
{
    save(m_boxes.password, QStringLiteral("Password"));
}
void SettingsEditors::MessageStoreChange()
{
    save(m_boxes.messageStore, QStringLiteral("MessageStore"));
}
void SettingsEditors::SaveFolderChange()
{
    save(m_boxes.saveFolder, QStringLiteral("SaveFolder"));
}

} // namespace kestrova
