#include "ordertransfer.h"

#include "dataset.h"
#include "error.h"
#include "schema.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <cstring>

namespace kestrova::OrderFile {

const QStringList& fieldOrder()
{
    static const QStringList order = [] {
        QStringList names;
        for (const FieldDef& f : schemaTable(QStringLiteral("Xsale"))->fields)
            names << f.name;
        return names;
    }();
    return order;
}

qint64 exportOrders(Table& saleIn, const QString& path, TransferProgress* progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Cannot create the file %1: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    saleIn.setReadOnly(true);
    saleIn.open();
    qint64 written = 0;
    try {
        const int total = saleIn.recordCount();
        if (progress)
            progress->begin(QStringLiteral("Exporting data"), QStringLiteral("Exporting data"), total);
        saleIn.first();
        QByteArray line;
        while (!saleIn.eof()) {
            ++written;
            if (progress)
                progress->advance(written);
            line.clear();
            const QStringList& fields = fieldOrder();
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (i > 0)
                    line += '\t';
                line += saleIn.fieldText(fields.at(i)).toUtf8();
            }
            line += "\r\n"; // a line is written whole, however long
            if (file.write(line) != line.size())
                throw Error(QStringLiteral("Cannot write the file %1: %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
            saleIn.next();
        }
    } catch (...) {
        saleIn.close();
        file.cancelWriting();
        if (progress)
            progress->end();
        throw;
    }
    saleIn.close();
    if (progress)
        progress->end();
    if (!file.commit())
        throw Error(QStringLiteral("Cannot write the file %1: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    return written;
}

QByteArray textOfFile(const QByteArray& bytes)
{
    QByteArray text = bytes;
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8.decode(text);
    if (!utf8.hasError())
        return text;
    // Files of older programs: the Windows-1252 code page.
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString decoded;
    decoded.reserve(text.size());
    for (char c : text) {
        const uchar b = uchar(c);
        decoded += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return decoded.toUtf8();
}

int builtInPull(char** cursor, char* output, int capacity, int terminator)
{
    const char* p = *cursor;
    const char* end = p;
    while (*end != '\0' && uchar(*end) != uchar(terminator))
        ++end;
    size_t n = size_t(end - p);
    if (capacity > 0) {
        if (n > size_t(capacity - 1)) {
            n = size_t(capacity - 1);
            while (n > 0 && (uchar(p[n]) & 0xC0) == 0x80)
                --n; // never split a character
        }
        std::memcpy(output, p, n);
        output[n] = '\0';
    }
    *cursor = const_cast<char*>(*end != '\0' ? end + 1 : end);
    return 1;
}

qint64 importOrders(Table& sale, Table* settings, const QString& path, kestrova_pull_fn pull,
                    TransferProgress* progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open the file %1: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    const qint64 size = file.size();
    QByteArray text = textOfFile(file.readAll());
    file.close();
    if (!pull)
        pull = builtInPull;

    char* const begin = text.data();
    char* cursor = begin;
    char field[KESTROVA_PULL_CAPACITY];
    const QStringList& fields = fieldOrder();
    qint64 appended = 0;

    if (progress)
        progress->begin(QStringLiteral("Importating data"), QStringLiteral("Importing data"), size);
    // One transaction for the whole import: no disk flush per order. The
    // orders stored before a refused line are kept.
    sale.beginBatch();
    if (settings)
        settings->beginBatch();
    auto finish = [&] {
        sale.commitBatch();
        if (settings)
            settings->commitBatch();
        if (progress)
            progress->end();
    };
    try {
        while (*cursor != '\0') {
            if (progress)
                progress->advance(cursor - begin);
            sale.append();
            bool crEnded = false;
            for (qsizetype i = 0; i < fields.size(); ++i) {
                int terminator = '\t';
                if (i == fields.size() - 1) {
                    // The last field ends at CR LF or at a lone LF.
                    const char* lineEnd = std::strpbrk(cursor, "\r\n");
                    terminator = lineEnd && *lineEnd == '\n' ? '\n' : '\r';
                    crEnded = terminator == '\r';
                }
                pull(&cursor, field, KESTROVA_PULL_CAPACITY, terminator);
                field[KESTROVA_PULL_CAPACITY - 1] = '\0';
                sale.setFieldText(fields.at(i), QString::fromUtf8(field));
            }
            if (crEnded && *cursor == '\n')
                ++cursor;
            sale.post();
            ++appended;
        }
    } catch (...) {
        // The refused line's half-filled order is dropped.
        if (sale.isOpen() && sale.isEditing())
            sale.cancel();
        finish();
        throw;
    }
    finish();
    return appended;
}

} // namespace kestrova::OrderFile
