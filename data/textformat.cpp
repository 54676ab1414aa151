#include "textformat.h"

#include "error.h"

#include <QRegularExpression>
#include <cmath>

namespace kestrova {

namespace {

// The first character of a date pattern that is neither a letter nor a quote
// nor a blank: the separator between day, month and year.
QChar separatorOf(const QString& pattern)
{
    for (QChar c : pattern) {
        if (!c.isLetter() && c != QLatin1Char('\'') && c != QLatin1Char(' '))
            return c;
    }
    return QLatin1Char('/');
}

} // namespace

LocaleFormat LocaleFormat::fromLocale(const QLocale& locale)
{
    LocaleFormat fmt;
    QString pattern = locale.dateFormat(QLocale::ShortFormat);
    fmt.dateSeparator = separatorOf(pattern);
    // Dates are typed and read as numbers: a short format with month or
    // weekday names (the C locale's "d MMM yyyy") becomes its numeric form in
    // the same order.
    static const QRegularExpression named(QStringLiteral("MMM|ddd|[^dMy'\\s\\p{P}]"));
    static const QRegularExpression allowed(QStringLiteral("^[dMy]+([^dMy\\s]\\s*[dMy]+){2}[^dMy]*$"));
    if (pattern.contains(named) || !allowed.match(pattern).hasMatch()) {
        QString order;
        for (QChar c : pattern) {
            const QChar l = c.toLower();
            if ((l == QLatin1Char('d') || l == QLatin1Char('m') || l == QLatin1Char('y')) && !order.contains(l))
                order += l;
        }
        if (order.size() != 3)
            order = QStringLiteral("mdy");
        QStringList parts;
        for (QChar c : order)
            parts << (c == QLatin1Char('d') ? QStringLiteral("d") : c == QLatin1Char('m') ? QStringLiteral("M") : QStringLiteral("yyyy"));
        pattern = parts.join(fmt.dateSeparator);
    }
    fmt.shortDateFormat = pattern;
    const QString dec = locale.decimalPoint();
    fmt.decimalSeparator = dec.isEmpty() ? QLatin1Char('.') : dec.at(0);
    return fmt;
}

LocaleFormat LocaleFormat::system()
{
    return fromLocale(QLocale::system());
}

QString formatNumber(double value, const LocaleFormat& fmt)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0)
        return QStringLiteral("0");

    // 15 significant digits, rounded once: "d.dddddddddddddde[+-]x".
    const QString sci = QString::number(std::fabs(value), 'e', 14);
    const qsizetype ePos = sci.indexOf(QLatin1Char('e'));
    QString digits = sci.left(ePos);
    digits.remove(QLatin1Char('.'));
    const int exponent = sci.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    QString out;
    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) {
            out = QStringLiteral("0") + fmt.decimalSeparator
                  + QString(-exponent - 1, QLatin1Char('0')) + digits;
        } else if (digits.size() <= exponent + 1) {
            out = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
        } else {
            out = digits.left(exponent + 1) + fmt.decimalSeparator + digits.mid(exponent + 1);
        }
    } else {
        out = digits.left(1);
        if (digits.size() > 1)
            out += fmt.decimalSeparator + digits.mid(1);
        out += QLatin1Char('E') + QString::number(exponent);
    }
    return value < 0 ? QLatin1Char('-') + out : out;
}

std::optional<double> parseNumber(const QString& text, const LocaleFormat& fmt)
{
    const QString sep = QRegularExpression::escape(QString(fmt.decimalSeparator));
    static thread_local QHash<QString, QRegularExpression> cache;
    auto it = cache.find(sep);
    if (it == cache.end()) {
        it = cache.insert(sep, QRegularExpression(QStringLiteral("^\\s*([+-]?(?:\\d+(?:%1\\d*)?|%1\\d+)"
                                                                 "(?:[eE][+-]?\\d+)?)\\s*$")
                                                      .arg(sep)));
    }
    const QRegularExpressionMatch m = it->match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString plain = m.captured(1);
    plain.replace(fmt.decimalSeparator, QLatin1Char('.'));
    bool ok = false;
    const double v = plain.toDouble(&ok); // QString::toDouble uses the C locale
    if (!ok || std::isinf(v))
        return std::nullopt;
    return v;
}

double toNumber(const QString& text, const LocaleFormat& fmt)
{
    if (auto v = parseNumber(text, fmt))
        return *v;
    throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

QString formatDate(const QDate& date, const LocaleFormat& fmt)
{
    if (!date.isValid())
        return {};
    // A two-digit year would not read back into the same century, so the
    // year is always written with all its digits.
    QString pattern = fmt.shortDateFormat;
    static const QRegularExpression shortYear(QStringLiteral("(?<![yY])[yY]{1,2}(?![yY])"));
    pattern.replace(shortYear, QStringLiteral("yyyy"));
    return QLocale::c().toString(date, pattern);
}

std::optional<QDate> parseDate(const QString& text, const LocaleFormat& fmt, const QDate& today)
{
    const QString s = QRegularExpression::escape(QString(fmt.dateSeparator));
    const QRegularExpression re(
        QStringLiteral("^ *(\\d{1,4}) *%1 *(\\d{1,4})(?: *%1 *(\\d{1,4})(?: *%1)?)? *$").arg(s));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;

    enum class Order { MDY, DMY, YMD } order = Order::MDY;
    for (QChar c : fmt.shortDateFormat) {
        const QChar l = c.toLower();
        if (l == QLatin1Char('d')) {
            order = Order::DMY;
            break;
        }
        if (l == QLatin1Char('y')) {
            order = Order::YMD;
            break;
        }
        if (l == QLatin1Char('m'))
            break;
    }

    const int n1 = m.captured(1).toInt();
    const int n2 = m.captured(2).toInt();
    int day = 0, month = 0, year = 0;
    if (!m.hasCaptured(3)) {
        year = today.year();
        if (order == Order::DMY) {
            day = n1;
            month = n2;
        } else {
            month = n1;
            day = n2;
        }
    } else {
        const int n3 = m.captured(3).toInt();
        switch (order) {
        case Order::DMY:
            day = n1, month = n2, year = n3;
            break;
        case Order::YMD:
            year = n1, month = n2, day = n3;
            break;
        case Order::MDY:
            month = n1, day = n2, year = n3;
            break;
        }
        if (year <= 99)
            year += today.year() / 100 * 100;
    }
    if (year < 1 || year > 9999)
        return std::nullopt;
    const QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QDate toDate(const QString& text, const LocaleFormat& fmt, const QDate& today)
{
    if (auto d = parseDate(text, fmt, today))
        return *d;
    throw Error(QStringLiteral("'%1' is not a valid date").arg(text));
}

} // namespace kestrova
