#include "data/queryrun.h"

#include "data/error.h"
#include "data/queryprogress.h"

#include <algorithm>
#include <climits>
#include <new>

namespace kestrova {

namespace {

// Engine steps between two calls of the progress.
constexpr int kStepsPerCall = 1000;

// Pragmas that only tell something, whatever their argument names.
bool isInformativePragma(const QString& name)
{
    static const QStringList names = {
        QStringLiteral("table_info"),       QStringLiteral("table_xinfo"),   QStringLiteral("table_list"),
        QStringLiteral("index_list"),       QStringLiteral("index_info"),    QStringLiteral("index_xinfo"),
        QStringLiteral("foreign_key_list"), QStringLiteral("database_list"), QStringLiteral("collation_list"),
        QStringLiteral("function_list"),    QStringLiteral("module_list"),   QStringLiteral("pragma_list"),
        QStringLiteral("compile_options"),
    };
    return names.contains(name, Qt::CaseInsensitive);
}

// Pragmas that read a setting when given no value (and set it when given one).
bool isSettingPragma(const QString& name)
{
    static const QStringList names = {
        QStringLiteral("application_id"), QStringLiteral("auto_vacuum"),    QStringLiteral("encoding"),
        QStringLiteral("freelist_count"), QStringLiteral("journal_mode"),   QStringLiteral("page_count"),
        QStringLiteral("page_size"),      QStringLiteral("schema_version"), QStringLiteral("user_version"),
        QStringLiteral("data_version"),
    };
    return names.contains(name, Qt::CaseInsensitive);
}

// Functions that reach into the engine: loading code, registering
// tokenizers by address, handing out internal pointers.
bool isEngineFunction(const QString& name)
{
    static const QStringList names = {
        QStringLiteral("load_extension"),
        QStringLiteral("fts3_tokenizer"),
        QStringLiteral("fts5"),
    };
    return names.contains(name, Qt::CaseInsensitive);
}

bool isSchemaTable(const QString& name)
{
    return name.compare(QLatin1String("sqlite_master"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("sqlite_temp_master"), Qt::CaseInsensitive) == 0;
}

QString text(const char* s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

void limitQueryConnection(sqlite3* db)
{
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    // No text can write the schema table or otherwise corrupt a file.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    // Views and triggers of a file call no function that might do harm.
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
}

// ---------------------------------------------------------------- QueryRun

QueryRun::QueryRun(sqlite3* db, QueryProgress* progress, bool readOnly)
    : m_db(db), m_progress(progress), m_readOnly(readOnly)
{
    if (m_progress) {
        m_progress->started();
        sqlite3_progress_handler(m_db, kStepsPerCall, &QueryRun::onProgress, this);
    }
    if (m_readOnly)
        sqlite3_set_authorizer(m_db, &QueryRun::onAuthorize, this);
}

QueryRun::~QueryRun()
{
    if (m_readOnly)
        sqlite3_set_authorizer(m_db, nullptr, nullptr);
    if (m_progress) {
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
        try {
            m_progress->finished();
        } catch (...) {
            // A progress window that cannot close changes nothing of the run.
        }
    }
}

// Called by the engine, from C: nothing may be thrown through it.
int QueryRun::onProgress(void* self)
{
    auto* run = static_cast<QueryRun*>(self);
    if (!run->m_cancelled && !run->m_thrown) {
        try {
            run->m_cancelled = !run->m_progress->proceed();
        } catch (...) {
            run->m_thrown = std::current_exception();
        }
    }
    return run->m_cancelled || run->m_thrown ? 1 : 0;
}

int QueryRun::onAuthorize(void* self, int action, const char* a, const char* b, const char*, const char*)
{
    auto* run = static_cast<QueryRun*>(self);
    QString refused;
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE: return SQLITE_OK;
    case SQLITE_FUNCTION:
        if (!isEngineFunction(text(b)))
            return SQLITE_OK;
        //: What a read-only query may not do; %1 is the name of an SQL function. Inserted into
        //: "Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...".
        refused = tr("the function %1").arg(text(b));
        break;
    case SQLITE_PRAGMA:
        // Also reached by pragma_... table-valued functions while they run.
        if (isInformativePragma(text(a)) || (isSettingPragma(text(a)) && !b))
            return SQLITE_OK;
        refused = b ? QStringLiteral("PRAGMA %1 = %2").arg(text(a), text(b)) : QStringLiteral("PRAGMA %1").arg(text(a));
        break;
    case SQLITE_UPDATE:
        // Asked by the engine itself when it connects a pragma_... function;
        // the schema table cannot be written from a query in defensive mode.
        if (isSchemaTable(text(a)))
            return SQLITE_OK;
        //: What a read-only query may not do; %1 is the name of a table. Inserted into
        //: "Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...".
        refused = tr("writing to %1").arg(text(a));
        break;
    case SQLITE_INSERT:
    case SQLITE_DELETE: refused = tr("writing to %1").arg(text(a)); break;
    case SQLITE_ATTACH: refused = QStringLiteral("ATTACH"); break;
    case SQLITE_DETACH: refused = QStringLiteral("DETACH"); break;
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        //: What a read-only query may not do. Inserted into
        //: "Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...".
        refused = tr("a transaction");
        break;
    default:
        // Creating, dropping, altering, analysing, reindexing and anything
        // a later engine adds.
        //: What a read-only query may not do. Inserted into
        //: "Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...".
        refused = tr("changing the database");
        break;
    }
    if (run->m_refused.isEmpty())
        run->m_refused = refused;
    return SQLITE_DENY;
}

void QueryRun::raise(sqlite3*, int rc) const
{
    if (m_thrown) {
        try {
            std::rethrow_exception(m_thrown);
        } catch (const std::bad_alloc&) {
            throw Error(outOfMemoryMessage());
        }
    }
    if (m_cancelled)
        throw Error(tr("The query was cancelled"));
    if (!m_refused.isEmpty())
        //: %1 names what the query tried: "the function ...", "writing to ...", "a transaction",
        //: "changing the database", or an SQL word (ATTACH, PRAGMA ...).
        throw Error(tr("Only one SELECT query can be run here, and it may only read: %1 is "
                       "not allowed; the text was not run and no table was changed")
                        .arg(m_refused));
    if ((rc & 0xff) == SQLITE_NOMEM)
        throw Error(outOfMemoryMessage());
}

// ---------------------------------------------------------------- ResultPages

ResultPages::ResultPages(sqlite3* db, const QString& sql, const QVariantList& binds, QueryProgress* progress,
                         bool readOnly)
    : m_db(db), m_sql(sql), m_binds(binds), m_progress(progress), m_readOnly(readOnly)
{
}

void ResultPages::scan()
{
    m_page.clear();
    m_pageStart = 0;
    run(0, kPage, 1, true, m_progress);
}

void ResultPages::run(int first, int n, int mustEnd, bool counting, QueryProgress* progress)
{
    QueryRun guard(m_db, progress, m_readOnly);
    SqlStatement st(m_db, m_sql, &guard);
    st.bind(m_binds);
    sqlite3_stmt* stmt = st.get();
    const int columns = st.columnCount();
    if (counting) {
        m_names.clear();
        m_declared.clear();
        for (int c = 0; c < columns; ++c) {
            m_names << text(sqlite3_column_name(stmt, c));
            m_declared << text(sqlite3_column_decltype(stmt, c));
        }
        m_firstTypes.assign(size_t(columns), SQLITE_NULL);
    }
    int undecided = columns;
    qint64 bytes = 0;
    int index = 0;
    std::vector<QVector<QVariant>> kept;
    while (st.step()) {
        const bool inPage = index >= first && index - first < n && (index < mustEnd || bytes < kPageBytes);
        if (inPage) {
            QVector<QVariant> values;
            values.reserve(columns);
            for (int c = 0; c < columns; ++c) {
                values << st.value(c);
                bytes += sqlite3_column_bytes(stmt, c) + 16;
            }
            kept.push_back(std::move(values));
        } else if (!counting && index >= first)
            break;
        if (counting && undecided > 0) {
            for (int c = 0; c < columns; ++c) {
                if (m_firstTypes[size_t(c)] != SQLITE_NULL)
                    continue;
                const int type = sqlite3_column_type(stmt, c);
                if (type != SQLITE_NULL) {
                    m_firstTypes[size_t(c)] = type;
                    --undecided;
                }
            }
        }
        if (index == INT_MAX)
            throw Error(QCoreApplication::translate("QueryRun", "The result has too many rows"));
        ++index;
    }
    if (counting)
        m_count = index;
    m_page = std::move(kept);
    m_pageStart = first;
}

std::vector<QVector<QVariant>> ResultPages::rows(int from, int n)
{
    std::vector<QVector<QVariant>> out;
    n = std::min(n, m_count - from);
    if (from < 0 || n <= 0)
        return out;
    const int pageEnd = m_pageStart + int(m_page.size());
    if (from < m_pageStart || from + n > pageEnd) {
        // Read a page around the rows, so that moving either way from them
        // finds the next rows kept. Page reads run without the progress:
        // they happen while windows paint, where no event may be handled,
        // and take no longer than the scan the user has waited for.
        const int start = n >= kPage ? from : std::max(0, from - (kPage - n) / 2);
        run(start, std::max(n, kPage), from + n, false, nullptr);
    }
    for (int i = from; i < from + n && i - m_pageStart < int(m_page.size()); ++i)
        out.push_back(m_page[size_t(i - m_pageStart)]);
    return out;
}

} // namespace kestrova
