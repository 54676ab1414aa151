#pragma once

#include <QByteArray>
#include <QString>

namespace kestrova {

// Creates the empty set of tables in dir (settings rows included), then runs
// script on it in one transaction; scriptName names it in error messages.
// The script may insert, update and delete rows but must not end the
// transaction; a statement of it that changes no row, and a text longer than
// its column, are errors. On any error the new files are removed again.
void fillTableSet(const QString& dir, const QByteArray& script, const QString& scriptName);

} // namespace kestrova
