#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace kestrova {

// Runs the statements of a data script one by one on db, inside the
// transaction the caller has begun. The script may insert, update and
// delete rows but must not end the transaction, and each statement meant to
// change rows must change one. Errors name the script and the line the
// failing statement starts on.
void runSqlScript(sqlite3* db, const QByteArray& script, const QString& scriptName);

} // namespace kestrova
