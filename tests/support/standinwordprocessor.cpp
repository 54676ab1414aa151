// kestrova-standin: a stand-in word processor for the tests. It serves the
// conversation interface on the session bus and logs, as JSON lines, every
// start and request, each execute request with the exchange table's records
// as they stand when it arrives.
//
//   kestrova-standin [--service NAME] [--log FILE] [--tables DIR] [--refuse-connect] [--exit] [ARG...]
//
// --service  the bus name to serve; without it, the program's own file name
//            (as it stands when it is a bus name, else org.kestrova.dde.NAME)
// --log      the log file; without it, $KESTROVA_STANDIN_LOG
// --tables   the folder of Xexport.db; without it, the working folder
// --refuse-connect  every Connect is answered with an error
// --exit     log the start and end at once (a batch command, a program that
//            never answers)
//
// A macro text holding one of these changes the answer:
//   [delay MS]  reply after MS milliseconds     [fail]  reply with an error
//   [hangup]    reply, then end the conversation (signal Disconnected)
//   [quit]      reply, then leave the bus and end
// Other arguments are only logged. The program ends when it loses the bus.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>
#include <unistd.h>

namespace {

QString g_log;
QString g_tables;

void logEvent(QJsonObject event)
{
    event.insert(QStringLiteral("pid"), qint64(::getpid()));
    QFile f(g_log);
    if (g_log.isEmpty() || !f.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    f.write(QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n');
}

// The exchange table's records in table order, each with its non-empty
// fields; or the reason it could not be read.
QJsonObject exchangeRecords()
{
    QJsonObject out;
    QJsonArray records;
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("x"));
        db.setDatabaseName(QDir(g_tables).filePath(QStringLiteral("Xexport.db")));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT * FROM Xexport ORDER BY rowid"))) {
                failure = q.lastError().text();
            } else {
                while (q.next()) {
                    QJsonObject r;
                    for (int i = 0; i < q.record().count(); ++i)
                        if (!q.value(i).toString().isEmpty())
                            r.insert(q.record().fieldName(i), q.value(i).toString());
                    records.append(r);
                }
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("x"));
    out.insert(QStringLiteral("records"), records);
    if (!failure.isEmpty())
        out.insert(QStringLiteral("tableError"), failure);
    return out;
}

class StandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrova.Dde")
public:
    bool refuseConnect = false;

public Q_SLOTS:
    uint Connect(const QString& topic)
    {
        if (refuseConnect) {
            logEvent({{QStringLiteral("event"), QStringLiteral("connect-refused")}, {QStringLiteral("topic"), topic}});
            sendErrorReply(QStringLiteral("org.kestrova.Dde.Error.Refused"),
                           QStringLiteral("No conversation on this topic"));
            return 0;
        }
        const uint conversation = ++m_last;
        logEvent({{QStringLiteral("event"), QStringLiteral("connect")},
                  {QStringLiteral("topic"), topic},
                  {QStringLiteral("conversation"), qint64(conversation)}});
        return conversation;
    }

    void Execute(uint conversation, const QString& command)
    {
        QJsonObject event = exchangeRecords();
        event.insert(QStringLiteral("event"), QStringLiteral("execute"));
        event.insert(QStringLiteral("conversation"), qint64(conversation));
        event.insert(QStringLiteral("command"), command);
        logEvent(event);
        static const QRegularExpression delay(QStringLiteral("\\[delay (\\d+)\\]"));
        const auto m = delay.match(command);
        const QDBusMessage call = message();
        if (!m.hasMatch()) {
            finish(call, conversation, command);
            return;
        }
        setDelayedReply(true);
        QTimer::singleShot(m.captured(1).toInt(), this,
                           [this, call, conversation, command] { finish(call, conversation, command); });
    }

    void Disconnect(uint conversation)
    {
        logEvent({{QStringLiteral("event"), QStringLiteral("disconnect")},
                  {QStringLiteral("conversation"), qint64(conversation)}});
    }

Q_SIGNALS:
    void Disconnected(uint conversation);

private:
    void finish(const QDBusMessage& call, uint conversation, const QString& command)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (command.contains(QLatin1String("[fail]")))
            bus.send(call.createErrorReply(QStringLiteral("org.kestrova.Dde.Error.Failed"),
                                           QStringLiteral("The macro failed")));
        else
            bus.send(call.createReply());
        if (command.contains(QLatin1String("[hangup]")))
            Q_EMIT Disconnected(conversation);
        if (command.contains(QLatin1String("[quit]")))
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

    uint m_last = 0;
};

QString serviceFromProgramName(const QString& argv0)
{
    const QString name = QFileInfo(argv0).fileName();
    return name.contains(QLatin1Char('.')) ? name : QStringLiteral("org.kestrova.dde.") + name;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString service = serviceFromProgramName(args.value(0));
    g_log = qEnvironmentVariable("KESTROVA_STANDIN_LOG");
    g_tables = QDir::currentPath();
    bool refuseConnect = false, exitAtOnce = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--service") && i + 1 < args.size())
            service = args[++i];
        else if (args[i] == QLatin1String("--log") && i + 1 < args.size())
            g_log = args[++i];
        else if (args[i] == QLatin1String("--tables") && i + 1 < args.size())
            g_tables = args[++i];
        else if (args[i] == QLatin1String("--refuse-connect"))
            refuseConnect = true;
        else if (args[i] == QLatin1String("--exit"))
            exitAtOnce = true;
    }
    logEvent({{QStringLiteral("event"), QStringLiteral("start")},
              {QStringLiteral("args"), QJsonArray::fromStringList(args.mid(1))},
              {QStringLiteral("cwd"), QDir::currentPath()},
              {QStringLiteral("service"), exitAtOnce ? QString() : service}});
    if (exitAtOnce)
        return 0;

    QDBusConnection bus = QDBusConnection::sessionBus();
    StandIn standIn;
    standIn.refuseConnect = refuseConnect;
    if (!bus.registerObject(QStringLiteral("/org/kestrova/Dde"), &standIn,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        !bus.registerService(service)) {
        logEvent({{QStringLiteral("event"), QStringLiteral("exit")}});
        return 1;
    }
    // Never outlive the test's private bus, nor linger for long.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (!bus.isConnected())
            app.quit();
    });
    watch.start(200);
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    bus.unregisterService(service);
    logEvent({{QStringLiteral("event"), QStringLiteral("exit")}});
    return rc;
}

#include "standinwordprocessor.moc"
