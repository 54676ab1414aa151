#include "intake/htmltext.h"

#include <QTest>

using namespace kestrova;

class TestHtmlText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void converts_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("paragraphs and breaks") << "<p>One</p><p>Two<br>Three</p>" << "One\nTwo\nThree";
        QTest::newRow("two breaks make an empty line") << "a<br><br>b" << "a\n\nb";
        QTest::newRow("blanks collapse") << "  Hello \n\t <b>big</b>   world  " << "Hello big world";
        QTest::newRow("upper-case tags") << "<P>a</P><DIV>b</DIV><BR>c" << "a\nb\nc";
        QTest::newRow("character references")
            << "&amp;&lt;&gt;&quot;&#39;&#x41;&eacute;&euro;&nbsp;x &bogus; &#0; & a &amp"
            << QString::fromUtf8("&<>\"'Aé€ x &bogus; \xEF\xBF\xBD & a &amp");
        QTest::newRow("characters beyond the BMP") << QString::fromUtf8("&#x1F600; 😀") << QString::fromUtf8("😀 😀");
        QTest::newRow("hidden content")
            << "<head><title>T</title><style>p{}</style></head><body><!-- <p>no</p> -->Shown"
               "<script>if (a<b) x='</p>';</script> text<template><p>t</p></template></body>"
            << "Shown text";
        QTest::newRow("table rows and cells")
            << "<table><tr><td>Name:</td><td> Ann </td></tr><tr><th>Qty</th><td>3</td></tr></table>"
            << "Name:\tAnn\nQty\t3";
        QTest::newRow("preformatted") << "<pre>a  b\r\n  c</pre>d" << "a  b\n  c\nd";
        QTest::newRow("'>' inside a quoted attribute") << "<a title=\"x>y\" href='z'>link</a>" << "link";
        QTest::newRow("a quote that opens no value") << "<b class=a'b>text</b>'" << "text'";
        QTest::newRow("'<' as text") << "a < b <3 c" << "a < b <3 c";
        QTest::newRow("cut inside a tag") << "text <b" << "text";
        QTest::newRow("declarations") << "<!DOCTYPE html><?xml x?></ bogus>ok" << "ok";
        QTest::newRow("unclosed comment") << "a<!-- b" << "a";
        QTest::newRow("unclosed script") << "a<script>b" << "a";
        // clang-format on
    }
    void converts()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QCOMPARE(htmlToText(html, 4096), text);
    }

    void stopsAtTheLimit()
    {
        QCOMPARE(htmlToText("<p>" + QString(5000, 'x') + "</p>", 4096), QString(4096, 'x'));
        // Never half a surrogate pair at the cut.
        const QString smile = QString::fromUtf8("😀");
        QCOMPARE(htmlToText(QString(4095, 'a') + smile, 4096), QString(4095, 'a'));
        QCOMPARE(htmlToText(QString(4094, 'a') + smile, 4096), QString(4094, 'a') + smile);
    }

    // Depth does not matter: each character of the markup is looked at once.
    void deepNesting()
    {
        const int depth = 100000;
        const QString html =
            QString("<div><span>").repeated(depth) + "deep &amp; down" + QString("</span></div>").repeated(depth);
        QCOMPARE(htmlToText(html, 4096), "deep & down");
        // Never closed at all.
        QCOMPARE(htmlToText(QString("<b><i><font size=2>").repeated(depth) + "x", 4096), "x");
    }

    void stopsAtTheDeadline()
    {
        const QString html = QString("<b></b>").repeated(5000) + "late";
        QCOMPARE(htmlToText(html, 4096), "late");
        QCOMPARE(htmlToText(html, 4096, QDeadlineTimer(0)), "");
    }
};

QTEST_GUILESS_MAIN(TestHtmlText)
#include "tst_htmltext.moc"
