#pragma once

// A Maildir folder as it is on disk, for the mailbox layer: what vmime's
// Maildir store does not check for itself.

#include <string>
#include <sys/types.h>
#include <vector>
#include <vmime/vmime.hpp>

namespace kestrova::maildirfiles {

namespace vnet = vmime::net;

// One entry of a Maildir folder's cur/ or new/ directory, as it is on disk.
struct Entry {
    std::string path;
    std::string id;       // the unique part of the name
    int flags = 0;        // the flags its name carries
    bool regular = false; // a regular file, not a link or anything else
    ino_t inode = 0;
    off_t size = 0;
};

// The entries of a folder's cur/ and new/ directories (names that begin
// with a dot left out); nothing when the store is not a Maildir store.
std::vector<Entry> entries(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder);

// Moves the messages waiting in the folder's new/ directory into cur/, as a
// reader of the folder does when it opens it, with one flush of each
// directory at the end instead of one per message (vmime flushes after each
// move, which takes many seconds for thousands of new messages). Only
// regular files move, and never over an existing name; whatever is left
// is for vmime to handle as before. Nothing when the store is not a
// Maildir store.
void takeNewMessages(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder);

// Adds a flag to a message and checks on disk that it took; throws when it
// did not.
void addFlag(const vmime::shared_ptr<vnet::store>& store, const vnet::folder::path& folder,
             const vmime::shared_ptr<vnet::message>& msg, int flag);

// Closes the folder and removes the files of the messages whose ids are
// given, if they carry the deleted flag; no other file. Throws on a file
// that cannot be removed.
void removeMoved(const vmime::shared_ptr<vnet::store>& store, const vmime::shared_ptr<vnet::folder>& folder,
                 const std::vector<std::string>& moved);

} // namespace kestrova::maildirfiles
