#include "writer/exchangetable.h"

#include "writer/writererror.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace kestrova::writer {

namespace {
// Kestrova holds the table only while it writes a document; waiting longer
// than this means it is stuck, and the request fails instead of hanging.
constexpr int kBusyTimeoutMs = 10000;
} // namespace

ExchangeTable::ExchangeTable(const QString& workDir)
    : m_path(QDir(workDir).absoluteFilePath(QStringLiteral("Xexport.db")))
{
    if (!QFileInfo(m_path).isFile())
        throw WriterError(WriterError::ExchangeTable,
                          QStringLiteral("The exchange table \"%1\" does not exist").arg(m_path));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(m_path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    m_db.reset(db);
    if (rc != SQLITE_OK)
        fail(QStringLiteral("cannot be opened"));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QStringLiteral("cannot be read"));
    sqlite3_stmt* statement = prepareSelect();
    for (int i = 0; i < sqlite3_column_count(statement); ++i)
        m_fields << QString::fromUtf8(sqlite3_column_name(statement, i));
    sqlite3_finalize(statement);
}

ExchangeTable::~ExchangeTable() = default;

void ExchangeTable::Closer::operator()(sqlite3* db) const
{
    // Nothing was written: ending the read transaction cannot lose anything.
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

void ExchangeTable::fail(const QString& what) const
{
    // Locked past the wait, or a journal left by a writer that was stopped
    // midway, which only a writing connection (Kestrova's next document)
    // may roll back: the table is being written, not broken.
    const int code = m_db ? sqlite3_extended_errcode(m_db.get()) : SQLITE_NOMEM;
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED || code == SQLITE_READONLY_ROLLBACK ||
        code == SQLITE_READONLY_RECOVERY)
        throw WriterError(WriterError::ExchangeTable,
                          QStringLiteral("The exchange table \"%1\" is being written; try again once Kestrova "
                                         "has written the document")
                              .arg(m_path));
    const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get())) : QStringLiteral("out of memory");
    throw WriterError(WriterError::ExchangeTable,
                      QStringLiteral("The exchange table \"%1\" %2: %3").arg(m_path, what, reason));
}

sqlite3_stmt* ExchangeTable::prepareSelect()
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), "SELECT * FROM Xexport ORDER BY rowid", -1, &statement, nullptr) != SQLITE_OK)
        fail(QStringLiteral("cannot be read"));
    return statement;
}

ExchangeTable::Cursor::Cursor(ExchangeTable& table) : m_table(table), m_statement(table.prepareSelect()) {}

ExchangeTable::Cursor::~Cursor()
{
    sqlite3_finalize(m_statement);
}

bool ExchangeTable::Cursor::next()
{
    m_values.clear();
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        m_table.fail(QStringLiteral("cannot be read"));
    const int columns = sqlite3_column_count(m_statement);
    for (int i = 0; i < columns; ++i) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, i));
        const int bytes = sqlite3_column_bytes(m_statement, i);
        if (bytes > kMaxValueBytes)
            throw WriterError(WriterError::ExchangeTable,
                              QStringLiteral("The field %1 of the exchange table holds a value of "
                                             "%2 bytes; the writer takes at most %3")
                                  .arg(m_table.m_fields.value(i))
                                  .arg(bytes)
                                  .arg(kMaxValueBytes));
        m_values << (text ? QString::fromUtf8(text, bytes) : QString());
    }
    return true;
}

} // namespace kestrova::writer
