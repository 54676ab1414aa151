#pragma once

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
// order separated by tabs, CR LF at the end, UTF-8.
namespace OrderFile {

const QStringList& fieldOrder();

// Writes every order of the table, read through its own read-only cursor
// (opened and closed here), to path. The file is replaced only when it has
// been written whole. Returns the number of orders written.
qint64 exportOrders(Table& saleIn, const QString& path, TransferProgress* progress = nullptr);

// Appends every order of the file through the order table, so the table's
// after-post rule runs for each. Fields are read with pull (the library's
// field reader, or the built-in one when null). A line whose field is
// refused stops the import with the field's message: the orders before it
// stay, the half-filled one is dropped. The settings table, when given, is
// written in the same batch as the orders. Returns the orders appended.
qint64 importOrders(Table& sale, Table* settings, const QString& path, kestrova_pull_fn pull,
                    TransferProgress* progress = nullptr);

// The file's bytes as UTF-8 text: cut at the first NUL, a leading byte
// order mark dropped, and read as Windows-1252 when it is not valid UTF-8.
QByteArray textOfFile(const QByteArray& bytes);

// A field reader with exactly the contract of the library's Pull.
int builtInPull(char** cursor, char* output, int capacity, int terminator);

} // namespace OrderFile

} // namespace kestrova
