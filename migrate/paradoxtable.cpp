#include "migrate/paradoxtable.h"

#include "data/error.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>
// pxlib's header declares its functions without C linkage of its own.
extern "C" {
#include <paradox.h>
}

namespace kestrova::paradox {

namespace {

quint16 le16(const uchar* p)
{
    return quint16(p[0] | p[1] << 8);
}

quint32 le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Where the fixed part of a table header keeps what is checked here.
constexpr int commonHeaderSize = 0x58;
constexpr int dataHeaderSize = 0x20;
constexpr int blockHeadSize = 6;

// What the walk along the data blocks needs of the header.
struct ChainShape {
    qint64 headerSize;
    qint64 blockSize;
    int fileBlocks;
    int firstBlock;
    int recordSize;
    qint64 perBlock;
    qint64 numRecords;
};

// The byte size a field type takes in a record, or 0 when any size in
// range may occur (alpha, memo and binary fields).
int fixedLength(int type)
{
    switch (type) {
    case Date:
    case Long:
    case Time:
    case AutoIncrement: return 4;
    case Short: return 2;
    case Currency:
    case Number:
    case Timestamp: return 8;
    case Logical: return 1;
    case Bcd: return 17;
    default: return 0;
    }
}

bool lengthFits(int type, int length)
{
    if (const int fixed = fixedLength(type))
        return length == fixed;
    switch (type) {
    case Alpha:
    case Bytes: return length >= 1 && length <= 255;
    case Memo:
    case Blob:
    case FormattedMemo:
    case Ole:
    case Graphic: return length >= 11 && length <= 250;
    default: return false;
    }
}

// pxlib's memory, zero-filled: it sizes its list of data blocks by the
// header's block count and fills only the blocks the chain reaches; zeroed
// entries beyond the chain are skipped by its record lookup.
void* zeroedAlloc(pxdoc_t*, size_t size, const char*)
{
    return std::calloc(1, size ? size : 1);
}

void* plainRealloc(pxdoc_t*, void* mem, size_t size, const char*)
{
    return std::realloc(mem, size);
}

void plainFree(pxdoc_t*, void* mem)
{
    std::free(mem);
}

// Walks the chain of data blocks from the header's first block, reading
// each block's head from the file: every number within the file's blocks,
// none twice (pxlib follows a looping chain for ever), and the records of
// the blocks adding up to the header's count. Returns the problem, or an
// empty text when the chain holds together.
QString blockChainProblem(QFile& file, const ChainShape& shape)
{
    std::vector<bool> seen(size_t(shape.fileBlocks) + 1, false);
    qint64 records = 0;
    int previous = 0;
    for (int number = shape.firstBlock; number != 0;) {
        if (number < 1 || number > shape.fileBlocks)
            return previous ? QStringLiteral("has a damaged chain of data blocks: block %1 names block %2 as the "
                                             "next, but the file has %3")
                                  .arg(previous)
                                  .arg(number)
                                  .arg(shape.fileBlocks)
                            : QStringLiteral("has a damaged header: its first data block %1 is not among its %2")
                                  .arg(number)
                                  .arg(shape.fileBlocks);
        if (seen[size_t(number)])
            return QStringLiteral("has a damaged chain of data blocks: it comes back to block %1 after block %2")
                .arg(number)
                .arg(previous);
        seen[size_t(number)] = true;
        uchar head[blockHeadSize];
        if (!file.seek(shape.headerSize + qint64(number - 1) * shape.blockSize) ||
            file.read(reinterpret_cast<char*>(head), blockHeadSize) != blockHeadSize)
            return QStringLiteral("cannot be read: %1").arg(file.errorString());
        const qint64 lastOffset = qint16(le16(head + 4));
        const qint64 count = lastOffset < 0 ? 0 : lastOffset / shape.recordSize + 1;
        if (count > shape.perBlock || (lastOffset >= 0 && lastOffset % shape.recordSize != 0))
            return QStringLiteral("has a damaged chain of data blocks: block %1 gives a wrong size").arg(number);
        records += count;
        previous = number;
        number = le16(head);
    }
    if (records != shape.numRecords)
        return QStringLiteral("has a damaged header: it counts %1 records, but its data blocks hold %2")
            .arg(shape.numRecords)
            .arg(records);
    return {};
}

} // namespace

QString fieldTypeName(int type)
{
    switch (type) {
    case Alpha: return QStringLiteral("alpha");
    case Date: return QStringLiteral("date");
    case Short: return QStringLiteral("short number");
    case Long: return QStringLiteral("long integer");
    case Currency: return QStringLiteral("money");
    case Number: return QStringLiteral("number");
    case Logical: return QStringLiteral("logical");
    case Memo: return QStringLiteral("memo");
    case Blob: return QStringLiteral("binary");
    case FormattedMemo: return QStringLiteral("formatted memo");
    case Ole: return QStringLiteral("OLE");
    case Graphic: return QStringLiteral("graphic");
    case Time: return QStringLiteral("time");
    case Timestamp: return QStringLiteral("timestamp");
    case AutoIncrement: return QStringLiteral("autoincrement");
    case Bcd: return QStringLiteral("BCD");
    case Bytes: return QStringLiteral("bytes");
    }
    return QStringLiteral("unknown (0x%1)").arg(type, 2, 16, QLatin1Char('0'));
}

void ParadoxTable::onPxError(px_doc*, int, const char* message, void* self)
{
    if (self && message)
        static_cast<ParadoxTable*>(self)->m_problem = QString::fromLocal8Bit(message).trimmed();
}

ParadoxTable::ParadoxTable(const QString& path) : m_path(path)
{
    const QString name = QFileInfo(path).fileName();
    auto fail = [&](const QString& problem) { return Error(name + QLatin1Char(' ') + problem); };

    QFile file(path);
    if (!file.exists())
        throw fail(QStringLiteral("is missing"));
    if (!file.open(QIODevice::ReadOnly))
        throw fail(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(qMin<qint64>(fileSize, 0x10000));
    if (head.size() != qMin<qint64>(fileSize, 0x10000))
        throw fail(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    file.close();
    if (head.size() < commonHeaderSize)
        throw fail(QStringLiteral("is not a Paradox table (it is too short for one)"));

    const uchar* h = reinterpret_cast<const uchar*>(head.constData());
    const int recordSize = le16(h + 0x00);
    const int headerSize = le16(h + 0x02);
    const int fileType = h[0x04];
    const int maxTableSize = h[0x05];
    const qint64 numRecords = qint32(le32(h + 0x06));
    const int fileBlocks = le16(h + 0x0C);
    const int firstBlock = le16(h + 0x0E);
    const int numFields = le16(h + 0x21);
    const quint32 encryption1 = le32(h + 0x25);
    const int version = h[0x39];

    if (fileType == pxfFileTypPrimIndex || (fileType >= 3 && fileType <= 8))
        throw fail(QStringLiteral("is a Paradox index file, not a table"));
    if ((fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB) || version < 3 || version > 15 ||
        maxTableSize < 1 || maxTableSize > 32 || recordSize < 1 || numFields < 1 || numFields > 255 ||
        headerSize < commonHeaderSize)
        throw fail(QStringLiteral("is not a Paradox table"));

    const bool hasDataHeader = version >= 5;
    const int fieldInfo = hasDataHeader ? commonHeaderSize + dataHeaderSize : commonHeaderSize;
    if (headerSize > fileSize)
        throw fail(QStringLiteral("is truncated: its header of %1 bytes is longer than the file (%2 bytes)")
                       .arg(headerSize)
                       .arg(fileSize));
    if (fieldInfo + 2 * numFields > headerSize)
        throw fail(QStringLiteral("has a damaged header: %1 fields do not fit into it").arg(numFields));
    quint32 encryption = encryption1;
    if (encryption1 == 0xFF00FF00u)
        encryption = hasDataHeader ? le32(h + commonHeaderSize + 4) : 0;
    if (encryption != 0)
        throw fail(QStringLiteral("is protected by a password; remove the password in Paradox first"));
    m_codePage = hasDataHeader ? le16(h + commonHeaderSize + 0x12) : 0;

    int sum = 0;
    for (int i = 0; i < numFields; ++i) {
        const int type = h[fieldInfo + 2 * i];
        const int size = type == Bcd ? 17 : h[fieldInfo + 2 * i + 1];
        sum += size;
    }
    if (sum != recordSize)
        throw fail(QStringLiteral("has a damaged header: it gives records of %1 bytes, but its fields take %2")
                       .arg(recordSize)
                       .arg(sum));
    const qint64 blockSize = qint64(maxTableSize) * 0x400;
    const qint64 perBlock = (blockSize - blockHeadSize) / recordSize;
    if (perBlock < 1)
        throw fail(
            QStringLiteral("has a damaged header: a record of %1 bytes does not fit into a block").arg(recordSize));
    if (fileSize < headerSize + fileBlocks * blockSize)
        throw fail(QStringLiteral("is truncated: its header counts %1 data blocks of %2 bytes, "
                                  "but the file ends after %3 bytes")
                       .arg(fileBlocks)
                       .arg(blockSize)
                       .arg(fileSize));
    if (numRecords < 0 || numRecords > fileBlocks * perBlock)
        throw fail(QStringLiteral("has a damaged header: it counts %1 records, but its %2 data blocks "
                                  "hold at most %3")
                       .arg(numRecords)
                       .arg(fileBlocks)
                       .arg(fileBlocks * perBlock));

    if (!file.open(QIODevice::ReadOnly))
        throw fail(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    const QString chain =
        blockChainProblem(file, {headerSize, blockSize, fileBlocks, firstBlock, recordSize, perBlock, numRecords});
    file.close();
    if (!chain.isEmpty())
        throw fail(chain);

    // The header and the chain hold together: pxlib may read them.
    m_doc.reset(PX_new3(&ParadoxTable::onPxError, zeroedAlloc, plainRealloc, plainFree, this));
    if (!m_doc)
        throw fail(QStringLiteral("cannot be read: out of memory"));
    if (PX_open_file(m_doc.get(), QFile::encodeName(path).constData()) < 0)
        throw fail(QStringLiteral("cannot be read: %1").arg(m_problem));

    // Every record lies in the chain of data blocks that starts at the
    // header's first block; their counts must add up to the header's.
    qint64 inBlocks = 0;
    std::vector<bool> seen(size_t(fileBlocks) + 1, false);
    const auto* blocks = static_cast<const pxpindex_t*>(m_doc->px_indexdata);
    for (int i = 0; i < m_doc->px_indexdatalen && blocks; ++i) {
        const int number = blocks[i].blocknumber;
        const int count = blocks[i].numrecords;
        if (number == 0 && blocks[i].level == 0)
            break; // the chain ended before the header's block count
        if (number < 1 || number > fileBlocks || seen[size_t(number)] || count < 0 || count > perBlock) {
            throw fail(QStringLiteral("has a damaged chain of data blocks (at block %1)").arg(number));
        }
        seen[size_t(number)] = true;
        inBlocks += count;
    }
    if (inBlocks != numRecords) {
        throw fail(QStringLiteral("has a damaged header: it counts %1 records, but its data blocks hold %2")
                       .arg(numRecords)
                       .arg(inBlocks));
    }

    m_recordCount = int(numRecords);
    m_recordSize = recordSize;
    int offset = 0;
    const pxfield_t* pf = PX_get_fields(m_doc.get());
    for (int i = 0; i < numFields; ++i) {
        ParadoxField f;
        f.name = QString::fromLatin1(pf[i].px_fname ? pf[i].px_fname : "");
        f.type = uchar(pf[i].px_ftype);
        f.length = pf[i].px_flen;
        f.offset = offset;
        offset += f.length;
        if (!lengthFits(f.type, f.length)) {
            throw fail(QStringLiteral("has a damaged header: the %1 field %2 is %3 bytes long")
                           .arg(fieldTypeName(f.type), f.name)
                           .arg(f.length));
        }
        m_fields.push_back(f);
    }
}

ParadoxTable::~ParadoxTable() = default;

void ParadoxTable::PxDocDeleter::operator()(px_doc* doc) const
{
    PX_delete(doc);
}

const ParadoxField* ParadoxTable::field(const QString& name) const
{
    for (const ParadoxField& f : m_fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

void ParadoxTable::read(int recno, char* record)
{
    if (!PX_get_record(m_doc.get(), recno, record))
        throw Error(QStringLiteral("%1: record %2 cannot be read: %3")
                        .arg(QFileInfo(m_path).fileName())
                        .arg(recno + 1)
                        .arg(m_problem.isEmpty() ? QStringLiteral("unknown reason") : m_problem));
}

bool isEmptyValue(const char* bytes, int length)
{
    for (int i = 0; i < length; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

qint64 decodeShort(const char* bytes)
{
    const auto* b = reinterpret_cast<const uchar*>(bytes);
    return qint16(quint16((b[0] << 8 | b[1]) ^ 0x8000));
}

qint64 decodeLong(const char* bytes)
{
    const auto* b = reinterpret_cast<const uchar*>(bytes);
    const quint32 v = quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
    return qint32(v ^ 0x80000000u);
}

double decodeNumber(const char* bytes)
{
    const auto* b = reinterpret_cast<const uchar*>(bytes);
    quint64 v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 8 | b[i];
    // Positive values have the sign bit set; negative ones are stored with
    // every bit inverted.
    v = (v & 0x8000000000000000ull) ? (v & 0x7FFFFFFFFFFFFFFFull) : ~v;
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
}

} // namespace kestrova::paradox
