#include "data/textformat.h"

#include "data/error.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <charconv>
#include <chrono>
#include <cmath>
#include <string>
#include <string_view>

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
            parts << (c == QLatin1Char('d')   ? QStringLiteral("d")
                      : c == QLatin1Char('m') ? QStringLiteral("M")
                                              : QStringLiteral("yyyy"));
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
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view sci(buffer, size_t(result.ptr - buffer));
    const size_t ePos = sci.find('e');
    std::string digitsText;
    digitsText.reserve(16);
    for (size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.')
            digitsText += sci[i];
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 2, sci.data() + sci.size(), exponent); // after the sign
    if (sci[ePos + 1] == '-')
        exponent = -exponent;
    while (digitsText.size() > 1 && digitsText.back() == '0')
        digitsText.pop_back();
    const QString digits = QString::fromLatin1(digitsText.data(), qsizetype(digitsText.size()));

    QString out;
    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) {
            out = QStringLiteral("0") + fmt.decimalSeparator + QString(-exponent - 1, QLatin1Char('0')) + digits;
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
    // [blanks] [sign] digits [separator digits] [e [sign] digits] [blanks],
    // with at least one digit before or after the separator.
    qsizetype i = 0, n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    while (n > i && text.at(n - 1).isSpace())
        --n;
    std::string plain;
    plain.reserve(size_t(n - i));
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        plain += char(text.at(i++).unicode());
    int digits = 0;
    while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9')) {
        plain += char(text.at(i++).unicode());
        ++digits;
    }
    if (i < n && text.at(i) == fmt.decimalSeparator) {
        plain += '.';
        ++i;
        while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9')) {
            plain += char(text.at(i++).unicode());
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            plain += char(text.at(i++).unicode());
        int expDigits = 0;
        while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9')) {
            plain += char(text.at(i++).unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    double v = 0;
    const char* first = plain.data() + (plain.front() == '+' ? 1 : 0);
    const auto result = std::from_chars(first, plain.data() + plain.size(), v);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() || std::isinf(v))
        return std::nullopt;
    return v;
}

double toNumber(const QString& text, const LocaleFormat& fmt)
{
    if (auto v = parseNumber(text, fmt))
        return *v;
    throw Error(QCoreApplication::translate("data::TextFormat", "'%1' is not a valid floating point value").arg(text));
}

QString formatDate(const QDate& date, const LocaleFormat& fmt)
{
    if (!date.isValid())
        return {};
    // A two-digit year would not read back into the same century, so the
    // year is always written with all its digits.
    // The pattern, split once into day, month and year fields and the
    // texts between them; a two-digit year is written with all its digits
    // so that it reads back into the same century.
    struct Part {
        char field; // 'd', 'M', 'y' or 0 for literal text
        int width;
        QString text;
    };
    static thread_local QHash<QString, QList<Part>> patterns;
    auto it = patterns.constFind(fmt.shortDateFormat);
    if (it == patterns.constEnd()) {
        QList<Part> parts;
        const QString& p = fmt.shortDateFormat;
        for (qsizetype i = 0; i < p.size();) {
            const QChar c = p.at(i);
            if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
                qsizetype j = i;
                while (j < p.size() && p.at(j) == c)
                    ++j;
                parts.append({char(c.unicode()), int(j - i), {}});
                i = j;
            } else if (c == QLatin1Char('\'')) {
                const qsizetype j = p.indexOf(QLatin1Char('\''), i + 1);
                const qsizetype end = j < 0 ? p.size() : j;
                parts.append({0, 0, p.mid(i + 1, end - i - 1)});
                i = end + 1;
            } else {
                parts.append({0, 0, QString(c)});
                ++i;
            }
        }
        it = patterns.insert(fmt.shortDateFormat, parts);
    }
    QString out;
    out.reserve(10);
    for (const Part& part : *it) {
        switch (part.field) {
        case 'd': out += QString::number(date.day()).rightJustified(part.width >= 2 ? 2 : 1, QLatin1Char('0')); break;
        case 'M': out += QString::number(date.month()).rightJustified(part.width >= 2 ? 2 : 1, QLatin1Char('0')); break;
        case 'y': out += QString::number(date.year()).rightJustified(4, QLatin1Char('0')); break;
        default: out += part.text;
        }
    }
    return out;
}

namespace {

// Reads the numbers of a date text: [blanks] n1 sep n2 [sep n3 [sep]]
// [blanks], each number of one to four digits, blanks (spaces) allowed
// around each separator. Digits of the numbers are counted for the year.
struct DateNumbers {
    int value[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
};

std::optional<DateNumbers> dateNumbers(const QString& text, QChar separator)
{
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto blanks = [&] {
        while (i < n && p[i] == QLatin1Char(' '))
            ++i;
    };
    // Blanks, the separator, blanks; a blank separator is any run of blanks.
    auto separatorFollows = [&] {
        const qsizetype start = i;
        blanks();
        if (separator == QLatin1Char(' '))
            return i > start;
        if (i < n && p[i] == separator) {
            ++i;
            blanks();
            return true;
        }
        i = start;
        return false;
    };
    DateNumbers out;
    auto number = [&] {
        int digits = 0, value = 0;
        while (i < n && p[i] >= QLatin1Char('0') && p[i] <= QLatin1Char('9')) {
            if (++digits > 4)
                return false;
            value = value * 10 + (p[i].unicode() - '0');
            ++i;
        }
        if (digits == 0)
            return false;
        out.value[out.count] = value;
        out.digits[out.count] = digits;
        ++out.count;
        return true;
    };
    blanks();
    if (!number() || !separatorFollows() || !number())
        return std::nullopt;
    const qsizetype afterTwo = i;
    if (separatorFollows()) {
        if (!number())
            return std::nullopt;
        separatorFollows(); // a separator may end the text
    } else {
        i = afterTwo;
    }
    blanks();
    if (i != n)
        return std::nullopt;
    return out;
}

} // namespace

std::optional<QDate> parseDate(const QString& text, const LocaleFormat& fmt, const QDate& today)
{
    const std::optional<DateNumbers> numbers = dateNumbers(text, fmt.dateSeparator);
    if (!numbers)
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

    const int n1 = numbers->value[0];
    const int n2 = numbers->value[1];
    int day = 0, month = 0, year = 0;
    if (numbers->count == 2) {
        year = today.year();
        if (order == Order::DMY) {
            day = n1;
            month = n2;
        } else {
            month = n1;
            day = n2;
        }
    } else {
        const int n3 = numbers->value[2];
        switch (order) {
        case Order::DMY: day = n1, month = n2, year = n3; break;
        case Order::YMD: year = n1, month = n2, day = n3; break;
        case Order::MDY: month = n1, day = n2, year = n3; break;
        }
        const int yearDigits = numbers->digits[order == Order::YMD ? 0 : 2];
        if (yearDigits <= 2) {
            // The sliding window: the year ending in these digits that lies
            // from 50 years before today's year to 49 years after it.
            const int first = today.year() - 50;
            year = first + ((year - first) % 100 + 100) % 100;
        }
    }
    if (year < 1 || year > 9999)
        return std::nullopt;
    const QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString formatIsoDate(const QDate& date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return date.toString(Qt::ISODate);
    char text[10];
    int y = date.year();
    for (int k = 3; k >= 0; --k, y /= 10)
        text[k] = char('0' + y % 10);
    text[4] = text[7] = '-';
    text[5] = char('0' + date.month() / 10);
    text[6] = char('0' + date.month() % 10);
    text[8] = char('0' + date.day() / 10);
    text[9] = char('0' + date.day() % 10);
    return QString::fromLatin1(text, 10);
}

QDate currentDate()
{
    using Clock = std::chrono::steady_clock;
    static thread_local Clock::time_point readAt;
    static thread_local QDate date;
    const Clock::time_point now = Clock::now();
    if (!date.isValid() || now - readAt >= std::chrono::seconds(1)) {
        date = QDate::currentDate();
        readAt = now;
    }
    return date;
}

QDate toDate(const QString& text, const LocaleFormat& fmt, const QDate& today)
{
    if (auto d = parseDate(text, fmt, today))
        return *d;
    throw Error(QCoreApplication::translate("data::TextFormat", "'%1' is not a valid date").arg(text));
}

} // namespace kestrova
