#include "data/dataobjects.h"
#include "widgets/dbwidgets.h"
#include "documents/documentdialogs.h"
#include "app/mainform.h"
#include "tests/support/recordingprompter.h"
#include "tests/support/standinlog.h"
#include "app/startup.h"
#include "tests/support/tablefixture.h"
#include "documents/wordprocessorlink.h"

#include <QDBusConnection>
#include <QDir>
#include <QTest>

#include "tests/support/child.h"

using namespace kestrova;

namespace {

using Fields = QHash<QString, QString>;

QList<Fields> recordsOf(const QJsonObject& execute)
{
    QList<Fields> out;
    for (const QVariantMap& m : StandInLog::records(execute)) {
        Fields f;
        for (auto it = m.begin(); it != m.end(); ++it)
            f.insert(it.key(), it.value().toString());
        out << f;
    }
    return out;
}

// A distributor's exchange record in a mailing.
Fields mailed(const QString& person, const QString& title, const QString& politeness, const QString& name,
              const QString& n)
{
    Fields f{{"Person", person},
             {"Title", title},
             {"Company", "Company " + n},
             {"Address", "Street " + n + "\r\nTown " + n},
             {"FaxOrEMail", "fax " + n},
             {"Politeness", politeness},
             {"Name", name},
             {"Licensee", "Licensee " + n}};
    // The log holds the fields that hold text.
    f.removeIf([](const auto& field) { return field.value().isEmpty(); });
    return f;
}

} // namespace

// The distributor documents and the labels, from the main window's buttons
// through their dialogs to the stand-in word processor on the test's
// private session bus.
class TestDistributorDocuments : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<RecordingPrompter> rec;
    StandInLog log;
    Windows w;
    int services = 0;

    void finish() { QTRY_VERIFY(!w.main->link().isBusy()); }

    static void press(QWidget* window, const char* button)
    {
        auto* b = child<QAbstractButton>(window, button);
        QVERIFY2(b->isEnabled(), button);
        b->click();
    }

    DataObjects& data() { return w.main->data(); }

    // Chooses a row of a dialog's grid: the table under the grid is put on
    // the row, which the grid follows.
    static void choose(QWidget* dialog, const char* grid, const QString& text)
    {
        // Chosen as the user does: the row is made current in the grid, and
        // the table under it follows.
        auto* g = child<DbGrid>(dialog, grid);
        auto* table = qobject_cast<Table*>(g->dataModel()->source()->dataSet());
        QVERIFY(table);
        const QModelIndexList hits =
            g->model()->match(g->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        QCOMPARE(hits.size(), 1);
        g->setCurrentIndex(hits.front());
        QCOMPARE(table->fieldText(table->fields().front().name), text);
        QCOMPARE(g->currentIndex().data().toString(), text);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test under dbus-run-session");
    }

    void init()
    {
        fx = std::make_unique<TableFixture>();
        rec = std::make_unique<RecordingPrompter>();
        log.setPath(QDir(fx->dir()).filePath("standin.jsonl"));
        qputenv("KESTROVA_STANDIN_LOG", log.path().toLocal8Bit());
        const QString service = QStringLiteral("org.kestrova.test.Distributors%1").arg(++services);
        fx->exec("Xtable", "UPDATE Xtable SET Value = ? WHERE Name = 'CommandLine'",
                 {"\"" KESTROVA_STANDIN "\" --service " + service});
        fx->exec("Xtable", "UPDATE Xtable SET Value = ? WHERE Name = 'DdeService'", {service});
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'Distributors' WHERE Name = 'DdeTopic'");
        fx->exec("Xtitle", "INSERT INTO Xtitle VALUES ('Mr', 'Dear Sir'), ('Mrs', 'Dear Madam'), "
                           "('', 'Dear Sir or Madam')");
        fx->exec("Xproduct", "INSERT INTO Xproduct VALUES ('Ledger'), ('Sketch')");
        fx->exec("Xlanguage", "INSERT INTO Xlanguage VALUES ('DE'), ('EN'), ('FR')");
        for (const char* language : {"EN", "DE", "FR"}) {
            const QString l = QString::fromLatin1(language).toLower();
            fx->exec("Xfactory", "INSERT INTO Xfactory VALUES ('Ledger', ?, ?, ?, ?, ?, ?, '')",
                     {language, "[labels " + l + "]", "[envelope " + l + "]", "[letter " + l + "]",
                      "[mailing " + l + "]", "[invoice " + l + "]"});
        }
        fx->exec("Xfactory", "INSERT INTO Xfactory VALUES ('Sketch', 'EN', '[sketch labels]', '', '', "
                             "'[sketch mailing]', '', '')");
        // Distributors 1 to 7 in table order; EN ones between others, one
        // whose language differs only in case.
        const char* const rows[][3] = {{"DE", "Mr", "Hans Alt"},   {"EN", "Mrs", "Mary Ann Smith"},
                                       {"en", "Mr", "Lower Case"}, {"EN", "Dr", "Bob Brown"},
                                       {"DE", "Mrs", "Eva Ernst"}, {"EN", "", "Solo"},
                                       {"En", "Mr", "Mixed Case"}};
        int n = 0;
        for (const auto& r : rows) {
            const QString i = QString::number(++n);
            fx->exec("Xdistributor",
                     "INSERT INTO Xdistributor (Company, Language, Title, Person, Address, Telephone, Fax, "
                     "EMail, Licensee) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                     {"Company " + i, r[0], r[1], r[2], "Street " + i + "\nTown " + i, "tel " + i, "fax " + i,
                      "mail" + i + "@example.com", "Licensee " + i});
        }
        w = startKestrova(fx->dir());
        QVERIFY(w.main);
        w.main->show();
    }

    void cleanup()
    {
        w = Windows();
        log.endStandIns();
        rec.reset();
        fx.reset();
    }

    void dialogs()
    {
        QCOMPARE(w.mailDlg->objectName(), "MailDlg");
        QCOMPARE(w.mailDlg->windowTitle(), "Mail");
        QCOMPARE(w.mailingDlg->windowTitle(), "Mailing");
        QCOMPARE(w.labelsDlg->objectName(), "LabelsDlg");
        QCOMPARE(w.labelsDlg->windowTitle(), "Printing labels");
        QCOMPARE(child<QPlainTextEdit>(w.mailDlg, "CommentMemo")->toPlainText(),
                 "Please select the product and the language. The default language is the \n"
                 "current distributor's one.");
        QCOMPARE(child<QPlainTextEdit>(w.mailingDlg, "MailingMemo")->toPlainText(),
                 "Please select the product and the language. The mailing will be prepared \n"
                 "only for distributors speaking this language.");
        QCOMPARE(child<QPlainTextEdit>(w.labelsDlg, "CommentMemo")->toPlainText(),
                 "Please select the product and the language:");
        child<DbGrid>(w.labelsDlg, "LanguageGris");
        press(w.main.get(), "LabelsPrintSpeed");
        press(w.main.get(), "DistributorMailingPrintSpeed");
        for (QDialog* d : std::initializer_list<QDialog*>{w.labelsDlg.get(), w.mailingDlg.get()}) {
            QVERIFY(d->isVisible());
            QVERIFY(!d->isModal());
        }
        QVERIFY(w.mailingDlg->minimumSize() == w.mailingDlg->maximumSize()); // fixed border
        QVERIFY(w.labelsDlg->minimumSize() != w.labelsDlg->maximumSize());   // resizable
        // The grids stand on the main window's tables.
        choose(w.mailingDlg.get(), "LanguageGrid", "FR");
        QCOMPARE(child<DbGrid>(w.mailDlg, "LanguageGrid")->currentIndex().data().toString(), "FR");
        press(w.mailingDlg.get(), "CancelButton");
        QVERIFY(!w.mailingDlg->isVisible());
        QCOMPARE(log.events().size(), 0);
    }

    // The mailing holds exactly the distributors of the language, in table
    // order, runs that language's row and leaves the page on the distributor
    // shown before, whose unsaved change it stored first.
    void mailingHoldsTheLanguageOnly()
    {
        data().Tdistributor->moveTo(4);
        child<DbEdit>(w.main, "DistributorPerson")->setTextAsTyped("Eva Changed");
        press(w.main.get(), "DistributorMailingPrintSpeed");
        choose(w.mailingDlg.get(), "ProductGrid", "Ledger");
        choose(w.mailingDlg.get(), "LanguageGrid", "EN");
        press(w.mailingDlg.get(), "OKButton");
        finish();
        QVERIFY2(rec->messages.isEmpty(), qPrintable(rec->messages.value(0).text));
        QVERIFY(!w.mailingDlg->isVisible());
        QCOMPARE(log.commands(), QStringList{"[mailing en]"});
        QCOMPARE(recordsOf(log.events("execute").first()),
                 (QList<Fields>{mailed("Mary Ann Smith", "Mrs", "Dear Madam", "Smith", "2"),
                                mailed("Bob Brown", "Dr", "", "Brown", "4"),
                                mailed("Solo", "", "Dear Sir or Madam", "Solo", "6")}));
        QCOMPARE(data().Tdistributor->recNo(), 4);
        QCOMPARE(data().Tdistributor->state(), DataSetState::Browse);
        QCOMPARE(child<DbEdit>(w.main, "DistributorPerson")->text(), "Eva Changed");
        QCOMPARE(fx->value("Xdistributor", "SELECT Person FROM Xdistributor WHERE rowid = 5").toString(),
                 "Eva Changed");

        // Another product's row for the same language.
        choose(w.mailingDlg.get(), "ProductGrid", "Sketch");
        press(w.main.get(), "DistributorMailingPrintSpeed");
        press(w.mailingDlg.get(), "OKButton");
        finish();
        QCOMPARE(log.commands().last(), "[sketch mailing]");
        QCOMPARE(recordsOf(log.events("execute").last()).size(), 3);
    }

    // A language nobody speaks still runs its macro, over an empty table; a
    // new distributor never typed into is dropped and the page stays on the
    // last one.
    void emptyMailingAfterAppend()
    {
        press(w.main.get(), "DistributorAppendSpeed");
        QCOMPARE(data().Tdistributor->state(), DataSetState::Insert);
        QCOMPARE(child<DbEdit>(w.main, "DistributorCompany")->text(), QString());
        press(w.main.get(), "DistributorMailingPrintSpeed");
        choose(w.mailingDlg.get(), "ProductGrid", "Ledger");
        choose(w.mailingDlg.get(), "LanguageGrid", "FR");
        press(w.mailingDlg.get(), "OKButton");
        finish();
        QCOMPARE(log.commands(), QStringList{"[mailing fr]"});
        QCOMPARE(recordsOf(log.events("execute").first()), QList<Fields>{});
        QCOMPARE(data().Tdistributor->state(), DataSetState::Browse);
        QCOMPARE(fx->value("Xdistributor", "SELECT count(*) FROM Xdistributor").toInt(), 7);
        QCOMPARE(child<DbEdit>(w.main, "DistributorPerson")->text(), "Mixed Case");
    }

    // The letter dialog switched to the envelope while shown makes an
    // envelope; its language grid does not choose the row; the record
    // carries the fax as shown and no licence owner.
    void mailDialogSwitchedToEnvelope()
    {
        data().Tdistributor->moveTo(1);
        child<DbEdit>(w.main, "DistributorFax")->setTextAsTyped("+44 1 2345");
        press(w.main.get(), "DistributorMailPrintSpeed");
        QCOMPARE(w.mailDlg->Tag, 2);
        press(w.main.get(), "DistributorEnveloppePrintSpeed");
        QCOMPARE(w.mailDlg->Tag, 1);
        choose(w.mailDlg.get(), "ProductGrid", "Ledger");
        choose(w.mailDlg.get(), "LanguageGrid", "DE");
        press(w.mailDlg.get(), "OKButton");
        finish();
        QVERIFY(!w.mailDlg->isVisible());
        QCOMPARE(log.commands(), QStringList{"[envelope en]"});
        QCOMPARE(recordsOf(log.events("execute").first()), (QList<Fields>{{{"Person", "Mary Ann Smith"},
                                                                           {"Title", "Mrs"},
                                                                           {"Company", "Company 2"},
                                                                           {"Address", "Street 2\r\nTown 2"},
                                                                           {"FaxOrEMail", "+44 1 2345"},
                                                                           {"Politeness", "Dear Madam"},
                                                                           {"Name", "Smith"}}}));

        // No settings row for the product and the distributor's language:
        // a message, nothing sent, and the dialog stays up.
        press(w.main.get(), "DistributorMailPrintSpeed");
        choose(w.mailDlg.get(), "ProductGrid", "Sketch");
        data().Tdistributor->moveTo(0);
        press(w.mailDlg.get(), "OKButton");
        QCOMPARE(rec->errors(), QStringList{"There are no document settings for the product \"Sketch\" and the "
                                            "language \"DE\"."});
        QVERIFY(w.mailDlg->isVisible());
        QCOMPARE(log.commands().size(), 1);
    }

    // Labels right after an invoice: the invoice's record stays for them.
    void labelsAfterInvoice()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Title, Product, Language, NetAmount, Tax) VALUES "
                          "('John Doe', 'Mr', 'Ledger', 'EN', 100, 20.6)");
        data().Tsale->refresh();
        data().Tsale->first();
        press(w.main.get(), "OrderInvoicePrintSpeed");
        finish();
        press(w.main.get(), "LabelsPrintSpeed");
        choose(w.labelsDlg.get(), "ProductGrid", "Ledger");
        choose(w.labelsDlg.get(), "LanguageGris", "EN");
        press(w.labelsDlg.get(), "OKButton");
        finish();
        QVERIFY(!w.labelsDlg->isVisible());
        QCOMPARE(log.commands(), (QStringList{"[invoice en]", "[labels en]"}));
        const auto sent = log.events("execute");
        QCOMPARE(recordsOf(sent[0]).value(0).value("Total"), "120.6");
        QCOMPARE(recordsOf(sent[1]), recordsOf(sent[0]));
    }

    // Labels as the run's first document start the word processor first.
    void labelsFirstStartTheWordProcessor()
    {
        QVERIFY(!w.main->WordProcessorLinked());
        press(w.main.get(), "LabelsPrintSpeed");
        choose(w.labelsDlg.get(), "ProductGrid", "Sketch");
        choose(w.labelsDlg.get(), "LanguageGris", "EN");
        press(w.labelsDlg.get(), "OKButton");
        finish();
        QVERIFY(w.main->WordProcessorLinked());
        QCOMPARE(log.count("start"), 1);
        QCOMPARE(log.count("connect"), 1);
        QCOMPARE(log.commands(), QStringList{"[sketch labels]"});
        QCOMPARE(recordsOf(log.events("execute").first()), QList<Fields>{});
    }
};

QTEST_MAIN(TestDistributorDocuments)
#include "tst_distributordocuments.moc"
