#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QStringList>
#include <csignal>
#include <sys/types.h>

// The log of the stand-in word processor (kestrova-standin): one JSON object
// per start and per request, in order of arrival.
class StandInLog {
public:
    explicit StandInLog(const QString& path = {}) : m_path(path) {}
    void setPath(const QString& path)
    {
        m_path = path;
        m_ended.clear();
    }
    const QString& path() const { return m_path; }

    // Events of one kind ("start", "connect", "execute", "disconnect"), or all.
    QList<QJsonObject> events(const QString& kind = {}) const
    {
        QList<QJsonObject> out;
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QJsonObject e = QJsonDocument::fromJson(line).object();
            if (!e.isEmpty() && (kind.isEmpty() || e.value(QLatin1String("event")).toString() == kind))
                out << e;
        }
        return out;
    }
    qsizetype count(const QString& kind) const { return events(kind).size(); }

    // The commands of the execute requests, in order.
    QStringList commands() const
    {
        QStringList out;
        for (const QJsonObject& e : events(QStringLiteral("execute")))
            out << e.value(QLatin1String("command")).toString();
        return out;
    }

    // The records an execute request found in the exchange table, as
    // field -> text of the fields that held text.
    static QList<QVariantMap> records(const QJsonObject& execute)
    {
        QList<QVariantMap> out;
        for (const QJsonValue& r : execute.value(QLatin1String("records")).toArray())
            out << r.toObject().toVariantMap();
        return out;
    }

    // Sends SIGTERM to one process. A pid of 0 or below would reach the whole
    // process group (the test runner and make included), so only a real
    // process id is signalled.
    static void endProcess(qint64 pid)
    {
        if (pid > 1)
            ::kill(pid_t(pid), SIGTERM);
    }

    // Ends the stand-ins that this log saw start to serve and not yet end;
    // each is sent one signal only.
    void endStandIns()
    {
        QSet<qint64> ended = m_ended;
        for (const QJsonObject& e : events(QStringLiteral("exit")))
            ended.insert(e.value(QLatin1String("pid")).toInteger());
        for (const QJsonObject& e : events(QStringLiteral("start"))) {
            const qint64 pid = e.value(QLatin1String("pid")).toInteger();
            if (e.value(QLatin1String("service")).toString().isEmpty() || ended.contains(pid))
                continue;
            endProcess(pid);
            m_ended.insert(pid);
            ended.insert(pid);
        }
    }

private:
    QString m_path;
    QSet<qint64> m_ended;
};
