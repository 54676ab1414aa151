#include "data/transaction.h"

#include "data/error.h"
#include "data/sqlstatement.h"
#include "data/table.h"

#include <QFile>

namespace kestrova {

SqlConnection::SqlConnection(const QString& path, Mode mode)
{
    // Without SQLITE_OPEN_URI, ATTACH and the path take file names literally.
    const int flags = mode == Mode::ReadOnly    ? SQLITE_OPEN_READONLY
                      : mode == Mode::ReadWrite ? SQLITE_OPEN_READWRITE
                                                : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const QByteArray name = path.isEmpty() ? QByteArray(":memory:") : QFile::encodeName(path);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    m_db.reset(db); // closed here too when the open failed
    if (rc != SQLITE_OK)
        throw Error(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
}

void SqlConnection::close()
{
    if (const int rc = sqlite3_close(m_db.get()); rc != SQLITE_OK)
        throw Error(QString::fromUtf8(sqlite3_errstr(rc)));
    m_db.release();
}

void SqlConnection::setBusyTimeout(int milliseconds)
{
    if (const int rc = sqlite3_busy_timeout(m_db.get(), milliseconds); rc != SQLITE_OK)
        throw Error(QString::fromUtf8(sqlite3_errstr(rc)));
}

void SqlConnection::exec(const QString& sql, const QVariantList& binds)
{
    SqlStatement::exec(m_db.get(), sql, binds);
}

Transaction::Transaction(sqlite3* db, Kind kind) : m_db(db)
{
    SqlStatement::exec(m_db, kind == Kind::Immediate   ? QStringLiteral("BEGIN IMMEDIATE")
                             : kind == Kind::Exclusive ? QStringLiteral("BEGIN EXCLUSIVE")
                                                       : QStringLiteral("BEGIN"));
}

Transaction::~Transaction()
{
    // The engine may have rolled back by itself after an error.
    if (m_open && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    if (sqlite3_get_autocommit(m_db)) {
        m_open = false;
        //: The reason a commit failed, shown after "...: ".
        throw Error(tr("the database engine had already rolled the changes back"));
    }
    SqlStatement::exec(m_db, QStringLiteral("COMMIT")); // a failure leaves it to the destructor
    m_open = false;
}

Batch::Batch(Table& table, Table* partner) : m_table(table)
{
    m_table.beginBatch(partner);
}

Batch::~Batch()
{
    if (!m_open)
        return;
    try {
        m_table.rollbackBatch();
    } catch (const Error&) {
        // Left on the way out of an error: the engine rolls back what is
        // still open when the table closes.
    }
}

void Batch::commit()
{
    m_open = false; // a failed commit rolls back by itself
    m_table.commitBatch();
}

void Batch::rollback()
{
    m_open = false;
    m_table.rollbackBatch();
}

} // namespace kestrova
