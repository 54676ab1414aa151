#include "intake/htmltext.h"

#include <QHash>
#include <algorithm>
#include <string_view>

namespace kestrova {

namespace {

// Named character references: the Latin-1 ones (U+00A0 to U+00FF, in code
// order) and the other common ones of HTML 4.
const char* const kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

struct NamedReference {
    const char* name;
    char32_t code;
};

const NamedReference kOtherNames[] = {
    {"quot", 34},     {"amp", 38},      {"apos", 39},     {"lt", 60},       {"gt", 62},       {"OElig", 338},
    {"oelig", 339},   {"Scaron", 352},  {"scaron", 353},  {"Yuml", 376},    {"fnof", 402},    {"circ", 710},
    {"tilde", 732},   {"ensp", 8194},   {"emsp", 8195},   {"thinsp", 8201}, {"zwnj", 8204},   {"zwj", 8205},
    {"lrm", 8206},    {"rlm", 8207},    {"ndash", 8211},  {"mdash", 8212},  {"lsquo", 8216},  {"rsquo", 8217},
    {"sbquo", 8218},  {"ldquo", 8220},  {"rdquo", 8221},  {"bdquo", 8222},  {"dagger", 8224}, {"Dagger", 8225},
    {"bull", 8226},   {"hellip", 8230}, {"permil", 8240}, {"prime", 8242},  {"Prime", 8243},  {"lsaquo", 8249},
    {"rsaquo", 8250}, {"oline", 8254},  {"frasl", 8260},  {"euro", 8364},   {"trade", 8482},  {"larr", 8592},
    {"rarr", 8594},   {"minus", 8722},
};

char32_t namedReference(const QByteArray& name)
{
    static const QHash<QByteArray, char32_t> table = [] {
        QHash<QByteArray, char32_t> t;
        for (int i = 0; i < 96; ++i)
            t.insert(QByteArray(kLatin1Names[i]), char32_t(0xA0 + i));
        for (const NamedReference& r : kOtherNames)
            t.insert(QByteArray(r.name), r.code);
        return t;
    }();
    return table.value(name, 0);
}

enum class TagKind { Inline, Block, LineBreak, Cell, Preformatted, SkipContent };

// Tag names by kind, each list sorted for binary search.
constexpr std::string_view kBlockTags[] = {
    "address", "article", "aside", "blockquote", "caption",    "center",  "dd",     "details", "dialog", "dir",
    "div",     "dl",      "dt",    "fieldset",   "figcaption", "figure",  "footer", "form",    "h1",     "h2",
    "h3",      "h4",      "h5",    "h6",         "header",     "hgroup",  "hr",     "legend",  "li",     "main",
    "menu",    "nav",     "ol",    "p",          "section",    "summary", "table",  "tr",      "ul",
};
constexpr std::string_view kSkipContentTags[] = {"script", "style", "template", "title"};

template <size_t N> bool listed(const std::string_view (&list)[N], std::string_view name)
{
    return std::binary_search(std::begin(list), std::end(list), name);
}

TagKind kindOf(std::string_view name)
{
    if (name == "br")
        return TagKind::LineBreak;
    if (name == "td" || name == "th")
        return TagKind::Cell;
    if (name == "pre" || name == "listing" || name == "xmp")
        return TagKind::Preformatted;
    if (listed(kSkipContentTags, name))
        return TagKind::SkipContent;
    if (listed(kBlockTags, name))
        return TagKind::Block;
    return TagKind::Inline;
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isAsciiAlnum(QChar c)
{
    return isAsciiLetter(c) || (c.unicode() >= '0' && c.unicode() <= '9');
}

int digitValue(QChar c, bool hex)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (hex && u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (hex && u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool isHtmlBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

// The text being written, with the breaks and blanks that are still
// pending: they are written only in front of the next visible character, so
// that runs of markup collapse into one separator and none trails.
class Sink {
public:
    explicit Sink(int limit) : m_limit(limit) { m_out.reserve(std::min(limit, 4096) + 2); }

    bool full() const { return m_out.size() >= m_limit; }
    void blank() { m_blank = true; }
    void blockBreak() { m_break = true; }
    void cellBreak() { m_cell = true; }
    void lineBreak()
    {
        trimBlanks();
        m_out += QLatin1Char('\n');
        m_break = m_cell = m_blank = false;
    }
    void character(char32_t code)
    {
        flushPending();
        if (code < 0x10000) {
            m_out += QChar(char16_t(code));
        } else {
            const QChar pair[2] = {QChar::highSurrogate(code), QChar::lowSurrogate(code)};
            m_out.append(pair, 2);
        }
    }
    void preformatted(QChar c)
    {
        flushPending();
        m_out += c;
    }
    QString result()
    {
        if (m_out.size() > m_limit)
            m_out.truncate(m_out.at(m_limit - 1).isHighSurrogate() ? m_limit - 1 : m_limit);
        return m_out;
    }

private:
    bool atLineStart() const { return m_out.isEmpty() || m_out.back() == QLatin1Char('\n'); }
    void trimBlanks()
    {
        while (!m_out.isEmpty() && (m_out.back() == QLatin1Char(' ') || m_out.back() == QLatin1Char('\t')))
            m_out.chop(1);
    }
    void flushPending()
    {
        if (m_break) {
            if (!atLineStart()) {
                trimBlanks();
                m_out += QLatin1Char('\n');
            }
        } else if (m_cell) {
            if (!atLineStart()) {
                trimBlanks();
                m_out += QLatin1Char('\t');
            }
        } else if (m_blank) {
            if (!atLineStart() && m_out.back() != QLatin1Char('\t') && m_out.back() != QLatin1Char(' '))
                m_out += QLatin1Char(' ');
        }
        m_break = m_cell = m_blank = false;
    }

    QString m_out;
    int m_limit;
    bool m_break = false, m_cell = false, m_blank = false;
};

// A character reference at `at` (which holds '&'): its length, with the
// character in `code`; 0 when the text there is not a complete reference.
qsizetype reference(QStringView html, qsizetype at, char32_t& code)
{
    const qsizetype n = html.size();
    qsizetype i = at + 1;
    if (i < n && html[i] == QLatin1Char('#')) {
        ++i;
        const bool hex = i < n && (html[i] == QLatin1Char('x') || html[i] == QLatin1Char('X'));
        if (hex)
            ++i;
        char32_t value = 0;
        int digits = 0;
        for (; i < n && digits < 8; ++i, ++digits) {
            const int d = digitValue(html[i], hex);
            if (d < 0)
                break;
            value = value * (hex ? 16 : 10) + char32_t(d);
        }
        if (digits == 0 || i >= n || html[i] != QLatin1Char(';'))
            return 0;
        code = (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) ? 0xFFFD : value;
        return i + 1 - at;
    }
    QByteArray name;
    for (; i < n && name.size() < 10 && isAsciiAlnum(html[i]); ++i)
        name += char(html[i].unicode());
    if (name.isEmpty() || i >= n || html[i] != QLatin1Char(';'))
        return 0;
    code = namedReference(name);
    return code ? i + 1 - at : 0;
}

// Reads the markup that starts at `at` (which holds '<') and returns where
// the text goes on.
qsizetype markup(QStringView html, qsizetype at, Sink& sink, int& preDepth)
{
    const qsizetype n = html.size();
    qsizetype i = at + 1;
    if (html.sliced(i).startsWith(u"!--")) {
        const qsizetype end = html.indexOf(u"-->", i + 3);
        return end < 0 ? n : end + 3;
    }
    const bool closing = i < n && html[i] == QLatin1Char('/');
    if (closing)
        ++i;
    if (i >= n || !isAsciiLetter(html[i])) {
        if (i < n && (closing || html[i] == QLatin1Char('!') || html[i] == QLatin1Char('?'))) {
            const qsizetype end = html.indexOf(QLatin1Char('>'), i); // a declaration or processing instruction
            return end < 0 ? n : end + 1;
        }
        sink.character('<'); // a lone '<' is text
        return at + 1;
    }
    char name[12];
    int length = 0;
    bool tooLong = false;
    for (; i < n && isAsciiAlnum(html[i]); ++i) {
        if (length < int(sizeof name))
            name[length++] = char(html[i].toLower().unicode());
        else
            tooLong = true;
    }
    // Attributes, to the '>' that is not inside a quoted value.
    bool afterEquals = false;
    while (i < n && html[i] != QLatin1Char('>')) {
        const QChar c = html[i];
        if (afterEquals && (c == QLatin1Char('"') || c == QLatin1Char('\''))) {
            const qsizetype close = html.indexOf(c, i + 1);
            i = close < 0 ? n : close + 1;
            afterEquals = false;
            continue;
        }
        if (c == QLatin1Char('='))
            afterEquals = true;
        else if (!isHtmlBlank(c))
            afterEquals = false;
        ++i;
    }
    const qsizetype end = i < n ? i + 1 : n;
    switch (tooLong ? TagKind::Inline : kindOf(std::string_view(name, size_t(length)))) {
    case TagKind::Inline: break;
    case TagKind::Block: sink.blockBreak(); break;
    case TagKind::LineBreak: sink.lineBreak(); break;
    case TagKind::Cell:
        if (!closing)
            sink.cellBreak();
        break;
    case TagKind::Preformatted:
        sink.blockBreak();
        preDepth = closing ? std::max(0, preDepth - 1) : preDepth + 1;
        break;
    case TagKind::SkipContent:
        if (!closing) {
            const QString endTag = QStringLiteral("</") + QLatin1String(name, length);
            const qsizetype close = html.indexOf(endTag, end, Qt::CaseInsensitive);
            return close < 0 ? n : close;
        }
        break;
    }
    return end;
}

} // namespace

QString htmlToText(QStringView html, int maxCharacters, QDeadlineTimer deadline)
{
    constexpr qsizetype kCheckEvery = 16384; // input characters between looks at the clock
    Sink sink(maxCharacters);
    int preDepth = 0;
    const qsizetype n = html.size();
    qsizetype nextCheck = kCheckEvery;
    qsizetype i = 0;
    while (i < n && !sink.full()) {
        if (i >= nextCheck) {
            if (deadline.hasExpired())
                break;
            nextCheck = i + kCheckEvery;
        }
        const QChar c = html[i];
        if (c == QLatin1Char('<')) {
            i = markup(html, i, sink, preDepth);
        } else if (c == QLatin1Char('&')) {
            char32_t code = 0;
            const qsizetype used = reference(html, i, code);
            if (used == 0) {
                sink.character('&');
                ++i;
            } else {
                sink.character(code == 0xA0 ? U' ' : code);
                i += used;
            }
        } else if (isHtmlBlank(c)) {
            if (preDepth == 0) {
                sink.blank();
            } else if (c == QLatin1Char('\r')) {
                if (i + 1 >= n || html[i + 1] != QLatin1Char('\n'))
                    sink.preformatted(QLatin1Char('\n'));
            } else {
                sink.preformatted(c);
            }
            ++i;
        } else if (c == QChar(0xA0)) {
            sink.character(U' ');
            ++i;
        } else if (c.isHighSurrogate() && i + 1 < n && html[i + 1].isLowSurrogate()) {
            sink.character(QChar::surrogateToUcs4(c, html[i + 1]));
            i += 2;
        } else {
            sink.character(c.unicode());
            ++i;
        }
    }
    return sink.result();
}

} // namespace kestrova
