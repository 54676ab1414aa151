#include "data/sqlscript.h"

#include "data/error.h"
#include "data/sqlstatement.h"

#include <QCoreApplication>
#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace kestrova {

namespace {

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

} // namespace

void runSqlScript(sqlite3* db, const QByteArray& script, const QString& scriptName)
{
    const char* const begin = script.constData();
    const char* const end = begin + script.size();
    const char* at = skipSpaceAndComments(begin, end);
    while (at < end) {
        auto fail = [&](const QString& why) {
            const int line = int(std::count(begin, at, '\n')) + 1;
            //: %1 is the name of a data script, %2 a line number, %3 the reason.
            throw Error(QCoreApplication::translate("data::SqlScript", "%1, line %2: %3")
                            .arg(scriptName, QString::number(line), why));
        };
        auto lastError = [&] { return QString::fromUtf8(sqlite3_errmsg(db)); };
        sqlite3_stmt* prepared = nullptr;
        const char* tail = nullptr;
        const int prepareRc = sqlite3_prepare_v2(db, at, int(end - at), &prepared, &tail);
        const StatementHandle stmt(prepared);
        if (prepareRc != SQLITE_OK)
            fail(lastError());
        if (!stmt) { // a lone semicolon
            if (tail <= at)
                break;
            at = skipSpaceAndComments(tail, end);
            continue;
        }
        const int changesBefore = sqlite3_total_changes(db);
        int rc;
        while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            fail(lastError());
        if (sqlite3_get_autocommit(db))
            fail(QCoreApplication::translate("data::SqlScript", "the script must not end the transaction"));
        if (changesRows(at, end) && sqlite3_total_changes(db) == changesBefore)
            fail(QCoreApplication::translate("data::SqlScript", "the statement changed no row"));
        at = skipSpaceAndComments(tail, end);
    }
}

} // namespace kestrova
