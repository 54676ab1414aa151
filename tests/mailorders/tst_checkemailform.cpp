#include "mailorders/checkemailform.h"
#include "data/dataobjects.h"
#include "app/mainform.h"
#include "tests/mailorders/mailordersfixture.h"
#include "tests/support/recordingprompter.h"
#include "pages/salespage.h"

#include "tests/support/child.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace kestrova;
using namespace mailorders;
using mailfixture::seedMaildir;

class TestCheckEmailForm : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<RecordingPrompter> rec;
    std::unique_ptr<QTemporaryDir> box;

    std::unique_ptr<TMainForm> start()
    {
        return std::make_unique<TMainForm>(fx->dir(), LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))));
    }

    // Clicks "E-Mail" and runs `script` on the processing window once it is
    // shown; the window is closed afterwards if the script left it open.
    // Returns whether the window was shown.
    bool runEmail(TMainForm& f, const std::function<void(TCheckEmailForm&)>& script)
    {
        bool shown = false;
        // A timer of this call only: it goes with the call when no window showed.
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, [&] {
            auto* form = qobject_cast<TCheckEmailForm*>(QApplication::activeModalWidget());
            if (!form)
                return;
            shown = true;
            script(*form);
            if (form->isVisible())
                form->reject();
        });
        timer.start(0);
        child<QToolButton>(&f, "OrderCompuServeAppendSpeed")->click();
        return shown;
    }
    static void click(TCheckEmailForm& form, const char* button) { child<QPushButton>(&form, button)->click(); }
    static QString text(TCheckEmailForm& form, const char* name) { return form.shownOrder().value(name); }
    QStringList shownMessages() const
    {
        QStringList out;
        for (const auto& m : rec->messages)
            out << QString::number(int(m.icon)) + ":" + m.text;
        return out;
    }
    int orderCount() { return fx->value("Xsale", "SELECT count(*) FROM Xsale").toInt(); }

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<TableFixture>();
        rec = std::make_unique<RecordingPrompter>();
        box = std::make_unique<QTemporaryDir>();
        prepareFolder(*fx, KESTROVA_SAMPLE_LIBRARY, "Dear $Person,\nyour $product.\n");
        setMailSettings(*fx, box->path());
    }
    void cleanup()
    {
        rec.reset();
        box.reset();
        fx.reset();
    }

    void windowLayout()
    {
        seedMaildir(box->path(), {payPoint("PP-1", "1002")});
        auto f = start();
        QVERIFY(child<QToolButton>(f, "OrderCompuServeAppendSpeed")->isEnabled());
        QVERIFY(runEmail(*f, [](TCheckEmailForm& form) {
            QCOMPARE(form.objectName(), "CheckEmailForm");
            QCOMPARE(form.windowTitle(), "Kestrova - E-Mail processing");
            QVERIFY(form.isModal());
            QCOMPARE(child<QPushButton>(&form, "NextMessage")->text(), "Process and next");
            QCOMPARE(child<QPushButton>(&form, "Stop")->text(), "Stop");
            auto* tabs = child<QTabWidget>(&form, "OrderAddressTab");
            QCOMPARE(tabs->tabText(0), "Billing");
            QCOMPARE(tabs->tabText(1), "Delivery");
            for (const QString& field : mailOrderFields())
                QVERIFY2(form.findChild<QWidget*>(field), qPrintable(field));
            // The lists hold their tables' texts and take any text.
            QVERIFY(child<QComboBox>(&form, "Origin")->findText("WebShop") < 0); // Xorigin is empty here
            QVERIFY(child<QComboBox>(&form, "Origin")->isEditable());
            // What the notification said, the product by origin and id,
            // the licence owner as the person, today, the matched origin.
            QCOMPARE(text(form, "Person"), "Anna Keller");
            QCOMPARE(text(form, "Title"), "Frau");
            QCOMPARE(text(form, "Address"), "Lindenweg 5");
            QCOMPARE(text(form, "Product"), "Quillmark Pro");
            QCOMPARE(text(form, "Licensee"), "Anna Keller");
            QCOMPARE(text(form, "Origin"), "PayPoint");
            QCOMPARE(text(form, "OrderDate"),
                     formatDate(QDate::currentDate(), LocaleFormat::fromLocale(QLocale("en_US"))));
            QCOMPARE(text(form, "PaymentMeans"), "PayLink");
            QCOMPARE(form.duplicateNotice(), QString());
        }));
        QVERIFY(!f->findChild<TCheckEmailForm*>());
    }

    // Two notifications and an ordinary message: both stored, replies in the
    // Outbox, the ordinary one untouched, the end box with the count.
    void processesUntilTheEnd()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com"), newsletter(), payPoint("PP-2", "1002")});
        auto f = start();
        QVERIFY(runEmail(*f, [](TCheckEmailForm& form) {
            child<QLineEdit>(&form, "Company")->setText("Corrected Ltd");
            click(form, "NextMessage");
            QCOMPARE(text(form, "Reference"), "PP-2");
            click(form, "NextMessage");
            QVERIFY(!form.isVisible());
        }));
        QCOMPARE(shownMessages(), QStringList{"1:End of processing. Number of messages processed : 2"});
        const auto rows = fx->rows("Xsale", "SELECT Company, Origin, InvoiceNumber, Product FROM Xsale ORDER BY rowid");
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0][0].toString(), "Corrected Ltd");
        QCOMPARE(rows[0][2].toString(), "2026-0042");
        QCOMPARE(rows[1][1].toString(), "PayPoint");
        QCOMPARE(rows[1][2].toString(), "2026-0043");
        QCOMPARE(rows[1][3].toString(), "Quillmark Pro");
        QCOMPARE(mail(box->path()), QStringList{"Subject: Newsletter []"});
        QCOMPARE(mail(box->path(), "Processed").size(), 2);
        QCOMPARE(mail(box->path(), "Outbox").size(), 2);
        // The order page shows the last order appended.
        QCOMPARE(f->data().Tsale->fieldText("Reference"), "PP-2");
    }

    // "Stop" after one: one order, the next message unmarked in place, no end box.
    void stopLeavesTheMessage()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", ""), webShop("WS-2", "TL-01", "")});
        auto f = start();
        QVERIFY(runEmail(*f, [](TCheckEmailForm& form) {
            click(form, "NextMessage");
            click(form, "Stop");
            QVERIFY(!form.isVisible());
        }));
        QCOMPARE(shownMessages(), QStringList());
        QCOMPARE(orderCount(), 1);
        QCOMPARE(mail(box->path()), QStringList{"Subject: New order WS-2 []"});
        QCOMPARE(mail(box->path(), "Outbox"), QStringList());
    }

    void unknownProductId()
    {
        seedMaildir(box->path(), {webShop("WS-1", "ZZ-99", "")});
        auto f = start();
        QVERIFY(runEmail(*f, [](TCheckEmailForm& form) { QCOMPARE(text(form, "Product"), ""); }));
        QCOMPARE(shownMessages(), QStringList{"0:Product Id \"ZZ-99\" unknown !"});
    }

    // Before the window: no recognised mail, no template, no mailbox.
    void runEndsBeforeTheWindow_data()
    {
        QTest::addColumn<bool>("notification");
        QTest::addColumn<bool>("withTemplate");
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("nothing recognised") << false << true << "INBOX" << "1:No new E-Mail registration ...";
        QTest::newRow("no template") << true << false << "INBOX" << "3:Error opening file \"Register.txt\": ";
        QTest::newRow("template too big") << true << true << "Big" << "3:Error opening file \"Register.txt\": the file is larger";
        QTest::newRow("mailbox not opened") << true << true << "Missing" << "3:The mailbox could not be opened: ";
        // clang-format on
    }
    void runEndsBeforeTheWindow()
    {
        QFETCH(bool, notification);
        QFETCH(bool, withTemplate);
        QFETCH(QString, store);
        QFETCH(QString, expected);
        seedMaildir(box->path(), {newsletter(), notification ? webShop("WS-1", "TL-01", "") : newsletter()});
        if (!withTemplate)
            QVERIFY(QFile::remove(QDir(fx->dir()).filePath("Register.txt")));
        if (store == "Big") {
            QFile big(QDir(fx->dir()).filePath("Register.txt"));
            QVERIFY(big.open(QIODevice::WriteOnly) && big.write(QByteArray(reply::kTemplateLimit + 1, 'x')) > 0);
            store = "INBOX";
        }
        setMailSettings(*fx, box->path(), {}, store);
        auto f = start();
        QVERIFY(!runEmail(*f, [](TCheckEmailForm&) {}));
        QCOMPARE(rec->messages.size(), 1);
        QVERIFY2(shownMessages()[0].startsWith(expected), qPrintable(shownMessages()[0]));
        // The reason follows the mailbox message.
        if (expected.endsWith(": "))
            QVERIFY(shownMessages()[0].size() > expected.size() + 2);
        QCOMPARE(orderCount(), 0);
        QCOMPARE(mail(box->path()).size(), 2);
        for (const QString& m : mail(box->path()))
            QVERIFY(m.endsWith("[]"));
    }

    // A notification whose order is already stored says so in the window.
    void alreadyStoredOrderIsShown()
    {
        fx->exec("Xsale",
                 "INSERT INTO Xsale (Origin, Reference, InvoiceNumber) VALUES ('WebShop', 'WS-1', '2026-0040')");
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", ""), webShop("WS-2", "TL-01", "")});
        auto f = start();
        QVERIFY2(runEmail(*f,
                          [](TCheckEmailForm& form) {
                              QVERIFY(form.duplicateNotice().contains("WS-1"));
                              QVERIFY(form.duplicateNotice().contains("2026-0040"));
                              QVERIFY(child<QLabel>(&form, "DuplicateNotice")->isVisible());
                              click(form, "NextMessage");
                              QCOMPARE(form.duplicateNotice(), QString());
                          }),
                 qPrintable(shownMessages().join('\n')));
    }

    // A post the table refuses: reported, nothing stored, the message stays
    // current; corrected, it appends cleanly.
    void failingPostKeepsTheNotification()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "a@example.com")});
        auto f = start();
        QVERIFY(runEmail(*f, [this](TCheckEmailForm& form) {
            child<QLineEdit>(&form, "NumberOfLicenses")->setText("two");
            click(form, "NextMessage");
            QVERIFY(form.isVisible());
            QCOMPARE(rec->errors().size(), 1);
            QVERIFY2(rec->errors()[0].contains("'two'"), qPrintable(rec->errors()[0]));
            QCOMPARE(orderCount(), 0);
            QCOMPARE(mail(box->path()), QStringList{"Subject: New order WS-1 []"});
            QCOMPARE(mail(box->path(), "Outbox"), QStringList());
            child<QLineEdit>(&form, "NumberOfLicenses")->setText("2");
            click(form, "NextMessage");
            QVERIFY(!form.isVisible());
        }));
        QCOMPARE(rec->messages.last().text, "End of processing. Number of messages processed : 1");
        QCOMPARE(orderCount(), 1);
        QCOMPARE(fx->value("Xsale", "SELECT InvoiceNumber FROM Xsale").toString(), "2026-0042");
        QCOMPARE(mail(box->path(), "Outbox").size(), 1);
    }

    // A run while a search result is shown stores into the order table;
    // in a read-only set the button is disabled and says why.
    void runFromSearchAndReadOnlySet()
    {
        fx->addOrders({"Earlier"});
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", "")});
        auto f = start();
        child<QToolButton>(f, "OrderUnpayedFindSpeed")->click();
        QVERIFY(f->searches().shown() != OrderSearches::Count);
        QVERIFY(runEmail(*f, [](TCheckEmailForm& form) { click(form, "NextMessage"); }));
        QCOMPARE(rec->errors(), QStringList());
        QCOMPARE(orderCount(), 2);
        QCOMPARE(f->searches().shown(), OrderSearches::Count);
        QCOMPARE(mail(box->path(), "Processed").size(), 1);

        DataObjects readOnly(fx->dir(), LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))), true);
        SalesPage page;
        page.setUp(&readOnly, nullptr);
        auto* button = child<QToolButton>(&page, "OrderCompuServeAppendSpeed");
        QVERIFY(!button->isEnabled());
        QCOMPARE(button->toolTip(), SalesPage::readOnlyMailHint());
    }

    // A message that cannot be read is counted and reported at the end.
    void unreadableMessageIsReported()
    {
        seedMaildir(box->path(), {webShop("WS-1", "TL-01", ""), webShop("WS-2", "TL-01", "")});
        auto f = start();
        QVERIFY(runEmail(*f, [this](TCheckEmailForm& form) {
            // The second message's file goes while the run holds the mailbox.
            QVERIFY(QFile::remove(QDir(box->path()).filePath(mailfixture::filesIn(box->path()).value(1))));
            click(form, "NextMessage");
        }));
        QCOMPARE(shownMessages().mid(shownMessages().size() - 2),
                 (QStringList{"1:End of processing. Number of messages processed : 1",
                              "2:1 message could not be read and was left in the mailbox."}));
        QCOMPARE(orderCount(), 1);
    }

    // The demo folder as `make demo` makes it: "E-Mail" takes in the demo
    // notifications and stores the replies in the demo mailbox's Outbox.
    void demoFolderTakesInOrders()
    {
        QTemporaryDir demo;
        QCOMPARE(QProcess::execute(KESTROVA_TABLES_TOOL, {"demo", demo.path()}), 0);
        QVERIFY(QFile::copy(KESTROVA_SAMPLE_LIBRARY, QDir(demo.path()).filePath("function.dll")));
        QVERIFY(QFile::copy(KESTROVA_SAMPLES_DIR "/Register.txt", QDir(demo.path()).filePath("Register.txt")));
        const QString mailDir = QDir(demo.path()).filePath("demo-mail");
        QVERIFY(QProcess::execute("cp", {"-r", KESTROVA_SAMPLES_DIR "/demo-mail", mailDir}) == 0);
        for (const char* sub : {"cur", "tmp", ".Processed/cur", ".Processed/new", ".Processed/tmp"})
            QVERIFY(QDir().mkpath(QDir(mailDir).filePath(sub)));
        const int before = QDir(QDir(mailDir).filePath("new")).count() - 2;
        TMainForm f(demo.path(), LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US"))));
        int notifications = 0;
        QVERIFY(runEmail(f, [&](TCheckEmailForm& form) {
            while (form.isVisible() && notifications < 10) {
                ++notifications;
                QVERIFY2(!text(form, "Product").isEmpty(), qPrintable(text(form, "Reference")));
                click(form, "NextMessage");
            }
        }));
        QCOMPARE(notifications, 3);
        QCOMPARE(rec->messages.last().text, "End of processing. Number of messages processed : 3");
        QCOMPARE(rec->errors(), QStringList());
        QCOMPARE(mail(mailDir, "Outbox").size(), 3);
        QCOMPARE(mail(mailDir, "Processed").size(), 3);
        QCOMPARE(mail(mailDir).size(), before - 3);
    }
};

QTEST_MAIN(TestCheckEmailForm)
#include "tst_checkemailform.moc"
