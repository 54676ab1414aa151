#pragma once

#include "writer/writererror.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace kestrova::writer {

// Largest file a template may load as an image or a style sheet.
constexpr qint64 kMaxResourceBytes = 16 * 1024 * 1024;

// Any program of the session can hand the writer a path, so every path a
// command names is taken only below a folder the writer chose (the working
// folder for outputs, a template folder for templates and what they load):
// relative, without "..", and without a symbolic link anywhere on the way.
// Files are opened folder by folder with O_NOFOLLOW, so a link put in place
// after the check is not followed either.

// The parts of a path given by a caller: not empty, not absolute, no "..";
// empty parts and "." are dropped. `what` names it in the message ("output").
// Throws WriterError(RefusedPath).
QStringList confinedParts(const QString& relative, const QString& what);

// Checks `relative` as a document below the working folder: the rules above,
// a name ending in `requiredSuffix` (any letter case) when one is given, and
// never a table file (*.db and its journals). A name that exists must be a
// regular file, not a link. Returns the absolute path. Throws
// WriterError(RefusedPath), or UnwritableOutput for an output that is a folder.
// Commands that read a file the caller names (an attachment) use it too.
QString confinedOutputPath(const QString& workDir, const QString& relative, const QString& requiredSuffix);

// Reads the regular file `relative` below `folder` without following a link
// and without waiting on a pipe or a device; at most `maxBytes`. Returns a
// null array when the file does not exist. Throws WriterError(RefusedPath)
// for a link or a file that is not regular, and WriterError(`failure`) for
// one larger than `maxBytes` or one that cannot be read.
QByteArray readConfined(const QString& folder, const QString& relative, qint64 maxBytes, WriterError::Kind failure);

// A file written below the working folder: missing folders are created, every
// folder on the way is opened without following links, the content goes to a
// hidden file beside the final name and replaces it only on commit(), so a
// failed write leaves no part of a file and keeps an earlier one intact.
class ConfinedSaveFile {
public:
    // Throws WriterError(RefusedPath or UnwritableOutput).
    ConfinedSaveFile(const QString& workDir, const QString& relative);
    ~ConfinedSaveFile();
    ConfinedSaveFile(const ConfinedSaveFile&) = delete;
    ConfinedSaveFile& operator=(const ConfinedSaveFile&) = delete;

    QIODevice& device() { return m_file; }
    const QString& path() const { return m_path; }
    // Throws WriterError(UnwritableOutput); the earlier file stays then.
    void commit();
    void cancel() noexcept;

private:
    QString m_path;
    int m_dir = -1;
    QByteArray m_temp;
    QByteArray m_name;
    QFile m_file;
    bool m_open = false;
};

} // namespace kestrova::writer
