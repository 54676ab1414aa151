#include "migrate/migration.h"

#include "migrate/codepage.h"
#include "data/error.h"
#include "migrate/memofile.h"
#include "migrate/paradoxtable.h"
#include "data/schema.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

using namespace paradox;

namespace {

// Notes kept per table; a table with more long values gets one line for the rest.
constexpr int notesPerTable = 200;
// Julian day of the day before 1 January of year 1: Paradox counts dates from there.
constexpr qint64 paradoxDayZero = 1721425;

// A new table file, written in one transaction; closed (and checked) by
// finish(), and closed unchecked when anything fails before, the
// constructor included.
class TableWriter {
public:
    TableWriter(const QString& path, const TableDef& def) : m_path(path), m_db(open(path))
    {
        const QStringList create = createStatements(def);
        m_indexes = create.mid(1);
        written([&] {
            // The file is new and discarded on failure: it needs no rollback journal.
            m_db.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
            m_db.exec(create.first());
            m_transaction.emplace(m_db.handle());
            QStringList names;
            for (const FieldDef& f : def.fields)
                names << quoted(f.name);
            m_insert.emplace(m_db.handle(),
                             QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                                 .arg(quoted(def.name), names.join(QLatin1Char(',')), placeholders(def.fields.size())));
        });
    }

    SqlStatement& insert() { return *m_insert; }
    SqlConnection& connection() { return m_db; }

    // Stores the bound row; returns false with the reason when SQLite refuses it.
    bool step(QString* problem)
    {
        try {
            StatementRun run(*m_insert);
            m_insert->run();
            return true;
        } catch (const Error& e) {
            *problem = e.message();
            return false;
        }
    }

    void finish()
    {
        written([&] {
            for (const QString& sql : m_indexes)
                m_db.exec(sql);
            m_transaction->commit();
            m_insert.reset();
            m_transaction.reset();
            m_db.close();
        });
    }

private:
    static SqlConnection open(const QString& path)
    {
        try {
            return SqlConnection(path);
        } catch (const Error& e) {
            throw Error(
                QCoreApplication::translate("migrate::Migration", "Cannot create %1: %2").arg(path, e.message()));
        }
    }
    template <typename Work> void written(Work&& work)
    {
        try {
            work();
        } catch (const Error& e) {
            throw Error(
                QCoreApplication::translate("migrate::Migration", "Cannot write %1: %2").arg(m_path, e.message()));
        }
    }

    QString m_path;
    // Declared in the order they are made: the statement goes first, then
    // the transaction (rolled back), then the connection.
    SqlConnection m_db;
    std::optional<Transaction> m_transaction;
    std::optional<SqlStatement> m_insert;
    QStringList m_indexes;
};

bool isMemoType(int type)
{
    return type == Memo || type == FormattedMemo || type == Blob || type == Ole || type == Graphic;
}

bool typeFits(FieldKind kind, int type)
{
    switch (kind) {
    case FieldKind::Text: return type == Alpha || type == Memo;
    case FieldKind::Number:
    case FieldKind::Integer:
        return type == Number || type == Currency || type == Short || type == Long || type == AutoIncrement;
    case FieldKind::Date: return type == Date;
    }
    return false;
}

QString kindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text:
        //: What Kestrova expects of a field, used in "...where Kestrova expects %4".
        return QCoreApplication::translate("migrate::Migration", "a text (alpha or memo)");
    case FieldKind::Number:
        //: What Kestrova expects of a field, used in "...where Kestrova expects %4".
        return QCoreApplication::translate("migrate::Migration", "a number");
    case FieldKind::Integer:
        //: What Kestrova expects of a field, used in "...where Kestrova expects %4".
        return QCoreApplication::translate("migrate::Migration", "a whole number");
    case FieldKind::Date:
        //: What Kestrova expects of a field, used in "...where Kestrova expects %4".
        return QCoreApplication::translate("migrate::Migration", "a date");
    }
    return {};
}

// Replaces CR LF by LF: memos written on other systems end their lines with
// both, Kestrova's multi-line boxes with LF alone.
void joinLineBreaks(std::string& s)
{
    if (s.find('\r') == std::string::npos)
        return;
    size_t out = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
            continue;
        s[out++] = s[i];
    }
    s.resize(out);
}

qsizetype utf8Characters(const std::string& s)
{
    qsizetype n = 0;
    for (char c : s)
        n += (uchar(c) & 0xC0) != 0x80;
    return n;
}

struct FieldMap {
    const FieldDef* def;
    const ParadoxField* source;
    std::string text; // the converted text, bound without a copy
};

class TableConverter {
public:
    TableConverter(const TableDef& def, ParadoxTable& table, const MemoFile* memos, MigrationReport& report)
        : m_def(def), m_table(table), m_memos(memos), m_report(report), m_name(QFileInfo(table.path()).fileName())
    {
        for (const FieldDef& f : def.fields) {
            const ParadoxField* pf = table.field(f.name);
            if (!pf)
                throw Error(
                    QCoreApplication::translate("migrate::Migration", "%1 has no field %2").arg(m_name, f.name));
            if (!typeFits(f.kind, pf->type))
                //: %1 is a Paradox table's file, %2 a field's name, %3 a Paradox field type (alpha, memo,
                //: ...), %4 what Kestrova expects (a number, a date, ...).
                throw Error(QCoreApplication::translate("migrate::Migration",
                                                        "%1: the field %2 is of the Paradox type %3, where Kestrova "
                                                        "expects %4")
                                .arg(m_name, pf->name, fieldTypeName(pf->type), kindName(f.kind)));
            m_fields.push_back({&f, pf, {}});
        }
        for (const ParadoxField& pf : table.fields())
            if (!def.field(pf.name))
                note(QCoreApplication::translate("migrate::Migration",
                                                 "%1: the field %2 has no place in Kestrova's table %3 and was not "
                                                 "converted")
                         .arg(m_name, pf.name, def.name));
        int codePage = table.codePage();
        if (codePage == 0) {
            codePage = 437;
            note(QCoreApplication::translate("migrate::Migration",
                                             "%1 names no code page; its texts were read as code page 437")
                     .arg(m_name));
        }
        m_decoder = std::make_unique<CodePageDecoder>(codePage);
    }

    TableMigration convert(const QString& target)
    {
        TableWriter writer(target, m_def);
        std::vector<char> record(size_t(m_table.recordSize()));
        const int count = m_table.recordCount();
        qint64 written = 0;
        for (int recno = 0; recno < count; ++recno) {
            m_table.read(recno, record.data());
            size_t i = 0;
            try {
                for (; i < m_fields.size(); ++i)
                    bind(writer.insert(), int(i), m_fields[i], record.data(), recno);
            } catch (const Error& e) {
                //: %1 is a Paradox table's file, %2 a record number, %3 a field's name, %4 what is wrong.
                throw Error(QCoreApplication::translate("migrate::Migration", "%1, record %2, field %3: %4")
                                .arg(m_name)
                                .arg(recno + 1)
                                .arg(m_fields[i].source->name, e.message()));
            }
            QString problem;
            if (!writer.step(&problem))
                throw Error(QCoreApplication::translate("migrate::Migration", "%1, record %2 cannot be stored: %3")
                                .arg(m_name)
                                .arg(recno + 1)
                                .arg(problem));
            ++written;
        }
        if (m_def.name == QLatin1String("Xtable"))
            written += addMissingSettings(writer);
        writer.finish();
        if (m_longValues > notesPerTable)
            m_report.notes << QCoreApplication::translate("migrate::Migration",
                                                          "%1: %2 more values longer than their field were kept whole")
                                  .arg(m_name)
                                  .arg(m_longValues - notesPerTable);
        return {m_def.name, count, written};
    }

private:
    void note(const QString& text) { m_report.notes << text; }

    // Binds one field's value to the 0-based column of the insert.
    void bind(SqlStatement& st, int column, FieldMap& m, const char* record, int recno)
    {
        const ParadoxField& pf = *m.source;
        const char* raw = record + pf.offset;
        switch (m.def->kind) {
        case FieldKind::Text: {
            m.text.clear();
            qsizetype chars = 0;
            if (pf.type == Alpha) {
                const void* end = std::memchr(raw, 0, size_t(pf.length));
                const qsizetype n = end ? static_cast<const char*>(end) - raw : pf.length;
                chars = m_decoder->append(raw, n, m.text);
            } else {
                const QByteArrayView memo =
                    m_memos ? m_memos->memo(raw, pf.length) : MemoFile::memoInRecord(raw, pf.length);
                m_decoder->append(memo.data(), memo.size(), m.text);
                joinLineBreaks(m.text);
                chars = utf8Characters(m.text);
            }
            if (chars > m.def->length)
                longValue(recno, pf.name, chars, m.def->length);
            st.bindUtf8(column, QByteArrayView(m.text.data(), qsizetype(m.text.size())));
            return;
        }
        case FieldKind::Number:
        case FieldKind::Integer: {
            if (isEmptyValue(raw, pf.length)) {
                st.bindNull(column);
                return;
            }
            if (pf.type == Short || pf.type == Long || pf.type == AutoIncrement) {
                const qint64 v = pf.type == Short ? decodeShort(raw) : decodeLong(raw);
                if (m.def->kind == FieldKind::Integer)
                    st.bindInteger(column, v);
                else
                    st.bindDouble(column, double(v));
                return;
            }
            const double v = decodeNumber(raw);
            if (m.def->kind == FieldKind::Integer) {
                if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 9.0e15) {
                    st.bindInteger(column, qint64(v));
                    return;
                }
                if (m_longValues++ < notesPerTable)
                    note(QCoreApplication::translate("migrate::Migration",
                                                     "%1, record %2: %3 holds %4, not a whole number; kept as it is")
                             .arg(m_name)
                             .arg(recno + 1)
                             .arg(pf.name)
                             .arg(v, 0, 'g', 15));
            }
            st.bindDouble(column, v);
            return;
        }
        case FieldKind::Date: {
            if (isEmptyValue(raw, pf.length)) {
                st.bindNull(column);
                return;
            }
            const qint64 days = decodeLong(raw);
            const QDate d = QDate::fromJulianDay(days + paradoxDayZero);
            if (days < 1 || !d.isValid() || d.year() > 9999)
                throw Error(QCoreApplication::translate("migrate::Migration",
                                                        "the date value %1 is no day of the years 1 to 9999")
                                .arg(days));
            char iso[16];
            const int n = std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", d.year(), d.month(), d.day());
            m.text.assign(iso, size_t(n));
            st.bindUtf8(column, QByteArrayView(m.text.data(), qsizetype(m.text.size())));
            return;
        }
        }
    }

    void longValue(int recno, const QString& field, qsizetype chars, int length)
    {
        if (m_longValues++ < notesPerTable)
            note(QCoreApplication::translate("migrate::Migration",
                                             "%1, record %2: %3 has %4 characters, more than the %5 of Kestrova's "
                                             "field; kept whole")
                     .arg(m_name)
                     .arg(recno + 1)
                     .arg(field)
                     .arg(chars)
                     .arg(length));
    }

    // Kestrova reads every settings row by name: rows the old table lacks
    // are added with empty values.
    qint64 addMissingSettings(TableWriter& writer)
    {
        qint64 added = 0;
        try {
            SqlStatement st(writer.connection().handle(),
                            QStringLiteral("INSERT OR IGNORE INTO Xtable (Name, Value) VALUES (?, '')"));
            for (const QString& name : settingNames()) {
                StatementRun run(st);
                st.bind(0, name);
                st.run();
                if (st.changes() == 1) {
                    ++added;
                    note(QCoreApplication::translate("migrate::Migration",
                                                     "%1 had no settings row %2; it was added with an empty value")
                             .arg(m_name, name));
                }
            }
        } catch (const Error& e) {
            throw Error(QCoreApplication::translate("migrate::Migration", "Cannot write Xtable: %1").arg(e.message()));
        }
        return added;
    }

    const TableDef& m_def;
    ParadoxTable& m_table;
    const MemoFile* m_memos;
    MigrationReport& m_report;
    QString m_name;
    std::vector<FieldMap> m_fields;
    std::unique_ptr<CodePageDecoder> m_decoder;
    int m_longValues = 0;
};

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// In a temporary folder of kestrova-tables migrate: every table in it is
// whole and on disk, and they are about to move into the target folder.
const QString completeMark = QStringLiteral(".complete");

// A run that was stopped left its temporary folder. Before its tables were
// all written nothing of it had moved; after (the folder holds the mark),
// the tables missing from it had moved into the target folder: they go
// again, copies as they are of a source that stays untouched, so that the
// target is as it was before that run.
void removeStoppedRuns(const QString& dir, const QString& prefix, bool intoTarget)
{
    const QStringList names = QDir(dir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!name.startsWith(prefix) || name.size() != prefix.size() + 6)
            continue;
        const QDir staging(QDir(dir).filePath(name));
        for (const TableDef& t : schemaTables()) {
            const QString moved = QDir(dir).filePath(t.fileName());
            if (intoTarget && staging.exists(completeMark) && !staging.exists(t.fileName()) &&
                QFileInfo::exists(moved) && !QFile::remove(moved))
                throw Error(QCoreApplication::translate("migrate::Migration",
                                                        "Cannot remove %1, left by a run that was stopped")
                                .arg(QDir::toNativeSeparators(moved)));
        }
        if (!QDir(staging).removeRecursively())
            throw Error(QCoreApplication::translate("migrate::Migration",
                                                    "Cannot remove the temporary folder %1 of a run that was stopped")
                            .arg(QDir::toNativeSeparators(staging.path())));
    }
}

} // namespace

QString findTableFile(const QString& dir, const QString& table, const QString& extension)
{
    const QString wanted = table + QLatin1Char('.') + extension;
    const QString exact = QDir(dir).filePath(wanted);
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList files = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : files)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return QDir(dir).filePath(name);
    return {};
}

MigrationReport convertParadoxTables(const QString& sourceDir, const QString& stagingDir)
{
    QStringList missing;
    for (const TableDef& t : schemaTables())
        if (findTableFile(sourceDir, t.name, QStringLiteral("db")).isEmpty())
            missing << t.fileName();
    if (!missing.isEmpty())
        throw Error((missing.size() == 1
                         ? QCoreApplication::translate("migrate::Migration", "The Paradox table %1 is missing in %2")
                         : QCoreApplication::translate("migrate::Migration", "The Paradox tables %1 are missing in %2"))
                        .arg(missing.join(QStringLiteral(", ")), QDir::toNativeSeparators(sourceDir)));
    if (!folderHasNoTables(stagingDir))
        throw Error(QCoreApplication::translate("migrate::Migration", "The folder %1 already holds table files")
                        .arg(QDir::toNativeSeparators(stagingDir)));

    MigrationReport report;
    for (const TableDef& def : schemaTables()) {
        const QString path = findTableFile(sourceDir, def.name, QStringLiteral("db"));
        ParadoxTable table(path);
        std::unique_ptr<MemoFile> memos;
        bool hasMemos = false;
        for (const ParadoxField& f : table.fields())
            hasMemos = hasMemos || (isMemoType(f.type) && def.field(f.name));
        if (hasMemos) {
            const QString mb = findTableFile(sourceDir, QFileInfo(path).completeBaseName(), QStringLiteral("mb"));
            if (mb.isEmpty())
                throw Error(QCoreApplication::translate("migrate::Migration",
                                                        "%1 has memo fields, but its memo file %2.MB is missing")
                                .arg(QFileInfo(path).fileName(), QFileInfo(path).completeBaseName()));
            try {
                memos = std::make_unique<MemoFile>(mb);
            } catch (const Error& e) {
                //: %1 is a Paradox table's file, %2 what is wrong with its memo file.
                throw Error(QCoreApplication::translate("migrate::Migration", "%1: %2")
                                .arg(QFileInfo(path).fileName(), e.message()));
            }
        }
        TableConverter converter(def, table, memos.get(), report);
        report.tables.push_back(converter.convert(QDir(stagingDir).filePath(def.fileName())));
    }
    return report;
}

void moveTableFiles(const QString& fromDir, const QString& toDir)
{
    for (const TableDef& t : schemaTables()) {
        const QString to = QDir(toDir).filePath(t.fileName());
        if (QFileInfo::exists(to))
            throw Error(QCoreApplication::translate("migrate::Migration", "Table file %1 already exists")
                            .arg(QDir::toNativeSeparators(to)));
    }
    std::vector<std::pair<QByteArray, QByteArray>> moved;
    for (const TableDef& t : schemaTables()) {
        const QByteArray from = QFile::encodeName(QDir(fromDir).filePath(t.fileName()));
        const QByteArray to = QFile::encodeName(QDir(toDir).filePath(t.fileName()));
        if (std::rename(from.constData(), to.constData()) != 0) {
            const QString reason = errnoText();
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                std::rename(it->second.constData(), it->first.constData());
            throw Error(QCoreApplication::translate("migrate::Migration", "Cannot move %1 into %2: %3")
                            .arg(t.fileName(), QDir::toNativeSeparators(toDir), reason));
        }
        moved.emplace_back(from, to);
    }
}

void syncToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString reason = errnoText();
        if (fd >= 0)
            ::close(fd);
        throw Error(QCoreApplication::translate("migrate::Migration", "Cannot write %1 to disk: %2")
                        .arg(QDir::toNativeSeparators(path), reason));
    }
    ::close(fd);
}

MigrationReport migrateParadoxTables(const QString& sourceDir, const QString& targetDir)
{
    const QFileInfo target(targetDir);
    if (target.exists() && !target.isDir())
        throw Error(QCoreApplication::translate("migrate::Migration", "%1 is not a folder")
                        .arg(QDir::toNativeSeparators(targetDir)));
    const QString parent = target.absolutePath();
    if (!target.exists() && !QDir().mkpath(parent))
        throw Error(QCoreApplication::translate("migrate::Migration", "Cannot create the folder %1")
                        .arg(QDir::toNativeSeparators(parent)));

    // The set is made in a temporary folder on the same file system, so that
    // it moves into place by renaming.
    const QString stagingDir = target.exists() ? targetDir : parent;
    const QString stagingName = target.exists()
                                    ? QStringLiteral(".kestrova-migrate-")
                                    : QLatin1Char('.') + target.fileName() + QStringLiteral(".kestrova-migrate-");
    removeStoppedRuns(stagingDir, stagingName, target.exists());
    if (target.exists() && !folderHasNoTables(targetDir))
        throw Error(QCoreApplication::translate("migrate::Migration",
                                                "The folder %1 already holds table files; nothing was written")
                        .arg(QDir::toNativeSeparators(targetDir)));
    QTemporaryDir staging(QDir(stagingDir).filePath(stagingName + QStringLiteral("XXXXXX")));
    if (!staging.isValid())
        throw Error(QCoreApplication::translate("migrate::Migration", "Cannot create a temporary folder: %1")
                        .arg(staging.errorString()));
    MigrationReport report = convertParadoxTables(sourceDir, staging.path());
    if (target.exists()) {
        // The tables move one by one: the mark lets a later run tell which
        // had moved when this one was stopped.
        for (const TableDef& t : schemaTables())
            syncToDisk(QDir(staging.path()).filePath(t.fileName()));
        QFile mark(QDir(staging.path()).filePath(completeMark));
        if (!mark.open(QIODevice::WriteOnly))
            throw Error(QCoreApplication::translate("migrate::Migration", "Cannot write %1: %2")
                            .arg(mark.fileName(), mark.errorString()));
        mark.close();
        syncToDisk(staging.path());
        moveTableFiles(staging.path(), targetDir);
        return report;
    }
    // A temporary folder is private to its maker; the set's folder gets the
    // permissions any new folder would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::chmod(QFile::encodeName(staging.path()).constData(), 0777 & ~mask) != 0 ||
        std::rename(QFile::encodeName(staging.path()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        throw Error(QCoreApplication::translate("migrate::Migration", "Cannot move the new tables into %1: %2")
                        .arg(QDir::toNativeSeparators(targetDir), errnoText()));
    staging.setAutoRemove(false);
    return report;
}

} // namespace kestrova
