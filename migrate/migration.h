#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrova {

struct TableMigration {
    QString table;
    qint64 read = 0;    // records read from the Paradox table
    qint64 written = 0; // rows in the new table
};

struct MigrationReport {
    std::vector<TableMigration> tables; // in the order of the table set
    // What the user should know: values kept whole though longer than
    // Kestrova's field, Paradox fields that have no place in Kestrova's
    // tables, settings rows added.
    QStringList notes;
};

// The file of a table in dir, found whatever the letter case of its name
// ("XSALE.DB", "Xsale.mb"); empty when there is none.
QString findTableFile(const QString& dir, const QString& table, const QString& extension);

// Converts the thirteen Paradox tables of sourceDir, field by field by name
// and in each table's record order, into Kestrova table files written into
// stagingDir, an existing folder that holds none of them. Throws Error with a
// message naming the table and the problem; files written before the failure
// stay in stagingDir for the caller to discard.
MigrationReport convertParadoxTables(const QString& sourceDir, const QString& stagingDir);

// Moves the thirteen table files of fromDir into toDir, all or nothing: when
// toDir holds any of them or a move fails, every file is back where it was.
void moveTableFiles(const QString& fromDir, const QString& toDir);

// Makes what was written to path (a file, or a folder's list of names)
// durable; throws Error with the reason when it cannot.
void syncToDisk(const QString& path);

// kestrova-tables migrate: converts into a temporary folder beside or inside
// targetDir and moves the finished set into place, so that targetDir never
// holds part of a set, and first removes what a run that was stopped left
// behind. targetDir may be missing; it must not hold table files.
MigrationReport migrateParadoxTables(const QString& sourceDir, const QString& targetDir);

} // namespace kestrova
