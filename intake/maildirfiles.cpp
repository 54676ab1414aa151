#include "maildirfiles.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <optional>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vmime/net/maildir/maildirFormat.hpp>
#include <vmime/net/maildir/maildirStore.hpp>
#include <vmime/net/maildir/maildirUtils.hpp>

namespace kestrova::maildirfiles {

std::vector<Entry> entries(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder)
{
    namespace vmd = vnet::maildir;
    std::vector<Entry> found;
    const auto maildir = vmime::dynamicCast<vmd::maildirStore>(store);
    if (!maildir)
        return found;
    const auto files = vmime::platform::getHandler()->getFileSystemFactory();
    for (const auto type : {vmd::maildirFormat::CUR_DIRECTORY, vmd::maildirFormat::NEW_DIRECTORY}) {
        const std::string dir = files->pathToString(maildir->getFormat()->folderPathToFileSystemPath(folder, type));
        DIR* listing = opendir(dir.c_str());
        if (!listing)
            continue;
        while (const dirent* e = readdir(listing)) {
            if (e->d_name[0] == '.')
                continue;
            Entry entry;
            entry.path = dir + '/' + e->d_name;
            const vmime::utility::file::path::component name(e->d_name);
            entry.id = vmd::maildirUtils::extractId(name).getBuffer();
            entry.flags = vmd::maildirUtils::extractFlags(name);
            struct stat st {};
            entry.regular = lstat(entry.path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
            entry.inode = st.st_ino;
            entry.size = st.st_size;
            found.push_back(std::move(entry));
        }
        closedir(listing);
    }
    return found;
}

void takeNewMessages(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder)
{
    namespace vmd = vnet::maildir;
    const auto maildir = vmime::dynamicCast<vmd::maildirStore>(store);
    if (!maildir)
        return;
    const auto files = vmime::platform::getHandler()->getFileSystemFactory();
    const auto format = maildir->getFormat();
    const std::string newDir =
        files->pathToString(format->folderPathToFileSystemPath(folder, vmd::maildirFormat::NEW_DIRECTORY));
    const std::string curDir =
        files->pathToString(format->folderPathToFileSystemPath(folder, vmd::maildirFormat::CUR_DIRECTORY));
    DIR* listing = opendir(newDir.c_str());
    if (!listing)
        return;
    bool moved = false;
    while (const dirent* e = readdir(listing)) {
        if (e->d_name[0] == '.')
            continue;
        const std::string from = newDir + '/' + e->d_name;
        struct stat st {};
        if (lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const vmime::utility::file::path::component name(e->d_name);
        const std::string to =
            curDir + '/' + vmd::maildirUtils::buildFilename(vmd::maildirUtils::extractId(name), 0).getBuffer();
        // RENAME_NOREPLACE: a name already in cur/ is never overwritten.
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            moved = true;
    }
    closedir(listing);
    if (!moved)
        return;
    for (const std::string& dir : {curDir, newDir}) {
        const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            continue;
        const int synced = fsync(fd);
        const int err = errno;
        close(fd);
        if (synced != 0)
            throw std::runtime_error("Cannot flush the folder " + dir + ": " + std::strerror(err));
    }
}

// vmime
// renames the file to carry the flag, but passes over a failed rename and
// leaves behind the empty file it made for the new name: the message's own
// file (the same inode) must carry the flag afterwards, and an empty file
// left by the failure is removed.
void addFlag(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder,
             const vmime::shared_ptr<vnet::message>& msg, int flag)
{
    const std::string id = msg->getUID();
    std::optional<Entry> before;
    std::set<std::string> earlier; // the paths with this id before the change
    for (Entry& entry : entries(store, folder)) {
        if (entry.id != id)
            continue;
        earlier.insert(entry.path);
        if (entry.regular)
            before = std::move(entry);
    }
    if (!before)
        throw std::runtime_error("the message file " + id + " is gone");
    msg->setFlags(flag, vnet::message::FLAG_MODE_ADD);
    bool set = false;
    for (const Entry& entry : entries(store, folder)) {
        if (entry.id != id || !entry.regular)
            continue;
        if (entry.inode == before->inode)
            set = entry.flags & flag;
        else if (entry.size == 0 && !earlier.count(entry.path))
            unlink(entry.path.c_str());
    }
    if (!set)
        throw std::runtime_error("the flag could not be set on " + before->path);
}

// Messages that another program flagged deleted are not among the ids, and
// stay.
void removeMoved(const vmime::shared_ptr<vnet::store>& store, const vmime::shared_ptr<vnet::folder>& folder,
                 const std::vector<std::string>& moved)
{
    folder->close(false);
    const std::set<std::string> ours(moved.begin(), moved.end());
    for (const Entry& entry : entries(store, folder->getFullPath())) {
        if (!entry.regular || !ours.count(entry.id) || !(entry.flags & vnet::message::FLAG_DELETED))
            continue;
        if (unlink(entry.path.c_str()) != 0)
            throw std::runtime_error("cannot remove " + entry.path + ": " + std::strerror(errno));
    }
}

} // namespace kestrova::maildirfiles
