// Fuzz target for the reply builder: the input is a template, optionally
// followed by a 0x01 byte and values separated by 0x02. Whatever the bytes,
// the reply must be exactly as long as measured, contain no marker that a
// plain template copy would not, and equal a slow reference replacement.

#include "mailorders/replybuilder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace kestrova;

namespace {

void requireAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_replybuilder.cpp:%d: invariant broken\n", line);
        std::abort();
    }
}
#define require(condition) requireAt((condition), __LINE__)

// The same replacement, written the plain way: at each "$", try every marker
// in order, ignoring the case of letters.
QByteArray reference(const QByteArray& templ, const reply::Values& values)
{
    const qsizetype nul = templ.indexOf('\0');
    const QByteArray text = nul >= 0 ? templ.left(nul) : templ;
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        int found = -1;
        if (text[i] == '$') {
            for (int m = 0; m < reply::kMarkerCount && found < 0; ++m) {
                const QByteArray marker(reply::markers()[size_t(m)]);
                // toLower changes only the letters A to Z.
                if (text.mid(i, marker.size()).toLower() == marker.toLower())
                    found = m;
            }
        }
        if (found < 0) {
            out += text[i];
            ++i;
        } else {
            out += values[size_t(found)];
            i += qsizetype(std::strlen(reply::markers()[size_t(found)]));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\x01');
    const QByteArray templ = split >= 0 ? input.left(split) : input;
    reply::Values values;
    if (split >= 0) {
        const QList<QByteArray> parts = input.mid(split + 1).split('\x02');
        for (int m = 0; m < reply::kMarkerCount && m < parts.size(); ++m) {
            // Values reach the builder as their areas hold them.
            values[size_t(m)] = reply::fitToArea(QString::fromUtf8(parts[m]), reply::capacity(m));
            require(values[size_t(m)].size() < reply::capacity(m));
            require(!values[size_t(m)].contains('\0'));
        }
    }
    const QByteArray out = reply::build(templ, values);
    require(out.size() == reply::measure(templ, values));
    require(out == reference(templ, values));
    // A template without "$" comes back as it is, up to its first NUL.
    if (!templ.contains('$'))
        require(out == templ.left(templ.indexOf('\0') >= 0 ? templ.indexOf('\0') : templ.size()));
    return 0;
}
