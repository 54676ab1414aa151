#include "writerservice.h"

#include "conversation.h"
#include "userfacing.h"
#include "writererror.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QTimer>

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
    return {};
}

uint WriterService::Connect(const QString&)
{
    const uint id = m_nextId++;
    m_conversations.emplace(id, std::make_unique<Conversation>(m_workDir, m_viewer));
    return id;
}

void WriterService::Execute(uint conversation, const QString& command)
{
    try {
        const auto it = m_conversations.find(conversation);
        if (m_quitting || it == m_conversations.end())
            throw WriterError(WriterError::NoConversation,
                              QStringLiteral("There is no open conversation %1").arg(conversation));
        if (it->second->execute(command) && !m_quitting) {
            m_quitting = true;
            // The reply goes out when this call returns; the writer ends after that.
            QTimer::singleShot(0, this, &WriterService::quit);
        }
    } catch (const WriterError& e) {
        fail(e.dbusName(), e.message());
    } catch (const std::bad_alloc&) {
        fail(QDBusError::errorString(QDBusError::NoMemory),
             QStringLiteral("There is not enough memory to carry out the macro"));
    } catch (const std::exception& e) {
        fail(QDBusError::errorString(QDBusError::Failed), QString::fromLocal8Bit(e.what()));
    }
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
    if (m_conversations.erase(conversation) == 0 && calledFromDBus())
        sendErrorReply(WriterError(WriterError::NoConversation, QString()).dbusName(),
                       QStringLiteral("There is no open conversation %1.").arg(conversation));
}

void WriterService::quit()
{
    for (const auto& [id, conversation] : m_conversations)
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
