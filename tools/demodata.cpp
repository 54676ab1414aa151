#include "demodata.h"

#include "error.h"
#include "schema.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>

namespace kestrova {
namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// One SQLite connection, closed when it goes out of scope.
class Connection {
public:
    Connection()
    {
        // Without SQLITE_OPEN_URI, ATTACH takes file names literally.
        const int rc = sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK)
            throw Error(
                QStringLiteral("Cannot open a database in memory: %1").arg(QString::fromUtf8(sqlite3_errstr(rc))));
    }
    ~Connection() { sqlite3_close_v2(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_db; }
    QString lastError() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    // Runs one statement with text parameters and no result rows; returns
    // SQLite's error message, empty on success.
    QString run(const QString& sql, const QStringList& params = {})
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
            return lastError();
        int rc = SQLITE_OK;
        for (int i = 0; i < params.size() && rc == SQLITE_OK; ++i) {
            const QByteArray value = params.at(i).toUtf8();
            rc = sqlite3_bind_text(stmt, i + 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
        }
        if (rc == SQLITE_OK)
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
        const QString failure = rc == SQLITE_DONE ? QString() : lastError();
        sqlite3_finalize(stmt);
        return failure;
    }

    void runOrThrow(const QString& sql, const QStringList& params = {})
    {
        const QString failure = run(sql, params);
        if (!failure.isEmpty())
            throw Error(failure);
    }

private:
    sqlite3* m_db = nullptr;
};

// Skips white space and comments; returns where the next statement starts.
const char* skipSpaceAndComments(const char* at, const char* end)
{
    while (at < end) {
        if (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n') {
            ++at;
        } else if (end - at >= 2 && at[0] == '-' && at[1] == '-') {
            while (at < end && *at != '\n')
                ++at;
        } else if (end - at >= 2 && at[0] == '/' && at[1] == '*') {
            at += 2;
            while (end - at >= 2 && !(at[0] == '*' && at[1] == '/'))
                ++at;
            at = end - at >= 2 ? at + 2 : end;
        } else {
            break;
        }
    }
    return at;
}

// True for statements that are there to change rows.
bool changesRows(const char* at, const char* end)
{
    const QByteArray word = QByteArray(at, int(std::min<qsizetype>(end - at, 8))).toUpper();
    for (const char* keyword : {"INSERT", "UPDATE", "DELETE", "REPLACE"})
        if (word.startsWith(keyword))
            return true;
    return false;
}

// Runs the statements of script one by one, inside the transaction the
// caller has begun. Errors name the line the failing statement starts on.
void runScript(Connection& db, const QByteArray& script, const QString& scriptName)
{
    const char* const begin = script.constData();
    const char* const end = begin + script.size();
    const char* at = skipSpaceAndComments(begin, end);
    while (at < end) {
        auto fail = [&](const QString& why) {
            const int line = int(std::count(begin, at, '\n')) + 1;
            throw Error(QStringLiteral("%1, line %2: %3").arg(scriptName).arg(line).arg(why));
        };
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db.handle(), at, int(end - at), &stmt, &tail) != SQLITE_OK)
            fail(db.lastError());
        if (!stmt) { // a lone semicolon
            if (tail <= at)
                break;
            at = skipSpaceAndComments(tail, end);
            continue;
        }
        const int changesBefore = sqlite3_total_changes(db.handle());
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            fail(db.lastError());
        if (sqlite3_get_autocommit(db.handle()))
            fail(QStringLiteral("the script must not end the transaction"));
        if (changesRows(at, end) && sqlite3_total_changes(db.handle()) == changesBefore)
            fail(QStringLiteral("the statement changed no row"));
        at = skipSpaceAndComments(tail, end);
    }
}

// Refuses texts longer than their columns: the windows would cut them off.
void checkTextLengths(Connection& db)
{
    for (const TableDef& t : schemaTables()) {
        for (const FieldDef& f : t.fields) {
            if (f.kind != FieldKind::Text)
                continue;
            const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE length(%1) > ?1 LIMIT 1")
                                       .arg(quoted(f.name), quoted(t.name))
                                       .toUtf8();
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
                throw Error(db.lastError());
            sqlite3_bind_int(stmt, 1, f.length);
            const int rc = sqlite3_step(stmt);
            const QString value = rc == SQLITE_ROW
                                      ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))
                                      : QString();
            sqlite3_finalize(stmt);
            if (rc == SQLITE_ROW)
                throw Error(QStringLiteral("'%1' is too long for %2.%3").arg(value, t.name, f.name));
            if (rc != SQLITE_DONE)
                throw Error(db.lastError());
        }
    }
}

enum class Direction { IntoMemory, IntoFile };

// Copies all rows of one table between the in-memory set and its file,
// replacing the rows at the other end, in one transaction of the file.
void copyTable(Connection& db, const QString& dir, const TableDef& t, Direction direction)
{
    const QString path = QDir(dir).filePath(t.fileName());
    QStringList cols;
    for (const FieldDef& f : t.fields)
        cols << quoted(f.name);
    const QString list = cols.join(QStringLiteral(", "));
    const QString from = direction == Direction::IntoFile ? QStringLiteral("main") : QStringLiteral("file");
    const QString to = direction == Direction::IntoFile ? QStringLiteral("file") : QStringLiteral("main");
    QString failure = db.run(QStringLiteral("ATTACH DATABASE ?1 AS file"), {path});
    if (failure.isEmpty()) {
        for (const QString& sql : {QStringLiteral("BEGIN"), QStringLiteral("DELETE FROM %1.%2").arg(to, quoted(t.name)),
                                   QStringLiteral("INSERT INTO %1.%2 (%3) SELECT %3 FROM %4.%2 ORDER BY rowid")
                                       .arg(to, quoted(t.name), list, from),
                                   QStringLiteral("COMMIT")}) {
            failure = db.run(sql);
            if (!failure.isEmpty())
                break;
        }
        if (!sqlite3_get_autocommit(db.handle()))
            db.run(QStringLiteral("ROLLBACK"));
        const QString detached = db.run(QStringLiteral("DETACH DATABASE file"));
        if (failure.isEmpty())
            failure = detached;
    }
    if (!failure.isEmpty())
        throw Error(QStringLiteral("Cannot %1 %2: %3")
                        .arg(direction == Direction::IntoFile ? QStringLiteral("write") : QStringLiteral("read"), path,
                             failure));
}

// Removes the table files of dir; returns those that could not be removed.
QStringList removeTableFiles(const QString& dir)
{
    QStringList left;
    for (const TableDef& t : schemaTables()) {
        const QString path = QDir(dir).filePath(t.fileName());
        if (QFile::exists(path) && !QFile::remove(path))
            left << path;
    }
    return left;
}

} // namespace

void fillDemoData(const QString& dir)
{
    QFile file(QStringLiteral(":/kestrova/demo.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("The demo set is missing from the program: %1").arg(file.errorString()));
    fillTableSet(dir, file.readAll(), QStringLiteral("demo.sql"));
}

void fillTableSet(const QString& dir, const QByteArray& script, const QString& scriptName)
{
    // Throws before writing anything when one of the files exists.
    createEmptyTableSet(dir);

    // One connection can attach at most ten databases, fewer than the
    // thirteen tables. So the script runs on a copy of the new set in memory,
    // in one transaction, and the result goes into the files one by one. The
    // files are all new: when anything fails, they are all removed again.
    try {
        Connection db;
        for (const TableDef& t : schemaTables())
            for (const QString& sql : createStatements(t))
                db.runOrThrow(sql);
        for (const TableDef& t : schemaTables())
            copyTable(db, dir, t, Direction::IntoMemory);

        db.runOrThrow(QStringLiteral("BEGIN"));
        runScript(db, script, scriptName);
        checkTextLengths(db);
        db.runOrThrow(QStringLiteral("COMMIT"));

        for (const TableDef& t : schemaTables())
            copyTable(db, dir, t, Direction::IntoFile);
    } catch (const Error& e) {
        const QStringList left = removeTableFiles(dir);
        if (left.isEmpty())
            throw;
        throw Error(QStringLiteral("%1; the new files %2 could not be removed")
                        .arg(e.message(), left.join(QStringLiteral(", "))));
    } catch (...) {
        removeTableFiles(dir);
        throw;
    }
}

} // namespace kestrova
