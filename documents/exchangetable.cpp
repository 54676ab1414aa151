#include "documents/exchangetable.h"

#include "data/dataset.h"
#include "data/error.h"
#include "data/schema.h"

#include <QCoreApplication>

namespace kestrova {

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
        int columns[kExchangeFieldCount];
        for (int i = 0; i < kExchangeFieldCount; ++i) {
            const QString name = exchangeFieldName(ExchangeField(i));
            const FieldInfo& f = exchange.field(name);
            lengths[i] = f.kind == FieldKind::Text ? f.length : 0;
            columns[i] = exchange.fieldIndex(name);
        }
        ExchangeRecord r;
        exchange.replaceRows([&](QVector<QVariant>& values) {
            try {
                r = ExchangeRecord();
                if (!next(r))
                    return false;
            } catch (const Error& e) {
                throw SourceFailure{e};
            }
            for (int i = 0; i < kExchangeFieldCount; ++i) {
                const QString& text = r.value(ExchangeField(i));
                values[columns[i]] = lengths[i] > 0 && text.size() > lengths[i] ? cutToLength(text, lengths[i]) : text;
            }
            return true;
        });
    } catch (const SourceFailure& f) {
        exchange.close();
        throw f.error;
    } catch (const Error& e) {
        exchange.close();
        throw Error(QCoreApplication::translate("documents::ExchangeTable", "Cannot write the exchange table %1: %2")
                        .arg(exchange.tableName(), e.message()));
    }
    exchange.close();
}

} // namespace kestrova
