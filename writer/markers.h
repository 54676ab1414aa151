#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova::writer {

// A text with `$` markers, read once and filled in for every record. A marker
// is `$` followed by a word (letters, digits, `_`) that names a field of the
// exchange table, in any letter case; `$$` stands for one `$`. A word that
// names no field stays as written, `$` included.
class MarkerText {
public:
    MarkerText() = default;
    MarkerText(const QString& text, const QStringList& fieldNames);

    // The text with each marker replaced by its field's value (values in the
    // order of the field names), passed through `convert` first.
    template <typename Convert> QString expand(const QStringList& values, Convert convert) const
    {
        QString out;
        out.reserve(m_size);
        for (const Segment& s : m_segments)
            out += s.field < 0 ? s.text : convert(values.value(s.field));
        return out;
    }

    bool hasMarkers() const;

private:
    struct Segment {
        QString text;
        int field = -1;
    };
    QList<Segment> m_segments;
    qsizetype m_size = 0;
};

// A value as HTML text: `&`, `<`, `>` and `"` escaped, each line break (CR LF,
// LF or CR) made a <br>.
QString htmlText(const QString& value);

// A value fit to stand in a file name: no path separator, no character that
// file systems refuse or shells trip over, no line break, no name made of dots
// only, at most 100 characters.
QString fileNamePart(const QString& value);

} // namespace kestrova::writer
