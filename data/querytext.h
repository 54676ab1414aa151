#pragma once

// What the data layer reads from the text of a query, in one place: the
// rewriting of table file names and named parameters, whether a typed text
// starts as a SELECT, whether its result can be edited, and how a column
// that sums a field is named.

#include <QString>
#include <QStringList>

namespace kestrova {

struct QueryText {
    // The text the engine runs: table file names "Xsale.db" become "Xsale"
    // and ":name" parameters become positional. Literals, quoted names and
    // comments are copied as they stand.
    QString sql;
    QStringList params; // parameter names in order of appearance
    QStringList tables; // known tables the text names

    static QueryText parse(const QString& text);

    // The first word of a text, comments passed over, is SELECT or WITH.
    static bool startsAsSelect(const QString& sql);
    // "Select * from <one known table> [where ...] [order by ...]": the
    // table's name as the schema spells it; empty for any other text.
    static QString editableTable(const QString& sql);
    // The same text selecting the rowids of its rows instead of "*".
    static QString rowidSelect(const QString& sql);
    // "sum(Field)" as a result column's name: Field; empty for other names.
    static QString summedField(const QString& columnName);
};

} // namespace kestrova
