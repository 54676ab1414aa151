#include "intake/mailtext.h"

#include "intake/htmltext.h"

#include <QCoreApplication>
#include <cctype>

namespace kestrova::mailtext {

namespace {

constexpr size_t kMaxPlainBytes = size_t(64) << 10;
constexpr size_t kMaxHtmlBytes = size_t(1) << 20;

// Keeps the first `limit` bytes written to it and drops the rest.
class BoundedOutput : public vmime::utility::outputStream {
public:
    BoundedOutput(std::string& out, size_t limit) : m_out(out), m_limit(limit) {}
    void flush() override {}
    bool cutOff() const { return m_cutOff; }

protected:
    void writeImpl(const vmime::byte_t* const data, const size_t count) override
    {
        const size_t room = m_limit - m_out.size();
        m_out.append(reinterpret_cast<const char*>(data), std::min(count, room));
        m_cutOff = m_cutOff || count > room;
    }

private:
    std::string& m_out;
    size_t m_limit;
    bool m_cutOff = false;
};

// The decoded text of a part, at most `limit` bytes of it, converted to
// UTF-8.
QString partText(const vmime::shared_ptr<const vmime::contentHandler>& content, const vmime::charset& cs, size_t limit)
{
    std::string raw;
    BoundedOutput out(raw, limit);
    content->extract(out);
    if (out.cutOff() && cs == vmime::charset(vmime::charsets::UTF_8)) {
        // Not half a character at the cut.
        size_t n = raw.size();
        while (n > 0 && (uchar(raw[n - 1]) & 0xC0) == 0x80)
            --n;
        if (n > 0 && uchar(raw[n - 1]) >= 0xC0)
            --n;
        raw.resize(n);
    }
    std::string converted;
    try {
        vmime::charset::convert(raw, converted, cs, vmime::charset(vmime::charsets::UTF_8));
    } catch (const vmime::exception&) {
        return QString::fromLatin1(raw.data(), qsizetype(raw.size())); // an unknown character set
    }
    return fromStd(converted);
}

bool startsWithNoCase(std::string_view line, std::string_view prefix)
{
    if (line.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(uchar(line[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

size_t boundedLength(std::string_view raw)
{
    constexpr int kMaxContentTypes = 128;
    constexpr int kMaxBoundaryLines = 512;
    constexpr int kMaxHeaderFields = 2000;
    constexpr size_t kMaxHeaderBytes = size_t(128) << 10;
    int contentTypes = 0, boundaries = 0, fields = 0;
    size_t headerBytes = 0;
    bool inHeader = true; // the message's header, or a part's after a boundary line
    const size_t n = std::min(raw.size(), kMaxMessageBytes);
    size_t at = 0;
    while (at < n) {
        const size_t lf = raw.find('\n', at);
        const size_t next = lf == std::string_view::npos ? n : std::min(lf + 1, n);
        const std::string_view line = raw.substr(at, next - at);
        const bool blank = line.find_first_not_of("\r\n") == std::string_view::npos;
        if (inHeader) {
            if (blank) {
                inHeader = false;
            } else {
                headerBytes += line.size();
                if (headerBytes > kMaxHeaderBytes)
                    return at;
                if (line[0] != ' ' && line[0] != '\t') {
                    if (++fields > kMaxHeaderFields)
                        return at;
                    if (startsWithNoCase(line, "content-type:") && ++contentTypes > kMaxContentTypes)
                        return at;
                }
            }
        } else if (line.size() >= 2 && line[0] == '-' && line[1] == '-') {
            if (++boundaries > kMaxBoundaryLines)
                return at;
            inHeader = true;
        }
        at = next;
    }
    return n;
}

QString fromStd(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string toStd(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), size_t(b.size()));
}

namespace {

// The raw text of the message's first From field, continuation lines
// included; empty when there is none.
std::string_view rawFromField(std::string_view raw)
{
    size_t at = 0;
    while (at < raw.size()) {
        size_t end = raw.find('\n', at);
        if (end == std::string_view::npos)
            end = raw.size();
        const std::string_view line = raw.substr(at, end - at);
        if (line.empty() || line == "\r")
            return {}; // the end of the header
        if (line.size() >= 5 && (line[0] == 'F' || line[0] == 'f') &&
            QByteArray(line.data(), 5).compare("from:", Qt::CaseInsensitive) == 0) {
            size_t stop = end;
            while (stop + 1 < raw.size() && (raw[stop + 1] == ' ' || raw[stop + 1] == '\t')) {
                stop = raw.find('\n', stop + 1);
                if (stop == std::string_view::npos)
                    stop = raw.size();
            }
            return raw.substr(at + 5, std::min(stop, raw.size()) - at - 5);
        }
        at = end + 1;
    }
    return {};
}

} // namespace

QString addressProblem(const QString& address)
{
    if (address.isEmpty())
        return QCoreApplication::translate("intake::mailtext", "the address is empty");
    if (address.toUtf8().size() > 254)
        return QCoreApplication::translate("intake::mailtext", "the address %1 is longer than 254 bytes").arg(address);
    const std::string text = toStd(address);
    const std::string generated = vmime::emailAddress(text).generate();
    if (generated != text)
        return QCoreApplication::translate("intake::mailtext",
                                           "the mail library cannot send to the address %1 unchanged "
                                           "(it would make %2 of it)")
            .arg(address, fromStd(generated));
    return {};
}

QString senderAddressProblem(std::string_view raw, const QString& address)
{
    const std::string_view field = rawFromField(raw);
    // The address must stand in the field whole, not as a part of a longer
    // one (the sender field cuts long addresses).
    const std::string wanted = toStd(address);
    bool whole = false;
    for (size_t at = field.find(wanted); !whole && at != std::string_view::npos && !wanted.empty();
         at = field.find(wanted, at + 1)) {
        const size_t end = at + wanted.size();
        whole = (at == 0 || std::string_view("<: \t\n,").find(field[at - 1]) != std::string_view::npos) &&
                (end == field.size() || std::string_view(">\r\n \t,;(").find(field[end]) != std::string_view::npos);
    }
    if (!whole)
        return QCoreApplication::translate(
                   "intake::mailtext", "the sender's address in \"%1\" cannot be read unchanged by the mail library")
            .arg(QString::fromUtf8(field.data(), qsizetype(std::min<size_t>(field.size(), 300))).trimmed());
    return addressProblem(address);
}

QString cut(const QString& text, int characters)
{
    if (text.size() <= characters)
        return text;
    int n = characters;
    if (n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

MailMessage read(const vmime::shared_ptr<vmime::message>& msg, QDeadlineTimer deadline)
{
    MailMessage m;
    const auto header = msg->getHeader();
    try {
        if (auto from = header->findField(vmime::fields::FROM)) {
            auto mbox = from->getValue<vmime::mailbox>();
            if (!mbox) {
                if (auto list = from->getValue<vmime::mailboxList>(); list && list->getMailboxCount() > 0)
                    mbox = list->getMailboxAt(0);
            }
            if (mbox) {
                const QString address = fromStd(mbox->getEmail().toString());
                const QString name = fromStd(mbox->getName().getConvertedText(vmime::charsets::UTF_8)).trimmed();
                m.sender1 = cut(name.isEmpty() ? address : name, Mailbox::kSenderCharacters);
                m.sender2 = QStringLiteral("SMTP");
                m.sender3 = cut(address, Mailbox::kSenderCharacters);
            }
        }
    } catch (const vmime::exception&) {
        // A sender that cannot be read leaves the sender fields empty.
    }
    try {
        if (auto subject = header->findField(vmime::fields::SUBJECT))
            m.subject = cut(fromStd(subject->getValue<vmime::text>()->getConvertedText(vmime::charsets::UTF_8)),
                            Mailbox::kSubjectCharacters);
    } catch (const vmime::exception&) {
    }
    try {
        vmime::messageParser parser(msg);
        QString plain;
        vmime::shared_ptr<const vmime::textPart> htmlPart;
        for (const auto& part : parser.getTextPartList()) {
            if (part->getType().getSubType() == vmime::mediaTypes::TEXT_HTML) {
                auto html = vmime::dynamicCast<const vmime::htmlTextPart>(part);
                if (html && html->getPlainText() && !html->getPlainText()->isEmpty())
                    plain = partText(html->getPlainText(), part->getCharset(), kMaxPlainBytes);
                else if (!htmlPart)
                    htmlPart = part;
            } else {
                plain = partText(part->getText(), part->getCharset(), kMaxPlainBytes);
            }
            if (!plain.isEmpty())
                break;
        }
        if (plain.isEmpty() && htmlPart && !deadline.hasExpired()) {
            const QString html = partText(htmlPart->getText(), htmlPart->getCharset(), kMaxHtmlBytes);
            m.body = htmlToText(html, Mailbox::kBodyCharacters, deadline);
        } else {
            m.body = cut(plain, Mailbox::kBodyCharacters);
        }
    } catch (const vmime::exception&) {
        // A body that cannot be parsed reads as empty.
    }
    return m;
}

} // namespace kestrova::mailtext
