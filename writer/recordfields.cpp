#include "writer/recordfields.h"

#include "data/companyfields.h"
#include "writer/writererror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <sqlite3.h>

namespace kestrova::writer {

namespace {

const QString kDueDate = QStringLiteral("DueDate");
constexpr int kBusyTimeoutMs = 10000;

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct Finalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

} // namespace

RecordFields::RecordFields(const QStringList& exchangeFields, const QHash<QString, QString>& settings,
                           const LocaleFormat& fmt, const QDate& today)
    : m_names(exchangeFields), m_fmt(fmt), m_today(today)
{
    for (const QString& name : companySettingNames()) {
        m_names << name;
        m_settingValues << settings.value(name);
    }
    m_names << kDueDate;
    m_dateField = exchangeFields.indexOf(QStringLiteral("Date"));
    bool ok = false;
    const int days = settings.value(company::PaymentDays).trimmed().toInt(&ok);
    if (ok && days >= 0)
        m_paymentDays = days;
}

QStringList RecordFields::values(const QStringList& record) const
{
    QStringList out = record;
    while (out.size() < m_names.size() - m_settingValues.size() - 1)
        out << QString();
    out << m_settingValues;
    QString due;
    if (m_dateField >= 0 && m_paymentDays >= 0) {
        if (const auto date = parseDate(record.value(m_dateField), m_fmt, m_today))
            due = formatDate(date->addDays(m_paymentDays), m_fmt);
    }
    out << due;
    return out;
}

QHash<QString, QString> readCompanySettings(const QString& workDir)
{
    const QString path = QDir(workDir).absoluteFilePath(QStringLiteral("Xtable.db"));
    QHash<QString, QString> out;
    if (!QFileInfo::exists(path))
        return out;
    const auto fail = [&](sqlite3* db) {
        throw WriterError(
            WriterError::Settings,
            QCoreApplication::translate("writer::RecordFields", "The settings table \"%1\" cannot be read: %2")
                .arg(path, db ? QString::fromUtf8(sqlite3_errmsg(db))
                              : QCoreApplication::translate("writer::RecordFields", "out of memory")));
    };
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, Closer> db(raw);
    if (rc != SQLITE_OK)
        fail(raw);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(raw, "SELECT Name, Value FROM Xtable", -1, &statement, nullptr) != SQLITE_OK)
        fail(raw);
    const std::unique_ptr<sqlite3_stmt, Finalizer> select(statement);
    const QStringList& wanted = companySettingNames();
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto text = [&](int column) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                     sqlite3_column_bytes(statement, column));
        };
        const QString name = text(0);
        // Only the company's settings: the password and the others are no
        // business of a document.
        if (wanted.contains(name))
            out.insert(name, text(1));
    }
    if (step != SQLITE_DONE)
        fail(raw);
    return out;
}

} // namespace kestrova::writer
