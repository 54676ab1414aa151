#include "data/error.h"
#include "data/textformat.h"

#include <QTest>

using namespace kestrova;

Q_DECLARE_METATYPE(std::optional<QDate>)

class TestTextFormat : public QObject {
    Q_OBJECT

    static LocaleFormat fmt(const char* locale)
    {
        return LocaleFormat::fromLocale(QLocale(QString::fromLatin1(locale)));
    }

private Q_SLOTS:
    void localeSettings_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QChar>("dateSeparator");
        QTest::addColumn<QChar>("decimalSeparator");
        QTest::newRow("en_US") << "en_US" << QChar('/') << QChar('.');
        QTest::newRow("en_GB") << "en_GB" << QChar('/') << QChar('.');
        QTest::newRow("de_DE") << "de_DE" << QChar('.') << QChar(',');
        QTest::newRow("fr_FR") << "fr_FR" << QChar('/') << QChar(',');
        QTest::newRow("ja_JP") << "ja_JP" << QChar('/') << QChar('.');
    }
    void localeSettings()
    {
        QFETCH(QString, locale);
        QFETCH(QChar, dateSeparator);
        QFETCH(QChar, decimalSeparator);
        const LocaleFormat f = LocaleFormat::fromLocale(QLocale(locale));
        QCOMPARE(f.dateSeparator, dateSeparator);
        QCOMPARE(f.decimalSeparator, decimalSeparator);
    }

    void formatNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("dot");
        QTest::addColumn<QString>("comma");
        // clang-format off
        QTest::newRow("zero") << 0.0 << "0" << "0";
        QTest::newRow("negative zero") << -0.0 << "0" << "0";
        QTest::newRow("integer") << 42.0 << "42" << "42";
        QTest::newRow("trailing zeros dropped") << 59.70 << "59.7" << "59,7";
        QTest::newRow("binary noise rounded") << 19.9 * 3 << "59.7" << "59,7";
        QTest::newRow("tax times three") << 3.9 * 3 << "11.7" << "11,7";
        QTest::newRow("folded") << 59.7 + 11.7 << "71.4" << "71,4";
        QTest::newRow("sum") << 100 + 20.6 << "120.6" << "120,6";
        QTest::newRow("no grouping") << 1234567.5 << "1234567.5" << "1234567,5";
        QTest::newRow("negative") << -2.25 << "-2.25" << "-2,25";
        QTest::newRow("smallest fixed") << 0.00001 << "0.00001" << "0,00001";
        QTest::newRow("small fixed") << 0.00005 << "0.00005" << "0,00005";
        QTest::newRow("below fixed") << 0.000001 << "1E-6" << "1E-6";
        QTest::newRow("below fixed mantissa") << 0.0000015 << "1.5E-6" << "1,5E-6";
        QTest::newRow("15 digits fixed") << 999999999999999.0 << "999999999999999" << "999999999999999";
        QTest::newRow("16 digits scientific") << 1e15 << "1E15" << "1E15";
        QTest::newRow("large") << 1.5e20 << "1.5E20" << "1,5E20";
        QTest::newRow("15 significant") << 1.0 / 3 << "0.333333333333333" << "0,333333333333333";
        QTest::newRow("rounding carries") << 9.9999999999999999 << "10" << "10";
        // clang-format on
    }
    void formatNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, dot);
        QFETCH(QString, comma);
        QCOMPARE(kestrova::formatNumber(value, fmt("en_US")), dot);
        QCOMPARE(kestrova::formatNumber(value, fmt("de_DE")), comma);
    }

    void parseNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        // clang-format off
        QTest::newRow("en plain") << "en_US" << "19.9" << true << 19.9;
        QTest::newRow("en blanks") << "en_US" << "  3 " << true << 3.0;
        QTest::newRow("en sign") << "en_US" << "-0.5" << true << -0.5;
        QTest::newRow("en exponent") << "en_US" << "1.5E20" << true << 1.5e20;
        QTest::newRow("en leading separator") << "en_US" << ".5" << true << 0.5;
        QTest::newRow("en comma refused") << "en_US" << "19,9" << false << 0.0;
        QTest::newRow("en grouping refused") << "en_US" << "1,000.5" << false << 0.0;
        QTest::newRow("en empty refused") << "en_US" << "" << false << 0.0;
        QTest::newRow("en letters refused") << "en_US" << "12abc" << false << 0.0;
        QTest::newRow("de comma") << "de_DE" << "19,9" << true << 19.9;
        QTest::newRow("de dot refused") << "de_DE" << "19.9" << false << 0.0;
        QTest::newRow("fr comma") << "fr_FR" << "3,9" << true << 3.9;
        QTest::newRow("gb dot") << "en_GB" << "3.9" << true << 3.9;
        QTest::newRow("ja dot") << "ja_JP" << "0.25" << true << 0.25;
        // clang-format on
    }
    void parseNumber()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const auto v = kestrova::parseNumber(text, LocaleFormat::fromLocale(QLocale(locale)));
        QCOMPARE(v.has_value(), valid);
        if (valid)
            QCOMPARE(*v, value);
    }

    void toNumberMessage()
    {
        try {
            toNumber(QStringLiteral("abc"), fmt("en_US"));
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.message(), QStringLiteral("'abc' is not a valid floating point value"));
        }
    }

    void numberRoundTrip()
    {
        for (const char* loc : {"en_US", "en_GB", "de_DE", "fr_FR", "ja_JP"}) {
            const LocaleFormat f = fmt(loc);
            for (double v : {0.1, 59.7, 1234.5678, 1e-7, 3e25, -42.125}) {
                const auto back = kestrova::parseNumber(kestrova::formatNumber(v, f), f);
                QVERIFY2(back.has_value(), loc);
                QCOMPARE(*back, v);
            }
        }
    }

    void parseDate_data()
    {
        const QDate today(2026, 12, 7);
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<QDate>>("expected");
        const std::optional<QDate> none;
        // clang-format off
        QTest::newRow("us m/d/y") << "en_US" << "3/4/2025" << std::optional(QDate(2025, 3, 4));
        QTest::newRow("us two-digit year") << "en_US" << "3/4/25" << std::optional(QDate(2025, 3, 4));
        QTest::newRow("us two numbers") << "en_US" << "3/4" << std::optional(QDate(today.year(), 3, 4));
        QTest::newRow("us blanks") << "en_US" << " 3 / 4 / 2025 " << std::optional(QDate(2025, 3, 4));
        QTest::newRow("us trailing separator") << "en_US" << "3/4/2025/" << std::optional(QDate(2025, 3, 4));
        QTest::newRow("us two numbers and separator") << "en_US" << "3/4/" << none;
        QTest::newRow("us empty") << "en_US" << "" << none;
        QTest::newRow("us letters") << "en_US" << "3/4/x" << none;
        QTest::newRow("us five digits") << "en_US" << "3/4/20255" << none;
        QTest::newRow("us invalid day") << "en_US" << "2/30/2025" << none;
        QTest::newRow("us leap day") << "en_US" << "2/29/2024" << std::optional(QDate(2024, 2, 29));
        QTest::newRow("us not leap") << "en_US" << "2/29/2025" << none;
        QTest::newRow("us year zero") << "en_US" << "1/1/0" << std::optional(QDate(2000, 1, 1));
        QTest::newRow("us wrong separator") << "en_US" << "3.4.2025" << none;
        QTest::newRow("gb d/m/y") << "en_GB" << "3/4/2025" << std::optional(QDate(2025, 4, 3));
        QTest::newRow("gb two numbers") << "en_GB" << "3/4" << std::optional(QDate(today.year(), 4, 3));
        QTest::newRow("de dots") << "de_DE" << "24.12.26" << std::optional(QDate(2026, 12, 24));
        QTest::newRow("de slash refused") << "de_DE" << "24/12/26" << none;
        QTest::newRow("fr d/m/y") << "fr_FR" << "31/1/2026" << std::optional(QDate(2026, 1, 31));
        QTest::newRow("ja y/m/d") << "ja_JP" << "2025/3/4" << std::optional(QDate(2025, 3, 4));
        QTest::newRow("ja two numbers month first") << "ja_JP" << "3/4" << std::optional(QDate(today.year(), 3, 4));
        QTest::newRow("ja two-digit year") << "ja_JP" << "25/3/4" << std::optional(QDate(2025, 3, 4));
        // clang-format on
    }
    void parseDate()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(std::optional<QDate>, expected);
        const auto d = kestrova::parseDate(text, LocaleFormat::fromLocale(QLocale(locale)), QDate(2026, 12, 7));
        QCOMPARE(d.has_value(), expected.has_value());
        if (expected)
            QCOMPARE(*d, *expected);
    }

    // A year of one or two digits falls within fifty years of today, wherever
    // today is; three or four digits are taken as written.
    void twoDigitYearWindow_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        const QDate y2026(2026, 12, 7);
        QTest::newRow("99 in 2026") << "en_US" << y2026 << "12/31/99" << QDate(1999, 12, 31);
        QTest::newRow("76, the window's first year") << "en_US" << y2026 << "1/2/76" << QDate(1976, 1, 2);
        QTest::newRow("75, the window's last year") << "en_US" << y2026 << "1/2/75" << QDate(2075, 1, 2);
        QTest::newRow("one digit") << "en_US" << y2026 << "1/2/5" << QDate(2005, 1, 2);
        QTest::newRow("two digits with a zero") << "en_GB" << y2026 << "2/1/05" << QDate(2005, 1, 2);
        QTest::newRow("four digits as written") << "en_US" << y2026 << "1/2/0099" << QDate(99, 1, 2);
        QTest::newRow("three digits as written") << "en_US" << y2026 << "1/2/999" << QDate(999, 1, 2);
        QTest::newRow("year first") << "ja_JP" << y2026 << "99/3/4" << QDate(1999, 3, 4);
        QTest::newRow("the window slides: 10 in 2060") << "en_US" << QDate(2060, 6, 1) << "1/2/10" << QDate(2010, 1, 2);
        QTest::newRow("the window slides: 09 in 2060") << "en_US" << QDate(2060, 6, 1) << "1/2/09" << QDate(2109, 1, 2);
        QTest::newRow("40 in 1990") << "de_DE" << QDate(1990, 6, 1) << "2.1.40" << QDate(1940, 1, 2);
        QTest::newRow("39 in 1990") << "de_DE" << QDate(1990, 6, 1) << "2.1.39" << QDate(2039, 1, 2);
    }
    void twoDigitYearWindow()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, today);
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        QCOMPARE(kestrova::parseDate(text, fmt(locale.toLatin1().constData()), today), std::optional(expected));
    }

    void isoDates()
    {
        QCOMPARE(formatIsoDate(QDate(2026, 3, 4)), QStringLiteral("2026-03-04"));
        QCOMPARE(formatIsoDate(QDate(99, 12, 31)), QStringLiteral("0099-12-31"));
        QCOMPARE(formatIsoDate(QDate()), QString());
        // A date read from text is stored in this form whatever its locale.
        QCOMPARE(formatIsoDate(*kestrova::parseDate("24.12.26", fmt("de_DE"), QDate(2026, 12, 7))),
                 QStringLiteral("2026-12-24"));
    }

    // Blanks may surround each separator; a locale whose separator is a
    // blank separates by any run of blanks.
    void dateTextBlanks()
    {
        const QDate today(2026, 12, 7);
        QCOMPARE(kestrova::parseDate("  3 /  4 /2025 / ", fmt("en_US"), today), std::optional(QDate(2025, 3, 4)));
        QCOMPARE(kestrova::parseDate("3 4 2025", fmt("en_US"), today), std::optional<QDate>());
        QCOMPARE(kestrova::parseDate("3/4/2025//", fmt("en_US"), today), std::optional<QDate>());
        LocaleFormat blank = fmt("en_GB");
        blank.shortDateFormat = QStringLiteral("d M yyyy");
        blank.dateSeparator = QLatin1Char(' ');
        QCOMPARE(kestrova::parseDate("3  4 2025", blank, today), std::optional(QDate(2025, 4, 3)));
        QCOMPARE(kestrova::parseDate("3 4", blank, today), std::optional(QDate(2026, 4, 3)));
        QCOMPARE(kestrova::parseDate("3/4/2025", blank, today), std::optional<QDate>());
    }

    void currentDateIsToday()
    {
        const QDate before = QDate::currentDate();
        const QDate d = currentDate();
        QVERIFY(d == before || d == before.addDays(1)); // midnight may pass between the two
    }

    void toDateMessage()
    {
        try {
            toDate(QString(), fmt("en_US"), QDate(2026, 12, 7));
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.message(), QStringLiteral("'' is not a valid date"));
        }
    }

    // Dates are written in the locale's order with the full year, so that
    // they read back as the same day in every locale, whatever the century.
    void dateRoundTrip()
    {
        const QDate today(2026, 12, 7);
        for (const char* loc : {"en_US", "en_GB", "de_DE", "fr_FR", "ja_JP"}) {
            const LocaleFormat f = fmt(loc);
            for (const QDate& d : {QDate(1999, 12, 31), QDate(2026, 1, 2), QDate(2104, 7, 9)}) {
                const QString text = formatDate(d, f);
                QVERIFY2(text.contains(QString::number(d.year())), qPrintable(text));
                QCOMPARE(kestrova::parseDate(text, f, today), std::optional<QDate>(d));
            }
        }
        QCOMPARE(formatDate(QDate(2026, 3, 4), fmt("en_US")), QStringLiteral("3/4/2026"));
        // A locale whose short format names the month still reads and writes
        // dates as numbers, in its own order.
        const LocaleFormat c = LocaleFormat::fromLocale(QLocale::c());
        QCOMPARE(kestrova::parseDate(formatDate(QDate(2026, 3, 4), c), c, today), std::optional(QDate(2026, 3, 4)));
        QVERIFY(!formatDate(QDate(2026, 3, 4), c).contains(QStringLiteral("Mar")));
        QCOMPARE(formatDate(QDate(2026, 3, 4), fmt("de_DE")), QStringLiteral("04.03.2026"));
    }
};

QTEST_APPLESS_MAIN(TestTextFormat)
#include "tst_textformat.moc"
