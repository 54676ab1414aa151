#pragma once

// The one way the data layer runs SQL: a statement prepared on a
// connection's SQLite handle, values bound and read through SQLite directly.
// Binding and reading values this way costs a fraction of a generic query's.

#include "data/record.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringEncoder>
#include <QVariant>
#include <QVector>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace kestrova {

// The connection's SQLite handle. Throws when the driver's handle is not an
// open "sqlite3*".
sqlite3* sqliteHandle(const QSqlDatabase& db);

// Names and lists in statement text.
QString quoted(const QString& name);
QString columnList(const QVector<FieldInfo>& fields); // "a", "b", ...
QString placeholders(qsizetype n);                    // (?, ?, ...)

// A prepared statement owned by its holder, finalized when it goes.
struct StatementFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Turns an engine failure into the error thrown. The default throws the
// engine's message; a watched run (QueryRun) says why it stopped instead.
class StatementGuard {
public:
    virtual ~StatementGuard() = default;
    // Throws the reason an engine call returned rc.
    [[noreturn]] void fail(sqlite3* db, int rc) const;

protected:
    // Throws what the guard knows of the failure; returning leaves the
    // engine's message to be thrown.
    virtual void raise(sqlite3* db, int rc) const;
};

class SqlStatement {
public:
    // Prepares the first statement of sql. Throws through the guard when the
    // engine refuses it. A text of comments only prepares no statement: it
    // then runs as one that returns no rows.
    SqlStatement(sqlite3* db, const QString& sql, const StatementGuard* guard = nullptr);
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    sqlite3_stmt* get() const { return m_stmt.get(); }
    // The text after the first statement, blanks removed.
    const QByteArray& rest() const { return m_rest; }
    bool isReadOnly() const { return !m_stmt || sqlite3_stmt_readonly(m_stmt.get()); }

    // Binds a value to a 0-based parameter. A null text is bound as '' (text
    // fields hold '' rather than NULL so that "= ''" finds them), other nulls
    // as NULL.
    void bind(int index, const QVariant& v);
    void bind(const QVariantList& values);
    // Typed binds for bulk writers. A UTF-8 text must stay valid until the
    // statement has run.
    void bindUtf8(int index, QByteArrayView text);
    void bindInteger(int index, qint64 value);
    void bindDouble(int index, double value);
    void bindNull(int index);
    // Binds a row's values from index `from` on, nulls of text fields as ''.
    // Returns the next free index.
    int bindRow(const QVector<QVariant>& values, const QVector<FieldInfo>& fields, int from = 0);

    // True while a row is ready; false when done. A failure resets the
    // statement and throws through the guard.
    bool step();
    // Runs the statement to its end, for statements that return no rows.
    void run();
    // Ready for the next run; releases the locks of the last one.
    void reset();

    int columnCount() const { return m_stmt ? sqlite3_column_count(m_stmt.get()) : 0; }
    // The value of a column of the row the statement stands on.
    QVariant value(int column) const;
    // The row the statement stands on: column 0 the rowid, then fieldCount values.
    Row row(int fieldCount) const;

    qint64 lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }
    int changes() const { return sqlite3_changes(m_db); }

    // Prepares, binds and runs one statement that returns no rows.
    static void exec(sqlite3* db, const QString& sql, const QVariantList& binds = {});

private:
    [[noreturn]] void fail(int rc);
    QByteArray& slot(int index);
    int bindText(int index, QStringView text);

    sqlite3* m_db;
    const StatementGuard* m_guard;
    QByteArray m_rest;
    // A bound text or blob is kept here until the parameter is bound again,
    // so that the engine reads it in place instead of copying it.
    std::vector<QByteArray> m_kept;
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    // Last, so that it is finalized before the texts it was bound to go.
    StatementHandle m_stmt;
};

// Resets a statement however the scope ends, leaving it ready again.
class StatementRun {
public:
    explicit StatementRun(SqlStatement& s) : m_s(s) {}
    ~StatementRun() { m_s.reset(); }
    StatementRun(const StatementRun&) = delete;
    StatementRun& operator=(const StatementRun&) = delete;

private:
    SqlStatement& m_s;
};

} // namespace kestrova
