#include "documents/distributordocuments.h"

#include "data/dataset.h"
#include "data/error.h"

namespace kestrova {

namespace {

using F = ExchangeField;

// Walks the distributors of one language in table order with a statement of
// its own: the page's cursor does not move and no more than one row is held
// at a time.
class LanguageWalk {
public:
    LanguageWalk(Table& distributors, const QString& language) : m_walk(open(distributors, language)) {}

    // The next distributor's stored texts, or false after the last.
    bool next(QString (&texts)[6])
    {
        try {
            if (!m_walk.next(m_row))
                return false;
        } catch (const Error& e) {
            throw Error(DistributorDocuments::tr("Cannot read the distributors: %1").arg(e.message()));
        }
        for (int i = 0; i < 6; ++i)
            texts[i] = m_row.at(i);
        return true;
    }

private:
    static RowWalk open(Table& distributors, const QString& language)
    {
        try {
            return distributors.walk({QStringLiteral("Person"), QStringLiteral("Title"), QStringLiteral("Company"),
                                      QStringLiteral("Address"), QStringLiteral("Fax"), QStringLiteral("Licensee")},
                                     {QStringLiteral("Language")}, {language});
        } catch (const Error& e) {
            throw Error(DistributorDocuments::tr("Cannot read the distributors: %1").arg(e.message()));
        }
    }

    RowWalk m_walk;
    QStringList m_row;
};

} // namespace

ExchangeRecord distributorRecord(const DistributorView& shown, DocumentSender& sender)
{
    ExchangeRecord r;
    r.set(F::Person, shown.text("Person"));
    r.set(F::Title, shown.text("Title"));
    r.set(F::Company, shown.text("Company"));
    r.set(F::Address, crlfLines(shown.text("Address")));
    r.set(F::FaxOrEMail, shown.text("Fax"));
    r.set(F::Politeness, sender.LookupPoliteness(shown.text("Title")));
    r.set(F::Name, ExtractName(shown.text("Person")));
    return r;
}

bool DistributorDocuments::mail(const DistributorView& shown, const QString& product, Kind kind)
{
    // The distributor's own language chooses the settings row.
    const QString language = shown.text("Language");
    if (!m_sender->mayBegin(product, language))
        return false;
    m_sender->writeExchange({distributorRecord(shown, *m_sender)});
    return m_sender->RunFactoryMacro(kind == Envelope ? QStringLiteral("Envelope") : QStringLiteral("Mail"), product,
                                     language);
}

bool DistributorDocuments::mailing(const QString& product, const QString& language)
{
    if (!m_sender->mayBegin(product, language))
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
    streamExchangeTable(*m_sender->tables().exchange, [&](ExchangeRecord& r) {
        if (!walk.next(texts))
            return false;
        const auto [person, title, company, address, fax, licensee] = texts;
        auto known = politeness.constFind(title);
        if (known == politeness.constEnd())
            known = politeness.insert(title, m_sender->LookupPoliteness(title));
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
    return m_sender->RunFactoryMacro(QStringLiteral("Mailing"), product, language);
}

bool DistributorDocuments::labels(const QString& product, const QString& language)
{
    if (!m_sender->mayBegin(product, language))
        return false;
    return m_sender->RunFactoryMacro(QStringLiteral("Labels"), product, language);
}

} // namespace kestrova
