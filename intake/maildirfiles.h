#pragma once

// A Maildir folder as it is on disk, for the mailbox layer: what vmime's
// Maildir store does not check for itself.

#include <string>
#include <sys/types.h>
#include <vector>
#include <vmime/vmime.hpp>

namespace kestrova::maildirfiles {

namespace vnet = vmime::net;

// The flags the mailbox sets on a message, as the name of its file in a
// Maildir folder carries them.
enum class MessageFlag : int {
    Seen = vnet::message::FLAG_SEEN,
    Deleted = vnet::message::FLAG_DELETED,
};

// One entry of a Maildir folder's cur/ or new/ directory, as it is on disk.
struct Entry {
    std::string path;
    std::string id;       // the unique part of the name
    bool deleted = false; // its name carries the deleted flag
    bool regular = false; // a regular file, not a link or anything else
    ino_t inode = 0;
    off_t size = 0;
};

// The entries of a folder's cur/ and new/ directories (names that begin
// with a dot left out); nothing when the store is not a Maildir store.
std::vector<Entry> entries(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder);

// Reads at most limit bytes of the message file at path into raw, never
// through a symbolic link. False when it is not there, is no regular file
// or cannot be read.
bool readFile(const std::string& path, std::string& raw, size_t limit);

// Moves the messages waiting in the folder's new/ directory into cur/, as a
// reader of the folder does when it opens it, with one flush of each
// directory at the end instead of one per message (vmime flushes after each
// move, which takes many seconds for thousands of new messages). Only
// regular files move, and never over an existing name; whatever is left
// is for vmime to handle as before. Nothing when the store is not a
// Maildir store.
void takeNewMessages(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder);

// The folder's cur/, new/ and tmp/ directories as paths on disk.
struct Dirs {
    std::string cur, fresh, tmp;
};
Dirs dirsOf(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder);

// Throws unless cur/, new/ and tmp/ of the folder are directories of their
// own: a symbolic link there would let the run take in, flag and remove the
// files of another folder.
void checkNotLinked(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder);

// Adds a flag to the message file at path by renaming it within its
// directory (one atomic step: a kill leaves the old name or the new one,
// never two files) and flushes the directory. Returns the new path. An
// empty file already holding the new name (left by an older, copying way
// of setting flags) is removed first. Throws with the reason.
std::string addFlag(const std::string& path, MessageFlag flag);

// The message file at path copied into the folder dirs under the same
// unique name and flags: written into tmp/, flushed, then renamed into
// cur/. Nothing is written when cur/ or new/ already holds a file of that
// name with content (the copy of an interrupted run). Throws with the reason.
void copyInto(const std::string& path, const Dirs& to);

// Closes the folder and removes the files of the messages whose ids are
// given, if they carry the deleted flag; no other file. Throws on a file
// that cannot be removed.
void removeMoved(const vmime::shared_ptr<vnet::store>& store, const vmime::shared_ptr<vnet::folder>& folder,
                 const std::vector<std::string>& moved);

} // namespace kestrova::maildirfiles
