#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <map>
#include <memory>

class QDBusServiceWatcher;

namespace kestrova::writer {

class Conversation;
class Notifier;
class Viewer;

// The link's server side: the object /org/kestrova/Dde with the interface
// org.kestrova.Dde on the session bus. Every Connect opens a conversation on
// any topic; Execute carries out a macro text and answers once it is done,
// with an error reply carrying the message when it failed (the message is
// also shown to the user); Disconnect ends a conversation.
//
// Any program of the session may call, so a conversation belongs to the bus
// connection that opened it: Execute and Disconnect on another's are answered
// as on one that does not exist, and a client's conversations end when it
// leaves the bus. [Quit] ends the writer once no other client's conversation
// is open. While a macro runs (its documents are made on a thread of their
// own) the writer keeps answering: Connect and Disconnect as always, Execute
// with the error Busy. The writer ends when it loses the bus.
class WriterService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrova.Dde")

public:
    static constexpr const char* kObjectPath = "/org/kestrova/Dde";

    WriterService(const QString& workDir, Notifier& notifier, Viewer& viewer, QObject* parent = nullptr);
    ~WriterService() override;

    // Exports the object and takes the service name; the reason when it cannot.
    QString registerOn(const QDBusConnection& bus, const QString& service);
    // The installed templates, looked in after the working folder's.
    void setSharedTemplates(const QString& folder) { m_sharedTemplates = folder; }
    // Why the writer ended, when it ended for losing the bus; else empty.
    const QString& lostBus() const { return m_lostBus; }

public Q_SLOTS:
    Q_SCRIPTABLE uint Connect(const QString& topic);
    Q_SCRIPTABLE void Execute(uint conversation, const QString& command);
    Q_SCRIPTABLE void Disconnect(uint conversation);

Q_SIGNALS:
    // The server ended the conversation.
    Q_SCRIPTABLE void Disconnected(uint conversation);
    // A [Quit] has been answered and the service name given up, or the bus
    // was lost: time to end.
    void finished();

private:
    struct Open {
        std::unique_ptr<Conversation> conversation;
        QString owner; // the caller's unique bus name
        bool closing = false;
    };
    // Answers the request with an error and tells the person the same.
    void fail(const QString& errorName, const QString& message);
    QString caller() const;
    void carryOut(uint conversation, const QString& command, const QDBusMessage& call);
    // The caller's conversation, or end() for one that is not open or not its own.
    std::map<uint, Open>::iterator own(uint conversation);
    void close(std::map<uint, Open>::iterator it);
    void ownerLeft(const QString& owner);
    bool othersOpen(const QString& owner) const;
    void quitWhenFree();
    void checkBus();
    void quit();

    QString m_workDir;
    QString m_sharedTemplates;
    Notifier& m_notifier;
    Viewer& m_viewer;
    QDBusConnection m_bus;
    QString m_service;
    uint m_nextId = 1;
    std::map<uint, Open> m_conversations;
    QDBusServiceWatcher* m_owners = nullptr;
    QTimer m_busCheck;
    QString m_lostBus;
    bool m_running = false; // a macro is being carried out
    uint m_runningId = 0;
    bool m_quitAsked = false; // [Quit] waits for other clients' conversations
    QString m_quitAsker;
    bool m_quitting = false;
};

} // namespace kestrova::writer
