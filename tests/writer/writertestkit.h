#pragma once

// Shared by the writer's bus tests: stand-ins for the person and the desktop
// viewer, a client that talks to the writer over the session bus as Kestrova
// does, exchange tables written like Kestrova writes them, and PDFs read back
// through poppler's pdftotext and pdfinfo.

#include "writer/userfacing.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>

namespace writertest {

class RecordingNotifier : public kestrova::writer::Notifier {
public:
    QStringList shown;
    void showError(const QString& message) override { shown << message; }
};

class RecordingViewer : public kestrova::writer::Viewer {
public:
    QStringList opened;
    bool works = true;
    bool open(const QString& file) override
    {
        opened << file;
        return works;
    }
};

// The fields of Kestrova's exchange table, in its order.
inline QStringList exchangeFields()
{
    return {QStringLiteral("Person"),
            QStringLiteral("Name"),
            QStringLiteral("Title"),
            QStringLiteral("Politeness"),
            QStringLiteral("Company"),
            QStringLiteral("Address"),
            QStringLiteral("FaxOrEMail"),
            QStringLiteral("Date"),
            QStringLiteral("Product"),
            QStringLiteral("Language"),
            QStringLiteral("Licensee"),
            QStringLiteral("Reference"),
            QStringLiteral("NumberOfLicenses"),
            QStringLiteral("Currency"),
            QStringLiteral("PaymentMeans"),
            QStringLiteral("PaymentDate"),
            QStringLiteral("InvoiceNumber"),
            QStringLiteral("NetAmount"),
            QStringLiteral("Tax"),
            QStringLiteral("Total"),
            QStringLiteral("DeliveryPerson"),
            QStringLiteral("DeliveryName"),
            QStringLiteral("DeliveryTitle"),
            QStringLiteral("DeliveryPoliteness"),
            QStringLiteral("DeliveryCompany"),
            QStringLiteral("DeliveryAddress"),
            QStringLiteral("DeliveryFaxOrEMail")};
}

using Record = QHash<QString, QString>;

// Writes Xexport.db in `dir` as Kestrova does: emptied, then one row per
// record, every field text, unset fields empty.
// Xtable.db of a working folder with the given settings rows.
inline void writeSettings(const QString& dir, const QList<std::pair<QString, QString>>& rows)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("kestrova"));
        db.setDatabaseName(dir + QStringLiteral("/Xtable.db"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE Xtable (Name VARCHAR(32) PRIMARY KEY, Value VARCHAR(255))")));
        for (const auto& [name, value] : rows) {
            QVERIFY(q.prepare(QStringLiteral("INSERT INTO Xtable VALUES (?, ?)")));
            q.addBindValue(name);
            q.addBindValue(value);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("kestrova"));
}

inline void writeExchange(const QString& dir, const QList<Record>& records)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("kestrova"));
        db.setDatabaseName(dir + QStringLiteral("/Xexport.db"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QStringList columns, marks;
        for (const QString& f : exchangeFields()) {
            columns << QStringLiteral("\"%1\" VARCHAR(511) NOT NULL DEFAULT ''").arg(f);
            marks << QStringLiteral("?");
        }
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Xexport (%1)").arg(columns.join(QLatin1Char(',')))));
        QVERIFY(db.transaction());
        QVERIFY(q.exec(QStringLiteral("DELETE FROM Xexport")));
        QVERIFY(q.prepare(QStringLiteral("INSERT INTO Xexport VALUES (%1)").arg(marks.join(QLatin1Char(',')))));
        for (const Record& r : records) {
            for (const QString& f : exchangeFields()) {
                const QString v = r.value(f);
                q.addBindValue(v.isNull() ? QStringLiteral("") : v);
            }
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        QVERIFY(db.commit());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("kestrova"));
}

inline QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF (all pages, or page `page` from 1), laid out as printed.
inline QString pdfText(const QString& path, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return run(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
}

struct PdfFacts {
    int pages = -1;
    QSizeF sizePt;
};

inline PdfFacts pdfFacts(const QString& path)
{
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    PdfFacts f;
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    if (pages.hasMatch())
        f.pages = pages.captured(1).toInt();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    if (size.hasMatch())
        f.sizePt = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    return f;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Talks to a writer over the session bus on a connection of its own, the way
// the link does: every call asynchronous, its reply awaited with the event
// loop running (the writer may live in this very process).
class Client {
public:
    // Each connection name is a client of its own on the bus.
    explicit Client(const QString& service, const QString& connection = QStringLiteral("writer-client"))
        : m_service(service), m_name(connection),
          m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection))
    {
    }
    ~Client() { QDBusConnection::disconnectFromBus(m_name); }

    QDBusMessage call(const QString& method, const QVariantList& args, int timeoutMs = 600000)
    {
        QDBusMessage msg = QDBusMessage::createMethodCall(m_service, QStringLiteral("/org/kestrova/Dde"),
                                                          QStringLiteral("org.kestrova.Dde"), method);
        msg.setArguments(args);
        // A bound on a hung writer, not a measure of speed.
        QDBusPendingCallWatcher watcher(m_bus.asyncCall(msg, timeoutMs));
        if (!watcher.isFinished()) {
            QEventLoop loop;
            QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return watcher.reply();
    }
    uint connectTopic(const QString& topic = QStringLiteral("System"))
    {
        const QDBusMessage reply = call(QStringLiteral("Connect"), {topic});
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toUInt() : 0;
    }
    QDBusMessage execute(uint conversation, const QString& macro)
    {
        return call(QStringLiteral("Execute"), {conversation, macro});
    }
    QDBusConnection& bus() { return m_bus; }

private:
    QString m_service;
    QString m_name;
    QDBusConnection m_bus;
};

// "ok" for a method return, else the error's name and message.
inline QString outcome(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage ? QStringLiteral("ok")
                                                      : reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

} // namespace writertest
