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
// the blocks adding up to the header's count. Returns the problem, naming
// the file as name, or an empty text when the chain holds together.
QString blockChainProblem(QFile& file, const ChainShape& shape, const QString& name)
{
    std::vector<bool> seen(size_t(shape.fileBlocks) + 1, false);
    qint64 records = 0;
    int previous = 0;
    for (int number = shape.firstBlock; number != 0;) {
        if (number < 1 || number > shape.fileBlocks)
            return previous
                       ? QCoreApplication::translate("ParadoxTable",
                                                     "%1 has a damaged chain of data blocks: block %2 names "
                                                     "block %3 as the next, but the file has %4")
                             .arg(name, QString::number(previous), QString::number(number),
                                  QString::number(shape.fileBlocks))
                       : QCoreApplication::translate(
                             "ParadoxTable", "%1 has a damaged header: its first data block %2 is not among its %3")
                             .arg(name, QString::number(number), QString::number(shape.fileBlocks));
        if (seen[size_t(number)])
            return QCoreApplication::translate(
                       "ParadoxTable",
                       "%1 has a damaged chain of data blocks: it comes back to block %2 after block %3")
                .arg(name, QString::number(number), QString::number(previous));
        seen[size_t(number)] = true;
        uchar head[blockHeadSize];
        if (!file.seek(shape.headerSize + qint64(number - 1) * shape.blockSize) ||
            file.read(reinterpret_cast<char*>(head), blockHeadSize) != blockHeadSize)
            return QCoreApplication::translate("ParadoxTable", "%1 cannot be read: %2").arg(name, file.errorString());
        const qint64 lastOffset = qint16(le16(head + 4));
        const qint64 count = lastOffset < 0 ? 0 : lastOffset / shape.recordSize + 1;
        if (count > shape.perBlock || (lastOffset >= 0 && lastOffset % shape.recordSize != 0))
            return QCoreApplication::translate("ParadoxTable",
                                               "%1 has a damaged chain of data blocks: block %2 gives a wrong size")
                .arg(name, QString::number(number));
        records += count;
        previous = number;
        number = le16(head);
    }
    if (records != shape.numRecords)
        return QCoreApplication::translate("ParadoxTable",
                                           "%1 has a damaged header: it counts %2 records, but its data blocks hold %3")
            .arg(name, QString::number(shape.numRecords), QString::number(records));
    return {};
}

} // namespace

// The type's name as messages about a field show it.
QString fieldTypeName(int type)
{
    switch (type) {
    case Alpha: return QCoreApplication::translate("ParadoxTable", "alpha", "Paradox field type");
    case Date: return QCoreApplication::translate("ParadoxTable", "date", "Paradox field type");
    case Short: return QCoreApplication::translate("ParadoxTable", "short number", "Paradox field type");
    case Long: return QCoreApplication::translate("ParadoxTable", "long integer", "Paradox field type");
    case Currency: return QCoreApplication::translate("ParadoxTable", "money", "Paradox field type");
    case Number: return QCoreApplication::translate("ParadoxTable", "number", "Paradox field type");
    case Logical: return QCoreApplication::translate("ParadoxTable", "logical", "Paradox field type");
    case Memo: return QCoreApplication::translate("ParadoxTable", "memo", "Paradox field type");
    case Blob: return QCoreApplication::translate("ParadoxTable", "binary", "Paradox field type");
    case FormattedMemo: return QCoreApplication::translate("ParadoxTable", "formatted memo", "Paradox field type");
    case Ole: return QCoreApplication::translate("ParadoxTable", "OLE", "Paradox field type");
    case Graphic: return QCoreApplication::translate("ParadoxTable", "graphic", "Paradox field type");
    case Time: return QCoreApplication::translate("ParadoxTable", "time", "Paradox field type");
    case Timestamp: return QCoreApplication::translate("ParadoxTable", "timestamp", "Paradox field type");
    case AutoIncrement: return QCoreApplication::translate("ParadoxTable", "autoincrement", "Paradox field type");
    case Bcd: return QCoreApplication::translate("ParadoxTable", "BCD", "Paradox field type");
    case Bytes: return QCoreApplication::translate("ParadoxTable", "bytes", "Paradox field type");
    }
    return QCoreApplication::translate("ParadoxTable", "unknown (0x%1)", "Paradox field type")
        .arg(type, 2, 16, QLatin1Char('0'));
}

void ParadoxTable::onPxError(px_doc*, int, const char* message, void* self)
{
    if (self && message)
        static_cast<ParadoxTable*>(self)->m_problem = QString::fromLocal8Bit(message).trimmed();
}

ParadoxTable::ParadoxTable(const QString& path) : m_path(path)
{
    const QString name = QFileInfo(path).fileName();

    QFile file(path);
    if (!file.exists())
        throw Error(tr("%1 is missing").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(tr("%1 cannot be read: %2").arg(name, file.errorString()));
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(qMin<qint64>(fileSize, 0x10000));
    if (head.size() != qMin<qint64>(fileSize, 0x10000))
        throw Error(tr("%1 cannot be read: %2").arg(name, file.errorString()));
    file.close();
    if (head.size() < commonHeaderSize)
        throw Error(tr("%1 is not a Paradox table (it is too short for one)").arg(name));

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
        throw Error(tr("%1 is a Paradox index file, not a table").arg(name));
    if ((fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB) || version < 3 || version > 15 ||
        maxTableSize < 1 || maxTableSize > 32 || recordSize < 1 || numFields < 1 || numFields > 255 ||
        headerSize < commonHeaderSize)
        throw Error(tr("%1 is not a Paradox table").arg(name));

    const bool hasDataHeader = version >= 5;
    const int fieldInfo = hasDataHeader ? commonHeaderSize + dataHeaderSize : commonHeaderSize;
    if (headerSize > fileSize)
        throw Error(tr("%1 is truncated: its header of %2 bytes is longer than the file (%3 bytes)")
                        .arg(name, QString::number(headerSize), QString::number(fileSize)));
    if (fieldInfo + 2 * numFields > headerSize)
        throw Error(tr("%1 has a damaged header: %2 fields do not fit into it").arg(name, QString::number(numFields)));
    quint32 encryption = encryption1;
    if (encryption1 == 0xFF00FF00u)
        encryption = hasDataHeader ? le32(h + commonHeaderSize + 4) : 0;
    if (encryption != 0)
        throw Error(tr("%1 is protected by a password; remove the password in Paradox first").arg(name));
    m_codePage = hasDataHeader ? le16(h + commonHeaderSize + 0x12) : 0;

    int sum = 0;
    for (int i = 0; i < numFields; ++i) {
        const int type = h[fieldInfo + 2 * i];
        const int size = type == Bcd ? 17 : h[fieldInfo + 2 * i + 1];
        sum += size;
    }
    if (sum != recordSize)
        throw Error(tr("%1 has a damaged header: it gives records of %2 bytes, but its fields take %3")
                        .arg(name, QString::number(recordSize), QString::number(sum)));
    const qint64 blockSize = qint64(maxTableSize) * 0x400;
    const qint64 perBlock = (blockSize - blockHeadSize) / recordSize;
    if (perBlock < 1)
        throw Error(tr("%1 has a damaged header: a record of %2 bytes does not fit into a block")
                        .arg(name, QString::number(recordSize)));
    if (fileSize < headerSize + fileBlocks * blockSize)
        throw Error(tr("%1 is truncated: its header counts %2 data blocks of %3 bytes, "
                       "but the file ends after %4 bytes")
                        .arg(name, QString::number(fileBlocks), QString::number(blockSize), QString::number(fileSize)));
    if (numRecords < 0 || numRecords > fileBlocks * perBlock)
        throw Error(tr("%1 has a damaged header: it counts %2 records, but its %3 data blocks "
                       "hold at most %4")
                        .arg(name, QString::number(numRecords), QString::number(fileBlocks),
                             QString::number(fileBlocks * perBlock)));

    if (!file.open(QIODevice::ReadOnly))
        throw Error(tr("%1 cannot be read: %2").arg(name, file.errorString()));
    const QString chain = blockChainProblem(
        file, {headerSize, blockSize, fileBlocks, firstBlock, recordSize, perBlock, numRecords}, name);
    file.close();
    if (!chain.isEmpty())
        throw Error(chain);

    // The header and the chain hold together: pxlib may read them.
    m_doc.reset(PX_new3(&ParadoxTable::onPxError, zeroedAlloc, plainRealloc, plainFree, this));
    if (!m_doc)
        throw Error(tr("%1 cannot be read: out of memory").arg(name));
    if (PX_open_file(m_doc.get(), QFile::encodeName(path).constData()) < 0)
        throw Error(tr("%1 cannot be read: %2").arg(name, m_problem));

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
            throw Error(tr("%1 has a damaged chain of data blocks (at block %2)").arg(name, QString::number(number)));
        }
        seen[size_t(number)] = true;
        inBlocks += count;
    }
    if (inBlocks != numRecords) {
        throw Error(tr("%1 has a damaged header: it counts %2 records, but its data blocks hold %3")
                        .arg(name, QString::number(numRecords), QString::number(inBlocks)));
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
            //: %1 is the file, %2 a Paradox field type (alpha, memo, ...), %3 the field's name.
            throw Error(tr("%1 has a damaged header: the %2 field %3 is %4 bytes long")
                            .arg(name, fieldTypeName(f.type), f.name, QString::number(f.length)));
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
        throw Error(tr("%1: record %2 cannot be read: %3")
                        .arg(QFileInfo(m_path).fileName(), QString::number(recno + 1),
                             m_problem.isEmpty() ? tr("unknown reason") : m_problem));
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
