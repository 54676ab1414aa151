#include "intake/maildirfiles.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdio.h>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vmime/net/maildir/maildirFormat.hpp>
#include <vmime/net/maildir/maildirStore.hpp>
#include <vmime/net/maildir/maildirUtils.hpp>

namespace kestrova::maildirfiles {

namespace {

namespace vmd = vnet::maildir;

// The message of a failure, for the user: text holds %1 for the file or
// folder and %2 for the reason the system gives.
std::string systemFailureText(const char* text, const std::string& path, int err)
{
    return QCoreApplication::translate("intake::maildirfiles", text)
        .arg(QString::fromStdString(path), QString::fromLocal8Bit(std::strerror(err)))
        .toStdString();
}

std::runtime_error systemFailure(const char* text, const std::string& path, int err)
{
    return std::runtime_error(systemFailureText(text, path, err));
}

struct DirCloser {
    void operator()(DIR* listing) const { closedir(listing); }
};
// A directory listing, closed however its scope is left.
using Listing = std::unique_ptr<DIR, DirCloser>;

// A directory listing that never follows a symbolic link to the directory;
// null when the directory cannot be listed.
Listing openDirectory(const std::string& dir)
{
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    Listing listing(fdopendir(fd));
    if (!listing)
        close(fd);
    return listing;
}

void flushDirectory(const std::string& dir)
{
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw systemFailure(QT_TRANSLATE_NOOP("intake::maildirfiles", "Cannot open the folder %1: %2"), dir, errno);
    const int synced = fsync(fd);
    const int err = errno;
    close(fd);
    if (synced != 0)
        throw systemFailure(QT_TRANSLATE_NOOP("intake::maildirfiles", "Cannot flush the folder %1: %2"), dir, err);
}

std::string directoryOf(const std::string& path)
{
    return path.substr(0, path.rfind('/'));
}

std::string nameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

bool hasContent(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

} // namespace

bool readFile(const std::string& path, std::string& raw, size_t limit)
{
    if (path.empty())
        return false;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        raw.resize(std::min(size_t(st.st_size), limit));
        size_t done = 0;
        while (done < raw.size()) {
            const ssize_t n = read(fd, raw.data() + done, raw.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += size_t(n);
        }
        ok = done == raw.size();
        raw.resize(done);
    }
    close(fd);
    return ok;
}

Dirs dirsOf(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder)
{
    const auto maildir = vmime::dynamicCast<vmd::maildirStore>(store);
    if (!maildir)
        return {};
    const auto files = vmime::platform::getHandler()->getFileSystemFactory();
    const auto format = maildir->getFormat();
    const auto dir = [&](vmd::maildirFormat::DirectoryType type) {
        return files->pathToString(format->folderPathToFileSystemPath(folder, type));
    };
    return {dir(vmd::maildirFormat::CUR_DIRECTORY), dir(vmd::maildirFormat::NEW_DIRECTORY),
            dir(vmd::maildirFormat::TMP_DIRECTORY)};
}

void checkNotLinked(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder)
{
    const Dirs dirs = dirsOf(store, folder);
    for (const std::string& dir : {dirs.cur, dirs.fresh, dirs.tmp}) {
        struct stat st {};
        if (dir.empty() || lstat(dir.c_str(), &st) != 0)
            continue; // a missing directory is vmime's to report
        if (S_ISLNK(st.st_mode))
            throw std::runtime_error(
                QCoreApplication::translate("intake::maildirfiles", "%1 is a symbolic link, which is not followed")
                    .arg(QString::fromStdString(dir))
                    .toStdString());
        if (!S_ISDIR(st.st_mode))
            throw std::runtime_error(QCoreApplication::translate("intake::maildirfiles", "%1 is not a folder")
                                         .arg(QString::fromStdString(dir))
                                         .toStdString());
    }
}

std::vector<Entry> entries(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder)
{
    std::vector<Entry> found;
    const Dirs dirs = dirsOf(store, folder);
    for (const std::string& dir : {dirs.cur, dirs.fresh}) {
        if (dir.empty())
            continue;
        const Listing listing = openDirectory(dir);
        if (!listing)
            continue;
        while (const dirent* e = readdir(listing.get())) {
            if (e->d_name[0] == '.')
                continue;
            Entry entry;
            entry.path = dir + '/' + e->d_name;
            const vmime::utility::file::path::component name(e->d_name);
            entry.id = vmd::maildirUtils::extractId(name).getBuffer();
            entry.deleted = (vmd::maildirUtils::extractFlags(name) & vnet::message::FLAG_DELETED) != 0;
            struct stat st {};
            entry.regular = lstat(entry.path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
            entry.inode = st.st_ino;
            entry.size = st.st_size;
            found.push_back(std::move(entry));
        }
    }
    return found;
}

void takeNewMessages(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder)
{
    const Dirs dirs = dirsOf(store, folder);
    if (dirs.cur.empty())
        return;
    checkNotLinked(store, folder);
    const Listing listing = openDirectory(dirs.fresh);
    if (!listing)
        return;
    bool moved = false;
    while (const dirent* e = readdir(listing.get())) {
        if (e->d_name[0] == '.')
            continue;
        const std::string from = dirs.fresh + '/' + e->d_name;
        struct stat st {};
        if (lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const vmime::utility::file::path::component name(e->d_name);
        const std::string to =
            dirs.cur + '/' + vmd::maildirUtils::buildFilename(vmd::maildirUtils::extractId(name), 0).getBuffer();
        // RENAME_NOREPLACE: a name already in cur/ is never overwritten.
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            moved = true;
    }
    if (!moved)
        return;
    flushDirectory(dirs.cur);
    flushDirectory(dirs.fresh);
}

std::string addFlag(const std::string& path, MessageFlag added)
{
    const int flag = int(added);
    const vmime::utility::file::path::component name(nameOf(path));
    const int flags = vmd::maildirUtils::extractFlags(name);
    if ((flags & flag) == flag)
        return path;
    // A message still in new/ goes to cur/ with its first flag.
    std::string dir = directoryOf(path);
    if (nameOf(dir) == "new")
        dir = directoryOf(dir) + "/cur";
    const std::string to =
        dir + '/' + vmd::maildirUtils::buildFilename(vmd::maildirUtils::extractId(name), flags | flag).getBuffer();
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0 && hasContent(path))
        unlink(to.c_str());
    // RENAME_NOREPLACE: another file of that name is never overwritten.
    if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        throw systemFailure(QT_TRANSLATE_NOOP("intake::maildirfiles", "the flag could not be set on %1: %2"), path,
                            errno);
    flushDirectory(dir);
    if (dir != directoryOf(path))
        flushDirectory(directoryOf(path));
    return to;
}

void copyInto(const std::string& path, const Dirs& to)
{
    const std::string name = nameOf(path);
    const std::string id = vmd::maildirUtils::extractId(vmime::utility::file::path::component(name)).getBuffer();
    for (const std::string& dir : {to.cur, to.fresh}) {
        const Listing listing = openDirectory(dir);
        if (!listing)
            continue;
        bool there = false;
        while (const dirent* e = readdir(listing.get()))
            if (e->d_name[0] != '.' &&
                vmd::maildirUtils::extractId(vmime::utility::file::path::component(e->d_name)).getBuffer() == id &&
                hasContent(dir + '/' + e->d_name))
                there = true;
        if (there)
            return;
    }
    const std::string temp = to.tmp + '/' + name;
    const std::string final = to.cur + '/' + name;
    std::string failure;
    const int in = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        throw systemFailure(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot read %1: %2"), path, errno);
    const int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) {
        failure = systemFailureText(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot write %1: %2"), temp, errno);
        close(in);
        throw std::runtime_error(failure);
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failure = systemFailureText(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot read %1: %2"), path, errno);
            break;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                failure =
                    systemFailureText(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot write %1: %2"), temp, errno);
                break;
            }
            done += w;
        }
        if (!failure.empty())
            break;
    }
    if (failure.empty() && fsync(out) != 0)
        failure = systemFailureText(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot write %1: %2"), temp, errno);
    close(in);
    if (close(out) != 0 && failure.empty())
        failure = systemFailureText(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot write %1: %2"), temp, errno);
    if (failure.empty() && renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) != 0)
        failure = systemFailureText(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot put the copy into %1: %2"),
                                    to.cur, errno);
    if (!failure.empty()) {
        unlink(temp.c_str());
        throw std::runtime_error(failure);
    }
    flushDirectory(to.cur);
}

// Messages that another program flagged deleted are not among the ids, and
// stay.
void removeMoved(const vmime::shared_ptr<vnet::store>& store, const vmime::shared_ptr<vnet::folder>& folder,
                 const std::vector<std::string>& moved)
{
    folder->close(false);
    const std::set<std::string> ours(moved.begin(), moved.end());
    for (const Entry& entry : entries(store, folder->getFullPath())) {
        if (!entry.regular || !ours.count(entry.id) || !entry.deleted)
            continue;
        if (unlink(entry.path.c_str()) != 0)
            throw systemFailure(QT_TRANSLATE_NOOP("intake::maildirfiles", "cannot remove %1: %2"), entry.path, errno);
    }
}

} // namespace kestrova::maildirfiles
