// The migration from Paradox tables against the floor pxlib sets: walking
// the same records with PX_get_record, converting and writing nothing.
//   kestrova-bench-paradox make DIR COUNT     thirteen Paradox tables, Xsale with COUNT orders
//   kestrova-bench-paradox walk DIR           prints walk_us and the records walked
//   kestrova-bench-paradox migrate DIR NEW    prints migrate_us: kestrova-tables migrate DIR NEW

#include "data/error.h"
#include "migrate/migration.h"
#include "tests/support/paradoxwriter.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <memory>
#include <vector>

extern "C" {
#include <paradox.h>
}

namespace {

constexpr int blockKilobytes = 32;

// Frees a document; pxlib closes its file first.
struct PxDocDeleter {
    void operator()(pxdoc_t* doc) const { PX_delete(doc); }
};

void put16(std::vector<char>& b, size_t at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

// Writes Xsale.db with count orders. pxlib's writer rewrites the header for
// every record, too slow for a million; here pxlib makes the header and
// encodes each record and memo, and the data blocks (32 KB, as Paradox uses
// for large tables) are written directly.
void makeOrders(const QString& dir, qint64 count)
{
    const kestrova::TableDef& sale = *kestrova::schemaTable(QStringLiteral("Xsale"));
    const QList<paradoxtest::Field> layout = paradoxtest::paradoxLayout(sale);
    const QList<QVariantList> samples = paradoxtest::sampleRows(sale);
    const QString path = QDir(dir).filePath(QStringLiteral("Xsale.db"));
    QFile::remove(path);
    QFile::remove(QDir(dir).filePath(QStringLiteral("Xsale.mb")));
    paradoxtest::ParadoxWriter writer(path, layout, QDir(dir).filePath(QStringLiteral("Xsale.mb")));

    int recordSize = 0;
    for (const paradoxtest::Field& f : layout)
        recordSize += f.length;
    const int blockSize = blockKilobytes * 1024;
    const int perBlock = (blockSize - 6) / recordSize;
    const qint64 blocks = (count + perBlock - 1) / perBlock;
    if (blocks > 65535)
        qFatal("too many records for one table");
    const int headerSize = 2048;

    FILE* out = std::fopen(QFile::encodeName(path).constData(), "r+b");
    std::vector<char> block(size_t(blockSize), 0);
    const QDate first(2020, 1, 1);
    qint64 written = 0;
    for (qint64 b = 0; b < blocks; ++b) {
        std::fill(block.begin(), block.end(), 0);
        const int n = int(qMin<qint64>(perBlock, count - written));
        put16(block, 0, b + 1 < blocks ? int(b + 2) : 0);
        put16(block, 2, int(b));
        put16(block, 4, (n - 1) * recordSize);
        for (int r = 0; r < n; ++r, ++written) {
            QVariantList v = samples.at(1 + int(written % 3));
            v[0] = first.addDays(written % 2000);
            v[1] = QStringLiteral("Person %1").arg(written);
            v[4] = QStringLiteral("%1 Station Road\r\nTown %2\r\nCountry").arg(written % 997).arg(written % 89);
            v[15] = QStringLiteral("2020-%1").arg(written, 6, 10, QLatin1Char('0'));
            const QByteArray& rec = writer.encode(v);
            std::copy(rec.begin(), rec.end(), block.begin() + 6 + r * recordSize);
        }
        std::fseek(out, headerSize + b * blockSize, SEEK_SET);
        if (std::fwrite(block.data(), 1, block.size(), out) != block.size())
            qFatal("cannot write %s", qPrintable(path));
    }
    writer.close();
    std::vector<char> head(0x40, 0);
    std::fseek(out, 0, SEEK_SET);
    if (std::fread(head.data(), 1, head.size(), out) != head.size())
        qFatal("cannot read back %s", qPrintable(path));
    head[0x05] = char(blockKilobytes);
    head[0x06] = char(count & 0xFF);
    head[0x07] = char((count >> 8) & 0xFF);
    head[0x08] = char((count >> 16) & 0xFF);
    head[0x09] = char((count >> 24) & 0xFF);
    for (size_t at : {0x0A, 0x0C, 0x10, 0x3A})
        put16(head, at, int(blocks));
    put16(head, 0x0E, blocks ? 1 : 0);
    std::fseek(out, 0, SEEK_SET);
    if (std::fwrite(head.data(), 1, head.size(), out) != head.size() || std::fclose(out) != 0)
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("make") && args.size() == 4) {
        paradoxtest::writeSampleSet(args.at(2));
        makeOrders(args.at(2), args.at(3).toLongLong());
        return 0;
    }
    if (mode == QLatin1String("walk") && args.size() == 3) {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<pxdoc_t, PxDocDeleter> owned(PX_new());
        pxdoc_t* doc = owned.get();
        if (!doc || PX_open_file(doc, QFile::encodeName(QDir(args.at(2)).filePath("Xsale.db")).constData()) < 0)
            return 1;
        std::vector<char> record(size_t(PX_get_recordsize(doc)));
        const int count = PX_get_num_records(doc);
        long sum = 0;
        for (int i = 0; i < count; ++i) {
            if (!PX_get_record(doc, i, record.data()))
                return 1;
            sum += record[0];
        }
        owned.reset(); // closed and freed inside the timed walk
        std::printf("walk_us=%lld records=%d check=%ld\n", timer.nsecsElapsed() / 1000, count, sum);
        return 0;
    }
    if (mode == QLatin1String("migrate") && args.size() == 4) {
        QElapsedTimer timer;
        timer.start();
        try {
            const kestrova::MigrationReport report = kestrova::migrateParadoxTables(args.at(2), args.at(3));
            std::printf("migrate_us=%lld records=%lld\n", timer.nsecsElapsed() / 1000, report.tables.front().written);
        } catch (const kestrova::Error& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.message()));
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "usage: kestrova-bench-paradox make DIR COUNT | walk DIR | migrate DIR NEW\n");
    return 2;
}
