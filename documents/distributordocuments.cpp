#include "distributordocuments.h"

#include "dataset.h"
#include "error.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace kestrova {

namespace {

using F = ExchangeField;

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Walks the distributors of one language in table order with a statement of
// its own on the table's connection: the page's cursor does not move and no
// more than one row is held at a time.
class LanguageWalk {
public:
    LanguageWalk(Table& distributors, const QString& language)
        : m_db(*static_cast<sqlite3* const*>(distributors.database().driver()->handle().data())), m_language(language)
    {
        QStringList order;
        for (const QString& k : distributors.keyFields())
            order << quoted(k);
        if (order.isEmpty())
            order << QStringLiteral("rowid");
        const QByteArray sql = QStringLiteral("SELECT Person, Title, Company, Address, Fax, Licensee FROM %1 "
                                              "WHERE Language = ?1 COLLATE BINARY ORDER BY %2")
                                   .arg(quoted(distributors.tableName()), order.join(QStringLiteral(", ")))
                                   .toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK ||
            sqlite3_bind_text16(m_stmt, 1, m_language.utf16(), int(m_language.size() * sizeof(char16_t)),
                                SQLITE_STATIC) != SQLITE_OK)
            fail();
    }
    ~LanguageWalk() { sqlite3_finalize(m_stmt); }
    LanguageWalk(const LanguageWalk&) = delete;
    LanguageWalk& operator=(const LanguageWalk&) = delete;

    // The next distributor's stored texts, or false after the last.
    bool next(QString (&texts)[6])
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_DONE)
            return false;
        if (rc != SQLITE_ROW)
            fail();
        for (int i = 0; i < 6; ++i) {
            const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(m_stmt, i));
            texts[i] = text ? QString::fromUtf16(text, sqlite3_column_bytes16(m_stmt, i) / 2) : QString();
        }
        return true;
    }

private:
    [[noreturn]] void fail()
    {
        QString reason = QString::fromUtf8(sqlite3_errmsg(m_db)).trimmed();
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        throw Error(QStringLiteral("Cannot read the distributors: ") + reason);
    }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_language;
};

} // namespace

ExchangeRecord distributorRecord(const DistributorView& shown, DocumentRoad& road)
{
    ExchangeRecord r;
    r.set(F::Person, shown.text("Person"));
    r.set(F::Title, shown.text("Title"));
    r.set(F::Company, shown.text("Company"));
    r.set(F::Address, crlfLines(shown.text("Address")));
    r.set(F::FaxOrEMail, shown.text("Fax"));
    r.set(F::Politeness, road.LookupPoliteness(shown.text("Title")));
    r.set(F::Name, ExtractName(shown.text("Person")));
    return r;
}

bool DistributorDocuments::mail(const DistributorView& shown, const QString& product, int kind)
{
    // The distributor's own language chooses the settings row.
    const QString language = shown.text("Language");
    if (!m_road->mayBegin(product, language))
        return false;
    m_road->writeExchange({distributorRecord(shown, *m_road)});
    return m_road->RunFactoryMacro(kind == Envelope ? QStringLiteral("Envelope") : QStringLiteral("Mail"), product,
                                   language);
}

bool DistributorDocuments::mailing(const QString& product, const QString& language)
{
    if (!m_road->mayBegin(product, language))
        return false;
    Table& table = *m_distributors;
    // The mailing reads stored records: a change being made is saved first,
    // a new record never typed into is dropped.
    const bool droppedNew = table.state() == DataSetState::Insert && !table.isModified();
    table.checkBrowseMode();
    if (droppedNew)
        table.last();

    // One salutation lookup per title, not per distributor.
    QHash<QString, QString> politeness;
    LanguageWalk walk(table, language);
    QString texts[6];
    streamExchangeTable(*m_road->tables().exchange, [&](ExchangeRecord& r) {
        if (!walk.next(texts))
            return false;
        const auto [person, title, company, address, fax, licensee] = texts;
        auto known = politeness.constFind(title);
        if (known == politeness.constEnd())
            known = politeness.insert(title, m_road->LookupPoliteness(title));
        r.set(F::Person, person);
        r.set(F::Title, title);
        r.set(F::Company, company);
        r.set(F::Address, crlfLines(address));
        r.set(F::FaxOrEMail, fax);
        r.set(F::Politeness, *known);
        r.set(F::Name, ExtractName(person));
        r.set(F::Licensee, licensee);
        return true;
    });
    return m_road->RunFactoryMacro(QStringLiteral("Mailing"), product, language);
}

bool DistributorDocuments::labels(const QString& product, const QString& language)
{
    if (!m_road->mayBegin(product, language))
        return false;
    return m_road->RunFactoryMacro(QStringLiteral("Labels"), product, language);
}

} // namespace kestrova
