#pragma once

// Running the statement of a query text: the guard that watches a run, and
// a read-only result read a page at a time. Used by Query; not part of the
// data layer's interface.

#include "data/sqlstatement.h"

#include <QCoreApplication>
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
    return QCoreApplication::translate("QueryRun", "Not enough memory to run the query");
}

// Limits a query connection applies to every text it runs: no single value
// beyond kMaxValueBytes ("string or blob too big"), the engine's defensive
// mode, and no function called from a file's schema.
constexpr int kMaxValueBytes = 16 * 1024 * 1024;
void limitQueryConnection(sqlite3* db);

// While alive, watches what runs on a connection: the progress (if any) is
// asked every few thousand engine steps whether to go on, and with readOnly
// an authorizer lets statements read and nothing else. Only the statements
// of the query text run under it; the query layer's own (ATTACH, the table's
// field list, the writes of an editable result) run outside.
class QueryRun : public StatementGuard {
public:
    QueryRun(sqlite3* db, QueryProgress* progress, bool readOnly);
    ~QueryRun() override;
    QueryRun(const QueryRun&) = delete;
    QueryRun& operator=(const QueryRun&) = delete;

protected:
    // Throws why the run stopped: the progress stopped it or threw, the
    // authorizer refused an action, or the engine ran out of memory.
    void raise(sqlite3* db, int rc) const override;

private:
    Q_DECLARE_TR_FUNCTIONS(QueryRun)

    static int onProgress(void* self);
    static int onAuthorize(void* self, int action, const char* a, const char* b, const char* db, const char* trigger);

    sqlite3* m_db;
    QueryProgress* m_progress;
    bool m_readOnly;
    bool m_cancelled = false;
    std::exception_ptr m_thrown;
    QString m_refused; // the first action refused, as the message names it
};

// A read-only result, never held whole: scan() runs through it once,
// counting rows and noting each column's kind of values, and keeps the
// first page; rows elsewhere are read by running the text again, skipping
// to them, and are kept a page at a time. Every run ends before control
// returns, so no lock is held on the tables between reads.
class ResultPages {
public:
    ResultPages(sqlite3* db, const QString& sql, const QVariantList& binds, QueryProgress* progress, bool readOnly);

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
