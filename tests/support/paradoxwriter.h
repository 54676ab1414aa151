#pragma once

#include "data/schema.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

struct px_doc;

// Writes Paradox tables with pxlib's own writer, so that the migration is
// tested on files it did not make itself.
namespace paradoxtest {

// Paradox field types as pxlib numbers them.
enum Type : int {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Money = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C
};

struct Field {
    QByteArray name;
    int type;
    int length; // bytes; for memos the part kept in the record plus 10
};

class ParadoxWriter {
public:
    // Creates the table file path; a table with memo fields gets its memo
    // file memoPath. keyFields > 0 makes a keyed table. Throws on failure.
    ParadoxWriter(const QString& path, const QList<Field>& fields, const QString& memoPath = {}, int keyFields = 0);
    ~ParadoxWriter();

    // One record. A null value leaves the field empty; texts (QString) are
    // converted to code page 1252, numbers are doubles or integers, dates
    // QDate.
    void append(const QVariantList& values);
    void close();

    // The bytes of one record as append() would store them (memos go into
    // the memo file now), for a writer of its own data blocks.
    const QByteArray& encode(const QVariantList& values);

private:
    px_doc* m_doc = nullptr;
    QList<Field> m_fields;
    QByteArray m_record;
};

// Text in code page 1252, as the tables store it.
QByteArray toCp1252(const QString& text);

// The layout the tests give a Kestrova table in Paradox: alpha fields as long
// as Kestrova's (memo fields with 20 bytes in the record beyond 255),
// numbers alternately as number and money, whole numbers as long integers,
// dates as dates.
QList<Field> paradoxLayout(const kestrova::TableDef& table);

// Four records for a table: every field empty, ordinary values, the longest
// values (addresses with line breaks, stored zero and negative numbers) and
// non-ASCII values. Key fields stay distinct.
QList<QVariantList> sampleRows(const kestrova::TableDef& table);

// What Kestrova's table should hold for a sample value: texts with CR LF
// joined to LF, dates as ISO text, empty numbers and dates as null.
QVariant expectedValue(const kestrova::FieldDef& field, const QVariant& written);

// Writes the thirteen tables into dir (named Xsale.db, Xsale.mb, ...), each
// with its sample rows unless rows gives others for it.
void writeSampleSet(const QString& dir, const QMap<QString, QList<QVariantList>>& rows = {});

// Writes one table of the set with the given rows and layout.
void writeTable(const QString& dir, const kestrova::TableDef& table, const QList<Field>& layout,
                const QList<QVariantList>& rows);

// Makes the chain of data blocks of the table file path loop: its first
// block names itself as the next one, one changed byte.
void loopBlockChain(const QString& path);

} // namespace paradoxtest
