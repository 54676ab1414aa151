#pragma once

#include "writer/sqlitereader.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrova::writer {

// Longest value read from one field; a longer one is refused.
constexpr int kMaxValueBytes = 1024 * 1024;

// The exchange table Xexport of a working folder (Xexport.db), opened
// read-only, with one read transaction held from the opening to the
// destruction: every record read through it belongs to the same state of the
// table, so a document sees all the records Kestrova wrote or none.
class ExchangeTable {
    Q_DECLARE_TR_FUNCTIONS(ExchangeTable)

public:
    // Throws WriterError(ExchangeTable) when the file or its table cannot be read.
    explicit ExchangeTable(const QString& workDir);
    ~ExchangeTable();
    ExchangeTable(const ExchangeTable&) = delete;
    ExchangeTable& operator=(const ExchangeTable&) = delete;

    // The table's fields, in their order.
    const QStringList& fieldNames() const { return m_fields; }

    // Walks the records in table order, one at a time.
    class Cursor {
    public:
        explicit Cursor(ExchangeTable& table);
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;
        // Moves to the next record; false past the last one.
        bool next();
        // The current record's values, in field order; NULL reads as empty.
        const QStringList& values() const { return m_values; }

    private:
        ExchangeTable& m_table;
        SqliteQuery m_query;
        QStringList m_values;
    };

private:
    // `message` is the text for a failure other than a busy table, with the
    // table's path (%1) and the reason (%2).
    [[noreturn]] void fail(const SqliteFailure& failure, const char* message) const;
    SqliteQuery select();

    QString m_path;
    std::optional<SqliteReader> m_db;
    QStringList m_fields;
};

} // namespace kestrova::writer
