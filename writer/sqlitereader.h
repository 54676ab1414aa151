#pragma once

// The writer's own read-only access to an SQLite file: the connection and
// its statements owned by their holders, and every call into the engine
// checked. A refused call throws SqliteFailure with the engine's code and
// message, for the caller to put into its own words.

#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrova::writer {

struct SqliteFailure {
    int code = 0; // the engine's extended result code
    QString reason;

    // Locked past the wait, or a journal left by a writer that was stopped
    // midway, which only a writing connection may roll back: the file is
    // being written, not broken.
    bool busy() const;
};

// A connection to one file, opened read-only. A read transaction begun on it
// ends with it: nothing is written, so rolling back loses nothing.
class SqliteReader {
public:
    // Throws SqliteFailure when the file cannot be opened. A lock held by a
    // writer is waited for up to busyTimeoutMs before a call fails as busy.
    SqliteReader(const QString& path, int busyTimeoutMs);
    SqliteReader(const SqliteReader&) = delete;
    SqliteReader& operator=(const SqliteReader&) = delete;

    // Runs a statement that returns no rows (BEGIN). Throws SqliteFailure.
    void exec(const char* sql);

    sqlite3* handle() const { return m_db.get(); }
    [[noreturn]] void fail() const;

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Closer> m_db;
};

// One prepared statement of a reader, finalized when it goes.
class SqliteQuery {
public:
    // Throws SqliteFailure when the engine refuses the text.
    SqliteQuery(const SqliteReader& reader, const char* sql);

    // True while a row is ready, false past the last one. Throws SqliteFailure.
    bool step();

    int columnCount() const;
    QString columnName(int column) const;
    // The size in bytes of a column's value as UTF-8 text.
    int textBytes(int column) const;
    // A column's value as text; a NULL gives a null QString. Throws
    // SqliteFailure when the engine runs out of memory converting it.
    QString text(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    const SqliteReader& m_reader;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};

} // namespace kestrova::writer
