#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>
#include <vector>

struct px_doc;

namespace kestrova::paradox {

// Paradox field types, as the table header stores them.
enum FieldType {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoIncrement = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};

QString fieldTypeName(int type);

struct ParadoxField {
    QString name;
    int type = 0;
    int length = 0; // bytes in the record
    int offset = 0; // from the start of the record
};

// One Paradox table file (.db), read record by record through pxlib. The
// header is checked before pxlib sees the file, and the chain of data blocks
// after it has read it, so that a damaged or lying file is refused with a
// message instead of being read past its end.
class ParadoxTable {
public:
    // Throws Error, with a message that names the file, when it is missing,
    // unreadable, not a Paradox table, encrypted, truncated or inconsistent.
    explicit ParadoxTable(const QString& path);
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    const QString& path() const { return m_path; }
    const std::vector<ParadoxField>& fields() const { return m_fields; }
    const ParadoxField* field(const QString& name) const;
    int recordCount() const { return m_recordCount; }
    int recordSize() const { return m_recordSize; }
    // The code page of the alpha and memo values; 0 when the header names none.
    int codePage() const { return m_codePage; }

    // Reads record number recno (from 0, in the table's order) into record,
    // which holds recordSize() bytes. Throws Error when it cannot be read.
    void read(int recno, char* record);

private:
    Q_DECLARE_TR_FUNCTIONS(ParadoxTable)

    struct PxDocDeleter {
        void operator()(px_doc* doc) const;
    };

    QString m_path;
    QString m_problem; // the last message pxlib reported
    std::vector<ParadoxField> m_fields;
    int m_recordCount = 0;
    int m_recordSize = 0;
    int m_codePage = 0;
    // Last, so that pxlib is done with the document before the members its
    // error handler writes go, also when the constructor throws.
    std::unique_ptr<px_doc, PxDocDeleter> m_doc;

    static void onPxError(px_doc* doc, int level, const char* message, void* self);
};

// True when the bytes of a number, date or other fixed-size field are all
// zero: Paradox's empty value. A stored zero has its sign bit set instead.
bool isEmptyValue(const char* bytes, int length);

// Decoders of Paradox's big-endian, sign-flipped number formats.
qint64 decodeShort(const char* bytes);
qint64 decodeLong(const char* bytes);
double decodeNumber(const char* bytes);

} // namespace kestrova::paradox
