#include "data/query.h"

#include "data/error.h"
#include "data/queryprogress.h"
#include "data/queryrun.h"
#include "data/sqlstatement.h"
#include "data/tablefile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QUuid>
#include <algorithm>
#include <new>

namespace kestrova {

Query::Query(QObject* parent) : DataSet(parent) {}

Query::~Query()
{
    if (isOpen())
        doClose();
    dropStatements();
    if (!m_connection.isEmpty())
        closeConnection(m_connection);
}

void Query::setSql(const QStringList& lines)
{
    setSql(lines.join(QLatin1Char('\n')));
}

void Query::setSql(const QString& text)
{
    if (isOpen())
        close();
    m_sql = text;
}

void Query::setParamText(const QString& name, const QString& value)
{
    m_params.insert(name.toLower(), value);
}

void Query::setParamValue(const QString& name, const QVariant& value)
{
    m_params.insert(name.toLower(), value);
}

QSqlDatabase Query::database() const
{
    return database(m_connection);
}

QSqlDatabase Query::database(const QString& connection)
{
    return QSqlDatabase::database(connection, false);
}

sqlite3* Query::handle()
{
    return sqliteHandle(connection());
}

SqlStatement& Query::statement(std::unique_ptr<SqlStatement>& slot, const QString& sql)
{
    if (!slot)
        slot = std::make_unique<SqlStatement>(handle(), sql);
    return *slot;
}

void Query::dropStatements()
{
    m_byId.reset();
    m_insert.reset();
    m_update.reset();
    m_delete.reset();
    m_ranges.clear();
}

QSqlDatabase Query::connection()
{
    if (m_connection.isEmpty()) {
        const QString name = QStringLiteral("kestrova-query-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        // URI names let ATTACH open the table files without creating them.
        const QString failure = openConnection(name, QStringLiteral(":memory:"),
                                               QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000"));
        if (!failure.isEmpty())
            fail(failure);
        limitQueryConnection(sqliteHandle(database(name)));
        m_connection = name;
        m_attached.clear();
    }
    return database();
}

void Query::attach(const QString& table)
{
    if (m_attached.contains(table))
        return;
    const QString path = QDir(m_dir.isEmpty() ? QDir::currentPath() : m_dir).filePath(table + QStringLiteral(".db"));
    if (!QFileInfo::exists(path))
        fail(tr("Cannot open table %1: the file %2 does not exist").arg(table, QDir::toNativeSeparators(path)));
    // Attached under the table's own name: unqualified names find the table,
    // and "Xsale.Person" still reads as table and column.
    SqlStatement::exec(handle(), QStringLiteral("ATTACH DATABASE ? AS %1").arg(quoted(table)), {fileUri(path, false)});
    m_attached << table;
}

// A connection holds at most ten attached files: those no longer needed
// go. A file that cannot be detached now is tried again at the next open.
void Query::detachAllBut(const QStringList& keep)
{
    dropStatements();
    if (m_connection.isEmpty())
        return;
    sqlite3* db = handle();
    for (auto it = m_attached.begin(); it != m_attached.end();) {
        bool detached = false;
        if (!keep.contains(*it)) {
            try {
                SqlStatement::exec(db, QStringLiteral("DETACH DATABASE %1").arg(quoted(*it)));
                detached = true;
            } catch (const Error&) {
                // Still in use: tried again at the next open or close.
            }
        }
        it = detached ? m_attached.erase(it) : it + 1;
    }
}

QString Query::qualified() const
{
    return quoted(m_baseTable) + QLatin1Char('.') + quoted(m_baseTable);
}

QString Query::readOnlyMessage() const
{
    return tr("This result cannot be edited: only the rows of a single-table "
              "\"Select *\" query can be changed");
}

void Query::checkSingleSelect(QSqlDatabase db, const QString& sql) const
{
    const QString refused = tr("Only one SELECT query can be run here; the text was not run and no table was changed");
    if (!QueryText::startsAsSelect(sql))
        fail(refused);
    // The engine itself tells whether the statement writes, and whether
    // anything follows it; its authorizer names what a read may not do.
    sqlite3* handle = sqliteHandle(db);
    QueryRun run(handle, nullptr, true);
    SqlStatement st(handle, sql, &run);
    const bool readOnly = st.get() && st.isReadOnly();
    if (!readOnly || (!st.rest().isEmpty() && st.rest() != ";"))
        fail(refused);
}

void Query::doOpen()
{
    const QueryText p = QueryText::parse(m_sql);
    QSqlDatabase db = connection();
    m_ids.clear();
    m_pages.reset();
    m_editable = false;
    m_idsSorted = true;
    try {
        detachAllBut(p.tables);
        for (const QString& t : p.tables)
            attach(t);
        if (m_selectOnly)
            checkSingleSelect(db, p.sql);

        QVariantList binds;
        for (const QString& name : p.params) {
            const auto it = m_params.constFind(name.toLower());
            if (it == m_params.constEnd())
                fail(tr("No value for parameter '%1'").arg(name));
            binds << *it;
        }

        // "Select * from <one table> [where ...] [order by ...]" is editable.
        m_baseTable = QueryText::editableTable(p.sql);
        m_editable = !m_baseTable.isEmpty();
        if (m_editable)
            openEditable(db, p.sql, binds);
        else
            openReadOnly(db, p, binds);
    } catch (...) {
        // Whatever failed (memory too), the query is closed and holds nothing.
        m_ids.clear();
        m_ids.shrink_to_fit();
        m_pages.reset();
        m_editable = false;
        detachAllBut({});
        try {
            throw;
        } catch (const std::bad_alloc&) {
            fail(outOfMemoryMessage());
        }
    }
}

// The rowids of the rows, in the result's order; the rows themselves are
// read from the table as they are shown.
void Query::openEditable(QSqlDatabase db, const QString& sql, const QVariantList& binds)
{
    QStringList key;
    sqlite3* handle = sqliteHandle(db);
    setFields(readFields(handle, m_baseTable, m_baseTable, &key));
    m_selectList = QStringLiteral("rowid, ") + columnList(fields());
    QueryRun run(handle, m_progress, m_selectOnly);
    SqlStatement st(handle, QueryText::rowidSelect(sql), &run);
    st.bind(binds);
    qint64 previous = -1;
    while (st.step()) {
        const qint64 id = sqlite3_column_int64(st.get(), 0);
        if (id <= previous)
            m_idsSorted = false;
        previous = id;
        m_ids.push_back(id);
    }
}

// The result is scanned once and then read a page at a time. A column
// takes the kind of the table field it shows; a sum of a field is found
// under "SUM OF <field>"; other columns take their declared type, or the
// kind of their first value.
void Query::openReadOnly(QSqlDatabase db, const QueryText& p, const QVariantList& binds)
{
    auto pages = std::make_unique<ResultPages>(sqliteHandle(db), p.sql, binds, m_progress, m_selectOnly);
    pages->scan();
    QVector<FieldInfo> fs;
    for (int c = 0; c < pages->columnCount(); ++c) {
        FieldInfo f;
        f.name = pages->columnName(c);
        f.kind = FieldKind::Text;
        const QString summed = QueryText::summedField(f.name);
        bool known = false;
        for (const QString& t : p.tables) {
            if (const FieldDef* d = schemaTable(t)->field(summed.isEmpty() ? f.name : summed)) {
                f.kind = d->kind;
                if (!summed.isEmpty())
                    f.name = QStringLiteral("SUM OF ") + d->name;
                known = true;
                break;
            }
        }
        if (!summed.isEmpty() && !known)
            f.name = QStringLiteral("SUM OF ") + summed;
        if (!known) {
            const QString declared = pages->declaredType(c).toLower();
            const int first = pages->firstType(c);
            if (declared == QLatin1String("integer") || declared == QLatin1String("int"))
                f.kind = FieldKind::Integer;
            else if (declared == QLatin1String("real") || declared == QLatin1String("double") ||
                     declared == QLatin1String("float") || declared.startsWith(QLatin1String("numeric")))
                f.kind = FieldKind::Number;
            else if (declared.isEmpty() && first == SQLITE_INTEGER)
                f.kind = FieldKind::Integer;
            if (f.kind == FieldKind::Text && first == SQLITE_FLOAT)
                f.kind = FieldKind::Number;
        }
        fs << f;
    }
    setFields(fs);
    m_pages = std::move(pages);
}

void Query::doClose()
{
    m_ids.clear();
    m_pages.reset();
    m_editable = false;
    detachAllBut({});
}

int Query::doCount()
{
    if (m_editable)
        return int(m_ids.size());
    return m_pages ? m_pages->count() : 0;
}

qsizetype Query::positionOf(qint64 id) const
{
    if (!m_editable)
        return id >= 0 && m_pages && id < m_pages->count() ? qsizetype(id) : -1;
    if (m_idsSorted) {
        const auto it = std::lower_bound(m_ids.begin(), m_ids.end(), id);
        return it != m_ids.end() && *it == id ? it - m_ids.begin() : -1;
    }
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return it == m_ids.end() ? -1 : it - m_ids.begin();
}

std::optional<Row> Query::rowAtPosition(qsizetype pos)
{
    if (pos < 0 || pos >= doCount())
        return std::nullopt;
    if (!m_editable) {
        std::vector<QVector<QVariant>> rows = m_pages->rows(int(pos), 1);
        if (rows.empty())
            return std::nullopt;
        return Row{qint64(pos), std::move(rows.front())};
    }
    return fetchById(m_ids[pos]);
}

std::optional<Row> Query::fetchFirst()
{
    return rowAtPosition(0);
}

std::optional<Row> Query::fetchLast()
{
    return rowAtPosition(qsizetype(doCount()) - 1);
}

std::optional<Row> Query::fetchNext(const Row& from)
{
    const qsizetype pos = positionOf(from.id);
    return pos < 0 ? std::nullopt : rowAtPosition(pos + 1);
}

std::optional<Row> Query::fetchPrior(const Row& from)
{
    const qsizetype pos = positionOf(from.id);
    return pos <= 0 ? std::nullopt : rowAtPosition(pos - 1);
}

std::optional<Row> Query::fetchById(qint64 id)
{
    if (!m_editable)
        return rowAtPosition(qsizetype(id));
    SqlStatement& q =
        statement(m_byId, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(m_selectList, qualified()));
    StatementRun run{q};
    q.bind(0, id);
    std::optional<Row> row;
    if (q.step())
        row = q.row(int(fields().size()));
    return row;
}

int Query::doIndexOf(const Row& row)
{
    return int(positionOf(row.id));
}

std::vector<Row> Query::fetchRange(int from, int count)
{
    std::vector<Row> out;
    const int n = std::min<int>(count, doCount() - from);
    if (from < 0 || n <= 0)
        return out;
    if (!m_editable) {
        std::vector<QVector<QVariant>> rows = m_pages->rows(from, n);
        for (size_t i = 0; i < rows.size(); ++i)
            out.push_back(Row{qint64(from) + qint64(i), std::move(rows[i])});
        return out;
    }
    if (m_ranges.size() > 16 && !m_ranges.count(n))
        m_ranges.clear();
    SqlStatement& q = statement(
        m_ranges[n],
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN %3").arg(m_selectList, qualified(), placeholders(n)));
    QHash<qint64, Row> byId;
    {
        StatementRun run{q};
        for (int i = 0; i < n; ++i)
            q.bind(i, m_ids[size_t(from + i)]);
        while (q.step()) {
            Row r = q.row(int(fields().size()));
            byId.insert(r.id, r);
        }
    }
    for (int i = 0; i < n; ++i)
        out.push_back(byId.value(m_ids[from + i], Row{m_ids[from + i], {}}));
    return out;
}

qint64 Query::doInsert(const QVector<QVariant>& values)
{
    SqlStatement& q = statement(m_insert, QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                                              .arg(qualified(), columnList(fields()), placeholders(fields().size())));
    StatementRun run{q};
    q.bindRow(values, fields());
    q.run();
    const qint64 id = q.lastInsertId();
    if (!m_ids.empty() && id <= m_ids.back())
        m_idsSorted = false;
    m_ids.push_back(id);
    return id;
}

bool Query::doUpdate(const Row& original, const QVector<QVariant>& values)
{
    QStringList sets;
    for (const FieldInfo& f : fields())
        sets << quoted(f.name) + QStringLiteral(" = ?");
    SqlStatement& q = statement(
        m_update, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(qualified(), sets.join(QStringLiteral(", "))));
    int affected = 0;
    {
        StatementRun run{q};
        q.bind(q.bindRow(values, fields()), original.id);
        q.run();
        affected = q.changes();
    }
    if (affected == 0)
        fail(tr("Record not found: it was deleted from table %1").arg(m_baseTable));
    return false;
}

void Query::doDelete(const Row& row)
{
    SqlStatement& q = statement(m_delete, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(qualified()));
    {
        StatementRun run{q};
        q.bind(0, row.id);
        q.run();
    }
    const qsizetype pos = positionOf(row.id);
    if (pos >= 0)
        m_ids.erase(m_ids.begin() + pos);
}

} // namespace kestrova
