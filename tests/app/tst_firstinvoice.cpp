// A new user's road, through the real window and the real writer on the
// test's private bus: an empty folder, Yes to a new set, the first start
// assistant filled in, one order, "Invoice", and the PDF carries the user's
// own company.
#include "app/mainform.h"
#include "app/startup.h"
#include "documents/wordprocessorlink.h"
#include "tests/support/recordingprompter.h"
#include "widgets/dbwidgets.h"

#include <QAbstractButton>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QDoubleSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWizard>

using namespace kestrova;

namespace {

template <typename T> T* child(QObject* parent, const char* name)
{
    auto* c = parent->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// The assistant, filled in as a new user would.
bool fillInAssistant(QDialog& dialog)
{
    auto& assistant = static_cast<QWizard&>(dialog);
    const std::pair<const char*, const char*> typed[] = {{"CompanyName", "Muster Software GmbH"},
                                                         {"CompanyStreet", "Hafenweg 7"},
                                                         {"CompanyPostcode", "20457"},
                                                         {"CompanyCity", "Hamburg"},
                                                         {"CompanyVatId", "DE123456789"},
                                                         {"CompanyIban", "DE89 3704 0044 0532 0130 00"},
                                                         {"Product", "Ledger Pro"}};
    for (const auto& [name, text] : typed)
        child<QLineEdit>(&assistant, name)->setText(QString::fromUtf8(text));
    child<QAbstractButton>(&assistant, "LanguageEN")->setChecked(true);
    child<QDoubleSpinBox>(&assistant, "NetPrice")->setValue(100);
    child<QDoubleSpinBox>(&assistant, "TaxRate")->setValue(19);
    assistant.show();
    assistant.next();
    assistant.next();
    assistant.button(QWizard::FinishButton)->click();
    return assistant.result() == QDialog::Accepted;
}

} // namespace

class TestFirstInvoice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newUsersFirstInvoice()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test under dbus-run-session");
        QTemporaryDir dir;
        RecordingPrompter rec;
        rec.answers << true;
        rec.filler = fillInAssistant;
        Windows w = startKestrova(dir.path());
        QVERIFY(w.main);
        QVERIFY2(rec.errors().isEmpty(), qPrintable(rec.errors().join('\n')));
        w.main->show();

        // The writer by its full path, under a name of this test's bus.
        const QString service = QStringLiteral("org.kestrova.test.FirstInvoice");
        child<QLineEdit>(w.main.get(), "TablesCommandLine")
            ->setText(QStringLiteral("\"" KESTROVA_WRITER_PROGRAM "\" --service ") + service);
        child<QLineEdit>(w.main.get(), "TablesDdeService")->setText(service);

        child<QAbstractButton>(w.main.get(), "OrderMailAppendSpeed")->click();
        child<DbEdit>(w.main.get(), "Person")->setTextAsTyped(QStringLiteral("Erika Mustermann"));
        child<DbLookupCombo>(w.main.get(), "Product")->chooseValue(QStringLiteral("Ledger Pro"));
        child<DbLookupCombo>(w.main.get(), "Language")->chooseValue(QStringLiteral("EN"));
        child<DbEdit>(w.main.get(), "NumberOfLicenses")->setTextAsTyped(QStringLiteral("1"));
        child<DbLookupCombo>(w.main.get(), "Currency")->chooseValue(QStringLiteral("EUR"));
        QApplication::setActiveWindow(w.main.get());
        child<QWidget>(w.main.get(), "NetAmount")->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        child<QAbstractButton>(child<QWidget>(w.main.get(), "OrderNavigator"), "NavPost")->click();
        QVERIFY2(rec.errors().isEmpty(), qPrintable(rec.errors().join('\n')));
        const QString number = child<DbEdit>(w.main.get(), "InvoiceNumber")->text();
        QCOMPARE(number, QStringLiteral("%1-0001").arg(QDate::currentDate().year()));

        child<QAbstractButton>(w.main.get(), "OrderInvoicePrintSpeed")->click();
        const QString pdf = QDir(dir.path()).filePath(QStringLiteral("documents/Invoice %1.pdf").arg(number));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pdf) && !w.main->link().isBusy(), 60000);
        QVERIFY2(rec.errors().isEmpty(), qPrintable(rec.errors().join('\n')));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* w : {"Muster Software GmbH", "Hafenweg 7", "20457 Hamburg", "DE89370400440532013000",
                              "Erika Mustermann", "Ledger Pro"})
            QVERIFY2(printed.contains(QString::fromUtf8(w)), qPrintable(QString::fromUtf8(w) + '\n' + printed));

        w.main->close();
        QTRY_VERIFY_WITH_TIMEOUT(!QDBusConnection::sessionBus().interface()->isServiceRegistered(service).value(),
                                 30000);
    }
};

QTEST_MAIN(TestFirstInvoice)
#include "tst_firstinvoice.moc"
