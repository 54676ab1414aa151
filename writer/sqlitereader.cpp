#include "writer/sqlitereader.h"

#include <QCoreApplication>
#include <QFile>

#include <sqlite3.h>

namespace kestrova::writer {

bool SqliteFailure::busy() const
{
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED || code == SQLITE_READONLY_ROLLBACK ||
           code == SQLITE_READONLY_RECOVERY;
}

SqliteReader::SqliteReader(const QString& path, int busyTimeoutMs)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    m_db.reset(db); // closed here too when the open failed
    if (rc != SQLITE_OK)
        fail();
    if (sqlite3_extended_result_codes(db, 1) != SQLITE_OK || sqlite3_busy_timeout(db, busyTimeoutMs) != SQLITE_OK)
        fail();
}

void SqliteReader::Closer::operator()(sqlite3* db) const
{
    // Nothing was written: ending the read transaction cannot lose anything.
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

void SqliteReader::exec(const char* sql)
{
    if (sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail();
}

void SqliteReader::fail() const
{
    sqlite3* db = m_db.get();
    throw SqliteFailure{db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM,
                        db ? QString::fromUtf8(sqlite3_errmsg(db))
                           : QCoreApplication::translate("writer::SqliteReader", "out of memory")};
}

SqliteQuery::SqliteQuery(const SqliteReader& reader, const char* sql) : m_reader(reader)
{
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(reader.handle(), sql, -1, &statement, nullptr);
    m_statement.reset(statement);
    if (rc != SQLITE_OK || !statement)
        reader.fail();
}

void SqliteQuery::Finalizer::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

bool SqliteQuery::step()
{
    const int rc = sqlite3_step(m_statement.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_reader.fail();
}

int SqliteQuery::columnCount() const
{
    return sqlite3_column_count(m_statement.get());
}

QString SqliteQuery::columnName(int column) const
{
    const char* name = sqlite3_column_name(m_statement.get(), column);
    if (!name)
        m_reader.fail();
    return QString::fromUtf8(name);
}

int SqliteQuery::textBytes(int column) const
{
    // The text first: the size is then that of its UTF-8 form.
    sqlite3_column_text(m_statement.get(), column);
    return sqlite3_column_bytes(m_statement.get(), column);
}

QString SqliteQuery::text(int column) const
{
    sqlite3_stmt* statement = m_statement.get();
    const bool null = sqlite3_column_type(statement, column) == SQLITE_NULL;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (!text) {
        if (!null)
            m_reader.fail(); // the conversion ran out of memory
        return QString();
    }
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

} // namespace kestrova::writer
