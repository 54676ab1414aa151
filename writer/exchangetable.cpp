#include "writer/exchangetable.h"

#include "writer/writererror.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova::writer {

namespace {
// Kestrova holds the table only while it writes a document; waiting longer
// than this means it is stuck, and the request fails instead of hanging.
constexpr int kBusyTimeoutMs = 10000;
} // namespace

ExchangeTable::ExchangeTable(const QString& workDir)
    : m_path(QDir(workDir).absoluteFilePath(QStringLiteral("Xexport.db")))
{
    if (!QFileInfo(m_path).isFile())
        throw WriterError(WriterError::ExchangeTable, tr("The exchange table \"%1\" does not exist").arg(m_path));
    try {
        m_db.emplace(m_path, kBusyTimeoutMs);
    } catch (const SqliteFailure& failure) {
        fail(failure, QT_TRANSLATE_NOOP("ExchangeTable", "The exchange table \"%1\" cannot be opened: %2"));
    }
    try {
        m_db->exec("BEGIN");
        const SqliteQuery query = select();
        for (int i = 0; i < query.columnCount(); ++i)
            m_fields << query.columnName(i);
    } catch (const SqliteFailure& failure) {
        fail(failure, QT_TRANSLATE_NOOP("ExchangeTable", "The exchange table \"%1\" cannot be read: %2"));
    }
}

ExchangeTable::~ExchangeTable() = default;

void ExchangeTable::fail(const SqliteFailure& failure, const char* message) const
{
    if (failure.busy())
        throw WriterError(WriterError::ExchangeTable,
                          tr("The exchange table \"%1\" is being written; try again once Kestrova "
                             "has written the document")
                              .arg(m_path));
    throw WriterError(WriterError::ExchangeTable, tr(message).arg(m_path, failure.reason));
}

SqliteQuery ExchangeTable::select()
{
    return SqliteQuery(*m_db, "SELECT * FROM Xexport ORDER BY rowid");
}

ExchangeTable::Cursor::Cursor(ExchangeTable& table)
    : m_table(table), m_query([&table] {
          try {
              return table.select();
          } catch (const SqliteFailure& failure) {
              table.fail(failure, QT_TRANSLATE_NOOP("ExchangeTable", "The exchange table \"%1\" cannot be read: %2"));
          }
      }())
{
}

bool ExchangeTable::Cursor::next()
{
    m_values.clear();
    try {
        if (!m_query.step())
            return false;
        const int columns = m_query.columnCount();
        for (int i = 0; i < columns; ++i) {
            const int bytes = m_query.textBytes(i);
            if (bytes > kMaxValueBytes)
                throw WriterError(WriterError::ExchangeTable,
                                  ExchangeTable::tr("The field %1 of the exchange table holds a value of "
                                                    "%2 bytes; the writer takes at most %3")
                                      .arg(m_table.m_fields.value(i))
                                      .arg(bytes)
                                      .arg(kMaxValueBytes));
            m_values << m_query.text(i);
        }
        return true;
    } catch (const SqliteFailure& failure) {
        m_table.fail(failure, QT_TRANSLATE_NOOP("ExchangeTable", "The exchange table \"%1\" cannot be read: %2"));
    }
}

} // namespace kestrova::writer
