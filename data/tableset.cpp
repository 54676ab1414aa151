#include "data/tableset.h"

#include "data/error.h"
#include "data/schema.h"
#include "data/sqlscript.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace kestrova {
namespace {

// Refuses texts longer than their columns: the windows would cut them off.
void checkTextLengths(SqlConnection& db)
{
    for (const TableDef& t : schemaTables()) {
        for (const FieldDef& f : t.fields) {
            if (f.kind != FieldKind::Text)
                continue;
            SqlStatement tooLong(
                db.handle(),
                QStringLiteral("SELECT %1 FROM %2 WHERE length(%1) > ?1 LIMIT 1").arg(quoted(f.name), quoted(t.name)));
            tooLong.bind(0, f.length);
            if (tooLong.step())
                //: %1 is a value, %2.%3 the table and field it is too long for (e.g. Xsale.Person).
                throw Error(QCoreApplication::translate("data::TableSet", "'%1' is too long for %2.%3")
                                .arg(tooLong.value(0).toString(), t.name, f.name));
        }
    }
}

enum class Direction { IntoMemory, IntoFile };

// Copies all rows of one table between the in-memory set and its file,
// replacing the rows at the other end, in one transaction of the file.
void copyTable(SqlConnection& db, const QString& dir, const TableDef& t, Direction direction)
{
    const QString path = QDir(dir).filePath(t.fileName());
    QStringList cols;
    for (const FieldDef& f : t.fields)
        cols << quoted(f.name);
    const QString list = cols.join(QStringLiteral(", "));
    const QString from = direction == Direction::IntoFile ? QStringLiteral("main") : QStringLiteral("file");
    const QString to = direction == Direction::IntoFile ? QStringLiteral("file") : QStringLiteral("main");
    try {
        db.exec(QStringLiteral("ATTACH DATABASE ?1 AS file"), {path});
        try {
            Transaction transaction(db.handle());
            db.exec(QStringLiteral("DELETE FROM %1.%2").arg(to, quoted(t.name)));
            db.exec(QStringLiteral("INSERT INTO %1.%2 (%3) SELECT %3 FROM %4.%2 ORDER BY rowid")
                        .arg(to, quoted(t.name), list, from));
            transaction.commit();
        } catch (const Error&) {
            try {
                db.exec(QStringLiteral("DETACH DATABASE file"));
            } catch (const Error&) {
                // The first failure is the one to report.
            }
            throw;
        }
        db.exec(QStringLiteral("DETACH DATABASE file"));
    } catch (const Error& e) {
        throw Error((direction == Direction::IntoFile
                         ? QCoreApplication::translate("data::TableSet", "Cannot write %1: %2")
                         : QCoreApplication::translate("data::TableSet", "Cannot read %1: %2"))
                        .arg(path, e.message()));
    }
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

void fillTableSet(const QString& dir, const QByteArray& script, const QString& scriptName)
{
    // Throws before writing anything when one of the files exists.
    createEmptyTableSet(dir);

    // One connection can attach at most ten databases, fewer than the
    // thirteen tables. So the script runs on a copy of the new set in memory,
    // in one transaction, and the result goes into the files one by one. The
    // files are all new: when anything fails, they are all removed again.
    try {
        SqlConnection db;
        for (const TableDef& t : schemaTables())
            for (const QString& sql : createStatements(t))
                db.exec(sql);
        for (const TableDef& t : schemaTables())
            copyTable(db, dir, t, Direction::IntoMemory);

        Transaction transaction(db.handle());
        runSqlScript(db.handle(), script, scriptName);
        checkTextLengths(db);
        transaction.commit();

        for (const TableDef& t : schemaTables())
            copyTable(db, dir, t, Direction::IntoFile);
    } catch (const Error& e) {
        const QStringList left = removeTableFiles(dir);
        if (left.isEmpty())
            throw;
        //: %1 is the reason the table set could not be made, %2 a list of files.
        throw Error(QCoreApplication::translate("data::TableSet", "%1; the new files %2 could not be removed")
                        .arg(e.message(), left.join(QStringLiteral(", "))));
    } catch (...) {
        removeTableFiles(dir);
        throw;
    }
}

} // namespace kestrova
