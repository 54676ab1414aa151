#include "writer/markers.h"

namespace kestrova::writer {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

MarkerText::MarkerText(const QString& text, const QStringList& fieldNames)
{
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty())
            m_segments.push_back({literal, -1});
        literal.clear();
    };
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text[i];
        if (ch != QLatin1Char('$')) {
            literal += ch;
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('$')) {
            literal += ch;
            i += 2;
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() && isWordChar(text[end]))
            ++end;
        const QString word = text.mid(i + 1, end - i - 1);
        int field = -1;
        for (int f = 0; f < fieldNames.size() && !word.isEmpty(); ++f)
            if (fieldNames[f].compare(word, Qt::CaseInsensitive) == 0) {
                field = f;
                break;
            }
        if (field < 0) {
            literal += text.mid(i, end - i);
        } else {
            flush();
            m_segments.push_back({QString(), field});
        }
        i = end;
    }
    flush();
    for (const Segment& s : m_segments)
        m_size += s.field < 0 ? s.text.size() : 32;
}

bool MarkerText::hasMarkers() const
{
    for (const Segment& s : m_segments)
        if (s.field >= 0)
            return true;
    return false;
}

QString htmlText(const QString& value)
{
    QString out;
    out.reserve(value.size() + 16);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value[i];
        switch (ch.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\r':
            if (i + 1 < value.size() && value[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("<br/>");
            break;
        case '\n': out += QLatin1String("<br/>"); break;
        default: out += ch;
        }
    }
    return out;
}

QString fileNamePart(const QString& value)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString out;
    for (qsizetype i = 0; i < value.size() && out.size() < 100; ++i) {
        const QChar ch = value[i];
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            if (!out.endsWith(QLatin1Char(' ')))
                out += QLatin1Char(' ');
        } else if (ch.category() == QChar::Other_Control || refused.contains(ch)) {
            out += QLatin1Char('_');
        } else {
            out += ch;
        }
    }
    out = out.trimmed();
    bool dotsOnly = !out.isEmpty();
    for (QChar ch : out)
        dotsOnly = dotsOnly && ch == QLatin1Char('.');
    if (dotsOnly)
        out.fill(QLatin1Char('_'));
    return out;
}

} // namespace kestrova::writer
