#include "orders/ordersearches.h"

#include "data/error.h"
#include "data/queryprogress.h"

namespace kestrova {

OrderSearches::OrderSearches(DataSource* sale, Table* tsale, Query* person, Query* unpaid, Query* sql, QObject* parent)
    : QObject(parent), m_sale(sale), m_tsale(tsale), m_queries{person, unpaid, sql}
{
    sql->setSelectOnly(true);
    for (int s = 0; s < Count; ++s)
        m_buttons[s].hint = inactiveHint(Search(s));
}

QString OrderSearches::inactiveHint(Search s) const
{
    switch (s) {
    case Person: return tr("Find a person");
    case Unpaid:
        // "unpayed" and "payed" are the program's documented hints: keep them.
        return m_unpaidUsed ? tr("Select unpayed orders") : tr("Orders not payed");
    case Sql: return tr("SQL search");
    case Count: break;
    }
    return {};
}

void OrderSearches::setProgress(QueryProgress* progress)
{
    m_progress = progress;
    for (Query* q : m_queries)
        q->setProgress(progress);
}

OrderSearches::Search OrderSearches::shown() const
{
    for (int s = 0; s < Count; ++s)
        if (m_buttons[s].active)
            return Search(s);
    return Count;
}

void OrderSearches::show(Search s)
{
    const Search current = shown();
    if (current != Count)
        end(current);
    Query* q = m_queries[s];
    m_tsale->close();
    m_sale->setDataSet(q);
    try {
        q->open();
    } catch (...) {
        // The page never stays empty: the whole table comes back at once,
        // whatever stopped the query (its text, the user, the memory).
        q->close();
        m_sale->setDataSet(m_tsale);
        m_tsale->open();
        Q_EMIT changed();
        throw;
    }
    m_buttons[s].active = true;
    m_buttons[s].hint = tr("Select all data again");
    for (int o = 0; o < Count; ++o)
        if (o != s)
            m_buttons[o].enabled = false;
    Q_EMIT changed();
}

void OrderSearches::end(Search s)
{
    m_queries[s]->close();
    m_sale->setDataSet(m_tsale);
    m_tsale->open();
    m_tsale->first();
    if (s == Unpaid)
        m_unpaidUsed = true;
    m_buttons[s].active = false;
    m_buttons[s].hint = inactiveHint(s);
    for (int o = 0; o < Count; ++o)
        m_buttons[o].enabled = true;
    Q_EMIT changed();
}

void OrderSearches::findPerson(const QString& person)
{
    m_queries[Person]->setParamText(QStringLiteral("Personne"), person);
    show(Person);
}

void OrderSearches::findUnpaid()
{
    show(Unpaid);
}

void OrderSearches::findBySql(const QString& text)
{
    m_queries[Sql]->setSql(text.split(QLatin1Char('\n')));
    show(Sql);
}

} // namespace kestrova
