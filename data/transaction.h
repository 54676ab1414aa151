#pragma once

// Owned SQLite connections and transactions that end however their scope
// ends: the one way code outside the data layer begins, commits and rolls
// back.

#include <QCoreApplication>
#include <QString>
#include <QVariantList>
#include <memory>
#include <sqlite3.h>

namespace kestrova {

class Table;

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// A connection of its own to a database file (or to memory for an empty
// path), closed when it goes out of scope. Throws the engine's reason when
// the file cannot be opened.
class SqlConnection {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };
    explicit SqlConnection(const QString& path = {}, Mode mode = Mode::Create);

    sqlite3* handle() const { return m_db.get(); }
    // How long a statement waits for a lock another connection holds before
    // it fails as busy.
    void setBusyTimeout(int milliseconds);
    // Prepares, binds and runs one statement that returns no rows.
    void exec(const QString& sql, const QVariantList& binds = {});
    // Closes the connection, its statements finished first; throws the
    // engine's reason when the file could not be closed cleanly.
    void close();

private:
    SqliteHandle m_db;
};

// One transaction on a connection: begun when made, committed by commit(),
// rolled back when the scope is left without a commit (an error on its way).
class Transaction {
public:
    enum class Kind { Deferred, Immediate, Exclusive };
    explicit Transaction(sqlite3* db, Kind kind = Kind::Deferred);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws the engine's reason; the transaction is then rolled back.
    void commit();

private:
    Q_DECLARE_TR_FUNCTIONS(Transaction)

    sqlite3* m_db;
    bool m_open = true;
};

// A batch of a table (Table::beginBatch): committed by commit(), rolled back
// when the scope is left without one.
class Batch {
public:
    explicit Batch(Table& table, Table* partner = nullptr);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    void commit();
    void rollback();

private:
    Table& m_table;
    bool m_open = true;
};

} // namespace kestrova
