#include "writer/outputpath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova::writer {

namespace {

// A file descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int f = -1) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int release()
    {
        const int f = fd;
        fd = -1;
        return f;
    }
};

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void refuse(const QString& what, const QString& given, const QString& why)
{
    throw WriterError(
        WriterError::RefusedPath,
        //: %1 names what was refused ("output", "file", "template"), %2 the path given, %3 why.
        QCoreApplication::translate("writer::OutputPath", "The %1 \"%2\" is refused: %3").arg(what, given, why));
}

[[noreturn]] void refuseLink(const QString& what, const QString& given, const QStringList& parts, qsizetype upTo)
{
    refuse(what, given,
           QCoreApplication::translate("writer::OutputPath", "\"%1\" is a symbolic link, and links are not followed")
               .arg(parts.mid(0, upTo + 1).join(QLatin1Char('/'))));
}

// Opens `folder`, then each of `parts` in turn below it as a folder without
// following a link, creating the missing ones when `create`. Returns -1 with
// errno set when a part is missing (ENOENT, without `create`), is no folder
// (ENOTDIR) or cannot be made; throws for a link.
int openFolders(const QString& folder, const QStringList& parts, bool create, const QString& what, const QString& given)
{
    Fd dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0)
        return -1;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray name = QFile::encodeName(parts[i]);
        int next = ::openat(dir.fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0 && errno == ENOENT && create) {
            if (::mkdirat(dir.fd, name.constData(), 0777) != 0 && errno != EEXIST)
                return -1;
            next = ::openat(dir.fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (next < 0) {
            const int error = errno;
            struct stat st;
            if (::fstatat(dir.fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
                refuseLink(what, given, parts, i);
            errno = error;
            return -1;
        }
        Fd opened(next);
        std::swap(dir.fd, opened.fd);
    }
    return dir.release();
}

// `error` is the errno of the failed call, taken before any other call can change it.
[[noreturn]] void unreadable(WriterError::Kind failure, const QString& path, int error)
{
    throw WriterError(
        failure,
        QCoreApplication::translate("writer::OutputPath", "\"%1\" cannot be read: %2").arg(path, reason(error)));
}

bool isTableFile(const QString& name)
{
    for (const char* suffix : {".db", ".db-journal", ".db-wal", ".db-shm"})
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QStringList confinedParts(const QString& relative, const QString& what)
{
    if (relative.trimmed().isEmpty())
        refuse(what, relative, QCoreApplication::translate("writer::OutputPath", "it is empty"));
    if (relative.startsWith(QLatin1Char('/')) || relative.startsWith(QLatin1Char('~')))
        refuse(what, relative,
               QCoreApplication::translate("writer::OutputPath",
                                           "only relative paths below the writer's folders are taken"));
    if (relative.contains(QChar(0)))
        refuse(what, relative, QCoreApplication::translate("writer::OutputPath", "it holds a zero character"));
    QStringList parts;
    for (const QString& part : relative.split(QLatin1Char('/'))) {
        if (part == QLatin1String(".."))
            refuse(
                what, relative,
                QCoreApplication::translate("writer::OutputPath", "\"..\" may not lead out of the writer's folders"));
        if (!part.isEmpty() && part != QLatin1String("."))
            parts << part;
    }
    if (parts.isEmpty())
        refuse(what, relative, QCoreApplication::translate("writer::OutputPath", "it names no file"));
    return parts;
}

QString confinedOutputPath(const QString& workDir, const QString& relative, const QString& requiredSuffix)
{
    //: Fills %1 of "The %1 \"%2\" is refused: %3": a document to be written.
    const QString what = QCoreApplication::translate("writer::OutputPath", "output");
    const QStringList parts = confinedParts(relative, what);
    const QString name = parts.last();
    if (isTableFile(name))
        refuse(what, relative, QCoreApplication::translate("writer::OutputPath", "it names a table file"));
    if (!requiredSuffix.isEmpty() && !name.endsWith(requiredSuffix, Qt::CaseInsensitive))
        refuse(what, relative,
               QCoreApplication::translate("writer::OutputPath", "its name must end in %1").arg(requiredSuffix));
    // Checked part by part as it stands now; the writing itself opens each
    // folder without following links again.
    QString path = QDir(workDir).absolutePath();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path += QLatin1Char('/') + parts[i];
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            break;
        if (S_ISLNK(st.st_mode))
            refuseLink(what, relative, parts, i);
        if (i + 1 == parts.size() && S_ISDIR(st.st_mode))
            throw WriterError(
                WriterError::UnwritableOutput,
                QCoreApplication::translate("writer::OutputPath", "The output \"%1\" is a folder, not a file")
                    .arg(path));
        if (i + 1 == parts.size() && !S_ISREG(st.st_mode))
            refuse(what, relative, QCoreApplication::translate("writer::OutputPath", "it is not a regular file"));
    }
    return QDir(workDir).absolutePath() + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

QByteArray readConfined(const QString& folder, const QString& relative, qint64 maxBytes, WriterError::Kind failure)
{
    //: Fills %1 of "The %1 \"%2\" is refused: %3": a file a template loads.
    const QString what = QCoreApplication::translate("writer::OutputPath", "file");
    const QStringList parts = confinedParts(relative, what);
    const QString path = QDir(folder).absolutePath() + QLatin1Char('/') + parts.join(QLatin1Char('/'));
    Fd dir(openFolders(folder, parts.mid(0, parts.size() - 1), false, what, relative));
    if (dir.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        unreadable(failure, path, errno);
    }
    // Not blocking: a pipe without a writer must not hold the writer up.
    Fd file(::openat(dir.fd, QFile::encodeName(parts.last()).constData(),
                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0) {
        if (errno == ENOENT)
            return {};
        if (errno == ELOOP)
            refuseLink(what, relative, parts, parts.size() - 1);
        unreadable(failure, path, errno);
    }
    struct stat st;
    if (::fstat(file.fd, &st) != 0)
        unreadable(failure, path, errno);
    if (!S_ISREG(st.st_mode))
        refuse(what, path, QCoreApplication::translate("writer::OutputPath", "it is not a regular file"));
    if (st.st_size > maxBytes)
        throw WriterError(failure,
                          QCoreApplication::translate("writer::OutputPath",
                                                      "\"%1\" is larger than %2 MiB; the writer reads at most that")
                              .arg(path)
                              .arg(maxBytes / (1024 * 1024)));
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            unreadable(failure, path, errno);
        if (n == 0)
            break; // shrunk while read
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

ConfinedSaveFile::ConfinedSaveFile(const QString& workDir, const QString& relative)
{
    //: Fills %1 of "The %1 \"%2\" is refused: %3": a document to be written.
    const QString what = QCoreApplication::translate("writer::OutputPath", "output");
    const QStringList parts = confinedParts(relative, what);
    m_path = QDir(workDir).absolutePath() + QLatin1Char('/') + parts.join(QLatin1Char('/'));
    const QStringList folders = parts.mid(0, parts.size() - 1);
    m_dir = openFolders(workDir, folders, true, what, relative);
    if (m_dir < 0) {
        const int error = errno;
        throw WriterError(
            WriterError::UnwritableOutput,
            QCoreApplication::translate("writer::OutputPath", "The folder \"%1\" of the output cannot be created: %2")
                .arg(QFileInfo(m_path).absolutePath(), reason(error)));
    }
    m_name = QFile::encodeName(parts.last());
    struct stat st;
    if (::fstatat(m_dir, m_name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode))
            refuseLink(what, relative, parts, parts.size() - 1);
        if (S_ISDIR(st.st_mode))
            throw WriterError(
                WriterError::UnwritableOutput,
                QCoreApplication::translate("writer::OutputPath", "The output \"%1\" is a folder, not a file")
                    .arg(m_path));
        if (!S_ISREG(st.st_mode))
            refuse(what, relative, QCoreApplication::translate("writer::OutputPath", "it is not a regular file"));
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temp = '.' + m_name.left(100) + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::openat(m_dir, m_temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_open = true;
            if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
                ::close(fd);
                cancel();
                throw WriterError(
                    WriterError::UnwritableOutput,
                    QCoreApplication::translate("writer::OutputPath", "The output \"%1\" cannot be written")
                        .arg(m_path));
            }
            return;
        }
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    ::close(m_dir);
    m_dir = -1;
    throw WriterError(WriterError::UnwritableOutput,
                      QCoreApplication::translate("writer::OutputPath", "The output \"%1\" cannot be written: %2")
                          .arg(m_path, reason(error)));
}

ConfinedSaveFile::~ConfinedSaveFile()
{
    cancel();
    if (m_dir >= 0)
        ::close(m_dir);
}

void ConfinedSaveFile::commit()
{
    if (!m_open)
        throw WriterError(
            WriterError::UnwritableOutput,
            QCoreApplication::translate("writer::OutputPath", "The output \"%1\" was not written").arg(m_path));
    const bool written = m_file.flush() && m_file.error() == QFileDevice::NoError && ::fsync(m_file.handle()) == 0;
    const QString failure = written ? QString() : m_file.errorString();
    if (!written || ::renameat(m_dir, m_temp.constData(), m_dir, m_name.constData()) != 0) {
        const QString why = written ? reason(errno) : failure;
        cancel();
        throw WriterError(WriterError::UnwritableOutput,
                          QCoreApplication::translate("writer::OutputPath", "The output \"%1\" cannot be written: %2")
                              .arg(m_path, why));
    }
    m_open = false;
    m_file.close();
}

void ConfinedSaveFile::cancel() noexcept
{
    // The file stays open, so whatever still writes to it writes nowhere.
    if (!m_open)
        return;
    ::unlinkat(m_dir, m_temp.constData(), 0);
    m_open = false;
}

} // namespace kestrova::writer
