#include "exchangetable.h"

#include "dataset.h"
#include "error.h"
#include "schema.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace kestrova {

namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// The statements of one write on the table's own connection. Any failure
// throws the engine's message.
class Writer {
public:
    explicit Writer(sqlite3* db) : m_db(db) {}
    ~Writer() { sqlite3_finalize(m_insert); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void exec(const QString& sql)
    {
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }
    void prepare(const QString& sql)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_insert, nullptr) != SQLITE_OK)
            fail();
    }
    void bind(int index, const QString& text)
    {
        const int rc = text.isEmpty() ? sqlite3_bind_text(m_insert, index + 1, "", 0, SQLITE_STATIC)
                                      : sqlite3_bind_text16(m_insert, index + 1, text.utf16(),
                                                            int(text.size() * sizeof(char16_t)), SQLITE_STATIC);
        if (rc != SQLITE_OK)
            fail();
    }
    void insert()
    {
        const int rc = sqlite3_step(m_insert);
        sqlite3_reset(m_insert);
        if (rc != SQLITE_DONE)
            fail();
    }
    // Undoes an unfinished transaction; the engine's own failure to do so
    // leaves nothing to report beyond the error already on its way.
    void rollback() { sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr); }

private:
    [[noreturn]] void fail()
    {
        QString reason = QString::fromUtf8(sqlite3_errmsg(m_db)).trimmed();
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        throw Error(reason);
    }

    sqlite3* m_db;
    sqlite3_stmt* m_insert = nullptr;
};

} // namespace

QString exchangeFieldName(ExchangeField field)
{
    // The table's definition is the one list of its fields; ExchangeField
    // follows its order.
    static const std::vector<FieldDef>& fields = schemaTable(QStringLiteral("Xexport"))->fields;
    Q_ASSERT(fields.size() == size_t(kExchangeFieldCount));
    return fields.at(size_t(field)).name;
}

QHash<QString, QString> ExchangeRecord::filled() const
{
    QHash<QString, QString> out;
    for (int i = 0; i < kExchangeFieldCount; ++i)
        if (!m_values[size_t(i)].isEmpty())
            out.insert(exchangeFieldName(ExchangeField(i)), m_values[size_t(i)]);
    return out;
}

QString cutToLength(const QString& text, int count)
{
    if (count <= 0 || text.size() <= count)
        return text;
    // Count characters, not UTF-16 units: a character outside the basic
    // plane takes two units and is never cut in half.
    qsizetype units = 0;
    for (int chars = 0; chars < count && units < text.size(); ++chars)
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
    return text.left(units);
}

QString crlfLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void writeExchangeTable(Table& exchange, const std::vector<ExchangeRecord>& records)
{
    size_t at = 0;
    streamExchangeTable(exchange, [&](ExchangeRecord& r) {
        if (at == records.size())
            return false;
        r = records[at++];
        return true;
    });
}

namespace {

// A failure of the record source, kept apart from the table's own.
struct SourceFailure {
    Error error;
};

} // namespace

void streamExchangeTable(Table& exchange, const ExchangeSource& next)
{
    // The table is the word processor's as soon as it is closed: it is
    // opened exclusively for this write only.
    exchange.close();
    exchange.setExclusive(true);
    exchange.open();
    try {
        int lengths[kExchangeFieldCount];
        QStringList columns;
        for (int i = 0; i < kExchangeFieldCount; ++i) {
            const FieldInfo& f = exchange.field(exchangeFieldName(ExchangeField(i)));
            lengths[i] = f.kind == FieldKind::Text ? f.length : 0;
            columns << quoted(f.name);
        }
        const QString table = quoted(exchange.tableName());
        auto* handle = *static_cast<sqlite3* const*>(exchange.database().driver()->handle().data());
        Writer w(handle);
        w.exec(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            w.exec(QStringLiteral("DELETE FROM ") + table);
            w.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (?%3)")
                          .arg(table, columns.join(QStringLiteral(", ")),
                               QStringLiteral(", ?").repeated(kExchangeFieldCount - 1)));
            QString cut[kExchangeFieldCount];
            ExchangeRecord r;
            const auto more = [&] {
                try {
                    r = ExchangeRecord();
                    return next(r);
                } catch (const Error& e) {
                    throw SourceFailure{e};
                }
            };
            while (more()) {
                for (int i = 0; i < kExchangeFieldCount; ++i) {
                    const QString& text = r.value(ExchangeField(i));
                    if (lengths[i] > 0 && text.size() > lengths[i]) {
                        cut[i] = cutToLength(text, lengths[i]);
                        w.bind(i, cut[i]);
                    } else {
                        w.bind(i, text);
                    }
                }
                w.insert();
            }
            w.exec(QStringLiteral("COMMIT"));
        } catch (...) {
            w.rollback();
            throw;
        }
    } catch (const SourceFailure& f) {
        exchange.close();
        throw f.error;
    } catch (const Error& e) {
        exchange.close();
        throw Error(QStringLiteral("Cannot write the exchange table %1: %2").arg(exchange.tableName(), e.message()));
    }
    exchange.close();
}

} // namespace kestrova
