#pragma once

// Removing moved messages from an IMAP folder, for the mailbox layer.

#include <string>
#include <vector>
#include <vmime/vmime.hpp>

namespace kestrova::imapexpunge {

namespace vnet = vmime::net;

// Removes from an IMAP folder the messages with the given UIDs, and no
// other, and closes the folder. Throws when the server refuses.
void expungeMoved(const vmime::shared_ptr<vnet::store>& store, const vmime::shared_ptr<vnet::folder>& folder,
                  const std::vector<std::string>& moved);

} // namespace kestrova::imapexpunge
