#pragma once

#include "data/dataset.h"

#include <QDate>
#include <memory>

namespace kestrova {

// The five sums of the accounting board over the order table, for a period
// whose ends are typed as text.
class AccountingBoard {
public:
    enum Sum { SalesWithTaxes, SalesWithoutTaxes, IndirectSales, TotalSales, GrandTotal, Count };

    AccountingBoard(const QString& workDir, const LocaleFormat& fmt, QObject* parent = nullptr);

    Query* query(Sum s) const { return m_queries[s]; }
    static QString queryName(Sum s);

    // Reads both texts by the date-text rule, the first before the last,
    // into the parameters of the four period queries. Throws "'%s' is not a
    // valid date" for the first text that is not a date.
    void setPeriod(const QString& initialDate, const QString& finalDate, const QDate& today);
    // Runs the five queries, in order; closes them.
    void open();
    void close();

private:
    LocaleFormat m_fmt;
    Query* m_queries[Count];
};

} // namespace kestrova
