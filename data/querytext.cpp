#include "data/querytext.h"

#include "data/schema.h"

#include <QRegularExpression>

namespace kestrova {

QueryText QueryText::parse(const QString& text)
{
    QueryText p;
    QString& out = p.sql;
    out.reserve(text.size());
    const qsizetype n = text.size();
    auto isIdentStart = [](QChar c) { return c.isLetter() || c == QLatin1Char('_'); };
    auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            // Literal or quoted identifier: copied as it stands.
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            qsizetype j = i + 1;
            while (j < n) {
                if (text.at(j) == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && text.at(j + 1) == close) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += text.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && text.at(i + 1) == QLatin1Char('-')) {
            qsizetype j = text.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            out += text.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && text.at(i + 1) == QLatin1Char('*')) {
            qsizetype j = text.indexOf(QStringLiteral("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out += text.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentStart(text.at(i + 1)) &&
                   (i == 0 || text.at(i - 1) != QLatin1Char(':'))) {
            qsizetype j = i + 1;
            while (j < n && isIdent(text.at(j)))
                ++j;
            p.params << text.mid(i + 1, j - i - 1);
            out += QLatin1Char('?');
            i = j;
        } else if (isIdentStart(c)) {
            qsizetype j = i;
            while (j < n && isIdent(text.at(j)))
                ++j;
            const QString word = text.mid(i, j - i);
            out += word;
            i = j;
            if (const TableDef* t = schemaTable(word)) {
                if (!p.tables.contains(t->name))
                    p.tables << t->name;
                if (i + 2 < n && text.at(i) == QLatin1Char('.') &&
                    text.mid(i + 1, 2).compare(QLatin1String("db"), Qt::CaseInsensitive) == 0 &&
                    (i + 3 >= n || !isIdent(text.at(i + 3))))
                    i += 3; // "Xsale.db" names the table Xsale
            }
        } else if (c.isDigit()) {
            qsizetype j = i;
            while (j < n && (isIdent(text.at(j)) || text.at(j) == QLatin1Char('.')))
                ++j;
            out += text.mid(i, j - i);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return p;
}

bool QueryText::startsAsSelect(const QString& sql)
{
    static const QRegularExpression lead(QStringLiteral("^(\\s|--[^\\n]*(\\n|$)|/\\*[\\s\\S]*?\\*/)*(\\w+)"));
    const auto m = lead.match(sql);
    const QString keyword = m.hasMatch() ? m.captured(3).toLower() : QString();
    return keyword == QLatin1String("select") || keyword == QLatin1String("with");
}

QString QueryText::editableTable(const QString& sql)
{
    static const QRegularExpression single(QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+\"?([A-Za-z_][A-Za-z0-9_]*)\"?"
                                                          "(\\s+(where|order\\s+by)\\b[\\s\\S]*?)?\\s*;?\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression literals(QStringLiteral("'(?:[^']|'')*'"));
    static const QRegularExpression compound(
        QStringLiteral("\\b(join|group|union|intersect|except|having|limit|offset)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = single.match(sql);
    if (!m.hasMatch())
        return {};
    const TableDef* t = schemaTable(m.captured(1));
    if (!t || QString(m.captured(2)).replace(literals, QString()).contains(compound))
        return {};
    return t->name;
}

QString QueryText::rowidSelect(const QString& sql)
{
    static const QRegularExpression star(QStringLiteral("^\\s*select\\s+\\*"),
                                         QRegularExpression::CaseInsensitiveOption);
    return QString(sql).replace(star, QStringLiteral("SELECT rowid"));
}

QString QueryText::summedField(const QString& columnName)
{
    static const QRegularExpression sum(QStringLiteral("^\\s*sum\\s*\\(\\s*\"?([A-Za-z_]\\w*)\"?\\s*\\)\\s*$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = sum.match(columnName);
    return m.hasMatch() ? m.captured(1) : QString();
}

} // namespace kestrova
