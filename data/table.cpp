#include "data/table.h"

#include "data/error.h"
#include "data/sqlstatement.h"
#include "data/tablefile.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>
#include <climits>
#include <utility>

namespace kestrova {

namespace {

const QString kPartnerSchema = QStringLiteral("kestrova_partner");

} // namespace

Table::Table(QObject* parent) : DataSet(parent) {}

Table::~Table()
{
    if (isOpen())
        doClose();
    if (m_host)
        m_host->m_partner = nullptr;
}

QString Table::filePath() const
{
    return QDir(m_dir.isEmpty() ? QDir::currentPath() : m_dir).filePath(m_tableName + QStringLiteral(".db"));
}

QSqlDatabase Table::database() const
{
    return m_host ? m_host->database() : QSqlDatabase::database(m_connection, false);
}

QString Table::qualifiedName() const
{
    return m_schema.isEmpty() ? quoted(m_tableName) : quoted(m_schema) + QLatin1Char('.') + quoted(m_tableName);
}

// The prepared statements belong to one connection: dropped when the table
// moves to another one, or closes.
void Table::dropStatements()
{
    m_ahead.clear();
    for (auto& st : m_statements)
        st.reset();
    m_updates.clear();
    m_ranges.clear();
}

sqlite3* Table::handle() const
{
    return sqliteHandle(database());
}

void Table::exec(const QString& sql, const QVariantList& binds)
{
    SqlStatement::exec(handle(), sql, binds);
}

SqlStatement& Table::rangeStatement(const QString& sql)
{
    std::unique_ptr<SqlStatement>& st = m_ranges[sql];
    if (!st)
        st = std::make_unique<SqlStatement>(handle(), sql);
    return *st;
}

void Table::doOpen()
{
    const QString path = filePath();
    if (!QFileInfo::exists(path))
        fail(tr("Cannot open table %1: the file %2 does not exist").arg(m_tableName, QDir::toNativeSeparators(path)));
    m_connection = QStringLiteral("kestrova-table-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString failure = openConnection(m_connection, fileUri(path, m_readOnly),
                                     QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000") +
                                         (m_readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (failure.isEmpty()) {
        try {
            QStringList key;
            const QVector<FieldInfo> fields = readFields(handle(), QStringLiteral("main"), m_tableName, &key);
            if (fields.isEmpty())
                throw Error(tr("the file holds no table %1").arg(m_tableName));
            const QString mismatch = fieldMismatch(m_tableName, fields);
            if (!mismatch.isEmpty())
                throw Error(mismatch);
            if (m_exclusive) {
                exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
                exec(QStringLiteral("BEGIN EXCLUSIVE"));
                exec(QStringLiteral("COMMIT"));
            }
            setFields(fields);
            m_key = key;
            m_keyIndexes.clear();
            for (const QString& k : m_key)
                m_keyIndexes << fieldIndex(k);
            m_selectList = QStringLiteral("rowid, ") + columnList(fields);
        } catch (const Error& e) {
            failure = e.message();
            closeConnection(m_connection);
        }
    }
    if (!failure.isEmpty()) {
        m_connection.clear();
        //: %1 is a table's name (Xsale), %2 its file, %3 the reason (often the database engine's own message).
        fail(tr("Cannot open table %1 (%2): %3").arg(m_tableName, QDir::toNativeSeparators(path), failure));
    }
}

void Table::doClose()
{
    if (m_inBatch)
        rollbackBatch();
    dropStatements();
    if (m_host) {
        // Closed in the middle of a partner's batch: its own connection again.
        m_host->m_partner = nullptr;
        m_host = nullptr;
        m_schema.clear();
    }
    closeConnection(m_connection);
    m_connection.clear();
    m_keyBuffer.clear();
}

QString Table::orderBy(bool descending) const
{
    if (m_key.isEmpty())
        return descending ? QStringLiteral("rowid DESC") : QStringLiteral("rowid");
    QStringList parts;
    for (const QString& k : m_key)
        parts << quoted(k) + (descending ? QStringLiteral(" DESC") : QString());
    return parts.join(QStringLiteral(", "));
}

QString Table::orderTuple() const
{
    if (m_key.isEmpty())
        return QStringLiteral("rowid");
    QStringList parts;
    for (const QString& k : m_key)
        parts << quoted(k);
    return QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QVariantList Table::orderValues(const Row& row) const
{
    if (m_key.isEmpty())
        return {row.id};
    QVariantList out;
    for (int i : m_keyIndexes)
        out << row.values.value(i);
    return out;
}

QString Table::statementSql(Statement s) const
{
    const QString table = qualifiedName();
    const QString select = QStringLiteral("SELECT %1 FROM %2 ").arg(m_selectList, table);
    const int keyCount = m_key.isEmpty() ? 1 : int(m_key.size());
    switch (s) {
    case SelFirst: return select + QStringLiteral("ORDER BY %1 LIMIT 1").arg(orderBy(false));
    case SelLast: return select + QStringLiteral("ORDER BY %1 LIMIT 1").arg(orderBy(true));
    case SelNext:
        return select + QStringLiteral("WHERE %1 > %2 ORDER BY %3 LIMIT 1")
                            .arg(orderTuple(), placeholders(keyCount), orderBy(false));
    case SelPrior:
        return select + QStringLiteral("WHERE %1 < %2 ORDER BY %3 LIMIT 1")
                            .arg(orderTuple(), placeholders(keyCount), orderBy(true));
    case SelAhead:
        return select + QStringLiteral("WHERE %1 > %2 ORDER BY %3 LIMIT 512")
                            .arg(orderTuple(), placeholders(keyCount), orderBy(false));
    case SelById: return select + QStringLiteral("WHERE rowid = ?");
    case SelKey: {
        QStringList conds;
        for (const QString& k : m_key)
            conds << quoted(k) + QStringLiteral(" = ?");
        return select + QStringLiteral("WHERE ") + conds.join(QStringLiteral(" AND ")) + QStringLiteral(" LIMIT 1");
    }
    case SelCount: return QStringLiteral("SELECT count(*) FROM %1").arg(table);
    case SelIndexOf:
        return QStringLiteral("SELECT count(*) FROM %1 WHERE %2 < %3").arg(table, orderTuple(), placeholders(keyCount));
    case Insert:
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(table, columnList(fields()), placeholders(fields().size()));
    case Update: {
        QStringList sets;
        for (const FieldInfo& f : fields())
            sets << quoted(f.name) + QStringLiteral(" = ?");
        return QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(table, sets.join(QStringLiteral(", ")));
    }
    case Delete: return QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table);
    case StatementCount: break;
    }
    return {};
}

SqlStatement& Table::statement(Statement s)
{
    if (!m_statements[s]) {
        m_statements[s] = std::make_unique<SqlStatement>(handle(), statementSql(s));
    }
    return *m_statements[s];
}

std::optional<Row> Table::fetchOne(Statement s, const QVariantList& binds)
{
    SqlStatement& q = statement(s);
    StatementRun run{q};
    q.bind(binds);
    std::optional<Row> row;
    if (q.step())
        row = q.row(int(fields().size()));
    return row;
}

std::optional<Row> Table::fetchFirst()
{
    return fetchOne(SelFirst, {});
}

std::optional<Row> Table::fetchLast()
{
    return fetchOne(SelLast, {});
}

std::optional<Row> Table::fetchNext(const Row& from)
{
    const QVariantList v = orderValues(from);
    if (m_readOnly) {
        if (m_aheadPos < m_ahead.size() && m_aheadPrevId == from.id) {
            const Row& r = m_ahead[m_aheadPos++];
            m_aheadPrevId = r.id;
            return r;
        }
        SqlStatement& q = statement(SelAhead);
        StatementRun run{q};
        q.bind(v);
        m_ahead.clear();
        while (q.step())
            m_ahead.push_back(q.row(int(fields().size())));
        m_aheadPos = 0;
        if (m_ahead.empty())
            return std::nullopt;
        m_aheadPos = 1;
        m_aheadPrevId = m_ahead.front().id;
        return m_ahead.front();
    }
    return fetchOne(SelNext, v);
}

std::optional<Row> Table::fetchPrior(const Row& from)
{
    const QVariantList v = orderValues(from);
    return fetchOne(SelPrior, v);
}

std::optional<Row> Table::fetchById(qint64 id)
{
    return fetchOne(SelById, {id});
}

int Table::doCount()
{
    SqlStatement& q = statement(SelCount);
    StatementRun run{q};
    return q.step() ? q.value(0).toInt() : 0;
}

int Table::doIndexOf(const Row& row)
{
    const QVariantList v = orderValues(row);
    SqlStatement& q = statement(SelIndexOf);
    StatementRun run{q};
    q.bind(v);
    return q.step() ? q.value(0).toInt() : -1;
}

std::vector<Row> Table::fetchRange(int from, int count)
{
    std::vector<Row> out;
    const int total = recordCount();
    if (from < 0 || from >= total || count <= 0)
        return out;
    const int n = std::min(count, total - from);
    // Three ways to reach the rows: skip from the start, skip from the end,
    // or skip from the nearest position already seen before them.
    const int fromStart = from;
    const int fromEnd = total - (from + n);
    // The anchor must lie strictly before the first row wanted: the rows are
    // read as those whose key follows the anchor's.
    auto anchor = m_anchors.lowerBound(from);
    const bool haveAnchor = anchor != m_anchors.begin();
    if (haveAnchor)
        --anchor;
    const int fromAnchor = haveAnchor ? from - anchor.key() - 1 : INT_MAX;

    QString sql;
    QVariantList binds;
    bool reversed = false;
    if (fromAnchor <= fromStart && fromAnchor <= fromEnd) {
        binds = anchor.value();
        sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 > %4 ORDER BY %5 LIMIT ? OFFSET ?")
                  .arg(m_selectList, qualifiedName(), orderTuple(), placeholders(binds.size()), orderBy(false));
        binds << n << fromAnchor;
    } else if (fromStart <= fromEnd) {
        sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 LIMIT ? OFFSET ?")
                  .arg(m_selectList, qualifiedName(), orderBy(false));
        binds << n << fromStart;
    } else {
        sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 LIMIT ? OFFSET ?")
                  .arg(m_selectList, qualifiedName(), orderBy(true));
        binds << n << fromEnd;
        reversed = true;
    }
    {
        SqlStatement& q = rangeStatement(sql);
        StatementRun run{q};
        q.bind(binds);
        while (q.step())
            out.push_back(q.row(int(fields().size())));
    }
    if (reversed)
        std::reverse(out.begin(), out.end());
    if (!out.empty()) {
        if (m_anchors.size() > 256)
            m_anchors.clear();
        m_anchors.insert(from + int(out.size()) - 1, orderValues(out.back()));
    }
    return out;
}

qint64 Table::doInsert(const QVector<QVariant>& values)
{
    SqlStatement& q = statement(Insert);
    StatementRun run{q};
    q.bindRow(values, fields());
    q.run();
    return q.lastInsertId();
}

SqlStatement& Table::updateOf(quint64 changed)
{
    std::unique_ptr<SqlStatement>& st = m_updates[changed];
    if (!st) {
        QStringList sets;
        for (qsizetype i = 0; i < fields().size(); ++i)
            if (changed & (quint64(1) << i))
                sets << quoted(fields().at(i).name) + QStringLiteral(" = ?");
        st = std::make_unique<SqlStatement>(
            handle(),
            QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(qualifiedName(), sets.join(QStringLiteral(", "))));
    }
    return *st;
}

bool Table::doUpdate(const Row& original, const QVector<QVariant>& values)
{
    // Only the fields whose value changed are written: an unchanged key or
    // indexed field then costs no index update.
    quint64 changed = 0;
    if (values.size() <= 64) {
        for (qsizetype i = 0; i < values.size(); ++i)
            if (original.values.value(i) != values.at(i))
                changed |= quint64(1) << i;
    }
    if (m_updates.size() > 64 && !m_updates.count(changed))
        m_updates.clear();
    SqlStatement& q = changed ? updateOf(changed) : statement(Update);
    int affected = 0;
    {
        StatementRun run{q};
        int at = 0;
        if (!changed) {
            at = q.bindRow(values, fields());
        } else {
            QVector<QVariant> written;
            QVector<FieldInfo> writtenFields;
            for (qsizetype i = 0; i < values.size(); ++i) {
                if (changed & (quint64(1) << i)) {
                    written << values.at(i);
                    writtenFields << fields().at(i);
                }
            }
            at = q.bindRow(written, writtenFields);
        }
        q.bind(at, original.id);
        q.run();
        affected = q.changes();
    }
    if (affected == 0)
        fail(tr("Record not found: it was deleted from table %1").arg(m_tableName));
    for (int i : m_keyIndexes)
        if (original.values.value(i) != values.value(i))
            return true;
    return false;
}

void Table::doDelete(const Row& row)
{
    SqlStatement& q = statement(Delete);
    StatementRun run{q};
    q.bind(0, row.id);
    q.run();
}

bool Table::findKey(const QStringList& keyValues)
{
    checkActive();
    if (m_key.isEmpty())
        fail(tr("Table %1 has no primary key").arg(m_tableName));
    checkBrowseMode();
    QVariantList binds;
    for (qsizetype i = 0; i < m_key.size(); ++i)
        binds << valueFromText(fields().at(m_keyIndexes.at(i)), keyValues.value(i));
    const auto row = fetchOne(SelKey, binds);
    if (!row)
        return false;
    setCursorFlags(false, false);
    setCurrent(row);
    return true;
}

void Table::setKey()
{
    checkActive();
    checkBrowseMode();
    m_keyBuffer.clear();
}

void Table::setKeyFieldText(const QString& name, const QString& text)
{
    checkActive();
    m_keyBuffer.insert(field(name).name, text);
}

bool Table::gotoKey()
{
    QStringList values;
    for (const QString& k : m_key)
        values << m_keyBuffer.value(k);
    return findKey(values);
}

void Table::emptyTable()
{
    checkActive();
    if (!canModify())
        fail(readOnlyMessage());
    if (isEditing())
        cancel();
    exec(QStringLiteral("DELETE FROM %1").arg(qualifiedName()));
    invalidate();
    Q_EMIT rowsReset();
    setCurrent(std::nullopt);
}

QStringList Table::columnTexts(const QString& fieldName)
{
    checkActive();
    const FieldInfo& f = field(fieldName);
    SqlStatement q(
        handle(), QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(quoted(f.name), qualifiedName(), orderBy(false)));
    QStringList out;
    while (q.step())
        out << textOf(f, q.value(0));
    return out;
}

void Table::beginBatch(Table* partner)
{
    checkActive();
    if (m_inBatch)
        return;
    if (partner) {
        partner->checkActive();
        partner->checkBrowseMode();
    }
    if (partner)
        exec(QStringLiteral("ATTACH DATABASE ? AS ") + kPartnerSchema,
             {fileUri(partner->filePath(), partner->m_readOnly)});
    try {
        exec(QStringLiteral("BEGIN"));
    } catch (const Error&) {
        if (partner)
            detachPartner();
        throw;
    }
    m_inBatch = true;
    if (partner) {
        partner->dropStatements();
        partner->m_host = this;
        partner->m_schema = kPartnerSchema;
        m_partner = partner;
    }
}

bool Table::batchIsLive() const
{
    return m_inBatch && !sqlite3_get_autocommit(handle());
}

void Table::commitBatch()
{
    if (!m_inBatch)
        return;
    QString failure;
    if (!batchIsLive()) {
        failure = tr("the database engine had already rolled the changes back");
    } else {
        try {
            exec(QStringLiteral("COMMIT"));
        } catch (const Error& e) {
            failure = e.message();
        }
    }
    if (failure.isEmpty()) {
        endBatch();
        return;
    }
    // A commit that fails (a lock held elsewhere, a full disk) leaves the
    // transaction open: undone here, so that nothing later joins it.
    rollbackBatch();
    throw Error(failure);
}

void Table::rollbackBatch()
{
    if (!m_inBatch)
        return;
    if (batchIsLive()) {
        try {
            exec(QStringLiteral("ROLLBACK"));
        } catch (const Error&) {
            // The engine then rolls back by itself when the statements end.
        }
    }
    Table* partner = m_partner;
    endBatch();
    // The cursors may stand on rows that are no longer stored.
    for (Table* t : {this, partner}) {
        if (!t || !t->isOpen())
            continue;
        try {
            if (t->isEditing())
                t->cancel();
            t->refresh();
        } catch (const Error&) {
            // The rollback itself stands; the table shows its rows at the next move.
        }
    }
}

void Table::endBatch()
{
    m_inBatch = false;
    if (Table* partner = std::exchange(m_partner, nullptr)) {
        partner->dropStatements();
        partner->m_host = nullptr;
        partner->m_schema.clear();
    }
    detachPartner();
}

void Table::detachPartner()
{
    if (!sqlite3_db_filename(handle(), kPartnerSchema.toUtf8().constData()))
        return;
    try {
        exec(QStringLiteral("DETACH DATABASE ") + kPartnerSchema);
    } catch (const Error&) {
        // Still in use: tried again at the end of the next batch.
    }
}

} // namespace kestrova
