#pragma once

#include "migrate/migration.h"

#include <QString>
#include <QStringList>
#include <functional>

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

// Called before each step of convertWorkingFolder that changes the folder,
// with a short name of the step; tests stop the program there.
using ConversionStep = std::function<void(const QString& step)>;

// Converts the Paradox tables of the working folder dir: the new table files
// take their place in dir and every Paradox file moves into paradox/. All or
// nothing: when anything fails, every file is back where it was and Error
// says why. Nothing is deleted. A journal in dir (conversionJournalName)
// records how far the conversion came, so that after the program was killed
// or the machine stopped, recoverInterruptedConversion finishes or undoes it.
MigrationReport convertWorkingFolder(const QString& dir, const ConversionStep& beforeStep = {});

// The journal of a conversion in progress, in the working folder.
extern const QString conversionJournalName;

enum class Recovery {
    Nothing,    // no conversion was interrupted
    RolledBack, // it was stopped before any file moved: the Paradox tables are as before
    Completed,  // it was stopped while moving files: the moves were finished
};

// Run first at start-up: finishes a conversion of dir that was stopped while
// moving files, or undoes one stopped before, following its journal, and
// removes temporary folders that an interrupted conversion left behind
// (their content is then held elsewhere). Throws Error when that fails; the
// journal then stays for the next start.
Recovery recoverInterruptedConversion(const QString& dir);

} // namespace kestrova
