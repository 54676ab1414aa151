#include "data/sqlstatement.h"

#include "data/error.h"

#include <QCoreApplication>
#include <QSqlDriver>
#include <QStringList>
#include <utility>

namespace kestrova {

sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    // Any other driver's handle would be read as a wrong pointer.
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        throw Error(QCoreApplication::translate("data::SqlStatement", "The connection is not an SQLite database"));
    auto* handle = *static_cast<sqlite3* const*>(h.constData());
    if (!handle)
        throw Error(QCoreApplication::translate("data::SqlStatement", "The connection is not open"));
    return handle;
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString columnList(const QVector<FieldInfo>& fields)
{
    QStringList cols;
    for (const FieldInfo& f : fields)
        cols << quoted(f.name);
    return cols.join(QStringLiteral(", "));
}

QString placeholders(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void StatementGuard::raise(sqlite3*, int) const {}

void StatementGuard::fail(sqlite3* db, int rc) const
{
    raise(db, rc);
    QString msg = QString::fromUtf8(sqlite3_errmsg(db));
    while (msg.endsWith(QLatin1Char('.')))
        msg.chop(1);
    throw Error(msg);
}

namespace {
const StatementGuard kPlainGuard;
}

SqlStatement::SqlStatement(sqlite3* db, const QString& sql, const StatementGuard* guard)
    : m_db(db), m_guard(guard ? guard : &kPlainGuard)
{
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &prepared, &tail);
    m_stmt.reset(prepared); // finalized here too when the prepare failed
    if (rc != SQLITE_OK) {
        m_stmt.reset();
        m_guard->fail(m_db, rc);
    }
    m_rest = QByteArray(tail ? tail : "").trimmed();
    if (m_stmt)
        m_kept.resize(size_t(sqlite3_bind_parameter_count(m_stmt.get())));
}

void SqlStatement::fail(int rc)
{
    // The error is the statement's until it is reset; then the handle's.
    if (m_stmt)
        sqlite3_reset(m_stmt.get());
    m_guard->fail(m_db, rc);
}

QByteArray& SqlStatement::slot(int index)
{
    if (size_t(index) >= m_kept.size())
        m_kept.resize(size_t(index) + 1);
    return m_kept[size_t(index)];
}

// A text is encoded into its parameter's buffer, whose room is reused from
// run to run.
int SqlStatement::bindText(int index, QStringView text)
{
    QByteArray& buffer = slot(index);
    const qsizetype room = m_encoder.requiredSpace(text.size());
    if (buffer.size() < room)
        buffer.resize(room);
    const char* const end = m_encoder.appendToBuffer(buffer.data(), text);
    return sqlite3_bind_text(m_stmt.get(), index + 1, buffer.constData(), int(end - buffer.constData()), SQLITE_STATIC);
}

void SqlStatement::bind(int index, const QVariant& v)
{
    if (!m_stmt)
        return;
    int rc = SQLITE_OK;
    const int i = index + 1;
    if (v.isNull()) {
        rc = v.typeId() == QMetaType::QString ? sqlite3_bind_text(m_stmt.get(), i, "", 0, SQLITE_STATIC)
                                              : sqlite3_bind_null(m_stmt.get(), i);
    } else {
        switch (v.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float: rc = sqlite3_bind_double(m_stmt.get(), i, v.toDouble()); break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Bool: rc = sqlite3_bind_int64(m_stmt.get(), i, v.toLongLong()); break;
        case QMetaType::QByteArray: {
            const QByteArray& b = slot(index) = v.toByteArray();
            rc = sqlite3_bind_blob(m_stmt.get(), i, b.constData(), int(b.size()), SQLITE_STATIC);
            break;
        }
        case QMetaType::QString: rc = bindText(index, *static_cast<const QString*>(v.constData())); break;
        default: rc = bindText(index, v.toString());
        }
    }
    if (rc != SQLITE_OK)
        fail(rc);
}

void SqlStatement::bindUtf8(int index, QByteArrayView text)
{
    if (m_stmt) {
        // Never a null pointer: that would bind NULL instead of ''.
        const int rc = sqlite3_bind_text(m_stmt.get(), index + 1, text.isEmpty() ? "" : text.data(), int(text.size()),
                                         SQLITE_STATIC);
        if (rc != SQLITE_OK)
            fail(rc);
    }
}

void SqlStatement::bindInteger(int index, qint64 value)
{
    if (m_stmt)
        if (const int rc = sqlite3_bind_int64(m_stmt.get(), index + 1, value); rc != SQLITE_OK)
            fail(rc);
}

void SqlStatement::bindDouble(int index, double value)
{
    if (m_stmt)
        if (const int rc = sqlite3_bind_double(m_stmt.get(), index + 1, value); rc != SQLITE_OK)
            fail(rc);
}

void SqlStatement::bindNull(int index)
{
    if (m_stmt)
        if (const int rc = sqlite3_bind_null(m_stmt.get(), index + 1); rc != SQLITE_OK)
            fail(rc);
}

void SqlStatement::bind(const QVariantList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        bind(int(i), values.at(i));
}

int SqlStatement::bindRow(const QVector<QVariant>& values, const QVector<FieldInfo>& fields, int from)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (fields.at(i).kind == FieldKind::Text && values.at(i).isNull())
            bind(from++, QString(QLatin1String("")));
        else
            bind(from++, values.at(i));
    }
    return from;
}

bool SqlStatement::step()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(rc);
}

void SqlStatement::run()
{
    while (step()) {
    }
}

void SqlStatement::reset()
{
    if (!m_stmt)
        return;
    sqlite3_reset(m_stmt.get());
    sqlite3_clear_bindings(m_stmt.get());
}

QVariant SqlStatement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt.get(), column)) {
    case SQLITE_INTEGER: return qlonglong(sqlite3_column_int64(m_stmt.get(), column));
    case SQLITE_FLOAT: return sqlite3_column_double(m_stmt.get(), column);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column)),
                                 sqlite3_column_bytes(m_stmt.get(), column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt.get(), column)),
                          sqlite3_column_bytes(m_stmt.get(), column));
    default: return QVariant();
    }
}

Row SqlStatement::row(int fieldCount) const
{
    Row r;
    r.id = sqlite3_column_int64(m_stmt.get(), 0);
    r.values.reserve(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        r.values << value(i + 1);
    return r;
}

void SqlStatement::exec(sqlite3* db, const QString& sql, const QVariantList& binds)
{
    SqlStatement s(db, sql);
    s.bind(binds);
    s.run();
}

} // namespace kestrova
