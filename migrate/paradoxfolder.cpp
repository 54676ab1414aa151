#include "migrate/paradoxfolder.h"

#include "data/error.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kestrova {

namespace {

enum class FileKind { Missing, Empty, SQLite, Other };

FileKind fileKind(const QString& path)
{
    if (path.isEmpty())
        return FileKind::Missing;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return f.exists() ? FileKind::Other : FileKind::Missing;
    const QByteArray head = f.read(16);
    if (head.isEmpty())
        return FileKind::Empty;
    return head == QByteArray("SQLite format 3\0", 16) ? FileKind::SQLite : FileKind::Other;
}

bool isTableName(const QString& base)
{
    for (const TableDef& t : schemaTables())
        if (t.name.compare(base, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void renameFile(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw Error(QCoreApplication::translate("migrate::ParadoxFolder", "Cannot move %1 to %2: %3")
                        .arg(native(from), native(to), errnoText()));
}

// Moves files by renaming, all or nothing.
class Mover {
public:
    void move(const QString& from, const QString& to)
    {
        renameFile(from, to);
        m_moved.emplace_back(from, to);
    }
    // Puts every file back; false when one could not be.
    bool undo()
    {
        bool all = true;
        for (auto it = m_moved.rbegin(); it != m_moved.rend(); ++it)
            all =
                std::rename(QFile::encodeName(it->second).constData(), QFile::encodeName(it->first).constData()) == 0 &&
                all;
        m_moved.clear();
        return all;
    }

private:
    std::vector<std::pair<QString, QString>> m_moved;
};

// Keeps two programs from converting, or finishing a conversion of, one
// folder at the same time: a second start would take a live conversion for
// an interrupted one. The kernel drops the lock when the process ends,
// killed or not.
class FolderLock {
public:
    explicit FolderLock(const QString& dir)
    {
        m_fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return;
        const int error = errno;
        const QString reason = errnoText();
        if (m_fd >= 0)
            ::close(m_fd);
        if (error == EWOULDBLOCK)
            throw Error(
                QCoreApplication::translate("migrate::ParadoxFolder",
                                            "Another Kestrova is converting the Paradox tables in %1; start again when "
                                            "it has finished")
                    .arg(native(dir)));
        throw Error(QCoreApplication::translate("migrate::ParadoxFolder", "Cannot lock the folder %1: %2")
                        .arg(native(dir), reason));
    }
    ~FolderLock() { ::close(m_fd); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

const QString stagingPrefix = QStringLiteral(".kestrova-convert-");
const QByteArray journalMagic = "kestrova-convert 1";

// The journal: the phase reached, the temporary folder holding the new set
// and, once files move, the Paradox files to move into paradox/.
struct Journal {
    QString phase; // "converting" or "moving"
    QString staging;
    QStringList files;
};

QString journalPath(const QString& dir)
{
    return QDir(dir).filePath(conversionJournalName);
}

// Replaces the journal in one rename, so that a reader finds either the
// old one or the new one, whole.
void writeJournal(const QString& dir, const Journal& j)
{
    QByteArray text = journalMagic + "\nphase " + j.phase.toUtf8() + "\nstaging " + j.staging.toUtf8() + '\n';
    for (const QString& f : j.files)
        text += "file " + f.toUtf8() + '\n';
    const QString path = journalPath(dir);
    const QString fresh = path + QStringLiteral(".new");
    QFile f(fresh);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size() || !f.flush() ||
        ::fsync(f.handle()) != 0) {
        const QString reason = f.error() != QFileDevice::NoError ? f.errorString() : errnoText();
        f.close();
        QFile::remove(fresh);
        throw Error(
            QCoreApplication::translate("migrate::ParadoxFolder", "Cannot write %1: %2").arg(native(path), reason));
    }
    f.close();
    renameFile(fresh, path);
    syncToDisk(dir);
}

// Reads the journal; false when there is none.
bool readJournal(const QString& dir, Journal* j)
{
    QFile f(journalPath(dir));
    if (!f.exists())
        return false;
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QCoreApplication::translate("migrate::ParadoxFolder", "Cannot read %1: %2")
                        .arg(native(f.fileName()), f.errorString()));
    const QList<QByteArray> lines = f.readAll().split('\n');
    bool known = !lines.isEmpty() && lines.first() == journalMagic;
    for (qsizetype i = 1; known && i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const QString value = QString::fromUtf8(line.mid(line.indexOf(' ') + 1));
        if (line.startsWith("phase "))
            j->phase = value;
        else if (line.startsWith("staging "))
            j->staging = value;
        else if (line.startsWith("file "))
            j->files << value;
        else
            known = line.isEmpty();
    }
    // Names only, never paths: the journal must not lead out of the folder.
    auto plainName = [](const QString& n) {
        return !n.isEmpty() && !n.contains(QLatin1Char('/')) && n != QLatin1String(".") && n != QLatin1String("..");
    };
    known = known && j->staging.startsWith(stagingPrefix) && plainName(j->staging) &&
            (j->phase == QLatin1String("converting") || j->phase == QLatin1String("moving"));
    for (const QString& name : j->files)
        known = known && plainName(name);
    if (!known)
        throw Error(
            QCoreApplication::translate("migrate::ParadoxFolder",
                                        "%1 is not a journal this version of Kestrova can read; the files of the "
                                        "folder were left as they are")
                .arg(native(f.fileName())));
    return true;
}

void removeJournal(const QString& dir)
{
    if (!QFile::remove(journalPath(dir)) && QFileInfo::exists(journalPath(dir)))
        throw Error(
            QCoreApplication::translate("migrate::ParadoxFolder", "Cannot remove %1").arg(native(journalPath(dir))));
    syncToDisk(dir);
}

void removeFolder(const QString& path)
{
    if (QFileInfo::exists(path) && !QDir(path).removeRecursively())
        throw Error(QCoreApplication::translate("migrate::ParadoxFolder", "Cannot remove the temporary folder %1")
                        .arg(native(path)));
}

// Temporary folders of conversions, and a journal being replaced, left by a
// conversion that was stopped.
QStringList leftoverStaging(const QString& dir)
{
    QStringList out = QDir(dir).entryList({stagingPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden);
    if (QFileInfo::exists(journalPath(dir) + QStringLiteral(".new")))
        out << conversionJournalName + QStringLiteral(".new");
    return out;
}

// Once no journal names them, the Paradox tables are whole where they were
// or the new set is in place: what is left is not needed.
void removeLeftoverStaging(const QString& dir)
{
    for (const QString& name : leftoverStaging(dir))
        if (name.startsWith(stagingPrefix))
            removeFolder(QDir(dir).filePath(name));
    QFile::remove(journalPath(dir) + QStringLiteral(".new"));
}

// Moves the new table files of staging into dir; a name already taken
// stops it.
void moveNewTables(const QString& staging, const QString& dir, const ConversionStep& beforeStep, Mover* mover)
{
    for (const TableDef& t : schemaTables()) {
        const QString from = QDir(staging).filePath(t.fileName());
        const QString to = QDir(dir).filePath(t.fileName());
        if (!QFileInfo::exists(from))
            continue; // moved before the program was stopped
        if (QFileInfo::exists(to))
            throw Error(
                QCoreApplication::translate("migrate::ParadoxFolder", "Table file %1 already exists").arg(native(to)));
        if (beforeStep)
            beforeStep(QStringLiteral("move %1 into place").arg(t.fileName()));
        if (mover)
            mover->move(from, to);
        else
            renameFile(from, to);
    }
}

} // namespace

bool folderHoldsParadoxTables(const QString& dir)
{
    bool paradox = false;
    for (const TableDef& t : schemaTables()) {
        switch (fileKind(findTableFile(dir, t.name, QStringLiteral("db")))) {
        case FileKind::SQLite: return false;
        case FileKind::Other: paradox = true; break;
        case FileKind::Missing:
        case FileKind::Empty: break;
        }
    }
    return paradox;
}

QStringList paradoxTableFiles(const QString& dir)
{
    QStringList out;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names)
        if (isTableName(name.section(QLatin1Char('.'), 0, 0)))
            out << name;
    return out;
}

QString paradoxKeepFolder(const QString& dir)
{
    return QDir(dir).filePath(QStringLiteral("paradox"));
}

const QString conversionJournalName = QStringLiteral(".kestrova-convert.journal");

MigrationReport convertWorkingFolder(const QString& dir, const ConversionStep& beforeStep)
{
    auto step = [&](const QString& name) {
        if (beforeStep)
            beforeStep(name);
    };
    const FolderLock lock(dir);
    if (QFileInfo::exists(journalPath(dir)))
        throw Error(
            QCoreApplication::translate("migrate::ParadoxFolder",
                                        "An interrupted conversion waits in %1; start Kestrova again to finish it")
                .arg(native(dir)));
    QTemporaryDir staging(QDir(dir).filePath(stagingPrefix + QStringLiteral("XXXXXX")));
    if (!staging.isValid())
        throw Error(QCoreApplication::translate("migrate::ParadoxFolder", "Cannot create a temporary folder in %1: %2")
                        .arg(native(dir), staging.errorString()));
    // Removed here on success and on failure; left for the next start when
    // files could not be moved back.
    staging.setAutoRemove(false);
    Journal journal{QStringLiteral("converting"), QFileInfo(staging.path()).fileName(), {}};
    try {
        step(QStringLiteral("write the journal"));
        writeJournal(dir, journal);
        step(QStringLiteral("convert the tables"));
        MigrationReport report = convertParadoxTables(dir, staging.path());
        for (const TableDef& t : schemaTables())
            syncToDisk(QDir(staging.path()).filePath(t.fileName()));
        syncToDisk(staging.path());

        const QString keep = paradoxKeepFolder(dir);
        journal.files = paradoxTableFiles(dir);
        for (const QString& name : std::as_const(journal.files))
            if (QFileInfo::exists(QDir(keep).filePath(name)))
                throw Error(
                    QCoreApplication::translate("migrate::ParadoxFolder", "%1 already exists; nothing was moved")
                        .arg(native(QDir(keep).filePath(name))));
        const bool madeKeep = !QFileInfo::exists(keep);
        if (!QDir().mkpath(keep))
            throw Error(
                QCoreApplication::translate("migrate::ParadoxFolder", "Cannot create the folder %1").arg(native(keep)));
        syncToDisk(dir);

        // From here on the next start finishes the moves when they are stopped.
        journal.phase = QStringLiteral("moving");
        step(QStringLiteral("record the moves"));
        writeJournal(dir, journal);
        Mover mover;
        try {
            for (const QString& name : std::as_const(journal.files)) {
                step(QStringLiteral("move %1 into paradox").arg(name));
                mover.move(QDir(dir).filePath(name), QDir(keep).filePath(name));
            }
            syncToDisk(keep);
            moveNewTables(staging.path(), dir, beforeStep, &mover);
            syncToDisk(dir);
        } catch (const Error& e) {
            if (!mover.undo())
                //: %1 is why the conversion failed.
                throw Error(QCoreApplication::translate("migrate::ParadoxFolder",
                                                        "%1; not every file could be moved back, the next start "
                                                        "finishes the conversion")
                                .arg(e.message()));
            if (madeKeep)
                QDir().rmdir(keep); // empty again: only what was made here goes
            journal.phase = QStringLiteral("converting");
            writeJournal(dir, journal);
            throw;
        }
        step(QStringLiteral("remove the temporary folder"));
        removeFolder(staging.path());
        step(QStringLiteral("remove the journal"));
        removeJournal(dir);
        return report;
    } catch (const Error&) {
        if (journal.phase == QLatin1String("converting")) {
            staging.remove();
            QFile::remove(journalPath(dir)); // or the next start undoes it
        }
        throw;
    }
}

Recovery recoverInterruptedConversion(const QString& dir)
{
    // Most starts find nothing to do, and need no lock to see it.
    if (!QFileInfo::exists(journalPath(dir)) && leftoverStaging(dir).isEmpty())
        return Recovery::Nothing;
    const FolderLock lock(dir);
    Journal journal;
    if (!readJournal(dir, &journal)) {
        removeLeftoverStaging(dir);
        return Recovery::Nothing;
    }
    const QString staging = QDir(dir).filePath(journal.staging);
    if (journal.phase == QLatin1String("converting")) {
        // No file has moved: the Paradox tables are whole where they were.
        removeFolder(staging);
        removeJournal(dir);
        removeLeftoverStaging(dir);
        return Recovery::RolledBack;
    }
    // Every new table was written and is on disk: finish the moves. The
    // originals go first, so a table file in the folder under a Paradox
    // file's name is always the new one.
    const QString keep = paradoxKeepFolder(dir);
    if (!QDir().mkpath(keep))
        throw Error(
            QCoreApplication::translate("migrate::ParadoxFolder", "Cannot create the folder %1").arg(native(keep)));
    for (const QString& name : std::as_const(journal.files)) {
        const QString from = QDir(dir).filePath(name);
        const QString to = QDir(keep).filePath(name);
        if (QFileInfo::exists(from) && !QFileInfo::exists(to))
            renameFile(from, to);
    }
    syncToDisk(keep);
    if (QFileInfo(staging).isDir())
        moveNewTables(staging, dir, {}, nullptr);
    for (const TableDef& t : schemaTables())
        if (!QFileInfo::exists(QDir(dir).filePath(t.fileName())))
            throw Error(
                QCoreApplication::translate("migrate::ParadoxFolder",
                                            "The conversion cannot be finished: the new table file %1 is missing; the "
                                            "Paradox files are in %2")
                    .arg(t.fileName(), native(keep)));
    syncToDisk(dir);
    removeFolder(staging);
    removeJournal(dir);
    removeLeftoverStaging(dir);
    return Recovery::Completed;
}

} // namespace kestrova
