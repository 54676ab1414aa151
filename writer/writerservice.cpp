#include "writer/writerservice.h"

#include "writer/conversation.h"
#include "writer/userfacing.h"
#include "writer/documenttemplate.h"
#include "writer/writererror.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusServiceWatcher>

namespace kestrova::writer {

namespace {

QString sentence(const QString& message)
{
    return message.endsWith(QLatin1Char('.')) ? message : message + QLatin1Char('.');
}

} // namespace

WriterService::WriterService(const QString& workDir, Notifier& notifier, Viewer& viewer, QObject* parent)
    : QObject(parent), m_workDir(workDir), m_notifier(notifier), m_viewer(viewer), m_bus(QString())
{
    // Polled: a lost bus shows only in the connection's state.
    m_busCheck.setInterval(1000);
    connect(&m_busCheck, &QTimer::timeout, this, &WriterService::checkBus);
}

WriterService::~WriterService() = default;

QString WriterService::registerOn(const QDBusConnection& bus, const QString& service)
{
    m_bus = bus;
    if (!m_bus.isConnected())
        return QStringLiteral("there is no session bus: %1").arg(m_bus.lastError().message());
    if (!m_bus.registerObject(QLatin1String(kObjectPath), this,
                              QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals))
        return QStringLiteral("the object %1 cannot be exported").arg(QLatin1String(kObjectPath));
    if (!m_bus.registerService(service)) {
        m_bus.unregisterObject(QLatin1String(kObjectPath));
        const QString reason = m_bus.lastError().message();
        return QStringLiteral("the name %1 cannot be taken on the session bus%2")
            .arg(service, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
    }
    m_service = service;
    delete m_owners;
    m_owners = new QDBusServiceWatcher(this);
    m_owners->setConnection(m_bus);
    m_owners->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_owners, &QDBusServiceWatcher::serviceUnregistered, this, &WriterService::ownerLeft);
    m_busCheck.start();
    return {};
}

QString WriterService::caller() const
{
    return calledFromDBus() ? message().service() : QString();
}

std::map<uint, WriterService::Open>::iterator WriterService::own(uint conversation)
{
    const auto it = m_conversations.find(conversation);
    if (it == m_conversations.end() || it->second.closing || it->second.owner != caller())
        return m_conversations.end();
    return it;
}

uint WriterService::Connect(const QString&)
{
    const QString owner = caller();
    if (!owner.isEmpty() && m_owners && !m_owners->watchedServices().contains(owner))
        m_owners->addWatchedService(owner);
    const uint id = m_nextId++;
    m_conversations.emplace(
        id, Open{std::make_unique<Conversation>(m_workDir, m_viewer, templateFolders(m_workDir, m_sharedTemplates)),
                 owner});
    return id;
}

void WriterService::Execute(uint conversation, const QString& command)
{
    const auto it = own(conversation);
    if (m_quitting || it == m_conversations.end()) {
        fail(WriterError(WriterError::NoConversation, QString()).dbusName(),
             tr("There is no open conversation %1").arg(conversation));
        return;
    }
    if (m_running) {
        // Answered at once and not shown: the caller may try again.
        if (calledFromDBus())
            sendErrorReply(WriterError(WriterError::Busy, QString()).dbusName(),
                           tr("The writer is busy with another document; try again once it is done."));
        return;
    }
    m_running = true;
    m_runningId = conversation;
    QDBusMessage call;
    if (calledFromDBus()) {
        call = message();
        setDelayedReply(true);
    }
    // Carried out from the event loop rather than inside the bus library's
    // delivery of this call: that holds a lock the bus needs to deliver any
    // other call meanwhile.
    QTimer::singleShot(0, this, [this, conversation, command, call] { carryOut(conversation, command, call); });
}

void WriterService::carryOut(uint conversation, const QString& command, const QDBusMessage& call)
{
    // Still there: closing it meanwhile is put off until it is done.
    const auto it = m_conversations.find(conversation);
    if (it == m_conversations.end()) {
        m_running = false;
        if (call.type() == QDBusMessage::MethodCallMessage)
            m_bus.send(call.createErrorReply(WriterError(WriterError::NoConversation, QString()).dbusName(),
                                             tr("There is no open conversation %1.").arg(conversation)));
        quitWhenFree();
        return;
    }
    const QString owner = it->second.owner;
    bool quitAsked = false;
    QString errorName;
    QString text;
    try {
        quitAsked = it->second.conversation->execute(command);
    } catch (const WriterError& e) {
        errorName = e.dbusName();
        text = e.message();
    } catch (const std::bad_alloc&) {
        errorName = QDBusError::errorString(QDBusError::NoMemory);
        text = tr("There is not enough memory to carry out the macro");
    } catch (const std::exception& e) {
        errorName = QDBusError::errorString(QDBusError::Failed);
        text = QString::fromLocal8Bit(e.what());
    }
    if (!errorName.isEmpty()) {
        text = sentence(text);
        if (call.type() == QDBusMessage::MethodCallMessage)
            m_bus.send(call.createErrorReply(errorName, text));
        m_notifier.showError(text);
    } else if (call.type() == QDBusMessage::MethodCallMessage) {
        m_bus.send(call.createReply());
    }
    m_running = false;
    if (it->second.closing)
        m_conversations.erase(it);
    if (quitAsked && !m_quitting) {
        m_quitAsked = true;
        m_quitAsker = owner;
    }
    // The reply has been sent; the writer ends after that.
    quitWhenFree();
}

void WriterService::fail(const QString& errorName, const QString& message)
{
    const QString text = sentence(message);
    if (calledFromDBus())
        sendErrorReply(errorName, text);
    m_notifier.showError(text);
}

void WriterService::Disconnect(uint conversation)
{
    const auto it = own(conversation);
    if (it == m_conversations.end()) {
        if (calledFromDBus())
            sendErrorReply(WriterError(WriterError::NoConversation, QString()).dbusName(),
                           tr("There is no open conversation %1.").arg(conversation));
        return;
    }
    close(it);
    quitWhenFree();
}

void WriterService::close(std::map<uint, Open>::iterator it)
{
    if (m_running && it->first == m_runningId)
        it->second.closing = true;
    else
        m_conversations.erase(it);
}

void WriterService::ownerLeft(const QString& owner)
{
    if (m_owners)
        m_owners->removeWatchedService(owner);
    for (auto it = m_conversations.begin(); it != m_conversations.end();) {
        const auto next = std::next(it);
        if (it->second.owner == owner)
            close(it);
        it = next;
    }
    quitWhenFree();
}

bool WriterService::othersOpen(const QString& owner) const
{
    for (const auto& [id, open] : m_conversations)
        if (!open.closing && open.owner != owner)
            return true;
    return false;
}

void WriterService::quitWhenFree()
{
    if (m_running || m_quitting)
        return;
    if (!m_lostBus.isEmpty() || (m_quitAsked && !othersOpen(m_quitAsker))) {
        m_quitting = true;
        QTimer::singleShot(0, this, &WriterService::quit);
    }
}

void WriterService::checkBus()
{
    if (m_bus.isConnected())
        return;
    m_busCheck.stop();
    m_lostBus = QStringLiteral("the connection to the session bus was lost");
    quitWhenFree();
}

void WriterService::quit()
{
    m_busCheck.stop();
    for (const auto& [id, open] : m_conversations)
        Q_EMIT Disconnected(id);
    m_conversations.clear();
    if (m_bus.isConnected()) {
        // A call to the bus is answered only after everything sent before it,
        // the reply to [Quit] included, has reached the bus.
        m_bus.interface()->isServiceRegistered(m_service);
        if (!m_service.isEmpty())
            m_bus.unregisterService(m_service);
        m_bus.unregisterObject(QLatin1String(kObjectPath));
    }
    Q_EMIT finished();
}

} // namespace kestrova::writer
