#include "data/datasetstate.h"

#include "data/error.h"

#include <QRegularExpression>
#include <exception>
#include <utility>

namespace kestrova {

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
        fail(tr("Cannot perform this operation on a closed dataset"));
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

void DataSet::invalidate(bool positionsKept)
{
    m_rowCache.clear();
    m_countCache = -1;
    if (!positionsKept)
        rowsInvalidated();
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
    invalidate();
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
    invalidate();
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
        fail(tr("Field '%1' not found").arg(name));
    }
    return m_fields.at(i);
}

QString DataSet::textOf(const FieldInfo& f, const QVariant& v) const
{
    if (v.isNull())
        return {};
    switch (f.kind) {
    case FieldKind::Text: return v.toString();
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
    case FieldKind::Text: return f.length > 0 && text.size() > f.length ? text.left(f.length) : text;
    case FieldKind::Number: {
        if (text.trimmed().isEmpty())
            return {};
        if (auto v = parseNumber(text, m_fmt))
            return *v;
        //: %1 is the text typed, %2 the name of a field (e.g. NetAmount).
        fail(tr("'%1' is not a valid floating point value for field '%2'").arg(text, f.name));
    }
    case FieldKind::Integer: {
        if (text.trimmed().isEmpty())
            return {};
        static const QRegularExpression re(QStringLiteral("^\\s*[+-]?\\d{1,18}\\s*$"));
        if (re.match(text).hasMatch())
            return text.trimmed().toLongLong();
        //: %1 is the text typed, %2 the name of a field (e.g. NumberOfLicenses).
        fail(tr("'%1' is not a valid integer value for field '%2'").arg(text, f.name));
    }
    case FieldKind::Date: {
        if (text.trimmed().isEmpty())
            return {};
        if (auto d = parseDate(text, m_fmt, currentDate()))
            return formatIsoDate(*d);
        fail(tr("'%1' is not a valid date").arg(text));
    }
    }
    return text;
}

QString DataSet::fieldText(const QString& name) const
{
    checkActive();
    const int i = fieldIndex(name);
    if (i < 0)
        fail(tr("Field '%1' not found").arg(name));
    return i < m_buffer.size() ? textOf(m_fields.at(i), m_buffer.at(i)) : QString();
}

QVariant DataSet::fieldValue(const QString& name) const
{
    checkActive();
    const int i = fieldIndex(name);
    if (i < 0)
        fail(tr("Field '%1' not found").arg(name));
    return i < m_buffer.size() ? m_buffer.at(i) : QVariant();
}

void DataSet::setFieldText(const QString& name, const QString& text)
{
    checkActive();
    const int i = fieldIndex(name);
    if (i < 0)
        fail(tr("Field '%1' not found").arg(name));
    if (!isEditing())
        fail(tr("Dataset not in edit or insert mode"));
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
    invalidate(!reset);
    if (!reset)
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
        fail(tr("Cannot perform this operation on an empty dataset"));
    if (m_state == DataSetState::Edit)
        cancel();
    const int index = m_index;
    std::optional<Row> neighbour = fetchNext(m_current);
    const bool wasLast = !neighbour;
    if (!neighbour)
        neighbour = fetchPrior(m_current);
    doDelete(m_current);
    invalidate();
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
    invalidate();
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

} // namespace kestrova
