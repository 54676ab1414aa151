#include "mailorders/replybuilder.h"

#include "data/salefields.h"
#include "functions/functionlibrary.h"

#include <kestrova/functions.h>

#include <cstring>

namespace kestrova::reply {

namespace {

// The markers: texts, and pointers to them for markers().
struct MarkerTable {
    std::array<QByteArray, kMarkerCount> texts;
    std::array<const char*, kMarkerCount> pointers;
};

const MarkerTable& markerTable()
{
    static const MarkerTable table = [] {
        MarkerTable t;
        for (int m = 0; m < kMarkerCount; ++m) {
            const QString field =
                m == kProductMarker ? sale::Product : NotificationAreas::fieldName(NotificationAreas::Field(m));
            t.texts[size_t(m)] = '$' + field.toLatin1();
            t.pointers[size_t(m)] = t.texts[size_t(m)].constData();
        }
        return t;
    }();
    return table;
}

// The value areas' capacities, in the markers' order; the product marker
// stands for the product's name rather than the notification's product id.
constexpr std::array<int, kMarkerCount> kCapacities = [] {
    static_assert(kMarkerCount == int(areas_detail::kCapacities.size()));
    auto capacities = areas_detail::kCapacities;
    capacities[NotificationAreas::ProductId] = kProductNameCapacity;
    return capacities;
}();

char folded(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The marker that starts at text[at] (which is a "$"), or -1.
int markerAt(const MarkerTable& markers, const char* text, qsizetype at, qsizetype length)
{
    for (int m = 0; m < kMarkerCount; ++m) {
        const QByteArray& marker = markers.texts[size_t(m)];
        const qsizetype n = marker.size();
        if (length - at < n)
            continue;
        qsizetype i = 1; // the "$" is already known
        while (i < n && folded(text[at + i]) == folded(marker[i]))
            ++i;
        if (i == n)
            return m;
    }
    return -1;
}

// The template's text: up to its first NUL byte.
qsizetype usedLength(const QByteArray& templ)
{
    const void* nul = std::memchr(templ.constData(), 0, size_t(templ.size()));
    return nul ? qsizetype(static_cast<const char*>(nul) - templ.constData()) : templ.size();
}

// One walk over the template; `emit` receives every piece of the reply.
template <typename Emit> void walk(const QByteArray& templ, const Values& values, Emit emit)
{
    const MarkerTable& markers = markerTable();
    const char* text = templ.constData();
    const qsizetype length = usedLength(templ);
    qsizetype at = 0;
    while (at < length) {
        const char* dollar = static_cast<const char*>(std::memchr(text + at, '$', size_t(length - at)));
        const qsizetype stop = dollar ? qsizetype(dollar - text) : length;
        if (stop > at)
            emit(text + at, stop - at);
        at = stop;
        if (at >= length)
            break;
        const int m = markerAt(markers, text, at, length);
        if (m < 0) {
            emit(text + at, 1);
            ++at;
        } else {
            const QByteArray& value = values[size_t(m)];
            emit(value.constData(), value.size());
            at += markers.texts[size_t(m)].size();
        }
    }
}

} // namespace

const std::array<const char*, kMarkerCount>& markers()
{
    return markerTable().pointers;
}

int capacity(int marker)
{
    return kCapacities[size_t(marker)];
}

QByteArray fitToArea(const QString& text, int capacity)
{
    QByteArray bytes = text.toUtf8();
    if (capacity <= 0)
        return {};
    if (bytes.size() > capacity - 1) {
        qsizetype n = capacity - 1;
        while (n > 0 && (uchar(bytes.at(n)) & 0xC0) == 0x80)
            --n;
        bytes.truncate(n);
    }
    // A value ends at its first NUL, as in its area.
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return bytes;
}

qsizetype measure(const QByteArray& templ, const Values& values)
{
    qsizetype total = 0;
    walk(templ, values, [&total](const char*, qsizetype n) { total += n; });
    return total;
}

QByteArray build(const QByteArray& templ, const Values& values)
{
    const qsizetype total = measure(templ, values);
    QByteArray out(total, '\0');
    char* to = out.data();
    walk(templ, values, [&to](const char* piece, qsizetype n) {
        std::memcpy(to, piece, size_t(n));
        to += n;
    });
    return out;
}

} // namespace kestrova::reply
