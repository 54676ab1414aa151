#include "dataset.h"

#include "error.h"
#include "querystatement.h"

#include <QFileInfo>
#include <QDir>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlDriver>
#include <QStringEncoder>
#include <sqlite3.h>
#include <QUrl>
#include <QUuid>
#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace kestrova {

namespace {

QString engineMessage(const QSqlError& e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.driverText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

void exec(QSqlQuery& q)
{
    if (!q.exec()) {
        const QString msg = engineMessage(q.lastError());
        q.finish();
        throw Error(msg);
    }
}

void exec(QSqlQuery& q, const QString& sql)
{
    if (!q.exec(sql)) {
        const QString msg = engineMessage(q.lastError());
        q.finish();
        throw Error(msg);
    }
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

FieldKind kindOfDeclaredType(const QString& declared, int* length)
{
    const QString t = declared.toUpper();
    *length = 0;
    static const QRegularExpression len(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    if (t.contains(QLatin1String("DATE")))
        return FieldKind::Date;
    if (t.contains(QLatin1String("INT")))
        return FieldKind::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) ||
        t.contains(QLatin1String("CLOB")) || t.isEmpty()) {
        const auto m = len.match(t);
        if (m.hasMatch())
            *length = m.captured(1).toInt();
        return FieldKind::Text;
    }
    return FieldKind::Number;
}

// Field list and primary key of a table, read from the file itself.
QVector<FieldInfo> readFields(QSqlDatabase db, const QString& schema, const QString& table,
                              QStringList* key)
{
    QSqlQuery q(db);
    exec(q, QStringLiteral("PRAGMA %1.table_info(%2)").arg(quoted(schema), quoted(table)));
    QVector<FieldInfo> fields;
    QMap<int, QString> pk;
    while (q.next()) {
        FieldInfo f;
        f.name = q.value(1).toString();
        f.kind = kindOfDeclaredType(q.value(2).toString(), &f.length);
        fields << f;
        if (q.value(5).toInt() > 0)
            pk.insert(q.value(5).toInt(), f.name);
    }
    if (key)
        *key = pk.values();
    return fields;
}

QString kindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text:
        return QStringLiteral("text");
    case FieldKind::Number:
        return QStringLiteral("number");
    case FieldKind::Integer:
        return QStringLiteral("whole number");
    case FieldKind::Date:
        return QStringLiteral("date");
    }
    return {};
}

// Checks a known table's fields against the ones the program relies on, so
// a restructured file is refused at once instead of failing later on some
// unrelated action. Returns what is wrong, or nothing.
QString fieldMismatch(const QString& table, const QVector<FieldInfo>& fields)
{
    const TableDef* def = schemaTable(table);
    if (!def)
        return {};
    for (const FieldDef& want : def->fields) {
        const FieldInfo* have = nullptr;
        for (const FieldInfo& f : fields)
            if (f.name.compare(want.name, Qt::CaseInsensitive) == 0)
                have = &f;
        if (!have)
            return QStringLiteral("the field %1 is missing").arg(want.name);
        // A whole number column may stand where a number is expected.
        const bool numeric = want.kind == FieldKind::Number && have->kind == FieldKind::Integer;
        if (have->kind != want.kind && !numeric)
            return QStringLiteral("the field %1 is a %2 field, where a %3 field is expected")
                .arg(want.name, kindName(have->kind), kindName(want.kind));
    }
    return {};
}

QString columnList(const QVector<FieldInfo>& fields)
{
    QStringList cols;
    for (const FieldInfo& f : fields)
        cols << quoted(f.name);
    return cols.join(QStringLiteral(", "));
}

Row readRow(const QSqlQuery& q, int fieldCount)
{
    Row r;
    r.id = q.value(0).toLongLong();
    r.values.reserve(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        r.values << q.value(i + 1);
    return r;
}

QString insertSql(const QString& table, const QVector<FieldInfo>& fields)
{
    QStringList marks;
    for (qsizetype i = 0; i < fields.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, columnList(fields), marks.join(QStringLiteral(", ")));
}

QString updateSql(const QString& table, const QVector<FieldInfo>& fields)
{
    QStringList sets;
    for (const FieldInfo& f : fields)
        sets << quoted(f.name) + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(table, sets.join(QStringLiteral(", ")));
}

void bindAll(QSqlQuery& q, const QVector<QVariant>& values, const QVector<FieldInfo>& fields)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        QVariant v = values.at(i);
        // Text fields hold '' rather than NULL so that "= ''" finds them.
        if (fields.at(i).kind == FieldKind::Text && v.isNull())
            v = QString(QLatin1String(""));
        q.addBindValue(v);
    }
}

QString fileUri(const QString& path, bool readOnly)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

const QString kClosed = QStringLiteral("Cannot perform this operation on a closed dataset");

} // namespace

// A statement the cursor runs again and again, prepared once on the table's
// connection and run through SQLite directly: binding and reading values
// this way costs a fraction of a generic query's.
class SqlStatement {
public:
    SqlStatement(sqlite3* db, const QString& sql) : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK) {
            const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(m_stmt);
            throw Error(msg);
        }
        m_kept.resize(size_t(sqlite3_bind_parameter_count(m_stmt)));
    }
    ~SqlStatement() { sqlite3_finalize(m_stmt); }
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    void bind(int index, const QVariant& v)
    {
        int rc = SQLITE_OK;
        const int i = index + 1;
        if (v.isNull()) {
            rc = v.typeId() == QMetaType::QString ? sqlite3_bind_text(m_stmt, i, "", 0, SQLITE_STATIC)
                                                  : sqlite3_bind_null(m_stmt, i);
        } else {
            switch (v.typeId()) {
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, i, v.toDouble());
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_stmt, i, v.toLongLong());
                break;
            case QMetaType::QByteArray: {
                const QByteArray& b = kept(index, v.toByteArray());
                rc = sqlite3_bind_blob(m_stmt, i, b.constData(), int(b.size()), SQLITE_STATIC);
                break;
            }
            case QMetaType::QString:
                rc = bindText(index, *static_cast<const QString*>(v.constData()));
                break;
            default:
                rc = bindText(index, v.toString());
            }
        }
        if (rc != SQLITE_OK)
            fail();
    }
    void bind(const QVariantList& values)
    {
        for (qsizetype i = 0; i < values.size(); ++i)
            bind(int(i), values.at(i));
    }
    // True while a row is ready; false when done.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        fail();
    }
    // Ready for the next run; releases the locks of the last one.
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    QVariant value(int column) const
    {
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(m_stmt, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_stmt, column);
        case SQLITE_TEXT:
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                                     sqlite3_column_bytes(m_stmt, column));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, column)),
                              sqlite3_column_bytes(m_stmt, column));
        default:
            return QVariant();
        }
    }
    Row row(int fieldCount) const
    {
        Row r;
        r.id = sqlite3_column_int64(m_stmt, 0);
        r.values.reserve(fieldCount);
        for (int i = 0; i < fieldCount; ++i)
            r.values << value(i + 1);
        return r;
    }
    qint64 lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }
    int changes() const { return sqlite3_changes(m_db); }

private:
    [[noreturn]] void fail()
    {
        QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_reset(m_stmt);
        throw Error(msg);
    }
    // A bound text or blob is kept here until the parameter is bound again,
    // so that the engine reads it in place instead of copying it.
    QByteArray& slot(int index)
    {
        if (size_t(index) >= m_kept.size())
            m_kept.resize(size_t(index) + 1);
        return m_kept[size_t(index)];
    }
    const QByteArray& kept(int index, QByteArray bytes) { return slot(index) = std::move(bytes); }
    // A text is encoded into its parameter's buffer, whose room is reused
    // from run to run.
    int bindText(int index, QStringView text)
    {
        QByteArray& buffer = slot(index);
        const qsizetype room = m_encoder.requiredSpace(text.size());
        if (buffer.size() < room)
            buffer.resize(room);
        const char* const end = m_encoder.appendToBuffer(buffer.data(), text);
        return sqlite3_bind_text(m_stmt, index + 1, buffer.constData(), int(end - buffer.constData()), SQLITE_STATIC);
    }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    std::vector<QByteArray> m_kept;
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

void bindRow(SqlStatement& q, const QVector<QVariant>& values, const QVector<FieldInfo>& fields)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        // Text fields hold '' rather than NULL so that "= ''" finds them.
        if (fields.at(i).kind == FieldKind::Text && values.at(i).isNull())
            q.bind(int(i), QString(QLatin1String("")));
        else
            q.bind(int(i), values.at(i));
    }
}

// Runs a statement to its end whatever happens, leaving it ready again.
struct StatementRun {
    SqlStatement& s;
    ~StatementRun() { s.reset(); }
};

// ---------------------------------------------------------------- DataSet

DataSet::DataSet(QObject* parent) : QObject(parent), m_fmt(LocaleFormat::system()) {}

DataSet::~DataSet() = default;

void CallbackList::add(QObject* owner, std::function<void()> call)
{
    m_entries.push_back(Entry{owner, std::move(call)});
}

void CallbackList::remove(QObject* owner)
{
    std::erase_if(m_entries, [owner](const Entry& e) { return e.owner == owner || !e.owner; });
}

void CallbackList::run()
{
    std::erase_if(m_entries, [](const Entry& e) { return !e.owner; });
    // A callback may add or remove others: run over a copy.
    const std::vector<Entry> entries = m_entries;
    std::exception_ptr first;
    for (const Entry& e : entries) {
        if (!e.owner)
            continue;
        try {
            e.call();
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    }
    if (first)
        std::rethrow_exception(first);
}

void DataSet::onUpdateRecord(QObject* owner, std::function<void()> callback)
{
    m_updateRecord.add(owner, std::move(callback));
}

void DataSet::onAfterPost(QObject* owner, std::function<void()> callback)
{
    m_afterPost.add(owner, std::move(callback));
}

void DataSet::removeCallbacks(QObject* owner)
{
    m_updateRecord.remove(owner);
    m_afterPost.remove(owner);
}

void DataSet::fail(const QString& message) const
{
    throw Error(message);
}

void DataSet::checkActive() const
{
    if (!isOpen())
        fail(kClosed);
}

void DataSet::setState(DataSetState s)
{
    if (m_state == s)
        return;
    m_state = s;
    Q_EMIT stateChanged();
}

QVector<QVariant> DataSet::emptyValues() const
{
    QVector<QVariant> v;
    v.reserve(m_fields.size());
    for (const FieldInfo& f : m_fields)
        v << (f.kind == FieldKind::Text ? QVariant(QString(QLatin1String(""))) : QVariant());
    return v;
}

void DataSet::clearRowCache()
{
    m_rowCache.clear();
    m_countCache = -1;
}

void DataSet::setCurrent(const std::optional<Row>& row, int index)
{
    m_index = row ? index : -1;
    if (row) {
        m_current = *row;
        m_buffer = row->values;
    } else {
        m_current = Row{};
        m_buffer = emptyValues();
    }
    m_modified = false;
    Q_EMIT dataChanged(QString());
}

void DataSet::open()
{
    if (isOpen())
        return;
    doOpen();
    clearRowCache();
    rowsInvalidated();
    m_state = DataSetState::Browse;
    const auto row = fetchFirst();
    m_bof = true;
    m_eof = !row;
    Q_EMIT stateChanged();
    Q_EMIT rowsReset();
    setCurrent(row, 0);
}

void DataSet::close()
{
    if (!isOpen())
        return;
    // A changed record is stored, as moving off it would store it.
    checkBrowseMode();
    doClose();
    m_index = -1;
    m_current = Row{};
    m_buffer.clear();
    m_modified = false;
    m_eof = m_bof = true;
    m_beforeInsert.reset();
    clearRowCache();
    rowsInvalidated();
    setState(DataSetState::Inactive);
    Q_EMIT rowsReset();
    Q_EMIT dataChanged(QString());
}

void DataSet::setFields(const QVector<FieldInfo>& fields)
{
    m_fields = fields;
    m_fieldByName.clear();
    for (qsizetype i = 0; i < fields.size(); ++i)
        m_fieldByName.insert(fields.at(i).name, int(i));
}

int DataSet::fieldIndex(const QString& name) const
{
    const auto it = m_fieldByName.constFind(name);
    if (it != m_fieldByName.constEnd())
        return *it;
    for (qsizetype i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const FieldInfo& DataSet::field(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0) {
        checkActive();
        fail(QStringLiteral("Field '%1' not found").arg(name));
    }
    return m_fields.at(i);
}

QString DataSet::textOf(const FieldInfo& f, const QVariant& v) const
{
    if (v.isNull())
        return {};
    switch (f.kind) {
    case FieldKind::Text:
        return v.toString();
    case FieldKind::Number:
    case FieldKind::Integer: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            return v.toString();
        if (f.kind == FieldKind::Integer && v.typeId() != QMetaType::Double)
            return QString::number(v.toLongLong());
        return formatNumber(d, m_fmt);
    }
    case FieldKind::Date: {
        const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
        return d.isValid() ? formatDate(d, m_fmt) : v.toString();
    }
    }
    return v.toString();
}

QVariant DataSet::valueFromText(const FieldInfo& f, const QString& text) const
{
    switch (f.kind) {
    case FieldKind::Text:
        return f.length > 0 && text.size() > f.length ? text.left(f.length) : text;
    case FieldKind::Number: {
        if (text.trimmed().isEmpty())
            return {};
        if (auto v = parseNumber(text, m_fmt))
            return *v;
        fail(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                 .arg(text, f.name));
    }
    case FieldKind::Integer: {
        if (text.trimmed().isEmpty())
            return {};
        static const QRegularExpression re(QStringLiteral("^\\s*[+-]?\\d{1,18}\\s*$"));
        if (re.match(text).hasMatch())
            return text.trimmed().toLongLong();
        fail(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, f.name));
    }
    case FieldKind::Date: {
        if (text.trimmed().isEmpty())
            return {};
        if (auto d = parseDate(text, m_fmt, currentDate()))
            return formatIsoDate(*d);
        fail(QStringLiteral("'%1' is not a valid date").arg(text));
    }
    }
    return text;
}

QString DataSet::fieldText(const QString& name) const
{
    checkActive();
    const int i = fieldIndex(name);
    if (i < 0)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    return i < m_buffer.size() ? textOf(m_fields.at(i), m_buffer.at(i)) : QString();
}

QVariant DataSet::fieldValue(const QString& name) const
{
    checkActive();
    const int i = fieldIndex(name);
    if (i < 0)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    return i < m_buffer.size() ? m_buffer.at(i) : QVariant();
}

void DataSet::setFieldText(const QString& name, const QString& text)
{
    checkActive();
    const int i = fieldIndex(name);
    if (i < 0)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    if (!isEditing())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    const QVariant v = valueFromText(m_fields.at(i), text);
    m_buffer[i] = v;
    m_modified = true;
    Q_EMIT dataChanged(m_fields.at(i).name);
}

bool DataSet::isEmpty() const
{
    return m_current.id < 0 && m_state != DataSetState::Insert;
}

void DataSet::first()
{
    checkActive();
    checkBrowseMode();
    const auto row = fetchFirst();
    m_bof = true;
    m_eof = !row;
    setCurrent(row, 0);
}

void DataSet::last()
{
    checkActive();
    checkBrowseMode();
    const auto row = fetchLast();
    m_eof = true;
    m_bof = !row;
    setCurrent(row, row ? recordCount() - 1 : -1);
}

void DataSet::next()
{
    checkActive();
    checkBrowseMode();
    if (m_current.id < 0) {
        m_eof = true;
        return;
    }
    if (auto row = fetchNext(m_current)) {
        m_eof = m_bof = false;
        setCurrent(row, m_index >= 0 ? m_index + 1 : -1);
    } else {
        m_eof = true;
    }
}

void DataSet::prior()
{
    checkActive();
    checkBrowseMode();
    if (m_current.id < 0) {
        m_bof = true;
        return;
    }
    if (auto row = fetchPrior(m_current)) {
        m_eof = m_bof = false;
        setCurrent(row, m_index > 0 ? m_index - 1 : -1);
    } else {
        m_bof = true;
    }
}

int DataSet::recordCount()
{
    checkActive();
    if (m_countCache < 0)
        m_countCache = doCount();
    return m_countCache;
}

int DataSet::recNo()
{
    checkActive();
    if (m_state == DataSetState::Insert)
        return recordCount();
    if (m_current.id < 0)
        return -1;
    if (m_index < 0)
        m_index = doIndexOf(m_current);
    return m_index;
}

void DataSet::moveTo(int index)
{
    checkActive();
    if (index == recNo())
        return;
    checkBrowseMode();
    const std::vector<Row> rows = fetchRange(index, 1);
    if (rows.empty())
        return;
    m_bof = index == 0;
    m_eof = false;
    setCurrent(rows.front(), index);
}

QVector<QVariant> DataSet::rowValuesAt(int index)
{
    checkActive();
    if (isEditing() && index == recNo())
        return m_buffer;
    auto it = m_rowCache.constFind(index);
    if (it != m_rowCache.constEnd())
        return *it;
    if (m_rowCache.size() > 4096)
        m_rowCache.clear();
    const int block = 64;
    const int start = index - index % block;
    const std::vector<Row> rows = fetchRange(start, block);
    for (size_t i = 0; i < rows.size(); ++i)
        m_rowCache.insert(start + int(i), rows[i].values);
    return m_rowCache.value(index);
}

QString DataSet::textAt(int index, int fieldIndex)
{
    const QVector<QVariant> values = rowValuesAt(index);
    if (fieldIndex < 0 || fieldIndex >= values.size())
        return {};
    return textOf(m_fields.at(fieldIndex), values.at(fieldIndex));
}

void DataSet::append()
{
    checkActive();
    if (!canModify())
        fail(readOnlyMessage());
    checkBrowseMode();
    if (m_current.id >= 0)
        m_beforeInsert = m_current;
    else
        m_beforeInsert.reset();
    m_current = Row{};
    m_buffer = emptyValues();
    m_modified = false;
    m_eof = true;
    m_bof = false;
    setState(DataSetState::Insert);
    Q_EMIT rowsReset();
    Q_EMIT dataChanged(QString());
}

void DataSet::edit()
{
    checkActive();
    if (isEditing())
        return;
    if (!canModify())
        fail(readOnlyMessage());
    if (isEmpty()) {
        append();
        return;
    }
    setState(DataSetState::Edit);
}

void DataSet::post()
{
    checkActive();
    m_updateRecord.run();
    if (!isEditing())
        return;
    bool reset = false;
    const int index = m_index;
    m_index = -1;
    // The row now holds exactly the values bound from the buffer.
    if (m_state == DataSetState::Insert) {
        const qint64 id = doInsert(m_buffer);
        m_current = Row{id, m_buffer};
        m_beforeInsert.reset();
        reset = true;
    } else {
        reset = doUpdate(m_current, m_buffer);
        m_current = Row{m_current.id, m_buffer};
    }
    m_buffer = m_current.values;
    m_modified = false;
    clearRowCache();
    if (reset)
        rowsInvalidated();
    else
        m_index = index; // an edit that kept its place
    m_eof = m_bof = false;
    setState(DataSetState::Browse);
    if (reset)
        Q_EMIT rowsReset();
    Q_EMIT dataChanged(QString());
    // The row is stored whatever the after-post callbacks do: the
    // notification follows either way, and their failure goes to the caller.
    try {
        m_afterPost.run();
    } catch (...) {
        Q_EMIT afterPost();
        throw;
    }
    Q_EMIT afterPost();
}

void DataSet::cancel()
{
    checkActive();
    if (m_state == DataSetState::Edit) {
        m_buffer = m_current.values;
        m_modified = false;
        setState(DataSetState::Browse);
        Q_EMIT dataChanged(QString());
    } else if (m_state == DataSetState::Insert) {
        std::optional<Row> back;
        if (m_beforeInsert)
            back = fetchById(m_beforeInsert->id);
        if (!back)
            back = fetchFirst();
        m_beforeInsert.reset();
        m_eof = !back;
        m_bof = false;
        setState(DataSetState::Browse);
        Q_EMIT rowsReset();
        setCurrent(back);
    }
}

void DataSet::deleteRecord()
{
    checkActive();
    if (!canModify())
        fail(readOnlyMessage());
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (m_state == DataSetState::Edit)
        cancel();
    const int index = m_index;
    std::optional<Row> neighbour = fetchNext(m_current);
    const bool wasLast = !neighbour;
    if (!neighbour)
        neighbour = fetchPrior(m_current);
    doDelete(m_current);
    clearRowCache();
    rowsInvalidated();
    m_eof = wasLast;
    m_bof = !neighbour;
    m_index = -1;
    Q_EMIT rowsReset();
    setCurrent(neighbour, index < 0 ? -1 : wasLast ? index - 1 : index);
    Q_EMIT afterDelete();
}

void DataSet::refresh()
{
    checkActive();
    checkBrowseMode();
    clearRowCache();
    rowsInvalidated();
    std::optional<Row> row;
    if (m_current.id >= 0)
        row = fetchById(m_current.id);
    if (!row)
        row = fetchFirst();
    m_eof = !row;
    Q_EMIT rowsReset();
    setCurrent(row);
}

void DataSet::checkBrowseMode()
{
    if (!isEditing())
        return;
    m_updateRecord.run();
    if (m_modified)
        post();
    else
        cancel();
}

// ---------------------------------------------------------------- Table

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
    qDeleteAll(m_queries);
    m_queries.clear();
}

QSqlQuery& Table::cachedQuery(const QString& sql)
{
    auto it = m_queries.find(sql);
    if (it == m_queries.end()) {
        auto* q = new QSqlQuery(database());
        q->setForwardOnly(true);
        if (!q->prepare(sql)) {
            const QString msg = engineMessage(q->lastError());
            delete q;
            throw Error(msg);
        }
        it = m_queries.insert(sql, q);
    }
    return **it;
}

void Table::doOpen()
{
    const QString path = filePath();
    if (!QFileInfo::exists(path))
        fail(QStringLiteral("Cannot open table %1: the file %2 does not exist")
                 .arg(m_tableName, QDir::toNativeSeparators(path)));
    m_connection = QStringLiteral("kestrova-table-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(fileUri(path, m_readOnly));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000") +
                             (m_readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
        if (!db.open()) {
            failure = engineMessage(db.lastError());
        } else {
            try {
                QStringList key;
                const QVector<FieldInfo> fields = readFields(db, QStringLiteral("main"), m_tableName, &key);
                if (fields.isEmpty())
                    throw Error(QStringLiteral("the file holds no table %1").arg(m_tableName));
                const QString mismatch = fieldMismatch(m_tableName, fields);
                if (!mismatch.isEmpty())
                    throw Error(mismatch);
                if (m_exclusive) {
                    QSqlQuery q(db);
                    exec(q, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
                    exec(q, QStringLiteral("BEGIN EXCLUSIVE"));
                    exec(q, QStringLiteral("COMMIT"));
                }
                setFields(fields);
                m_key = key;
                m_keyIndexes.clear();
                for (const QString& k : m_key)
                    m_keyIndexes << fieldIndex(k);
                m_selectList = QStringLiteral("rowid, ") + columnList(fields);
            } catch (const Error& e) {
                failure = e.message();
            }
        }
        if (!failure.isEmpty())
            db.close();
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(m_connection);
        m_connection.clear();
        fail(QStringLiteral("Cannot open table %1 (%2): %3")
                 .arg(m_tableName, QDir::toNativeSeparators(path), failure));
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
    {
        QSqlDatabase db = database();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
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

static QString placeholders(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString Table::statementSql(Statement s) const
{
    const QString table = qualifiedName();
    const QString select = QStringLiteral("SELECT %1 FROM %2 ").arg(m_selectList, table);
    const int keyCount = m_key.isEmpty() ? 1 : int(m_key.size());
    switch (s) {
    case SelFirst:
        return select + QStringLiteral("ORDER BY %1 LIMIT 1").arg(orderBy(false));
    case SelLast:
        return select + QStringLiteral("ORDER BY %1 LIMIT 1").arg(orderBy(true));
    case SelNext:
        return select + QStringLiteral("WHERE %1 > %2 ORDER BY %3 LIMIT 1").arg(orderTuple(), placeholders(keyCount), orderBy(false));
    case SelPrior:
        return select + QStringLiteral("WHERE %1 < %2 ORDER BY %3 LIMIT 1").arg(orderTuple(), placeholders(keyCount), orderBy(true));
    case SelAhead:
        return select + QStringLiteral("WHERE %1 > %2 ORDER BY %3 LIMIT 512").arg(orderTuple(), placeholders(keyCount), orderBy(false));
    case SelById:
        return select + QStringLiteral("WHERE rowid = ?");
    case SelKey: {
        QStringList conds;
        for (const QString& k : m_key)
            conds << quoted(k) + QStringLiteral(" = ?");
        return select + QStringLiteral("WHERE ") + conds.join(QStringLiteral(" AND ")) + QStringLiteral(" LIMIT 1");
    }
    case SelCount:
        return QStringLiteral("SELECT count(*) FROM %1").arg(table);
    case SelIndexOf:
        return QStringLiteral("SELECT count(*) FROM %1 WHERE %2 < %3").arg(table, orderTuple(), placeholders(keyCount));
    case Insert:
        return insertSql(table, fields());
    case Update:
        return updateSql(table, fields());
    case Delete:
        return QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table);
    case StatementCount:
        break;
    }
    return {};
}

SqlStatement& Table::statement(Statement s)
{
    if (!m_statements[s]) {
        m_statements[s] = std::make_unique<SqlStatement>(sqliteHandle(database()), statementSql(s));
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
    auto anchor = m_anchors.upperBound(from);
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
    QSqlQuery& q = cachedQuery(sql);
    for (const QVariant& v : binds)
        q.addBindValue(v);
    exec(q);
    while (q.next())
        out.push_back(readRow(q, int(fields().size())));
    q.finish();
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
    bindRow(q, values, fields());
    q.step();
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
            sqliteHandle(database()),
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
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (changed && !(changed & (quint64(1) << i)))
                continue;
            // Text fields hold '' rather than NULL so that "= ''" finds them.
            if (fields().at(i).kind == FieldKind::Text && values.at(i).isNull())
                q.bind(at++, QString(QLatin1String("")));
            else
                q.bind(at++, values.at(i));
        }
        q.bind(at, original.id);
        q.step();
        affected = q.changes();
    }
    if (affected == 0)
        fail(QStringLiteral("Record not found: it was deleted from table %1").arg(m_tableName));
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
    q.step();
}

bool Table::findKey(const QStringList& keyValues)
{
    checkActive();
    if (m_key.isEmpty())
        fail(QStringLiteral("Table %1 has no primary key").arg(m_tableName));
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
    QSqlQuery q(database());
    exec(q, QStringLiteral("DELETE FROM %1").arg(qualifiedName()));
    clearRowCache();
    rowsInvalidated();
    Q_EMIT rowsReset();
    setCurrent(std::nullopt);
}

QStringList Table::columnTexts(const QString& fieldName)
{
    checkActive();
    const FieldInfo& f = field(fieldName);
    QSqlQuery q(database());
    q.setForwardOnly(true);
    exec(q, QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(quoted(f.name), qualifiedName(), orderBy(false)));
    QStringList out;
    while (q.next())
        out << textOf(f, q.value(0));
    return out;
}

static const QString kPartnerSchema = QStringLiteral("kestrova_partner");

void Table::beginBatch(Table* partner)
{
    checkActive();
    if (m_inBatch)
        return;
    if (partner) {
        partner->checkActive();
        partner->checkBrowseMode();
    }
    QSqlQuery q(database());
    if (partner) {
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + kPartnerSchema);
        q.addBindValue(fileUri(partner->filePath(), partner->m_readOnly));
        exec(q);
    }
    if (!q.exec(QStringLiteral("BEGIN"))) {
        const QString msg = engineMessage(q.lastError());
        if (partner)
            q.exec(QStringLiteral("DETACH DATABASE ") + kPartnerSchema);
        throw Error(msg);
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
    return m_inBatch && !sqlite3_get_autocommit(sqliteHandle(database()));
}

void Table::commitBatch()
{
    if (!m_inBatch)
        return;
    QString failure;
    if (!batchIsLive()) {
        failure = QStringLiteral("the database engine had already rolled the changes back");
    } else {
        QSqlQuery q(database());
        if (!q.exec(QStringLiteral("COMMIT")))
            failure = engineMessage(q.lastError());
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
        QSqlQuery q(database());
        q.exec(QStringLiteral("ROLLBACK"));
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
    if (sqlite3_db_filename(sqliteHandle(database()), kPartnerSchema.toUtf8().constData())) {
        QSqlQuery q(database());
        q.exec(QStringLiteral("DETACH DATABASE ") + kPartnerSchema);
    }
}

// ---------------------------------------------------------------- Query

Query::Query(QObject* parent) : DataSet(parent) {}

Query::~Query()
{
    if (isOpen())
        doClose();
    if (!m_connection.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
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

Query::Prepared Query::prepare(const QString& text)
{
    Prepared p;
    QString& out = p.sql;
    out.reserve(text.size());
    const qsizetype n = text.size();
    auto isIdentStart = [](QChar c) { return c.isLetter() || c == QLatin1Char('_'); };
    auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') ||
            c == QLatin1Char('[')) {
            // Literal or quoted identifier: copied as it stands.
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            qsizetype j = i + 1;
            while (j < n) {
                if (text.at(j) == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && text.at(j + 1) == close) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += text.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && text.at(i + 1) == QLatin1Char('-')) {
            qsizetype j = text.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            out += text.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && text.at(i + 1) == QLatin1Char('*')) {
            qsizetype j = text.indexOf(QStringLiteral("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out += text.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentStart(text.at(i + 1)) &&
                   (i == 0 || text.at(i - 1) != QLatin1Char(':'))) {
            qsizetype j = i + 1;
            while (j < n && isIdent(text.at(j)))
                ++j;
            p.params << text.mid(i + 1, j - i - 1);
            out += QLatin1Char('?');
            i = j;
        } else if (isIdentStart(c)) {
            qsizetype j = i;
            while (j < n && isIdent(text.at(j)))
                ++j;
            const QString word = text.mid(i, j - i);
            out += word;
            i = j;
            if (const TableDef* t = schemaTable(word)) {
                if (!p.tables.contains(t->name))
                    p.tables << t->name;
                if (i + 2 < n && text.at(i) == QLatin1Char('.') &&
                    text.mid(i + 1, 2).compare(QLatin1String("db"), Qt::CaseInsensitive) == 0 &&
                    (i + 3 >= n || !isIdent(text.at(i + 3))))
                    i += 3; // "Xsale.db" names the table Xsale
            }
        } else if (c.isDigit()) {
            qsizetype j = i;
            while (j < n && (isIdent(text.at(j)) || text.at(j) == QLatin1Char('.')))
                ++j;
            out += text.mid(i, j - i);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return p;
}

QSqlDatabase Query::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QSqlDatabase Query::connection()
{
    if (m_connection.isEmpty()) {
        const QString name = QStringLiteral("kestrova-query-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        QString failure;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QStringLiteral(":memory:"));
            // URI names let ATTACH open the table files without creating them.
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000"));
            if (!db.open())
                failure = engineMessage(db.lastError());
            else
                limitQueryConnection(sqliteHandle(db));
        }
        if (!failure.isEmpty()) {
            QSqlDatabase::removeDatabase(name);
            fail(failure);
        }
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
        fail(QStringLiteral("Cannot open table %1: the file %2 does not exist")
                 .arg(table, QDir::toNativeSeparators(path)));
    // Attached under the table's own name: unqualified names find the table,
    // and "Xsale.Person" still reads as table and column.
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(quoted(table)));
    q.addBindValue(fileUri(path, false));
    exec(q);
    m_attached << table;
}

// A connection holds at most ten attached files: those no longer needed
// go. A file that cannot be detached now is tried again at the next open.
void Query::detachAllBut(const QStringList& keep)
{
    if (m_connection.isEmpty())
        return;
    QSqlQuery q(database());
    for (auto it = m_attached.begin(); it != m_attached.end();) {
        if (!keep.contains(*it) && q.exec(QStringLiteral("DETACH DATABASE %1").arg(quoted(*it))))
            it = m_attached.erase(it);
        else
            ++it;
    }
}

QString Query::qualified() const
{
    return quoted(m_baseTable) + QLatin1Char('.') + quoted(m_baseTable);
}

QString Query::readOnlyMessage() const
{
    return QStringLiteral("This result cannot be edited: only the rows of a single-table "
                          "\"Select *\" query can be changed");
}

void Query::checkSingleSelect(QSqlDatabase db, const QString& sql) const
{
    const QString refused = QStringLiteral(
        "Only one SELECT query can be run here; the text was not run and no table was changed");
    static const QRegularExpression lead(QStringLiteral("^(\\s|--[^\\n]*(\\n|$)|/\\*[\\s\\S]*?\\*/)*(\\w+)"));
    const auto m = lead.match(sql);
    const QString keyword = m.hasMatch() ? m.captured(3).toLower() : QString();
    if (keyword != QLatin1String("select") && keyword != QLatin1String("with"))
        fail(refused);
    // The engine itself tells whether the statement writes, and whether
    // anything follows it; its authorizer names what a read may not do.
    sqlite3* handle = sqliteHandle(db);
    QueryRun run(handle, nullptr, true);
    UserStatement st(handle, sql, run);
    const bool readOnly = st.get() && sqlite3_stmt_readonly(st.get());
    if (!readOnly || (!st.rest().isEmpty() && st.rest() != ";"))
        fail(refused);
}

void Query::doOpen()
{
    const Prepared p = prepare(m_sql);
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
                fail(QStringLiteral("No value for parameter '%1'").arg(name));
            binds << *it;
        }

        // "Select * from <one table> [where ...] [order by ...]" is editable.
        static const QRegularExpression single(
            QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+\"?([A-Za-z_][A-Za-z0-9_]*)\"?"
                           "(\\s+(where|order\\s+by)\\b[\\s\\S]*?)?\\s*;?\\s*$"),
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression literals(QStringLiteral("'(?:[^']|'')*'"));
        static const QRegularExpression compound(
            QStringLiteral("\\b(join|group|union|intersect|except|having|limit|offset)\\b"),
            QRegularExpression::CaseInsensitiveOption);
        const auto m = single.match(p.sql);
        if (m.hasMatch() && schemaTable(m.captured(1)) &&
            !QString(m.captured(2)).replace(literals, QString()).contains(compound)) {
            m_baseTable = schemaTable(m.captured(1))->name;
            m_editable = true;
        }
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
    setFields(readFields(db, m_baseTable, m_baseTable, &key));
    m_selectList = QStringLiteral("rowid, ") + columnList(fields());
    static const QRegularExpression star(QStringLiteral("^\\s*select\\s+\\*"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString idSql = sql;
    idSql.replace(star, QStringLiteral("SELECT rowid"));
    sqlite3* handle = sqliteHandle(db);
    QueryRun run(handle, m_progress, m_selectOnly);
    UserStatement st(handle, idSql, run);
    st.bind(binds, run);
    qint64 previous = -1;
    while (st.step(run)) {
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
void Query::openReadOnly(QSqlDatabase db, const Prepared& p, const QVariantList& binds)
{
    auto pages = std::make_unique<ResultPages>(sqliteHandle(db), p.sql, binds, m_progress, m_selectOnly);
    pages->scan();
    static const QRegularExpression sum(QStringLiteral("^\\s*sum\\s*\\(\\s*\"?([A-Za-z_]\\w*)\"?\\s*\\)\\s*$"),
                                        QRegularExpression::CaseInsensitiveOption);
    QVector<FieldInfo> fs;
    for (int c = 0; c < pages->columnCount(); ++c) {
        FieldInfo f;
        f.name = pages->columnName(c);
        f.kind = FieldKind::Text;
        const auto sm = sum.match(f.name);
        const QString summed = sm.hasMatch() ? sm.captured(1) : QString();
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
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(m_selectList, qualified()));
    q.addBindValue(id);
    exec(q);
    std::optional<Row> row;
    if (q.next())
        row = readRow(q, int(fields().size()));
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
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN %3").arg(m_selectList, qualified(), placeholders(n)));
    for (int i = 0; i < n; ++i)
        q.addBindValue(m_ids[from + i]);
    exec(q);
    QHash<qint64, Row> byId;
    while (q.next()) {
        Row r = readRow(q, int(fields().size()));
        byId.insert(r.id, r);
    }
    for (int i = 0; i < n; ++i)
        out.push_back(byId.value(m_ids[from + i], Row{m_ids[from + i], {}}));
    return out;
}

qint64 Query::doInsert(const QVector<QVariant>& values)
{
    QSqlQuery q(connection());
    q.prepare(insertSql(qualified(), fields()));
    bindAll(q, values, fields());
    exec(q);
    const qint64 id = q.lastInsertId().toLongLong();
    if (!m_ids.empty() && id <= m_ids.back())
        m_idsSorted = false;
    m_ids.push_back(id);
    return id;
}

bool Query::doUpdate(const Row& original, const QVector<QVariant>& values)
{
    QSqlQuery q(connection());
    q.prepare(updateSql(qualified(), fields()));
    bindAll(q, values, fields());
    q.addBindValue(original.id);
    exec(q);
    if (q.numRowsAffected() == 0)
        fail(QStringLiteral("Record not found: it was deleted from table %1").arg(m_baseTable));
    return false;
}

void Query::doDelete(const Row& row)
{
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(qualified()));
    q.addBindValue(row.id);
    exec(q);
    const qsizetype pos = positionOf(row.id);
    if (pos >= 0)
        m_ids.erase(m_ids.begin() + pos);
}

// ---------------------------------------------------------------- DataSource

DataSource::DataSource(QObject* parent) : QObject(parent) {}

void DataSource::onUpdateRecord(QObject* owner, std::function<void()> callback)
{
    m_updateRecord.add(owner, std::move(callback));
}

void DataSource::setDataSet(DataSet* ds)
{
    if (ds == m_dataSet)
        return;
    for (const auto& c : m_links)
        disconnect(c);
    m_links.clear();
    if (m_dataSet)
        m_dataSet->removeCallbacks(this);
    m_dataSet = ds;
    if (ds) {
        m_links << connect(ds, &DataSet::dataChanged, this, &DataSource::dataChange);
        m_links << connect(ds, &DataSet::stateChanged, this, &DataSource::stateChange);
        m_links << connect(ds, &DataSet::rowsReset, this, &DataSource::rowsReset);
        ds->onUpdateRecord(this, [this] { m_updateRecord.run(); });
        m_links << connect(ds, &QObject::destroyed, this, [this] { m_dataSet = nullptr; });
    }
    Q_EMIT dataSetChanged();
    Q_EMIT stateChange();
    Q_EMIT rowsReset();
    Q_EMIT dataChange(QString());
}

} // namespace kestrova
