#include "documents/documentdialogs.h"
#include "app/mainform.h"
#include "tests/support/recordingprompter.h"
#include "app/startup.h"

#include <QAbstractButton>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>

#include "tests/support/child.h"
#include "documents/wordprocessorlink.h"

using namespace kestrova;

// The demo set as `make demo` lays it out, with the document writer on the
// test's private session bus: every document button of the demo makes its
// PDF from the sample templates, and the invoice's batch writes a licence.
class TestDemoDocuments : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<RecordingPrompter> rec;
    Windows w;
    const QString service = QStringLiteral("org.kestrova.test.DemoWriter");

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    // Runs SQL on a table file of the demo folder before the program opens it.
    void exec(const QString& file, const QString& sql, const QVariantList& binds = {})
    {
        {
            auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo-setup"));
            db.setDatabaseName(path(file));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.prepare(sql));
            for (const QVariant& v : binds)
                q.addBindValue(v);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("demo-setup"));
    }

    static void press(QWidget* window, const char* button)
    {
        auto* b = child<QAbstractButton>(window, button);
        QVERIFY2(b->isEnabled(), button);
        b->click();
    }

    void finish()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!w.main->link().isBusy(), 60000);
        QVERIFY2(rec->messages.isEmpty(), qPrintable(rec->messages.value(0).text));
    }

    QStringList documents() const
    {
        return QDir(path(QStringLiteral("documents"))).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    }

    // A new document of the given name start appeared and is a PDF; its path.
    QString expectNew(const QStringList& before, const QString& start)
    {
        QString path;
        expectNewAt(before, start, path);
        return path;
    }
    void expectNewAt(const QStringList& before, const QString& start, QString& path)
    {
        QStringList added = documents();
        for (const QString& d : before)
            added.removeAll(d);
        QCOMPARE(added.size(), 1);
        QVERIFY2(added.front().startsWith(start), qPrintable(added.front()));
        QFile f(this->path(QStringLiteral("documents/") + added.front()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(5), QByteArray("%PDF-"));
        path = f.fileName();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test under dbus-run-session");
        QVERIFY(dir.isValid());
        QCOMPARE(QProcess::execute(QStringLiteral(KESTROVA_TABLES_TOOL), {QStringLiteral("demo"), dir.path()}), 0);
        QCOMPARE(QProcess::execute(QStringLiteral("cp"),
                                   {QStringLiteral("-r"), QStringLiteral(KESTROVA_SAMPLES_DIR "/templates"),
                                    path(QStringLiteral("templates"))}),
                 0);
        QVERIFY(QFile::copy(QStringLiteral(KESTROVA_SAMPLES_DIR "/batch/write-licence"),
                            path(QStringLiteral("write-licence"))));
        // The writer by its full path, under a name of this test's bus;
        // nobody sits at the screen to look at the PDFs.
        exec("Xtable.db", "UPDATE Xtable SET Value = ? WHERE Name = 'CommandLine'",
             {QStringLiteral("\"" KESTROVA_WRITER_PROGRAM "\" --service ") + service});
        exec("Xtable.db", "UPDATE Xtable SET Value = ? WHERE Name = 'DdeService'", {service});
        for (const char* column : {"Labels", "Envelope", "Mail", "Mailing", "Invoice"})
            exec("Xfactory.db",
                 QStringLiteral("UPDATE Xfactory SET %1 = replace(%1, '[Open]', '')").arg(QLatin1String(column)));
        rec = std::make_unique<RecordingPrompter>();
        w = startKestrova(dir.path());
        QVERIFY(w.main);
        w.main->show();
    }

    void cleanupTestCase()
    {
        if (w.main)
            w.main->close();
        QTRY_VERIFY_WITH_TIMEOUT(!QDBusConnection::sessionBus().interface()->isServiceRegistered(service).value(),
                                 30000);
        w = Windows();
    }

    void orderDocuments()
    {
        QStringList before = documents();
        press(w.main.get(), "OrderInvoicePrintSpeed");
        finish();
        // The demo's invoices carry their EN 16931 data.
        const QString invoice = expectNew(before, QStringLiteral("Invoice "));
        QPDF pdf;
        pdf.processFile(invoice.toLocal8Bit().constData());
        QVERIFY(QPDFEmbeddedFileDocumentHelper(pdf).getEmbeddedFile("factur-x.xml") != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(path(QStringLiteral("licences"))).entryList(QDir::Files).isEmpty(), 30000);

        before = documents();
        press(w.main.get(), "OrderEnveloppePrintSpeed");
        finish();
        expectNew(before, QStringLiteral("Envelope "));

        before = documents();
        press(w.main.get(), "OrderMailPrintSpeed");
        finish();
        expectNew(before, QStringLiteral("Letter "));
    }

    void mailingAndLabels()
    {
        QStringList before = documents();
        press(w.main.get(), "DistributorMailingPrintSpeed");
        press(w.mailingDlg.get(), "OKButton");
        finish();
        expectNew(before, QStringLiteral("Mailing "));

        before = documents();
        press(w.main.get(), "LabelsPrintSpeed");
        press(w.labelsDlg.get(), "OKButton");
        finish();
        expectNew(before, QStringLiteral("Labels"));
    }
};

QTEST_MAIN(TestDemoDocuments)
#include "tst_demodocuments.moc"
