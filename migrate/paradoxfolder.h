#pragma once

#include "migration.h"

#include <QString>
#include <QStringList>

namespace kestrova {

// True when dir holds, under the tables' names, Paradox tables instead of
// Kestrova's files: at least one table file that is not empty and not an
// SQLite file, and none that is an SQLite file.
bool folderHoldsParadoxTables(const QString& dir);

// The files of dir that belong to its Paradox tables: every file whose name
// before the first dot is a table's name, in any letter case (Xsale.DB,
// XSALE.PX, Xsale.MB, Xsale.X02, Xsale.YG0, ...).
QStringList paradoxTableFiles(const QString& dir);

// The folder, inside the working folder, that keeps the original files.
QString paradoxKeepFolder(const QString& dir);

// Converts the Paradox tables of the working folder dir: the new table files
// take their place in dir and every Paradox file moves into paradox/. All or
// nothing: when anything fails, every file is back where it was and Error
// says why. Nothing is deleted.
MigrationReport convertWorkingFolder(const QString& dir);

} // namespace kestrova
