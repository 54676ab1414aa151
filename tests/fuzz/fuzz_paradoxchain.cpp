// Fuzz target for the Paradox table reader's check of the chain of data
// blocks. The input picks one of three tables written by pxlib (no record,
// one, several blocks) and changes bytes of its chain: the header's record
// count and block numbers and the heads of the data blocks. The reader must
// refuse the table with a message naming it or read every record, and
// never follow a chain for ever.

#include "data/error.h"
#include "migrate/paradoxtable.h"
#include "tests/support/paradoxwriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void requireAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_paradoxchain.cpp:%d: invariant broken\n", line);
        std::abort();
    }
}
#define require(condition) requireAt((condition), __LINE__)

// Three tables written by pxlib: no record, one block, three blocks.
std::vector<QByteArray> baseTables(const QTemporaryDir& dir)
{
    std::vector<QByteArray> tables;
    const QString path = dir.filePath(QStringLiteral("base.db"));
    for (int records : {0, 1, 150}) {
        {
            paradoxtest::ParadoxWriter writer(path,
                                              {{"Name", paradoxtest::Alpha, 40}, {"Count", paradoxtest::Long, 4}});
            for (int i = 0; i < records; ++i)
                writer.append({QStringLiteral("Name %1").arg(i), i});
            writer.close();
        }
        QFile f(path);
        require(f.open(QIODevice::ReadOnly));
        tables.push_back(f.readAll());
    }
    return tables;
}

int le16(const QByteArray& b, int at)
{
    return uchar(b[at]) | uchar(b[at + 1]) << 8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QTemporaryDir dir;
    static const std::vector<QByteArray> tables = baseTables(dir);
    static const QString path = dir.filePath(QStringLiteral("t.db"));
    if (size == 0)
        return 0;
    QByteArray table = tables[data[0] % tables.size()];
    const int headerSize = le16(table, 0x02);
    const int blockSize = uchar(table[0x05]) * 0x400;
    const int blocks = (int(table.size()) - headerSize) / blockSize;
    // The bytes a change may hit: the header's record count and block
    // numbers (0x06 to 0x11), then the six-byte head of each block.
    const int places = 12 + 6 * blocks;
    for (std::size_t i = 1; i + 2 < size; i += 3) {
        const int place = (data[i] << 8 | data[i + 1]) % places;
        const int at = place < 12 ? 0x06 + place : headerSize + (place - 12) / 6 * blockSize + (place - 12) % 6;
        table[at] = char(data[i + 2]);
    }
    QFile f(path);
    require(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(table) == table.size());
    f.close();

    try {
        kestrova::paradox::ParadoxTable t(path);
        require(t.recordCount() >= 0 && t.recordCount() <= 150);
        std::vector<char> record(size_t(t.recordSize()));
        for (int r = 0; r < t.recordCount(); ++r) {
            try {
                t.read(r, record.data());
            } catch (const kestrova::Error& e) {
                require(e.message().startsWith(QStringLiteral("t.db: record ")));
            }
        }
    } catch (const kestrova::Error& e) {
        require(e.message().startsWith(QStringLiteral("t.db ")));
    }
    return 0;
}
