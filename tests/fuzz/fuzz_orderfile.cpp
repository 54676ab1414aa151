// Fuzz target for the order file reader: any bytes go through textOfFile
// and the line reader, which must refuse or read them without crashing,
// without reading outside the text, and always moving on.

#include "data/error.h"
#include "reports/orderreader.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace kestrova::OrderFile;

namespace {

// An invariant that does not hold ends the run, naming its line.
void requireAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_orderfile.cpp:%d: invariant broken\n", line);
        std::abort();
    }
}
#define require(condition) requireAt((condition), __LINE__)

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

// The built-in reader on its own, with a small output area: the output is
// always terminated within the area, and the cursor moves within the text.
void pullThrough(QByteArray text, int capacity)
{
    char* cursor = text.data();
    char* const end = text.data() + text.size();
    const qsizetype nul = text.indexOf('\0');
    char* const textEnd = nul >= 0 ? text.data() + nul : end;
    const int terminators[] = {'\t', '\r', '\n'};
    for (int i = 0; *cursor != '\0'; ++i) {
        char area[16];
        std::memset(area, 'x', sizeof area);
        char* const before = cursor;
        builtInPull(&cursor, area, capacity, terminators[i % 3]);
        require(cursor > before && cursor <= textEnd);
        require(std::memchr(area, '\0', size_t(capacity)) != nullptr);
        require(area[capacity] == 'x'); // nothing written past the area
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray text = textOfFile(bytes);
    // The text is UTF-8, and a UTF-8 file comes back as it was.
    require(isUtf8(text));
    if (isUtf8(bytes) && !bytes.startsWith("\xEF\xBB\xBF"))
        require(text == bytes);

    pullThrough(text, 1 + int(size % 8));

    LineReader reader(text, nullptr);
    qint64 lastStart = -1;
    int lastLine = 0;
    qsizetype lines = 0;
    try {
        while (reader.next()) {
            // Each line starts after the one before: the reader moves on.
            require(reader.lineStart() > lastStart && reader.lineStart() < text.size());
            require(reader.lineNumber() > lastLine);
            require(++lines <= text.size());
            for (int i = 0; i < kFieldCount; ++i)
                require(reader.field(i).toUtf8().size() < KESTROVA_PULL_CAPACITY);
            lastStart = reader.lineStart();
            lastLine = reader.lineNumber();
        }
    } catch (const kestrova::Error& e) {
        require(e.message().startsWith(QStringLiteral("Line ")));
    }
    return 0;
}
