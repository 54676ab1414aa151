#include "intake/mailbox.h"
#include "tests/intake/mailfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace kestrova;

// What the intake reads from messages built to cost as much work as
// possible: the work per message is bounded, whatever its shape.
class TestMailText : public QObject {
    Q_OBJECT

    static QByteArray message(const QByteArray& headers, const QByteArray& body)
    {
        return "From: shop@example.com\r\nMIME-Version: 1.0\r\n" + headers + "\r\n" + body;
    }

    // The fastest of a few readings, in nanoseconds; gives up after the
    // first one that takes longer than `limit`.
    static qint64 fastestReading(const QByteArray& raw, qint64 limit = std::numeric_limits<qint64>::max())
    {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            Mailbox::readMessage(raw);
            fastest = std::min(fastest, t.nsecsElapsed());
            if (fastest > limit)
                break;
        }
        return fastest;
    }

private Q_SLOTS:
    // An HTML-only notification whose text sits under 33,000 levels of
    // tags (about 450 KB) reads right, and within a small factor of the
    // time a plain message of the same size takes.
    void nestedHtmlReadsLikePlainText()
    {
        const int depth = 11000;
        const QByteArray html = "<html><body>" + QByteArray("<div><font color=red><b>").repeated(depth) +
                                "Order 4711<br>Name: Ann&nbsp;Keller &amp; Sons" +
                                QByteArray("</b></font></div>").repeated(depth) + "</body></html>\r\n";
        QVERIFY(html.size() > 440000);
        QByteArray plainBody;
        while (plainBody.size() < html.size())
            plainBody += QByteArray(76, 'p') + "\r\n";
        plainBody.truncate(html.size());
        const QByteArray nested = message("Subject: html\r\nContent-Type: text/html; charset=utf-8\r\n", html);
        const QByteArray plain = message("Subject: plain\r\nContent-Type: text/plain; charset=utf-8\r\n", plainBody);

        const qint64 plainTime = fastestReading(plain);
        constexpr qint64 kFactor = 25;
        const qint64 nestedTime = fastestReading(nested, kFactor * plainTime);
        qInfo("plain %.2f ms, nested HTML %.2f ms: %.1f times", plainTime / 1e6, nestedTime / 1e6,
              double(nestedTime) / double(plainTime));
        QVERIFY2(nestedTime <= kFactor * plainTime, "the nested HTML took far longer than the plain message");

        // And the same through a Maildir folder.
        QTemporaryDir dir;
        mailfixture::seedMaildir(dir.path(), {nested});
        Mailbox box;
        QVERIFY(box.MailOpen({dir.path(), "", "", "Processed"}));
        MailMessage m;
        QVERIFY(box.MailGet(m));
        QCOMPARE(m.subject, "html");
        QCOMPARE(m.body, "Order 4711\nName: Ann Keller & Sons");
        QVERIFY(box.MailClose());
    }

    // Shapes whose parsing work grows with the count of parts or header
    // fields are read up to a bound; 5,000 nested parts would exhaust the
    // parser's stack.
    void partsAndFieldsAreBounded()
    {
        QByteArray deep;
        for (int i = 0; i < 5000; ++i)
            deep +=
                QStringLiteral("Content-Type: multipart/mixed; boundary=\"b%1\"\r\n\r\n--b%1\r\n").arg(i).toLatin1();
        deep += "Content-Type: text/plain\r\n\r\nhello\r\n";
        MailMessage m = Mailbox::readMessage("From: a@example.com\r\nSubject: deep\r\nMIME-Version: 1.0\r\n" + deep);
        QCOMPARE(m.subject, "deep");
        QCOMPARE(m.body, ""); // beyond the bound

        QByteArray wide;
        for (int i = 0; i < 80000; ++i)
            wide += QStringLiteral("--B\r\nContent-Type: text/plain\r\n\r\npart %1\r\n").arg(i).toLatin1();
        m = Mailbox::readMessage(message("Subject: wide\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n", wide));
        QCOMPARE(m.body.trimmed(), "part 0");

        QByteArray fields;
        for (int i = 0; i < 80000; ++i)
            fields += QStringLiteral("X-Field-%1: value\r\n").arg(i).toLatin1();
        m = Mailbox::readMessage("Subject: fields\r\n" + fields + "\r\nbody\r\n");
        QCOMPARE(m.subject, "fields");
        QCOMPARE(m.body, ""); // the header never ended within the bound

        const QByteArray words = QByteArray("=?utf-8?q?a?= ").repeated(80000);
        m = Mailbox::readMessage("Subject: " + words + "\r\n\r\nbody\r\n");
        QCOMPARE(m.body, "");

        // A notification of ordinary size is read whole.
        m = Mailbox::readMessage(message("Subject: ok\r\n" + fields.left(fields.indexOf("X-Field-1000:")) +
                                             "Content-Type: multipart/mixed; boundary=\"B\"\r\n",
                                         wide.left(wide.indexOf("part 100\r\n")) + "--B--\r\n"));
        QCOMPARE(m.subject, "ok");
        QCOMPARE(m.body.trimmed(), "part 0");
    }
};

QTEST_GUILESS_MAIN(TestMailText)
#include "tst_mailtext.moc"
