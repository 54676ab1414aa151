#pragma once

// The texts of a message as the intake reads them, for the mailbox layer.

#include "intake/mailbox.h"

#include <QDeadlineTimer>
#include <string>
#include <string_view>
#include <vmime/vmime.hpp>

namespace kestrova::mailtext {

// At most this much of a message is read from the store: a notification is
// far smaller, and a bigger message still has its texts near its start.
constexpr size_t kMaxMessageBytes = size_t(4) << 20;
// The time the texts of one message may take to work out; what is done by
// then is used.
constexpr int kMessageMilliseconds = 500;

// How much of a raw message is given to the MIME parser: at most
// kMaxMessageBytes, and cut before the line where the message would need
// more parsing work than any notification does (more than 128 Content-Type
// fields, which bounds the nesting of parts, 512 boundary lines, 2,000
// header fields or 128 KiB of header text in all). The parser's time grows
// with these counts, and deep nesting would exhaust its stack.
size_t boundedLength(std::string_view raw);

QString fromStd(const std::string& s);
std::string toStd(const QString& s);

// Cuts a text to a number of characters without splitting a surrogate pair.
QString cut(const QString& text, int characters);

// The sender, subject and body of a parsed message. The body is the first
// text/plain part (at most 64 KiB of it are decoded), else the text of the
// first HTML part (at most 1 MiB of its markup is read), as UTF-8, cut at
// Mailbox::kBodyCharacters characters.
MailMessage read(const vmime::shared_ptr<vmime::message>& msg, QDeadlineTimer deadline);

// Why a reply cannot go to the sender's address as read from the message:
// the mail library gave no address, or one that the raw From field does not
// hold as it stands (it replaces an address it cannot parse with
// "invalid@invalid" and drops the quotes of a quoted local part), or one
// longer than the sender field. Empty when the address can be used.
QString senderAddressProblem(std::string_view raw, const QString& address);

// Why the mail library cannot send to this address unchanged; empty when it
// can.
QString addressProblem(const QString& address);

} // namespace kestrova::mailtext
