#include "paradoxfolder.h"

#include "error.h"
#include "schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

// Moves files by renaming, all or nothing.
class Mover {
public:
    void move(const QString& from, const QString& to)
    {
        const QByteArray f = QFile::encodeName(from), t = QFile::encodeName(to);
        if (std::rename(f.constData(), t.constData()) != 0)
            throw Error(QStringLiteral("Cannot move %1 to %2: %3")
                            .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to),
                                 QString::fromLocal8Bit(std::strerror(errno))));
        m_moved.emplace_back(f, t);
    }
    void undo()
    {
        for (auto it = m_moved.rbegin(); it != m_moved.rend(); ++it)
            std::rename(it->second.constData(), it->first.constData());
        m_moved.clear();
    }

private:
    std::vector<std::pair<QByteArray, QByteArray>> m_moved;
};

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

MigrationReport convertWorkingFolder(const QString& dir)
{
    QTemporaryDir staging(QDir(dir).filePath(QStringLiteral(".kestrova-convert-XXXXXX")));
    if (!staging.isValid())
        throw Error(QStringLiteral("Cannot create a temporary folder in %1: %2")
                        .arg(QDir::toNativeSeparators(dir), staging.errorString()));
    MigrationReport report = convertParadoxTables(dir, staging.path());

    const QString keep = paradoxKeepFolder(dir);
    const QStringList files = paradoxTableFiles(dir);
    for (const QString& name : files)
        if (QFileInfo::exists(QDir(keep).filePath(name)))
            throw Error(QStringLiteral("%1 already exists; nothing was moved")
                            .arg(QDir::toNativeSeparators(QDir(keep).filePath(name))));
    const bool madeKeep = !QFileInfo::exists(keep);
    if (!QDir().mkpath(keep))
        throw Error(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(keep)));

    Mover mover;
    try {
        for (const QString& name : files)
            mover.move(QDir(dir).filePath(name), QDir(keep).filePath(name));
        moveTableFiles(staging.path(), dir);
    } catch (...) {
        mover.undo();
        if (madeKeep)
            QDir().rmdir(keep); // empty again: only what was made here goes
        throw;
    }
    return report;
}

} // namespace kestrova
