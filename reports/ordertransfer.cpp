#include "reports/ordertransfer.h"

#include "data/dataset.h"
#include "data/error.h"
#include "data/salefields.h"
#include "data/schema.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace kestrova::OrderFile {

const QStringList& fieldOrder()
{
    const QStringList& names = saleFieldNames();
    Q_ASSERT(names.size() == kFieldCount && names.at(kAddressField) == sale::Address &&
             names.at(kDeliveryAddressField) == sale::DeliveryAddress);
    return names;
}

namespace {

// The progress window of one run, hidden again however the run ends.
class ProgressShown {
public:
    explicit ProgressShown(TransferProgress* progress) : m_progress(progress) {}
    ~ProgressShown()
    {
        if (m_progress && m_shown)
            m_progress->end();
    }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;
    void begin(const QString& caption, const QString& label, qint64 maximum)
    {
        if (m_progress) {
            m_shown = true;
            m_progress->begin(caption, label, maximum);
        }
    }
    void advance(qint64 position)
    {
        if (m_progress)
            m_progress->advance(position);
    }

private:
    TransferProgress* m_progress;
    bool m_shown = false;
};

// message holds %1 for the file and %2 for the reason.
Error fileError(const QString& message, const QString& path, const QString& reason)
{
    return Error(message.arg(QDir::toNativeSeparators(path), reason));
}

// The whole file, refused when it cannot be read or exceeds the bound.
QByteArray readImportFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(QCoreApplication::translate("reports::OrderFile", "Cannot open the file %1: %2"), path,
                        file.errorString());
    const QString tooLarge =
        QCoreApplication::translate("reports::OrderFile",
                                    "The file %1 is too large to import: it may hold at most %2 bytes")
            .arg(QDir::toNativeSeparators(path))
            .arg(kMaxImportBytes);
    if (!file.isSequential() && file.size() > kMaxImportBytes)
        throw Error(tooLarge);
    // Read in pieces: a pipe or device tells no size.
    QByteArray bytes;
    if (!file.isSequential())
        bytes.reserve(file.size() + (qint64(1) << 20) + 1);
    for (;;) {
        const qint64 room = kMaxImportBytes + 1 - bytes.size();
        const qint64 piece = std::min<qint64>(room, qint64(1) << 20);
        const qsizetype at = bytes.size();
        bytes.resize(at + piece);
        const qint64 n = file.read(bytes.data() + at, piece);
        if (n < 0)
            throw fileError(QCoreApplication::translate("reports::OrderFile", "Cannot read the file %1: %2"), path,
                            file.errorString());
        bytes.resize(at + n);
        if (bytes.size() > kMaxImportBytes)
            throw Error(tooLarge);
        if (n == 0)
            break;
    }
    return bytes;
}

// Writes all of bytes. A write that stops short is tried again for the rest,
// so that a failure is seen with its reason (the system reports a full disk
// only on a write that stores nothing).
void writeAll(QSaveFile& file, const QByteArray& bytes, const QString& path)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            throw fileError(QCoreApplication::translate("reports::OrderFile", "Cannot write the file %1: %2"), path,
                            file.errorString());
        done += n;
    }
}

const char* const kNotStored = QT_TRANSLATE_NOOP("reports::OrderFile", "Cannot store the imported orders: %1");

} // namespace

qint64 exportOrders(Table& saleIn, const QString& path, TransferProgress* progress)
{
    // Lines are gathered into large writes of this program's own, each
    // checked: the file's own buffer would hide the reason of a failure.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw fileError(QCoreApplication::translate("reports::OrderFile", "Cannot create the file %1: %2"), path,
                        file.errorString());
    constexpr qsizetype kChunk = 64 * 1024;
    ProgressShown shown(progress);
    saleIn.setReadOnly(true);
    saleIn.open();
    qint64 written = 0;
    try {
        //: The caption and the text of the progress window.
        shown.begin(QCoreApplication::translate("reports::OrderFile", "Exporting data"),
                    QCoreApplication::translate("reports::OrderFile", "Exporting data"), saleIn.recordCount());
        saleIn.first();
        QByteArray chunk;
        chunk.reserve(kChunk + 4096);
        const QStringList& fields = fieldOrder();
        while (!saleIn.eof()) {
            ++written;
            shown.advance(written);
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (i > 0)
                    chunk += '\t';
                chunk += saleIn.fieldText(fields.at(i)).toUtf8();
            }
            chunk += "\r\n"; // a line is written whole, however long
            if (chunk.size() >= kChunk) {
                writeAll(file, chunk, path);
                chunk.resize(0); // keeps its room
            }
            saleIn.next();
        }
        writeAll(file, chunk, path);
        // A disk that reports its lack of room only when the data goes out.
        if (::fsync(file.handle()) != 0 && errno != EINVAL)
            throw fileError(QCoreApplication::translate("reports::OrderFile", "Cannot write the file %1: %2"), path,
                            qt_error_string(errno));
    } catch (...) {
        saleIn.close();
        file.cancelWriting();
        throw;
    }
    saleIn.close();
    if (!file.commit())
        throw fileError(QCoreApplication::translate("reports::OrderFile", "Cannot write the file %1: %2"), path,
                        file.errorString());
    return written;
}

qint64 importOrders(Table& sale, Table* settings, const QString& path, kestrova_pull_fn pull,
                    TransferProgress* progress)
{
    QByteArray text = textOfFile(readImportFile(path));
    LineReader reader(text, pull);
    const QStringList& fields = fieldOrder();
    ProgressShown shown(progress);
    // One transaction for the whole import, over the orders and the
    // settings: no disk flush per order, and the last invoice number is
    // stored with the orders or not at all.
    Batch batch(sale, settings);
    // The bar counts the bytes of the text that the lines are read from.
    //: The caption of the progress window while orders are imported.
    shown.begin(QCoreApplication::translate("reports::OrderFile", "Importating data"),
                QCoreApplication::translate("reports::OrderFile", "Importing data"), text.size());
    qint64 appended = 0;
    try {
        while (reader.next()) {
            shown.advance(reader.lineStart());
            sale.append();
            for (int i = 0; i < kFieldCount; ++i)
                sale.setFieldText(fields.at(i), reader.field(i));
            sale.post();
            ++appended;
        }
    } catch (const Error& refused) {
        try {
            if (sale.isOpen() && sale.isEditing())
                sale.cancel();
        } catch (const Error&) {
            // The transaction decides below what stays.
        }
        if (!sale.batchIsLive()) {
            // The engine has undone the whole transaction (a full disk, for
            // one): the refusal is the reason.
            batch.rollback();
            throw Error(QCoreApplication::translate("reports::OrderFile", kNotStored).arg(refused.message()));
        }
        // The orders before the refused line are kept, when they can be.
        try {
            batch.commit();
        } catch (const Error& failed) {
            throw Error(QCoreApplication::translate("reports::OrderFile", kNotStored).arg(failed.message()));
        }
        throw;
    }
    // Anything else thrown on the way leaves through the batch's rollback.
    try {
        batch.commit();
    } catch (const Error& failed) {
        throw Error(QCoreApplication::translate("reports::OrderFile", kNotStored).arg(failed.message()));
    }
    return appended;
}

} // namespace kestrova::OrderFile
