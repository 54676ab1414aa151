#include "documents/wordprocessorlink.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

namespace kestrova {

namespace {

const QString kPrefix = QStringLiteral("org.kestrova.dde.");
constexpr int kMaxBusNameLength = 255;

bool isAsciiAlnum(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

QDBusMessage methodCall(const QString& busName, const char* method)
{
    QDBusMessage m = QDBusMessage::createMethodCall(busName, QString::fromLatin1(kDdeObjectPath),
                                                    QString::fromLatin1(kDdeInterface), QString::fromLatin1(method));
    // The word processor is started by its command line, never by the bus.
    m.setAutoStartService(false);
    return m;
}

// Errors of a call that mean the conversation is gone: no answer in time,
// or nobody left to answer.
bool endsConversation(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::NoReply:
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
    case QDBusError::TimedOut: return true;
    default: return error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}

} // namespace

bool isWellKnownBusName(const QString& name)
{
    if (name.isEmpty() || name.size() > kMaxBusNameLength || name.startsWith(QLatin1Char(':')))
        return false;
    const auto elements = QStringView(name).split(QLatin1Char('.'));
    if (elements.size() < 2)
        return false;
    for (QStringView e : elements) {
        if (e.isEmpty() || (e.front() >= QLatin1Char('0') && e.front() <= QLatin1Char('9')))
            return false;
        for (QChar c : e)
            if (!isAsciiAlnum(c.unicode()) && c != QLatin1Char('_') && c != QLatin1Char('-'))
                return false;
    }
    return true;
}

QString ddeBusName(const QString& service)
{
    if (service.isEmpty())
        return {};
    if (isWellKnownBusName(service))
        return service;
    QString element;
    for (char32_t c : service.toUcs4())
        element += (isAsciiAlnum(c) || c == U'_') ? QChar(char16_t(c)) : QLatin1Char('_');
    if (element.front().isDigit())
        element.prepend(QLatin1Char('_'));
    return (kPrefix + element).left(kMaxBusNameLength);
}

bool startCommandLine(const QString& commandLine, const QStringList& moreArguments, const QString& workingDirectory)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words + moreArguments, workingDirectory);
}

WordProcessorLink::WordProcessorLink(SettingsReader settings, MessageSink showError, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_showError(std::move(showError))
{
}

WordProcessorLink::~WordProcessorLink()
{
    if (m_conversation)
        bus().disconnect(m_busName, QString::fromLatin1(kDdeObjectPath), QString::fromLatin1(kDdeInterface),
                         QStringLiteral("Disconnected"), this, SLOT(serverDisconnected(uint)));
}

void WordProcessorLink::WordProcessor()
{
    if (m_linked || m_settingUp)
        return;
    m_settingUp = true;
    const auto done = qScopeGuard([this] { m_settingUp = false; });

    const LinkSettings s = m_settings();
    if (!startCommandLine(s.commandLine, {}, m_workDir)) {
        m_showError(tr("Error when launching \"%1\" !").arg(s.commandLine));
        return;
    }
    // The start counts as done once the program answers on the bus.
    awaitService(ddeBusName(s.service));
    closeConversation();
    if (openConversation(s.service, s.topic)) {
        m_linked = true;
        return;
    }
    //: %1 is the word processor's service, %2 the topic of the conversation.
    m_showError(tr("Error during \"%1/%2\" DDE conversation !").arg(s.service, s.topic));
}

bool WordProcessorLink::openConversation(const QString& service, const QString& topic)
{
    if (service.isEmpty() && topic.isEmpty())
        return false;
    const QString name = ddeBusName(service);
    if (connectTo(name, topic))
        return true;
    if (service.isEmpty())
        return false;
    // Nobody answered: the service itself may name the program to start.
    if (!startCommandLine(service + QLatin1Char(' ') + topic, {}, m_workDir))
        return false;
    awaitService(name);
    return connectTo(name, topic);
}

void WordProcessorLink::awaitService(const QString& busName)
{
    if (busName.isEmpty() || !bus().isConnected() || m_startTimeout <= 0)
        return;
    QDBusConnectionInterface* daemon = bus().interface();
    QEventLoop loop;
    QDBusServiceWatcher watcher(busName, bus(), QDBusServiceWatcher::WatchForRegistration);
    connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Asked once the watcher is in place, so a name that appears in
    // between is not missed.
    if (daemon->isServiceRegistered(busName).value())
        return;
    limit.start(m_startTimeout);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool WordProcessorLink::connectTo(const QString& busName, const QString& topic)
{
    if (busName.isEmpty() || !bus().isConnected())
        return false;
    // Watched before the conversation opens, so its end is never missed.
    auto* watch = new QDBusServiceWatcher(busName, bus(), QDBusServiceWatcher::WatchForUnregistration, this);
    QDBusMessage call = methodCall(busName, "Connect");
    call << topic;
    const QDBusMessage reply = bus().call(call, QDBus::Block, m_callTimeout);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.arguments().constFirst().metaType() != QMetaType::fromType<uint>()) {
        delete watch;
        return false;
    }
    m_conversation = reply.arguments().constFirst().toUInt();
    m_busName = busName;
    m_vanishWatch = watch;
    connect(watch, &QDBusServiceWatcher::serviceUnregistered, this, [this] { conversationEnded(); });
    bus().connect(busName, QString::fromLatin1(kDdeObjectPath), QString::fromLatin1(kDdeInterface),
                  QStringLiteral("Disconnected"), this, SLOT(serverDisconnected(uint)));
    return true;
}

bool WordProcessorLink::execute(const QString& command, bool wait)
{
    if (!m_conversation || m_waiting)
        return false;
    QDBusMessage call = methodCall(m_busName, "Execute");
    call << *m_conversation << command;
    QDBusPendingCall pending = bus().asyncCall(call, wait ? m_executeTimeout : -1);
    if (pending.isFinished() && pending.isError())
        return false; // the bus refused it at once
    if (wait) {
        m_waiting = true;
        const quint64 serial = ++m_serial;
        m_pendingSerial = serial;
        auto* watcher = new QDBusPendingCallWatcher(pending, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, serial](QDBusPendingCallWatcher* w) { executeFinished(serial, w); });
    }
    return true;
}

void WordProcessorLink::executeFinished(quint64 serial, QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    // A reply to a call of a conversation already over changes nothing.
    if (serial != m_pendingSerial)
        return;
    m_pendingSerial = 0;
    m_waitTimedOut = call->isError() &&
                     (call->error().type() == QDBusError::NoReply || call->error().type() == QDBusError::TimedOut);
    if (call->isError() && endsConversation(call->error()))
        conversationEnded();
    stopWaiting();
}

void WordProcessorLink::stopWaiting()
{
    const bool was = m_waiting;
    m_waiting = false;
    m_pendingSerial = 0;
    if (was)
        Q_EMIT waitingEnded();
}

void WordProcessorLink::awaitWaitingEnd()
{
    QEventLoop loop;
    connect(this, &WordProcessorLink::waitingEnded, &loop, &QEventLoop::quit);
    // The call's own time-out ends the wait; this bounds it should that
    // never be reported.
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(m_executeTimeout + m_callTimeout);
    if (m_waiting)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void WordProcessorLink::serverDisconnected(uint conversation)
{
    if (m_conversation && *m_conversation == conversation)
        conversationEnded();
}

void WordProcessorLink::conversationEnded()
{
    if (m_conversation)
        bus().disconnect(m_busName, QString::fromLatin1(kDdeObjectPath), QString::fromLatin1(kDdeInterface),
                         QStringLiteral("Disconnected"), this, SLOT(serverDisconnected(uint)));
    if (m_vanishWatch) {
        m_vanishWatch->disconnect(this);
        m_vanishWatch->deleteLater();
        m_vanishWatch = nullptr;
    }
    m_conversation.reset();
    m_busName.clear();
    m_linked = false;
    stopWaiting();
}

void WordProcessorLink::closeConversation()
{
    if (!m_conversation)
        return;
    QDBusMessage call = methodCall(m_busName, "Disconnect");
    call << *m_conversation;
    // Waited for, within bounds: a message sent just before (the final
    // macro) has then reached the word processor too.
    bus().call(call, QDBus::Block, m_callTimeout);
    conversationEnded();
}

void WordProcessorLink::finalMacro()
{
    const QString macro = m_settings().finalMacro;
    if (m_waiting) {
        // Refused now, the final macro would be lost and the word processor
        // left running: it follows the waited macro instead.
        const std::optional<uint> conversation = m_conversation;
        const QString busName = m_busName;
        m_waitTimedOut = false;
        awaitWaitingEnd();
        if (!m_conversation && conversation && m_waitTimedOut && bus().isConnected()) {
            // No answer in time counts as a lost conversation, but the word
            // processor may only be slow: it still gets the final macro and
            // the end of the conversation, without waiting for either.
            QDBusMessage call = methodCall(busName, "Execute");
            call << *conversation << macro;
            bus().send(call);
            QDBusMessage end = methodCall(busName, "Disconnect");
            end << *conversation;
            bus().send(end);
            return;
        }
    }
    execute(macro, false);
    closeConversation();
}

} // namespace kestrova
