#pragma once

// Running the statement of a query text through SQLite directly: values in
// and out, the guard that watches a run, and a read-only result read a page
// at a time. Used by Query; not part of the data layer's interface.

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>
#include <exception>
#include <sqlite3.h>
#include <vector>

namespace kestrova {

class QueryProgress;

// The message of a query that ran out of memory, in the engine or here.
inline QString outOfMemoryMessage()
{
    return QStringLiteral("Not enough memory to run the query");
}

// The connection's SQLite handle; throws when the driver is not SQLite.
sqlite3* sqliteHandle(const QSqlDatabase& db);

// Limits a query connection applies to every text it runs: no single value
// beyond kMaxValueBytes ("string or blob too big"), and the engine's
// defensive mode.
constexpr int kMaxValueBytes = 16 * 1024 * 1024;
void limitQueryConnection(sqlite3* db);

// Binds one value at a 1-based index. A null text is bound as '' (text
// fields hold '' rather than NULL), other nulls as NULL.
inline int bindValue(sqlite3_stmt* stmt, int index, const QVariant& v)
{
    if (v.isNull())
        return v.typeId() == QMetaType::QString ? sqlite3_bind_text(stmt, index, "", 0, SQLITE_STATIC)
                                                : sqlite3_bind_null(stmt, index);
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, v.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return sqlite3_bind_int64(stmt, index, v.toLongLong());
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray t = v.toString().toUtf8();
        return sqlite3_bind_text(stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
    }
    }
}

// The value of a column of the row a statement stands on.
inline QVariant columnValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, column);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                          sqlite3_column_bytes(stmt, column));
    default:
        return QVariant();
    }
}

// While alive, watches what runs on a connection: the progress (if any) is
// asked every few thousand engine steps whether to go on, and with readOnly
// an authorizer lets statements read and nothing else. Only the statements
// of the query text run under it; the query layer's own (ATTACH, the table's
// field list, the writes of an editable result) run outside.
class QueryRun {
public:
    QueryRun(sqlite3* db, QueryProgress* progress, bool readOnly);
    ~QueryRun();
    QueryRun(const QueryRun&) = delete;
    QueryRun& operator=(const QueryRun&) = delete;

    // Throws the reason an engine call returned rc: the progress stopped the
    // run or threw, the authorizer refused an action, or the engine failed.
    [[noreturn]] void fail(int rc) const;

private:
    static int onProgress(void* self);
    static int onAuthorize(void* self, int action, const char* a, const char* b, const char* db,
                           const char* trigger);

    sqlite3* m_db;
    QueryProgress* m_progress;
    bool m_readOnly;
    bool m_cancelled = false;
    std::exception_ptr m_thrown;
    QString m_refused; // the first action refused, as the message names it
};

// A statement of the query text, prepared under a run; finalized at the end.
class UserStatement {
public:
    UserStatement(sqlite3* db, const QString& sql, const QueryRun& run);
    ~UserStatement() { sqlite3_finalize(m_stmt); }
    UserStatement(const UserStatement&) = delete;
    UserStatement& operator=(const UserStatement&) = delete;

    sqlite3_stmt* get() const { return m_stmt; } // null for a text of comments only
    // The text after the first statement, blanks removed.
    const QByteArray& rest() const { return m_rest; }
    void bind(const QVariantList& values, const QueryRun& run);
    // True while a row is ready, false when done; throws as the run says.
    bool step(const QueryRun& run);
    // Ready to run again; releases the locks of the last run.
    void reset() { sqlite3_reset(m_stmt); }

private:
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_rest;
};

// A read-only result, never held whole: scan() runs through it once,
// counting rows and noting each column's kind of values, and keeps the
// first page; rows elsewhere are read by running the text again, skipping
// to them, and are kept a page at a time. Every run ends before control
// returns, so no lock is held on the tables between reads.
class ResultPages {
public:
    ResultPages(sqlite3* db, const QString& sql, const QVariantList& binds, QueryProgress* progress,
                bool readOnly);

    void scan();
    int count() const { return m_count; }
    int columnCount() const { return int(m_names.size()); }
    QString columnName(int c) const { return m_names.at(c); }
    QString declaredType(int c) const { return m_declared.at(c); }
    // SQLITE_INTEGER, _FLOAT, _TEXT or _BLOB of the first value that is not
    // NULL; SQLITE_NULL when all are.
    int firstType(int c) const { return m_firstTypes.at(c); }
    // Rows from..from+n-1, as far as they exist.
    std::vector<QVector<QVariant>> rows(int from, int n);

private:
    static constexpr int kPage = 512;
    static constexpr qint64 kPageBytes = 32 * 1024 * 1024;
    // Runs the text once, keeping rows first..first+n-1: all before mustEnd,
    // the others while the page weighs less than kPageBytes. With counting,
    // goes on to the end and notes the count and each column's first type.
    void run(int first, int n, int mustEnd, bool counting, QueryProgress* progress);
    QVector<QVariant> readRow(sqlite3_stmt* stmt, qint64* bytes) const;

    sqlite3* m_db;
    QString m_sql;
    QVariantList m_binds;
    QueryProgress* m_progress;
    bool m_readOnly;
    int m_count = 0;
    QStringList m_names;
    QStringList m_declared;
    std::vector<int> m_firstTypes;
    std::vector<QVector<QVariant>> m_page;
    int m_pageStart = 0;
};

} // namespace kestrova
