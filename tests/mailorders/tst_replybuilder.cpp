#include "mailorders/replybuilder.h"

#include "data/schema.h"

#include <QTest>

using namespace kestrova;

namespace {

// Values named by their marker, the rest empty.
reply::Values values(std::initializer_list<std::pair<const char*, QByteArray>> named)
{
    reply::Values v;
    for (const auto& [marker, value] : named) {
        bool found = false;
        for (int m = 0; m < reply::kMarkerCount; ++m)
            if (qstrcmp(reply::markers()[size_t(m)], marker) == 0) {
                v[size_t(m)] = value;
                found = true;
            }
        if (!found)
            qFatal("no marker %s", marker);
    }
    return v;
}

reply::Values standard()
{
    return values({{"$Person", "Ann Smith"},
                   {"$Title", "Ms"},
                   {"$Product", "Quillmark Pro"},
                   {"$Tax", "3.78"},
                   {"$DeliveryPerson", "Bo"},
                   {"$NumberOfLicenses", "2"}});
}

} // namespace

class TestReplyBuilder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void builds_data()
    {
        QTest::addColumn<QByteArray>("templ");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain markers") << QByteArray("Dear $Title $Person,\nyour $Product.")
                                       << QByteArray("Dear Ms Ann Smith,\nyour Quillmark Pro.");
        QTest::newRow("small letters") << QByteArray("$person/$title") << QByteArray("Ann Smith/Ms");
        QTest::newRow("capitals") << QByteArray("$PERSON $NUMBEROFLICENSES") << QByteArray("Ann Smith 2");
        QTest::newRow("followed by letters") << QByteArray("$Taxes $Personally") << QByteArray("3.78es Ann Smithally");
        QTest::newRow("double dollar") << QByteArray("$$Person") << QByteArray("$Ann Smith");
        QTest::newRow("final dollar") << QByteArray("total $") << QByteArray("total $");
        QTest::newRow("no marker") << QByteArray("$Price $ 5$x") << QByteArray("$Price $ 5$x");
        QTest::newRow("cut marker at end") << QByteArray("Hi $Perso") << QByteArray("Hi $Perso");
        QTest::newRow("CR LF kept") << QByteArray("A\r\n$Title\r\n\r\n") << QByteArray("A\r\nMs\r\n\r\n");
        QTest::newRow("empty template") << QByteArray() << QByteArray();
        QTest::newRow("empty value") << QByteArray("[$Company]") << QByteArray("[]");
        QTest::newRow("delivery before shorter")
            << QByteArray("$DeliveryPerson $Delivery") << QByteArray("Bo $Delivery");
        QTest::newRow("NUL ends template") << QByteArray("$Title\0$Person", 14) << QByteArray("Ms");
        QTest::newRow("non-ASCII around") << QByteArray("Grüße $TITLE €") << QByteArray("Grüße Ms €");
    }
    void builds()
    {
        QFETCH(QByteArray, templ);
        QFETCH(QByteArray, expected);
        const QByteArray out = reply::build(templ, standard());
        QCOMPARE(out, expected);
        QCOMPARE(reply::measure(templ, standard()), expected.size());
    }

    void valuesAreNeverScannedAgain()
    {
        const auto v = values({{"$Person", "$Title and $$Person"}, {"$Title", "Dr"}});
        QCOMPARE(reply::build("$Person / $Title", v), QByteArray("$Title and $$Person / Dr"));
    }

    void everyMarkerHasItsValue()
    {
        QByteArray templ;
        QByteArray expected;
        reply::Values v;
        for (int m = 0; m < reply::kMarkerCount; ++m) {
            templ += QByteArray(reply::markers()[size_t(m)]) + '|';
            v[size_t(m)] = QByteArray::number(m);
            expected += QByteArray::number(m) + '|';
        }
        QCOMPARE(reply::build(templ, v), expected);
    }

    void valuesAreCutAtTheirArea_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("fits") << "Ann" << 33 << QByteArray("Ann");
        QTest::newRow("exactly capacity - 1") << "12345678" << 9 << QByteArray("12345678");
        QTest::newRow("one over") << "123456789" << 9 << QByteArray("12345678");
        // "ü" is two bytes: it does not fit in the last byte, and is not split.
        QTest::newRow("not inside a character") << QString::fromUtf8("1234567ü") << 9 << QByteArray("1234567");
        QTest::newRow("three-byte character") << QString::fromUtf8("ab€") << 6 << QByteArray("ab€");
        QTest::newRow("three-byte character cut") << QString::fromUtf8("abc€") << 5 << QByteArray("abc");
        QTest::newRow("language area") << "ENG" << 3 << QByteArray("EN");
        QTest::newRow("a NUL ends it") << QString::fromLatin1("ab\0cd", 5) << 9 << QByteArray("ab");
    }
    void valuesAreCutAtTheirArea()
    {
        QFETCH(QString, text);
        QFETCH(int, capacity);
        QFETCH(QByteArray, expected);
        QCOMPARE(reply::fitToArea(text, capacity), expected);
    }

    void capacitiesFollowTheMarkers()
    {
        QCOMPARE(reply::capacity(0), 33);                     // Person
        QCOMPARE(reply::capacity(reply::kProductMarker), 33); // the product name
        QCOMPARE(reply::capacity(3), 512);                    // Address
        QCOMPARE(reply::capacity(6), 3);                      // Language
        QCOMPARE(QByteArray(reply::markers()[reply::kProductMarker]), QByteArray("$Product"));
        // No marker is the beginning of another, so the table order cannot hide one.
        for (const char* a : reply::markers())
            for (const char* b : reply::markers())
                if (a != b)
                    QVERIFY2(!QByteArray(b).toLower().startsWith(QByteArray(a).toLower()), b);
    }

    void everyMarkerNamesAnOrderField()
    {
        for (const char* marker : reply::markers())
            QVERIFY2(saleFieldNames().contains(QString::fromLatin1(marker + 1)), marker);
    }
};

QTEST_APPLESS_MAIN(TestReplyBuilder)
#include "tst_replybuilder.moc"
