#include "intake/imapexpunge.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <set>
#include <stdexcept>
#include <vmime/net/imap/IMAPCommand.hpp>
#include <vmime/net/imap/IMAPConnection.hpp>
#include <vmime/net/imap/IMAPParser.hpp>
#include <vmime/net/imap/IMAPStore.hpp>
#include <vmime/net/imap/IMAPUtils.hpp>

namespace kestrova::imapexpunge {

namespace vimap = vnet::imap;

namespace {

// Runs one command on an IMAP connection; throws unless the server answers OK.
void imapCommand(const vmime::shared_ptr<vimap::IMAPConnection>& connection, const std::string& text)
{
    vimap::IMAPCommand::createCommand(text)->send(connection);
    const std::unique_ptr<vimap::IMAPParser::response> response(connection->readResponse());
    const auto* done = response ? response->response_done() : nullptr;
    if (!done || response->isBad() || !done->response_tagged() ||
        done->response_tagged()->resp_cond_state()->status() != vimap::IMAPParser::resp_cond_state::OK)
        throw vmime::exceptions::command_error(text, response ? response->getErrorLog() : std::string());
}

} // namespace

// Removes from an IMAP folder the messages this run moved, and no other: a
// message that another program flagged deleted stays. With UIDPLUS, by
// UID EXPUNGE of exactly those; without it, EXPUNGE runs only when no other
// message is flagged deleted (else the moved ones stay, flagged deleted,
// and are not offered again).
void expungeMoved(const vmime::shared_ptr<vnet::store>& store, const vmime::shared_ptr<vnet::folder>& folder,
                  const std::vector<std::string>& moved)
{
    const auto connection = vmime::dynamicCast<vimap::IMAPStore>(store)->getConnection();
    if (connection->hasCapability("UIDPLUS")) {
        std::string uids;
        for (const std::string& uid : moved) {
            if (uid.empty() || uid.find_first_not_of("0123456789") != std::string::npos)
                throw std::runtime_error(
                    QCoreApplication::translate("intake::imapexpunge", "the server gave the invalid UID %1")
                        .arg(QString::fromStdString(uid))
                        .toStdString());
            uids += (uids.empty() ? "" : ",") + uid;
        }
        const vnet::folder::path path = folder->getFullPath();
        folder->close(false);
        imapCommand(connection, "SELECT " + vimap::IMAPUtils::quoteString(vimap::IMAPUtils::pathToString(
                                                connection->hierarchySeparator(), path)));
        imapCommand(connection, "UID EXPUNGE " + uids);
        return;
    }
    auto all = folder->getMessages(vnet::messageSet::byNumber(1, -1));
    folder->fetchMessages(all, vnet::fetchAttributes::FLAGS | vnet::fetchAttributes::UID);
    const std::set<std::string> ours(moved.begin(), moved.end());
    const bool othersDeleted = std::any_of(all.begin(), all.end(), [&ours](const auto& m) {
        return (m->getFlags() & vnet::message::FLAG_DELETED) && !ours.count(m->getUID());
    });
    if (!othersDeleted)
        folder->expunge();
    folder->close(false);
}

} // namespace kestrova::imapexpunge
