#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

namespace kestrova::writer {

class Conversation;
class Notifier;
class Viewer;

// The link's server side: the object /org/kestrova/Dde with the interface
// org.kestrova.Dde on the session bus. Every Connect opens a conversation on
// any topic; Execute carries out a macro text and answers once it is done,
// with an error reply carrying the message when it failed (the message is
// also shown to the user); Disconnect ends a conversation.
class WriterService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrova.Dde")

public:
    static constexpr const char* kObjectPath = "/org/kestrova/Dde";

    WriterService(const QString& workDir, Notifier& notifier, Viewer& viewer, QObject* parent = nullptr);
    ~WriterService() override;

    // Exports the object and takes the service name; the reason when it cannot.
    QString registerOn(const QDBusConnection& bus, const QString& service);

public Q_SLOTS:
    Q_SCRIPTABLE uint Connect(const QString& topic);
    Q_SCRIPTABLE void Execute(uint conversation, const QString& command);
    Q_SCRIPTABLE void Disconnect(uint conversation);

Q_SIGNALS:
    // The server ended the conversation.
    Q_SCRIPTABLE void Disconnected(uint conversation);
    // A [Quit] has been answered and the service name given up: time to end.
    void finished();

private:
    // Answers the request with an error and tells the person the same.
    void fail(const QString& errorName, const QString& message);
    void quit();

    QString m_workDir;
    Notifier& m_notifier;
    Viewer& m_viewer;
    QDBusConnection m_bus;
    QString m_service;
    uint m_nextId = 1;
    std::map<uint, std::unique_ptr<Conversation>> m_conversations;
    bool m_quitting = false;
};

} // namespace kestrova::writer
