#include "data/dataset.h"
#include "tests/support/errorof.h"
#include "documents/orderdocuments.h"
#include "tests/support/standinlog.h"
#include "tests/support/tablefixture.h"

#include <QDBusConnection>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace kestrova;

namespace {

using Fields = QHash<QString, QString>;

const QString kBusy =
    QStringLiteral("The word processor is still busy with the previous document. Try again when it has finished.");

ShownOrder shownOrder()
{
    ShownOrder o;
    o.boxes = {{"Person", "John Doe"},
               {"Title", "Mr"},
               {"Company", "Doe Trading"},
               {"Address", "1 Main Street\nSpringfield"},
               {"FaxOrEMail", "john@doe.example"},
               {"Product", "Ledger"},
               {"Language", "EN"},
               {"Licensee", "Mr John Doe"},
               {"OrderDate", "12/7/26"},
               {"Reference", "PO-17"},
               {"NumberOfLicenses", "2"},
               {"Currency", "EUR"},
               {"PaymentMeans", "Card"},
               {"PaymentDate", "12/8/26"},
               {"InvoiceNumber", "2026-041"},
               {"NetAmount", "100"},
               {"Tax", "20.6"}};
    return o;
}

ShownOrder withDelivery(ShownOrder o)
{
    o.boxes.insert("DeliveryPerson", "Mary Ann Smith");
    o.boxes.insert("DeliveryTitle", "Mrs");
    o.boxes.insert("DeliveryCompany", "Smith Logistics");
    o.boxes.insert("DeliveryAddress", "9 Dock Road\r\nPortsmouth");
    o.boxes.insert("DeliveryFaxOrEMail", "+44 23 9200");
    return o;
}

const Fields kBillingAddress = {{"Person", "John Doe"},
                                {"Title", "Mr"},
                                {"Company", "Doe Trading"},
                                {"Address", "1 Main Street\r\nSpringfield"},
                                {"FaxOrEMail", "john@doe.example"},
                                {"Politeness", "Dear Sir"},
                                {"Name", "Doe"}};

Fields invoiceFields()
{
    Fields f = kBillingAddress;
    f.insert({{"Date", "12/7/26"},
              {"Product", "Ledger"},
              {"Language", "EN"},
              {"Licensee", "Mr John Doe"},
              {"Reference", "PO-17"},
              {"NumberOfLicenses", "2"},
              {"Currency", "EUR"},
              {"PaymentMeans", "Card"},
              {"PaymentDate", "12/8/26"},
              {"InvoiceNumber", "2026-041"},
              {"NetAmount", "100"},
              {"Tax", "20.6"},
              {"Total", "120.6"}});
    for (const char* f2 : {"Person", "Title", "Company", "Address", "FaxOrEMail", "Politeness", "Name"})
        f.insert(QStringLiteral("Delivery") + QString::fromLatin1(f2), f.value(QString::fromLatin1(f2)));
    return f;
}

Fields onlyDelivery(const Fields& all)
{
    Fields out;
    for (auto it = all.begin(); it != all.end(); ++it)
        if (it.key().startsWith(QLatin1String("Delivery")))
            out.insert(it.key(), it.value());
    return out;
}

Fields fromMap(const QVariantMap& m)
{
    Fields out;
    for (auto it = m.begin(); it != m.end(); ++it)
        out.insert(it.key(), it.value().toString());
    return out;
}

} // namespace

// The order documents on real table files, sent to the stand-in word
// processor on the test's private bus.
class TestOrderDocuments : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    StandInLog log;
    LinkSettings settings;
    QStringList shown;
    std::unique_ptr<Table> exchange, factory, titles;
    std::unique_ptr<WordProcessorLink> link;
    std::unique_ptr<DocumentSender> sender;
    std::unique_ptr<OrderDocuments> docs;
    int services = 0;
    const LocaleFormat fmt = LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US")));

    static QString standIn(const QString& options)
    {
        return QLatin1Char('"') + QStringLiteral(KESTROVA_STANDIN) + QStringLiteral("\" ") + options;
    }

    std::unique_ptr<Table> table(const char* name, bool open)
    {
        auto t = std::make_unique<Table>();
        t->setDirectory(fx->dir());
        t->setTableName(QString::fromLatin1(name));
        t->setLocaleFormat(fmt);
        if (open)
            t->open();
        return t;
    }

    // The exchange table's rows as they stand, fields that hold text only.
    QList<Fields> exchangeRows()
    {
        QStringList columns;
        for (int i = 0; i < kExchangeFieldCount; ++i)
            columns << exchangeFieldName(ExchangeField(i));
        QList<Fields> out;
        for (const QVariantList& row :
             fx->rows("Xexport", "SELECT " + columns.join(", ") + " FROM Xexport ORDER BY rowid")) {
            Fields f;
            for (int i = 0; i < columns.size(); ++i)
                if (!row[i].toString().isEmpty())
                    f.insert(columns[i], row[i].toString());
            out << f;
        }
        return out;
    }

    QList<Fields> recordsSentWith(int execute)
    {
        QList<Fields> out;
        for (const QVariantMap& m : StandInLog::records(log.events("execute").value(execute)))
            out << fromMap(m);
        return out;
    }

    void finish() { QTRY_VERIFY(!link->isBusy()); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test under dbus-run-session");
    }

    void init()
    {
        fx = std::make_unique<TableFixture>();
        fx->exec("Xtitle", "INSERT INTO Xtitle VALUES ('Mr', 'Dear Sir'), ('Mrs', 'Dear Madam'), "
                           "('Dr', 'Dear Doctor')");
        fx->exec("Xfactory",
                 "INSERT INTO Xfactory VALUES ('Ledger', 'EN', '[labels]', '[envelope]', "
                 "'[letter]', '[mailing]', '[invoice]', ?), ('Sketch', 'FR', '', "
                 "'[enveloppe]', '[lettre]', '', '[facture]', '')",
                 {standIn("--exit")});
        log.setPath(QDir(fx->dir()).filePath("standin.jsonl"));
        qputenv("KESTROVA_STANDIN_LOG", log.path().toLocal8Bit());
        const QString service = QStringLiteral("org.kestrova.test.Documents%1").arg(++services);
        settings = {standIn("--service " + service), service, "Orders", "[final]"};
        shown.clear();
        exchange = table("Xexport", false);
        factory = table("Xfactory", true);
        titles = table("Xtitle", true);
        link =
            std::make_unique<WordProcessorLink>([this] { return settings; }, [this](const QString& t) { shown << t; });
        link->setWorkingDirectory(fx->dir());
        sender =
            std::make_unique<DocumentSender>(link.get(), DocumentTables{exchange.get(), factory.get(), titles.get()},
                                             [this](const QString& t) { shown << t; });
        docs = std::make_unique<OrderDocuments>(sender.get());
        docs->setLocaleFormat(fmt);
    }

    void cleanup()
    {
        docs.reset();
        sender.reset();
        link.reset();
        log.endStandIns();
    }

    void extractName_data()
    {
        QTest::addColumn<QString>("person");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("first and last") << "John Doe" << "Doe";
        QTest::newRow("three words") << "Mary Ann Smith" << "Smith";
        QTest::newRow("one word") << "Smith" << "Smith";
        QTest::newRow("ends with a blank") << "John Doe " << "";
        QTest::newRow("two blanks") << "John  Doe" << "Doe";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("only the first 255 characters") << QString(253, 'a') + " Doe" << "D";
        // clang-format on
    }
    void extractName()
    {
        QFETCH(QString, person);
        QFETCH(QString, name);
        QCOMPARE(ExtractName(person), name);
    }

    void politenessOfTitlesWithoutRowIsEmpty()
    {
        QCOMPARE(sender->LookupPoliteness("Mrs"), QStringLiteral("Dear Madam"));
        // The row found before belongs to another title.
        QCOMPARE(sender->LookupPoliteness("Prof"), QString());
        QCOMPARE(sender->LookupPoliteness(""), QString());
        fx->exec("Xtitle", "INSERT INTO Xtitle VALUES ('', 'Hello')");
        QCOMPARE(sender->LookupPoliteness(""), QStringLiteral("Hello"));
    }

    void addressRecord_data()
    {
        QTest::addColumn<ShownOrder>("order");
        QTest::addColumn<Fields>("expected");
        QTest::newRow("billing page") << withDelivery(shownOrder()) << kBillingAddress;
        ShownOrder delivery = withDelivery(shownOrder());
        delivery.addressTab = ShownOrder::AddressTab::Delivery;
        QTest::newRow("delivery page") << delivery
                                       << Fields{{"Person", "Mary Ann Smith"},
                                                 {"Title", "Mrs"},
                                                 {"Company", "Smith Logistics"},
                                                 {"Address", "9 Dock Road\r\nPortsmouth"},
                                                 {"FaxOrEMail", "+44 23 9200"},
                                                 {"Politeness", "Dear Madam"},
                                                 {"Name", "Smith"}};
        ShownOrder emptyDelivery = shownOrder();
        emptyDelivery.addressTab = ShownOrder::AddressTab::Delivery;
        QTest::newRow("empty delivery page") << emptyDelivery << Fields{};
        ShownOrder unknownTitle = shownOrder();
        unknownTitle.boxes["Title"] = "Prof";
        unknownTitle.boxes["Person"] = "John Doe ";
        Fields noName = kBillingAddress;
        noName["Title"] = "Prof";
        noName["Person"] = "John Doe ";
        noName.remove("Name");
        noName.remove("Politeness");
        QTest::newRow("unknown title, person ending in a blank") << unknownTitle << noName;
    }
    void addressRecord()
    {
        QFETCH(ShownOrder, order);
        QFETCH(Fields, expected);
        // A title found before must not lend its salutation.
        QVERIFY(titles->findKey({"Mrs"}));
        docs->ExportAddress(withDelivery(shownOrder()));
        docs->ExportAddress(order);
        QCOMPARE(exchangeRows(), QList<Fields>{expected});
    }

    void invoiceTotal_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("net");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("total");
        // clang-format off
        QTest::newRow("100 and 20.6") << "en_US" << "100" << "20.6" << "120.6";
        QTest::newRow("tax 0") << "en_US" << "100" << "0" << "100";
        QTest::newRow("99.99 and 0") << "en_US" << "99.99" << "0" << "99.99";
        QTest::newRow("empty tax") << "en_US" << "100" << "" << "";
        QTest::newRow("empty net amount") << "en_US" << "" << "20.6" << "";
        QTest::newRow("decimal comma") << "de_DE" << "100" << "20,6" << "120,6";
        // clang-format on
    }
    void invoiceTotal()
    {
        QFETCH(QString, locale);
        QFETCH(QString, net);
        QFETCH(QString, tax);
        QFETCH(QString, total);
        ShownOrder o = shownOrder();
        o.boxes["NetAmount"] = net;
        o.boxes["Tax"] = tax;
        const ExchangeRecord r = invoiceRecord(o, *sender, LocaleFormat::fromLocale(QLocale(locale)));
        QCOMPARE(r.value(ExchangeField::Total), total);
        QCOMPARE(r.value(ExchangeField::NetAmount), net);
        QCOMPARE(r.value(ExchangeField::Tax), tax);
    }

    void invoiceDeliveryBlock_data()
    {
        QTest::addColumn<ShownOrder>("order");
        QTest::addColumn<Fields>("block");
        QTest::newRow("no delivery data: billing") << shownOrder() << onlyDelivery(invoiceFields());
        ShownOrder faxOnly = shownOrder();
        faxOnly.boxes["DeliveryFaxOrEMail"] = "+44 23 9200";
        QTest::newRow("only a delivery fax") << faxOnly << Fields{{"DeliveryFaxOrEMail", "+44 23 9200"}};
        ShownOrder shown = withDelivery(shownOrder());
        shown.addressTab = ShownOrder::AddressTab::Delivery; // the invoice does not follow the page
        QTest::newRow("delivery boxes") << shown
                                        << Fields{{"DeliveryPerson", "Mary Ann Smith"},
                                                  {"DeliveryName", "Smith"},
                                                  {"DeliveryTitle", "Mrs"},
                                                  {"DeliveryPoliteness", "Dear Madam"},
                                                  {"DeliveryCompany", "Smith Logistics"},
                                                  {"DeliveryAddress", "9 Dock Road\r\nPortsmouth"},
                                                  {"DeliveryFaxOrEMail", "+44 23 9200"}};
        ShownOrder oneWord = shownOrder();
        oneWord.boxes["DeliveryPerson"] = "Smith";
        oneWord.boxes["DeliveryTitle"] = "Dr";
        QTest::newRow("delivery person of one word") << oneWord
                                                     << Fields{{"DeliveryPerson", "Smith"},
                                                               {"DeliveryName", "Smith"},
                                                               {"DeliveryTitle", "Dr"},
                                                               {"DeliveryPoliteness", "Dear Doctor"}};
        ShownOrder noTitle = shownOrder();
        noTitle.boxes["Title"] = "";
        Fields noTitleBlock = onlyDelivery(invoiceFields());
        noTitleBlock.remove("DeliveryTitle");
        noTitleBlock.remove("DeliveryPoliteness");
        QTest::newRow("empty billing title") << noTitle << noTitleBlock;
    }
    void invoiceDeliveryBlock()
    {
        QFETCH(ShownOrder, order);
        QFETCH(Fields, block);
        QVERIFY(titles->findKey({"Mrs"}));
        const Fields fields = invoiceRecord(order, *sender, fmt).filled();
        QCOMPARE(onlyDelivery(fields), block);
        QCOMPARE(fields.value("Politeness"), order.value("Title").isEmpty() ? QString() : "Dear Sir");
    }

    void documentsReachWordProcessor()
    {
        const QByteArray orders = fx->fileBytes("Xsale");
        ShownOrder delivery = withDelivery(shownOrder());
        delivery.addressTab = ShownOrder::AddressTab::Delivery;
        docs->envelope(delivery);
        finish();
        docs->invoice(shownOrder());
        finish();
        docs->letter(shownOrder());
        finish();
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join('\n')));
        QCOMPARE(log.commands(), (QStringList{"[envelope]", "[invoice]", "[letter]"}));
        QCOMPARE(recordsSentWith(0), QList<Fields>{kestrova::addressRecord(delivery, *sender).filled()});
        QCOMPARE(recordsSentWith(1), QList<Fields>{invoiceFields()});
        QCOMPARE(recordsSentWith(2), QList<Fields>{kBillingAddress});
        // One word processor, one conversation; the invoice's batch.
        QCOMPARE(log.count("connect"), 1);
        QTRY_COMPARE(log.count("start"), 2);
        QCOMPARE(log.events("start").last().value("args").toVariant().toStringList(),
                 (QStringList{"--exit", "Mr John Doe"}));
        QCOMPARE(fx->fileBytes("Xsale"), orders);
    }

    void batchGetsLicenceOwnerAsOneArgument_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::newRow("invoice sent") << true;
        QTest::newRow("invoice refused") << false;
    }
    void batchGetsLicenceOwnerAsOneArgument()
    {
        QFETCH(bool, linked);
        if (!linked)
            settings.commandLine.clear();
        const QString owner = "O'Brien \"Q\" & Co; $(touch pwned) `touch pwned2` *";
        ShownOrder o = shownOrder();
        o.boxes["Licensee"] = owner;
        docs->invoice(o);
        finish();
        QCOMPARE(shown.isEmpty(), linked);
        QTRY_COMPARE(log.count("start"), linked ? 2 : 1);
        QCOMPARE(log.events("start").last().value("args").toVariant().toStringList(), (QStringList{"--exit", owner}));
        QCOMPARE(log.commands(), linked ? QStringList{"[invoice]"} : QStringList{});
        QVERIFY(!QFile::exists(QDir(fx->dir()).filePath("pwned")));
        QVERIFY(!QFile::exists(QDir(fx->dir()).filePath("pwned2")));
    }

    void emptyBatchStartsNothing()
    {
        fx->exec("Xfactory", "UPDATE Xfactory SET Batch = ''");
        docs->invoice(shownOrder());
        finish();
        QCOMPARE(log.commands(), QStringList{"[invoice]"});
        QCOMPARE(log.count("start"), 1);
    }

    void noSettingsRowSendsNothing_data()
    {
        QTest::addColumn<int>("document");
        QTest::newRow("envelope") << 0;
        QTest::newRow("invoice") << 1;
        QTest::newRow("letter") << 2;
    }
    void noSettingsRowSendsNothing()
    {
        QFETCH(int, document);
        docs->ExportAddress(shownOrder());
        const QList<Fields> before = exchangeRows();
        QVERIFY(sender->FindFactoryRow("Sketch", "FR"));
        ShownOrder o = shownOrder();
        o.boxes["Product"] = "Sketch";
        void (OrderDocuments::*make[])(const ShownOrder&) = {&OrderDocuments::envelope, &OrderDocuments::invoice,
                                                             &OrderDocuments::letter};
        (docs.get()->*make[document])(o);
        QCOMPARE(shown, QStringList{"There are no document settings for the product \"Sketch\" and "
                                    "the language \"EN\"."});
        QCOMPARE(log.events().size(), 0);
        QCOMPARE(exchangeRows(), before);
        // The row shown on the settings page stays.
        QCOMPARE(factory->fieldText("Envelope"), QStringLiteral("[enveloppe]"));
    }

    void documentWhileBusyIsRefused()
    {
        fx->exec("Xfactory", "UPDATE Xfactory SET Envelope = '[delay 1500]', Batch = ''");
        docs->envelope(shownOrder());
        QVERIFY(link->isBusy());
        ShownOrder other = shownOrder();
        other.boxes["Person"] = "Jane Roe";
        docs->invoice(other);
        docs->letter(other);
        QCOMPARE(shown, (QStringList{kBusy, kBusy}));
        QCOMPARE(exchangeRows(), QList<Fields>{kBillingAddress});
        finish();
        docs->letter(other);
        finish();
        QCOMPARE(log.commands(), (QStringList{"[delay 1500]", "[letter]"}));
        QCOMPARE(recordsSentWith(1).value(0).value("Name"), QStringLiteral("Roe"));
    }

    void badAmountStopsInvoice()
    {
        docs->ExportAddress(shownOrder());
        const QByteArray before = fx->fileBytes("Xexport");
        ShownOrder o = shownOrder();
        o.boxes["NetAmount"] = "abc";
        QCOMPARE(errorOf([&] { docs->invoice(o); }), QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(fx->fileBytes("Xexport"), before);
        QCOMPARE(log.events().size(), 0);
    }

    void exchangeHeldByAnotherProgram()
    {
        docs->ExportAddress(shownOrder());
        const QByteArray before = fx->fileBytes("Xexport");
        QString failure;
        {
            // A reader in the middle of its read transaction.
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "reader");
            db.setDatabaseName(fx->path("Xexport"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("BEGIN"));
            QVERIFY(q.exec("SELECT count(*) FROM Xexport") && q.next());
            failure = errorOf([&] { docs->letter(withDelivery(shownOrder())); });
            q.exec("COMMIT");
            q.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase("reader");
        QVERIFY2(failure.startsWith("Cannot open table Xexport") && failure.contains("database is locked"),
                 qPrintable(failure));
        QCOMPARE(fx->fileBytes("Xexport"), before);
        QCOMPARE(log.events().size(), 0);
        // The next document finds the table free again.
        docs->letter(shownOrder());
        finish();
        QCOMPARE(log.commands(), QStringList{"[letter]"});
    }

    void writerCutsTextsToTheirFields()
    {
        ExchangeRecord r;
        r.set(ExchangeField::Person, QString(300, 'p'));
        r.set(ExchangeField::Address, QString(600, 'a'));
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
        r.set(ExchangeField::Company, QString(254, 'c') + smile + "tail");
        writeExchangeTable(*exchange, {r});
        const Fields row = exchangeRows().value(0);
        QCOMPARE(row.value("Person"), QString(255, 'p'));
        QCOMPARE(row.value("Address"), QString(511, 'a'));
        QCOMPARE(row.value("Company"), QString(254, 'c') + smile);
        QCOMPARE(cutToLength(QString(3, 'x') + smile, 4), QString(3, 'x') + smile);
        QCOMPARE(cutToLength(smile + smile, 1), smile);
    }

    void writerReplacesAllOrNothing()
    {
        std::vector<ExchangeRecord> three(3);
        for (int i = 0; i < 3; ++i)
            three[size_t(i)].set(ExchangeField::Person, QString::number(i));
        writeExchangeTable(*exchange, three);
        QCOMPARE(exchangeRows(), (QList<Fields>{{{"Person", "0"}}, {{"Person", "1"}}, {{"Person", "2"}}}));
        QVERIFY(!exchange->isOpen());

        // A record refused half-way leaves the previous content whole.
        fx->exec("Xexport", "CREATE TRIGGER refuse BEFORE INSERT ON Xexport WHEN NEW.Person = 'boom' "
                            "BEGIN SELECT RAISE(ABORT, 'refused by the table'); END");
        std::vector<ExchangeRecord> failing(2);
        failing[0].set(ExchangeField::Person, "fine");
        failing[1].set(ExchangeField::Person, "boom");
        QCOMPARE(errorOf([&] { writeExchangeTable(*exchange, failing); }),
                 QStringLiteral("Cannot write the exchange table Xexport: refused by the table"));
        QCOMPARE(exchangeRows().size(), 3);
        QVERIFY(!exchange->isOpen());

        writeExchangeTable(*exchange, {});
        QCOMPARE(exchangeRows().size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestOrderDocuments)
#include "tst_orderdocuments.moc"
