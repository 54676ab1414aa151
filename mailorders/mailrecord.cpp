#include "mailorders/mailrecord.h"

#include "data/error.h"
#include "data/sqlstatement.h"
#include "data/table.h"
#include "data/transaction.h"

#include <QDir>

namespace kestrova {

namespace {

// The record's name on the order table's connection while it is attached.
const QString kSchema = QStringLiteral("kestrova_mailrun");

// Runs one use of the record; its failure is reported as the record's.
template <typename Use> auto recordUse(Use&& use) -> decltype(use())
{
    try {
        return use();
    } catch (const Error& e) {
        throw Error(MailRecord::tr("The record of e-mail orders: %1").arg(e.message()));
    }
}

// A text as the record stores it: a null text stays NULL (no message
// identity), so that it never matches another message's row.
QVariant textOrNull(const QString& text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}

} // namespace

MailRecord::MailRecord(const QString& workDir) : m_path(QDir(workDir).filePath(QString::fromLatin1(kFileName))) {}

MailRecord::~MailRecord() = default;

sqlite3* MailRecord::connection() const
{
    if (!m_db)
        throw Error(tr("the record is not open"));
    return m_db->handle();
}

void MailRecord::open()
{
    if (m_db)
        return;
    std::unique_ptr<SqlConnection> db;
    try {
        db = std::make_unique<SqlConnection>(m_path, SqlConnection::Mode::Create);
        db->setBusyTimeout(2000);
    } catch (const Error& e) {
        throw Error(
            tr("Cannot open the record of e-mail orders %1: %2").arg(QDir::toNativeSeparators(m_path), e.message()));
    }
    recordUse([&] {
        db->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Processed (Message TEXT PRIMARY KEY, InvoiceNumber TEXT, "
                                "Reply BLOB, Replied INTEGER NOT NULL DEFAULT 0, Marked INTEGER NOT NULL DEFAULT 0, "
                                "Moved INTEGER NOT NULL DEFAULT 0, Stored TEXT)"));
    });
    m_db = std::move(db);
}

std::optional<MailRecord::Entry> MailRecord::find(const QString& message)
{
    return recordUse([&]() -> std::optional<Entry> {
        SqlStatement q(connection(),
                       QStringLiteral("SELECT InvoiceNumber, Reply, Replied, Marked, Moved FROM Processed "
                                      "WHERE Message = ?"));
        q.bind(0, textOrNull(message));
        if (!q.step())
            return std::nullopt;
        Entry e;
        e.invoiceNumber = q.value(0).toString();
        if (const QVariant reply = q.value(1); !reply.isNull())
            e.reply = reply.toByteArray();
        e.replied = q.value(2).toInt() != 0;
        e.marked = q.value(3).toInt() != 0;
        e.moved = q.value(4).toInt() != 0;
        return e;
    });
}

void MailRecord::noteStep(const QString& message, Step step)
{
    static const char* const columns[] = {"Replied", "Marked", "Moved"};
    recordUse([&] {
        SqlStatement::exec(
            connection(),
            QStringLiteral("UPDATE Processed SET %1 = 1 WHERE Message = ?").arg(QLatin1String(columns[step])),
            {textOrNull(message)});
    });
}

QStringList MailRecord::movedMessages()
{
    return recordUse([&] {
        SqlStatement q(connection(), QStringLiteral("SELECT Message FROM Processed WHERE Moved = 1"));
        QStringList out;
        while (q.step())
            out << q.value(0).toString();
        return out;
    });
}

void MailRecord::forgetMoved()
{
    recordUse([&] { SqlStatement::exec(connection(), QStringLiteral("DELETE FROM Processed WHERE Moved = 1")); });
}

void MailRecord::attach(Table* orders)
{
    // Still attached when an earlier detach failed: attachFile() keeps it.
    recordUse([&] { orders->attachFile(kSchema, m_path); });
}

void MailRecord::insert(Table* orders, const QString& message, const QString& invoiceNumber,
                        const std::optional<QByteArray>& reply)
{
    recordUse([&] {
        orders->execute(QStringLiteral("INSERT INTO %1.Processed (Message, InvoiceNumber, Reply, Stored) "
                                       "VALUES (?, ?, ?, datetime('now'))")
                            .arg(quoted(kSchema)),
                        {textOrNull(message), textOrNull(invoiceNumber), reply ? QVariant(*reply) : QVariant()});
    });
}

void MailRecord::detach(Table* orders)
{
    recordUse([&] { orders->detachFile(kSchema); });
}

} // namespace kestrova
