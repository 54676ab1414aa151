#include "tests/support/paradoxwriter.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <stdexcept>

extern "C" {
#include <paradox.h>
}

namespace paradoxtest {

using kestrova::FieldDef;
using kestrova::FieldKind;
using kestrova::TableDef;

QByteArray toCp1252(const QString& text)
{
    if (text.isEmpty())
        return {};
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() + 1, '\0');
    iconv_t cd = iconv_open("CP1252", "UTF-8");
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = size_t(in.size()), outLeft = size_t(out.size());
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1))
        throw std::runtime_error("text not in code page 1252: " + text.toStdString());
    out.truncate(int(outPtr - out.data()));
    return out;
}

ParadoxWriter::ParadoxWriter(const QString& path, const QList<Field>& fields, const QString& memoPath, int keyFields)
    : m_fields(fields)
{
    // pxlib keeps the field list and frees it with the document.
    auto* list = static_cast<pxfield_t*>(std::calloc(size_t(fields.size()), sizeof(pxfield_t)));
    int size = 0;
    for (int i = 0; i < fields.size(); ++i) {
        list[i].px_fname = strdup(fields[i].name.constData());
        list[i].px_ftype = char(fields[i].type);
        list[i].px_flen = fields[i].length;
        size += fields[i].length;
    }
    m_record.resize(size);
    m_doc = PX_new();
    if (PX_create_file(m_doc, list, int(fields.size()), QFile::encodeName(path).constData(),
                       keyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("cannot create " + path.toStdString());
    if (keyFields > 0)
        PX_set_value(m_doc, "numprimkeys", float(keyFields));
    if (!memoPath.isEmpty()) {
        pxblob_t* blob = PX_new_blob(m_doc);
        if (PX_create_blob_file(blob, QFile::encodeName(memoPath).constData()) < 0)
            throw std::runtime_error("cannot create " + memoPath.toStdString());
    }
}

ParadoxWriter::~ParadoxWriter()
{
    close();
}

void ParadoxWriter::close()
{
    if (!m_doc)
        return;
    PX_close(m_doc);
    PX_delete(m_doc);
    m_doc = nullptr;
}

void ParadoxWriter::append(const QVariantList& values)
{
    encode(values);
    if (PX_put_record(m_doc, m_record.data()) < 0)
        throw std::runtime_error("cannot write a record");
}

const QByteArray& ParadoxWriter::encode(const QVariantList& values)
{
    char* p = m_record.data();
    std::memset(p, 0, size_t(m_record.size()));
    for (int i = 0; i < m_fields.size(); ++i) {
        const Field& f = m_fields[i];
        const QVariant v = values.value(i);
        const bool empty = v.isNull();
        switch (f.type) {
        case Alpha: {
            QByteArray bytes = toCp1252(v.toString());
            if (bytes.size() > f.length)
                throw std::runtime_error("value too long for " + f.name.toStdString());
            PX_put_data_alpha(m_doc, p, f.length, bytes.data());
            break;
        }
        case Memo: {
            QByteArray bytes = toCp1252(v.toString());
            if (PX_put_data_blob(m_doc, p, f.length, bytes.data(), int(bytes.size())) < 0)
                throw std::runtime_error("cannot write the memo of " + f.name.toStdString());
            break;
        }
        case Number:
        case Money: PX_put_data_double(m_doc, p, empty ? 0 : 8, v.toDouble()); break;
        case Short: PX_put_data_short(m_doc, p, empty ? 0 : 2, short(v.toInt())); break;
        case Long: PX_put_data_long(m_doc, p, empty ? 0 : 4, v.toInt()); break;
        case Date: {
            const QDate d = v.toDate();
            PX_put_data_long(m_doc, p, empty ? 0 : 4,
                             empty ? 0 : int(PX_GregorianToSdn(d.year(), d.month(), d.day()) - 1721425));
            break;
        }
        case Logical: PX_put_data_byte(m_doc, p, empty ? 0 : 1, v.toBool() ? 1 : 0); break;
        default: throw std::runtime_error("field type not written by the tests");
        }
        p += f.length;
    }
    return m_record;
}

QList<Field> paradoxLayout(const TableDef& table)
{
    QList<Field> out;
    int numbers = 0;
    for (const FieldDef& f : table.fields) {
        const QByteArray name = f.name.toLatin1();
        switch (f.kind) {
        case FieldKind::Text: out << (f.length > 255 ? Field{name, Memo, 30} : Field{name, Alpha, f.length}); break;
        case FieldKind::Number: out << Field{name, (numbers++ % 2) ? Money : Number, 8}; break;
        case FieldKind::Integer: out << Field{name, Long, 4}; break;
        case FieldKind::Date: out << Field{name, Date, 4}; break;
        }
    }
    return out;
}

namespace {

// A text of exactly length characters made of lines, joined by CR LF.
QString longestMemo(int length)
{
    QString lf;
    for (int line = 1; lf.size() < length; ++line)
        lf += QStringLiteral("Line %1 of the longest address, Überlingen\n").arg(line);
    lf.truncate(length - 1);
    lf += QLatin1Char('.');
    return QString(lf).replace(QLatin1String("\n"), QLatin1String("\r\n"));
}

QVariant sampleValue(const FieldDef& f, int index, int row)
{
    switch (f.kind) {
    case FieldKind::Text: {
        const bool memo = f.length > 255;
        switch (row) {
        case 0: return QString();
        case 1:
            return memo ? QStringLiteral("Hauptstr. 1\r\nBonn")
                        : QStringLiteral("Ordinary %1").arg(f.name).left(f.length);
        case 2:
            return memo ? longestMemo(f.length)
                        : QStringLiteral("Longest value %1 ").arg(f.name).repeated(20).left(f.length);
        default:
            return memo ? QStringLiteral("Straße 5\r\n80336 München\r\nÖsterreich – “Süd”")
                        : QStringLiteral("Müller–Søren €œ Straße Ærø").left(f.length);
        }
    }
    case FieldKind::Number:
        switch (row) {
        case 0: return QVariant();
        case 1: return 12.5;
        case 2: return index % 2 ? -98765.4321 : 0.0;
        default: return 1234567.89;
        }
    case FieldKind::Integer:
        switch (row) {
        case 0: return QVariant();
        case 1: return 3;
        case 2: return 0;
        default: return 2147483000;
        }
    case FieldKind::Date:
        switch (row) {
        case 0: return QVariant();
        case 1: return QDate(2024, 3, 15);
        case 2: return QDate(1900, 2, 28);
        default: return QDate(2400, 2, 29);
        }
    }
    return {};
}

} // namespace

QList<QVariantList> sampleRows(const TableDef& table)
{
    QList<QVariantList> rows;
    for (int row = 0; row < 4; ++row) {
        QVariantList values;
        for (size_t i = 0; i < table.fields.size(); ++i)
            values << sampleValue(table.fields[i], int(i), row);
        rows << values;
    }
    return rows;
}

QVariant expectedValue(const FieldDef& field, const QVariant& written)
{
    switch (field.kind) {
    case FieldKind::Text: return written.toString().replace(QLatin1String("\r\n"), QLatin1String("\n"));
    case FieldKind::Number: return written.isNull() ? QVariant() : QVariant(written.toDouble());
    case FieldKind::Integer: return written.isNull() ? QVariant() : QVariant(written.toLongLong());
    case FieldKind::Date: return written.isNull() ? QVariant() : QVariant(written.toDate().toString(Qt::ISODate));
    }
    return {};
}

void writeTable(const QString& dir, const TableDef& table, const QList<Field>& layout, const QList<QVariantList>& rows)
{
    bool memo = false;
    for (const Field& f : layout)
        memo = memo || f.type == Memo;
    ParadoxWriter w(QDir(dir).filePath(table.name + QStringLiteral(".db")), layout,
                    memo ? QDir(dir).filePath(table.name + QStringLiteral(".mb")) : QString(), int(table.key.size()));
    for (const QVariantList& r : rows)
        w.append(r);
    w.close();
}

void writeSampleSet(const QString& dir, const QMap<QString, QList<QVariantList>>& rows)
{
    QDir().mkpath(dir);
    for (const TableDef& t : kestrova::schemaTables())
        writeTable(dir, t, paradoxLayout(t), rows.contains(t.name) ? rows.value(t.name) : sampleRows(t));
}

void loopBlockChain(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot open " + path.toStdString());
    const QByteArray h = f.read(0x10);
    if (h.size() < 0x10)
        throw std::runtime_error("no table header in " + path.toStdString());
    const auto le16 = [&](int at) { return int(uchar(h[at]) | uchar(h[at + 1]) << 8); };
    const int first = le16(0x0E);
    if (first < 1 || first > 255 || !f.seek(le16(0x02) + qint64(first - 1) * uchar(h[0x05]) * 0x400) ||
        !f.putChar(char(first)))
        throw std::runtime_error("cannot loop the blocks of " + path.toStdString());
}

} // namespace paradoxtest
