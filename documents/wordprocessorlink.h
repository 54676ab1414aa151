#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

namespace kestrova {

// The conversation with the word processor runs on the session bus. The
// word processor serves the object /org/kestrova/Dde with the interface
// org.kestrova.Dde:
//   Connect(s topic) -> (u conversation)   opens a conversation; an error refuses it
//   Execute(u conversation, s command)     carries a macro out; the reply is its completion
//   Disconnect(u conversation)             ends the conversation
//   signal Disconnected(u conversation)    the word processor ended the conversation
inline constexpr char kDdeObjectPath[] = "/org/kestrova/Dde";
inline constexpr char kDdeInterface[] = "org.kestrova.Dde";

// The bus name a service setting is served under: a valid well-known bus
// name as it stands, anything else as org.kestrova.dde. followed by the text
// with every character outside [A-Za-z0-9_] made '_' (and '_' put before a
// leading digit). Empty for an empty service.
QString ddeBusName(const QString& service);
bool isWellKnownBusName(const QString& name);

// Starts a command line as a program of its own, split into program and
// arguments without any shell; moreArguments follow, each as one argument.
// False when the line names no program or the program cannot be started.
bool startCommandLine(const QString& commandLine, const QStringList& moreArguments, const QString& workingDirectory);

// The four settings of the link, as their boxes show them.
struct LinkSettings {
    QString commandLine;
    QString service;
    QString topic;
    QString finalMacro;
};

// The link to the word processor: it starts the program and opens the one
// conversation of the run, sends macros, and ends the conversation at close.
// The settings are read when they are needed; messages go to a callback, so
// the link needs no window.
class WordProcessorLink : public QObject {
    Q_OBJECT
public:
    using SettingsReader = std::function<LinkSettings()>;
    using MessageSink = std::function<void(const QString&)>;

    WordProcessorLink(SettingsReader settings, MessageSink showError, QObject* parent = nullptr);
    ~WordProcessorLink() override;

    // The folder the word processor is started in (the working folder).
    void setWorkingDirectory(const QString& dir) { m_workDir = dir; }
    const QString& workingDirectory() const { return m_workDir; }
    // How long a start waits for the service to appear on the bus.
    void setStartTimeout(int ms) { m_startTimeout = ms; }
    // How long Connect and Disconnect may take.
    void setCallTimeout(int ms) { m_callTimeout = ms; }
    // How long a waited macro may run before the conversation counts as lost.
    void setExecuteTimeout(int ms) { m_executeTimeout = ms; }

    // Makes sure the word processor runs and the conversation is open.
    // Failures are shown through the message callback; the caller goes on.
    void WordProcessor();

    // Sends a macro. Refused (false, nothing sent) without a conversation or
    // while a waited macro is still running. With wait, the link stays busy
    // until the reply, an error reply, the time-out or the end of the
    // conversation.
    bool execute(const QString& command, bool wait);

    // At close: the final macro without waiting, then the conversation is
    // closed. Without a conversation nothing is sent and nothing shown. While
    // a waited macro runs, the final macro follows its answer or time-out
    // (waiting with the event loop running) instead of being refused.
    void finalMacro();

    // Ends the conversation from this side (Disconnect).
    void closeConversation();

    bool isLinked() const { return m_linked; }
    bool hasConversation() const { return m_conversation.has_value(); }
    bool isWaiting() const { return m_waiting; }
    // A document must not start: a waited macro runs, or the link is being
    // set up (its start waits with the event loop running).
    bool isBusy() const { return m_waiting || m_settingUp; }

Q_SIGNALS:
    // The waiting mark was cleared.
    void waitingEnded();

private Q_SLOTS:
    void serverDisconnected(uint conversation);

private:
    bool openConversation(const QString& service, const QString& topic);
    bool connectTo(const QString& busName, const QString& topic);
    void awaitService(const QString& busName);
    void executeFinished(quint64 serial, QDBusPendingCallWatcher* call);
    void awaitWaitingEnd();
    void stopWaiting();
    // The conversation is over, whoever ended it: the next document sets
    // the link up again.
    void conversationEnded();

    SettingsReader m_settings;
    MessageSink m_showError;
    QString m_workDir;
    int m_startTimeout = 15000;
    int m_callTimeout = 10000;
    int m_executeTimeout = 300000;

    bool m_linked = false;
    bool m_settingUp = false;
    bool m_waiting = false;
    std::optional<uint> m_conversation;
    QString m_busName;
    QDBusServiceWatcher* m_vanishWatch = nullptr;
    quint64 m_serial = 0;        // numbers the waited calls
    quint64 m_pendingSerial = 0; // the call the waiting mark belongs to
    bool m_waitTimedOut = false; // the last waited macro got no answer in time
};

} // namespace kestrova
