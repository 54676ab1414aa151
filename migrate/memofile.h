#pragma once

#include <QByteArrayView>
#include <QCoreApplication>
#include <QFile>
#include <QString>

namespace kestrova::paradox {

// Reads memo values from a table's memo file (.MB). A memo field of a record
// keeps the first bytes of the memo followed by a 10-byte pointer: the
// block's offset in the file with an entry number in its low byte, the
// memo's length and a modification number. A memo that fits before the
// pointer lives in the record alone; a longer one is read whole from the
// memo file, either from a block of its own (type 2) or from one of up to 64
// entries of a shared block (type 3). Every offset and length is checked
// against the file before it is used.
class MemoFile {
public:
    // Throws Error when the file cannot be read or is no memo file.
    explicit MemoFile(const QString& path);
    ~MemoFile();
    MemoFile(const MemoFile&) = delete;
    MemoFile& operator=(const MemoFile&) = delete;

    // The memo of a field of fieldLength bytes, pointer included; its bytes
    // live in the record or in the mapped file. Throws Error (a short
    // description of what is wrong) when the pointer leads nowhere sensible.
    QByteArrayView memo(const char* field, int fieldLength) const;

    // The same for a table without a memo file: only memos that fit into the
    // record can be read.
    static QByteArrayView memoInRecord(const char* field, int fieldLength);

private:
    Q_DECLARE_TR_FUNCTIONS(MemoFile)

    QFile m_file;
    const uchar* m_data = nullptr;
    qint64 m_size = 0;
};

} // namespace kestrova::paradox
