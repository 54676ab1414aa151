#include "mailorders/mailrecord.h"

#include "data/error.h"
#include "data/table.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace kestrova {

namespace {

// The record's name on the order table's connection while it is attached.
const QString kSchema = QStringLiteral("kestrova_mailrun");

QSqlQuery run(const QSqlDatabase& db, const QString& sql, const QVariantList& binds = {})
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw Error(QStringLiteral("The record of e-mail orders: %1").arg(q.lastError().text()));
    for (const QVariant& value : binds)
        q.addBindValue(value);
    if (!q.exec())
        throw Error(QStringLiteral("The record of e-mail orders: %1").arg(q.lastError().text()));
    return q;
}

} // namespace

MailRecord::MailRecord(const QString& workDir) : m_path(QDir(workDir).filePath(QString::fromLatin1(kFileName))) {}

MailRecord::~MailRecord()
{
    if (m_connection.isEmpty())
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void MailRecord::open()
{
    if (!m_connection.isEmpty())
        return;
    const QString name = QStringLiteral("kestrova-mailrun-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open()) {
        const QString reason = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw Error(QStringLiteral("Cannot open the record of e-mail orders %1: %2")
                        .arg(QDir::toNativeSeparators(m_path), reason));
    }
    m_connection = name;
    try {
        run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS Processed (Message TEXT PRIMARY KEY, InvoiceNumber TEXT, "
                               "Reply BLOB, Replied INTEGER NOT NULL DEFAULT 0, Marked INTEGER NOT NULL DEFAULT 0, "
                               "Moved INTEGER NOT NULL DEFAULT 0, Stored TEXT)"));
    } catch (const Error&) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        m_connection.clear();
        throw;
    }
}

std::optional<MailRecord::Entry> MailRecord::find(const QString& message)
{
    QSqlQuery q = run(QSqlDatabase::database(m_connection, false),
                      QStringLiteral("SELECT InvoiceNumber, Reply, Replied, Marked, Moved FROM Processed "
                                     "WHERE Message = ?"),
                      {message});
    if (!q.next())
        return std::nullopt;
    Entry e;
    e.invoiceNumber = q.value(0).toString();
    if (!q.value(1).isNull())
        e.reply = q.value(1).toByteArray();
    e.replied = q.value(2).toInt() != 0;
    e.marked = q.value(3).toInt() != 0;
    e.moved = q.value(4).toInt() != 0;
    return e;
}

void MailRecord::noteStep(const QString& message, Step step)
{
    static const char* const columns[] = {"Replied", "Marked", "Moved"};
    run(QSqlDatabase::database(m_connection, false),
        QStringLiteral("UPDATE Processed SET %1 = 1 WHERE Message = ?").arg(QLatin1String(columns[step])), {message});
}

QStringList MailRecord::movedMessages()
{
    QSqlQuery q = run(QSqlDatabase::database(m_connection, false),
                      QStringLiteral("SELECT Message FROM Processed WHERE Moved = 1"));
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

void MailRecord::forgetMoved()
{
    run(QSqlDatabase::database(m_connection, false), QStringLiteral("DELETE FROM Processed WHERE Moved = 1"));
}

void MailRecord::attach(Table* orders)
{
    // Still attached when an earlier detach failed.
    if (run(orders->database(), QStringLiteral("SELECT 1 FROM pragma_database_list WHERE name = ?"), {kSchema}).next())
        return;
    run(orders->database(), QStringLiteral("ATTACH DATABASE ? AS ") + kSchema, {m_path});
}

void MailRecord::insert(Table* orders, const QString& message, const QString& invoiceNumber,
                        const std::optional<QByteArray>& reply)
{
    run(orders->database(),
        QStringLiteral("INSERT INTO %1.Processed (Message, InvoiceNumber, Reply, Stored) "
                       "VALUES (?, ?, ?, datetime('now'))")
            .arg(kSchema),
        {message, invoiceNumber, reply ? QVariant(*reply) : QVariant(QMetaType(QMetaType::QByteArray))});
}

void MailRecord::detach(Table* orders)
{
    run(orders->database(), QStringLiteral("DETACH DATABASE ") + kSchema);
}

} // namespace kestrova
