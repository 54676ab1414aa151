#pragma once

// Table files and their connections: opening one, reading a table's field
// list from the file, and checking it against the fields the program uses.

#include "data/record.h"

#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVector>
#include <sqlite3.h>

namespace kestrova {

// The engine's reason for a failure of the Qt SQL driver, without a final stop.
QString engineMessage(const QSqlError& e);

// A file name as an SQLite URI, opened for reading only or for writing
// (never created).
QString fileUri(const QString& path, bool readOnly);

// Adds and opens a QSQLITE connection. Returns the engine's reason when it
// cannot be opened; the connection is then removed again.
QString openConnection(const QString& connection, const QString& databaseName, const QString& options);
// Closes and removes a connection added by openConnection().
void closeConnection(const QString& connection);

// The field kind a declared column type stands for, and a text's length.
FieldKind kindOfDeclaredType(const QString& declared, int* length);

// Field list and primary key of a table of the schema ("main" or an
// attached file's name), read from the file itself.
QVector<FieldInfo> readFields(sqlite3* db, const QString& schema, const QString& table, QStringList* key);

// Checks a known table's fields against the ones the program relies on, so
// a restructured file is refused at once instead of failing later on some
// unrelated action. Returns what is wrong, or nothing.
QString fieldMismatch(const QString& table, const QVector<FieldInfo>& fields);

} // namespace kestrova
