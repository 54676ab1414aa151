#include "migrate/memofile.h"

#include "data/error.h"

namespace kestrova::paradox {

namespace {

constexpr qint64 blockSize = 4096;
// Memos beyond this size are taken for damage, not text.
constexpr quint32 largestMemo = 64u * 1024 * 1024;

quint32 le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint32 le32(const char* p)
{
    return le32(reinterpret_cast<const uchar*>(p));
}

} // namespace

MemoFile::MemoFile(const QString& path) : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        throw Error(tr("cannot open the memo file %1: %2").arg(path, m_file.errorString()));
    m_size = m_file.size();
    if (m_size < blockSize)
        throw Error(tr("the memo file %1 is truncated (%2 bytes)").arg(path, QString::number(m_size)));
    m_data = m_file.map(0, m_size);
    if (!m_data)
        throw Error(tr("cannot read the memo file %1: %2").arg(path, m_file.errorString()));
    if (m_data[0] != 0)
        throw Error(tr("%1 is not a memo file").arg(path));
}

MemoFile::~MemoFile() = default;

QByteArrayView MemoFile::memoInRecord(const char* field, int fieldLength)
{
    const int leader = fieldLength - 10;
    const quint32 size = le32(field + leader + 4);
    if (size > quint32(leader))
        throw Error(tr("a memo of %1 bytes is kept in the memo file").arg(size));
    return QByteArrayView(field, qsizetype(size));
}

QByteArrayView MemoFile::memo(const char* field, int fieldLength) const
{
    const int leader = fieldLength - 10;
    const quint32 size = le32(field + leader + 4);
    if (size <= quint32(leader))
        return QByteArrayView(field, qsizetype(size));
    if (size > largestMemo)
        throw Error(tr("a memo claims %1 bytes").arg(size));
    const quint32 pointer = le32(field + leader);
    const qint64 offset = qint64(pointer & 0xFFFFFF00u);
    const quint32 entry = pointer & 0xFFu;
    if (offset < blockSize || offset % blockSize != 0 || offset + 12 + 64 * 5 > m_size)
        throw Error(tr("a memo points to offset %1, outside the memo file").arg(offset));
    const uchar* block = m_data + offset;
    if (block[0] == 2) {
        // A block of its own: type, block count, length, modification number.
        const qint64 blocks = qint64(block[1]) | qint64(block[2]) << 8;
        if (entry != 0xFF || le32(block + 3) != size || qint64(size) + 9 > blocks * blockSize ||
            offset + 9 + qint64(size) > m_size)
            throw Error(tr("a memo block at offset %1 does not match its record").arg(offset));
        return QByteArrayView(block + 9, qsizetype(size));
    }
    if (block[0] == 3) {
        // A shared block: 12 bytes of head, then 64 entries of five bytes:
        // start and length in 16-byte units, modification number, bytes used
        // of the last unit.
        if (entry >= 64)
            throw Error(tr("a memo names entry %1 of a shared block").arg(entry));
        const uchar* e = block + 12 + entry * 5;
        const qint64 start = qint64(e[0]) * 16;
        const qint64 length = (qint64(e[1]) - 1) * 16 + e[4];
        if (e[1] == 0 || length != qint64(size) || start < 12 + 64 * 5 || start + length > blockSize ||
            offset + start + length > m_size)
            throw Error(tr("a memo entry at offset %1 does not match its record").arg(offset));
        return QByteArrayView(block + start, qsizetype(size));
    }
    throw Error(tr("a memo points to a block of type %1 at offset %2").arg(int(block[0])).arg(offset));
}

} // namespace kestrova::paradox
