// The table's whole-table operations: replacing all rows and walking the
// rows of one value, each with statements of its own; and the files attached
// to the table's connection beside it.

#include "data/error.h"
#include "data/sqlstatement.h"
#include "data/table.h"
#include "data/transaction.h"

namespace kestrova {

RowWalk::RowWalk(std::unique_ptr<SqlStatement> statement) : m_statement(std::move(statement)) {}
RowWalk::RowWalk(RowWalk&&) noexcept = default;
RowWalk::~RowWalk() = default;

bool RowWalk::next(QStringList& texts)
{
    texts.clear();
    if (!m_statement->step())
        return false;
    for (int i = 0; i < m_statement->columnCount(); ++i)
        texts << m_statement->value(i).toString();
    return true;
}

RowWalk Table::walk(const QStringList& fields, const QStringList& match, const QStringList& values)
{
    checkActive();
    Q_ASSERT(match.size() == values.size() && !match.isEmpty());
    QStringList columns, conditions;
    for (const QString& f : fields)
        columns << quoted(field(f).name);
    for (qsizetype i = 0; i < match.size(); ++i)
        conditions << QStringLiteral("%1 = ?%2 COLLATE BINARY").arg(quoted(field(match.at(i)).name)).arg(i + 1);
    auto statement =
        std::make_unique<SqlStatement>(handle(), QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                                                     .arg(columns.join(QStringLiteral(", ")), qualifiedName(),
                                                          conditions.join(QStringLiteral(" AND ")), orderBy(false)));
    for (qsizetype i = 0; i < values.size(); ++i)
        statement->bind(int(i), values.at(i));
    return RowWalk(std::move(statement));
}

void Table::replaceRows(const RowSource& next)
{
    checkActive();
    checkBrowseMode();
    sqlite3* db = handle();
    {
        Transaction transaction(db, Transaction::Kind::Immediate);
        SqlStatement::exec(db, QStringLiteral("DELETE FROM ") + qualifiedName());
        SqlStatement insert(db, QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                                    .arg(qualifiedName(), columnList(fields()), placeholders(fields().size())));
        QVector<QVariant> values;
        while (true) {
            values.fill(QVariant(), fields().size());
            if (!next(values))
                break;
            StatementRun run(insert);
            insert.bindRow(values, fields());
            insert.run();
        }
        transaction.commit();
    }
    // The cursor's rows are gone.
    refresh();
}

void Table::attachFile(const QString& schema, const QString& path)
{
    if (sqlite3_db_filename(handle(), schema.toUtf8().constData()))
        return;
    exec(QStringLiteral("ATTACH DATABASE ? AS ") + quoted(schema), {path});
}

void Table::detachFile(const QString& schema)
{
    exec(QStringLiteral("DETACH DATABASE ") + quoted(schema));
}

void Table::execute(const QString& sql, const QVariantList& binds)
{
    exec(sql, binds);
}

} // namespace kestrova
