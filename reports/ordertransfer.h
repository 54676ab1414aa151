#pragma once

#include "reports/orderreader.h"

#include <kestrova/functions.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrova {

class Table;

// What a long transfer shows while it runs.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void begin(const QString& caption, const QString& label, qint64 maximum) = 0;
    virtual void advance(qint64 position) = 0;
    virtual void end() = 0;
};

// The order text file: one order a line, the 23 fields in the standard
// order separated by tabs, CR LF at the end, UTF-8 (lines of older programs
// in Windows-1252 are read too).
namespace OrderFile {

const QStringList& fieldOrder();

// Writes every order of the table, read through its own read-only cursor
// (opened and closed here), to path. The file is replaced only when it has
// been written and flushed whole; otherwise the previous file stays as it
// was and the failure is thrown. Returns the number of orders written.
qint64 exportOrders(Table& saleIn, const QString& path, TransferProgress* progress = nullptr);

// Appends every order of the file through the order table, so the table's
// after-post rule runs for each. Fields are read with pull (the library's
// field reader, or the built-in one when null). A line that is refused (a
// field value, a line that is not 23 fields, a zero byte) stops the import
// with its message: the orders before it stay, the half-filled one is
// dropped. The settings table, when given, is written in one transaction
// with the orders, so the orders and the last invoice number are stored
// together or not at all; when that transaction cannot be stored, nothing of
// the import is kept. Returns the orders appended.
qint64 importOrders(Table& sale, Table* settings, const QString& path, kestrova_pull_fn pull,
                    TransferProgress* progress = nullptr);

// The largest file the import reads: it holds the whole file in memory.
constexpr qint64 kMaxImportBytes = qint64(512) << 20;

} // namespace OrderFile

} // namespace kestrova
