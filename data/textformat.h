#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

namespace kestrova {

// The locale settings that text conversions depend on. Passed as a value so
// that the same code can be exercised under several locales.
struct LocaleFormat {
    QString shortDateFormat = QStringLiteral("M/d/yy"); // Qt date format pattern
    QChar dateSeparator = QLatin1Char('/');
    QChar decimalSeparator = QLatin1Char('.');

    static LocaleFormat fromLocale(const QLocale& locale);
    static LocaleFormat system();
};

// Number in general format: at most 15 significant digits, trailing zeros and
// a needless separator dropped, no grouping; scientific notation (1.5E20,
// 1E-6) below 0.00001 or with more than 15 digits before the separator.
QString formatNumber(double value, const LocaleFormat& fmt);

// Reads a number typed with the locale's decimal separator. Blanks around the
// number are allowed; anything else is refused.
std::optional<double> parseNumber(const QString& text, const LocaleFormat& fmt);

// The same, throwing "'%s' is not a valid floating point value".
double toNumber(const QString& text, const LocaleFormat& fmt);

// Date in the locale's short date format.
QString formatDate(const QDate& date, const LocaleFormat& fmt);

// The date-text rule: two or three numbers separated by the date separator,
// ordered as the short date format orders day, month and year. Two numbers
// give a day of today's year. A year written with one or two digits is taken
// within fifty years of today: of the years ending in those digits, the one
// from today's year - 50 to today's year + 49 (in 2026: 76 is 1976, 75 is
// 2075, 99 is 1999). A year of three or four digits is taken as written.
std::optional<QDate> parseDate(const QString& text, const LocaleFormat& fmt, const QDate& today);

// The date as stored: "yyyy-MM-dd", the year in four digits.
QString formatIsoDate(const QDate& date);

// The system's date, read from the clock at most about once a second:
// reading it costs a time-zone lookup, and imports convert many dates.
QDate currentDate();

// The same, throwing "'%s' is not a valid date".
QDate toDate(const QString& text, const LocaleFormat& fmt, const QDate& today);

} // namespace kestrova
