#pragma once

#include "data/dataset.h"

#include <QObject>

namespace kestrova {

// The three searches of the order page. A search closes the order table and
// connects the page's data source to its query; ending it brings the whole
// table back. Each search button has an active flag, a hint telling what the
// next press does, and is disabled while another search is shown.
class OrderSearches : public QObject {
    Q_OBJECT
public:
    enum Search { Person, Unpaid, Sql, Count };

    struct Button {
        bool active = false;
        bool enabled = true;
        QString hint;
    };

    OrderSearches(DataSource* sale, Table* tsale, Query* person, Query* unpaid, Query* sql, QObject* parent = nullptr);

    const Button& button(Search s) const { return m_buttons[s]; }
    Query* query(Search s) const { return m_queries[s]; }
    // The search being shown, or Count when the whole table is.
    Search shown() const;

    // Watches the queries of the three searches while they run: the user can
    // stop one that takes long (none: the queries run to their end).
    void setProgress(QueryProgress* progress);
    QueryProgress* progress() const { return m_progress; }

    // Show the orders of one person, the unpaid orders, or the result of an
    // SQL text (one SELECT that only reads). A search already shown is ended
    // first. When the query fails, is cancelled or runs out of memory, the
    // order table comes back and the failure is thrown.
    void findPerson(const QString& person);
    void findUnpaid();
    void findBySql(const QString& text);
    // End the shown search: the first order of the table becomes current.
    void end(Search s);

Q_SIGNALS:
    void changed();

private:
    void show(Search s);
    QString inactiveHint(Search s) const;

    DataSource* m_sale;
    Table* m_tsale;
    Query* m_queries[Count];
    Button m_buttons[Count];
    bool m_unpaidUsed = false;
    QueryProgress* m_progress = nullptr;
};

} // namespace kestrova
