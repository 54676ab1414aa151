#include "reports/orderreader.h"

#include "data/error.h"

#include <cstdint>
#include <cstring>

namespace kestrova::OrderFile {

namespace {

// True when [p, end) is well-formed UTF-8: no stray continuation byte, no
// cut or overlong sequence, no surrogate, nothing above U+10FFFF.
bool isUtf8(const unsigned char* p, const unsigned char* end)
{
    while (p < end) {
        // Plain ASCII, the bulk of an order file, eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int follow = 0;
        std::uint32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= follow)
            return false;
        for (int k = 1; k <= follow; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[k] & 0x3F);
        }
        if (follow == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
            return false;
        if (follow == 3 && (code < 0x10000 || code > 0x10FFFF))
            return false;
        p += follow + 1;
    }
    return true;
}

// Appends a line of Windows-1252 bytes as UTF-8.
void appendWindows1252(QByteArray& out, const unsigned char* p, const unsigned char* end)
{
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (; p < end; ++p) {
        const unsigned char b = *p;
        if (b < 0x80) {
            out += char(b);
            continue;
        }
        const char16_t code = b < 0xA0 ? high[b - 0x80] : char16_t(b);
        if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
        } else {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
        }
        out += char(0x80 | (code & 0x3F));
    }
}

} // namespace

QByteArray textOfFile(const QByteArray& bytes)
{
    QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    const auto* p = reinterpret_cast<const unsigned char*>(text.constData());
    const auto* end = p + text.size();
    if (isUtf8(p, end))
        return text;
    // Decided line by line, so that one line of an older program does not
    // garble the accented characters of all the others.
    QByteArray out;
    out.reserve(text.size() + text.size() / 4);
    while (p < end) {
        const void* lf = std::memchr(p, '\n', size_t(end - p));
        const auto* lineEnd = lf ? static_cast<const unsigned char*>(lf) + 1 : end;
        if (isUtf8(p, lineEnd))
            out.append(reinterpret_cast<const char*>(p), lineEnd - p);
        else
            appendWindows1252(out, p, lineEnd);
        p = lineEnd;
    }
    return out;
}

int builtInPull(char** cursor, char* output, int capacity, int terminator)
{
    const char* p = *cursor;
    const char* end = uchar(terminator) == 0 ? p + std::strlen(p) : ::strchrnul(p, char(terminator));
    size_t n = size_t(end - p);
    if (capacity > 0) {
        if (n > size_t(capacity - 1)) {
            n = size_t(capacity - 1);
            while (n > 0 && (uchar(p[n]) & 0xC0) == 0x80)
                --n; // never split a character
        }
        std::memcpy(output, p, n);
        output[n] = '\0';
    }
    *cursor = const_cast<char*>(*end != '\0' ? end + 1 : end);
    return 1;
}

LineReader::LineReader(QByteArray& text, kestrova_pull_fn pull)
    : m_begin(text.data()), m_end(text.data() + text.size()), m_cursor(m_begin), m_lineStart(m_begin),
      m_pull(pull ? pull : builtInPull), m_fields(kFieldCount)
{
}

void LineReader::refuse(const QString& message) const
{
    throw Error(message.arg(m_lineNumber));
}

// A line ends at a line feed, or at a carriage return not followed by one.
void LineReader::countLines(const char* from, const char* to)
{
    for (const char* p = from; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(to - p)))); ++p)
        ++m_line;
    for (const char* p = from; (p = static_cast<const char*>(std::memchr(p, '\r', size_t(to - p)))); ++p) {
        if (p + 1 == m_end || p[1] != '\n')
            ++m_line;
    }
}

void LineReader::refuseFieldCount(qsizetype fields) const
{
    throw Error(tr("Line %1 has %2 fields instead of %3").arg(m_lineNumber).arg(fields).arg(kFieldCount));
}

bool LineReader::next()
{
    // Lines of nothing but blanks are passed over.
    for (;;) {
        const char* p = m_cursor;
        while (p < m_end && *p == ' ')
            ++p;
        if (p == m_end) {
            m_cursor = m_end;
            return false;
        }
        if (*p != '\r' && *p != '\n')
            break;
        const char* after = p + 1;
        if (*p == '\r' && after < m_end && *after == '\n')
            ++after;
        countLines(m_cursor, after);
        m_cursor = const_cast<char*>(after);
    }
    m_lineStart = m_cursor;
    m_lineNumber = m_line;

    char area[KESTROVA_PULL_CAPACITY];
    bool endedAtTab = true;
    bool endedAtCr = false;
    for (int i = 0; i < kFieldCount; ++i) {
        if (!endedAtTab)
            refuseFieldCount(i); // the text ended after field i
        const bool last = i == kFieldCount - 1;
        int terminator = '\t';
        if (last) {
            // The last field ends at CR (CR LF) or at a lone LF.
            const char* lineEnd = std::strpbrk(m_cursor, "\r\n");
            terminator = lineEnd && *lineEnd == '\n' ? '\n' : '\r';
        }
        char* const before = m_cursor;
        area[0] = '\0';
        m_pull(&m_cursor, area, KESTROVA_PULL_CAPACITY, terminator);
        area[KESTROVA_PULL_CAPACITY - 1] = '\0';
        // The reader must move forward within the text, and it stops at a
        // zero byte as at the end of the text.
        if (m_cursor < before || m_cursor > m_end)
            refuse(tr("Line %1 cannot be read: the field reader Pull moved outside the text"));
        if ((m_cursor < m_end && *m_cursor == '\0') || std::memchr(before, '\0', size_t(m_cursor - before)))
            refuse(tr("Line %1 holds a zero byte"));
        if (m_cursor == before && m_cursor != m_end)
            refuse(tr("Line %1 cannot be read: the field reader Pull does not advance"));
        const bool delimited = m_cursor > before && uchar(m_cursor[-1]) == uchar(terminator);
        const char* const fieldEnd = delimited ? m_cursor - 1 : m_cursor;
        const size_t length = size_t(fieldEnd - before);
        if (last) {
            // Tabs in the last field are fields beyond the 23rd.
            const qsizetype extra = QByteArrayView(before, qsizetype(length)).count('\t');
            if (extra > 0)
                refuseFieldCount(kFieldCount + extra);
        } else if (i != kAddressField && i != kDeliveryAddressField &&
                   (std::memchr(before, '\n', length) || std::memchr(before, '\r', length))) {
            refuseFieldCount(i + 1); // the line ends inside field i + 1
        }
        endedAtTab = delimited;
        endedAtCr = last && delimited && terminator == '\r';
        m_fields[i] = QString::fromUtf8(area);
    }
    if (endedAtCr && m_cursor < m_end && *m_cursor == '\n')
        ++m_cursor;
    countLines(m_lineStart, m_cursor);
    return true;
}

} // namespace kestrova::OrderFile
