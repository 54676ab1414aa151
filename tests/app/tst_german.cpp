// Kestrova in German: every caption, tab, hint and button of the windows is
// translated, and a message put together from parts reads as one sentence.

#include "app/mainform.h"
#include "app/startup.h"
#include "data/companyfields.h"
#include "data/error.h"
#include "data/schema.h"
#include "data/table.h"
#include "i18n/language.h"
#include "setup/companysettings.h"
#include "setup/firststartwizard.h"
#include "tests/support/recordingprompter.h"
#include "tests/support/tablefixture.h"
#include "writer/einvoice.h"
#include "writer/writererror.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace kestrova;

namespace {

// Where a text sits: the chain of object names (class and position among
// its siblings when unnamed), the same in every run.
QString placeOf(const QObject* o)
{
    QStringList parts;
    for (; o; o = o->parent()) {
        QString name = o->objectName();
        if (name.isEmpty() && o->parent())
            name = QString::fromLatin1(o->metaObject()->className()) + QLatin1Char('#') +
                   QString::number(o->parent()->children().indexOf(const_cast<QObject*>(o)));
        parts.prepend(name);
    }
    return parts.join(QLatin1Char('/'));
}

// Every text a person reads on a window and all it holds, by place.
QMap<QString, QString> textsOf(QWidget* root)
{
    QMap<QString, QString> out;
    auto add = [&](const QObject* o, const char* what, const QString& text) {
        if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}"))))
            out.insert(placeOf(o) + QLatin1Char(':') + QLatin1String(what), text);
    };
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (w->isWindow())
            add(w, "title", w->windowTitle());
        add(w, "tooltip", w->toolTip());
        add(w, "statustip", w->statusTip());
        if (auto* l = qobject_cast<QLabel*>(w))
            add(l, "text", l->text());
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            add(b, "text", b->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            add(g, "title", g->title());
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            add(e, "placeholder", e->placeholderText());
        if (auto* t = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i)
                add(t, qPrintable(QStringLiteral("tab%1").arg(i)), t->tabText(i));
        if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model())
            for (int c = 0; c < v->model()->columnCount(); ++c)
                add(v, qPrintable(QStringLiteral("column%1").arg(c)),
                    v->model()->headerData(c, Qt::Horizontal).toString());
    }
    for (QAction* a : root->findChildren<QAction*>())
        add(a, "action", a->text());
    return out;
}

// The windows of the demo set, and the first-start wizard.
QMap<QString, QString> allTexts(const QString& demo)
{
    QMap<QString, QString> out;
    {
        Windows w = startKestrova(demo);
        if (!w.main)
            return {};
        out.insert(textsOf(w.main.get()));
    }
    QTemporaryDir empty;
    FirstStartWizard wizard(empty.path(), QString(), QLocale(QLocale::German, QLocale::Germany));
    out.insert(textsOf(&wizard));
    return out;
}

// Texts that read the same in both languages, sample values, and the grid's
// column titles, which are the order table's field names.
bool sameInGerman(QString text)
{
    static const QStringList same{
        "OK",
        "Kestrova",
        "Name:",
        "Person:",
        "Fax:",
        "E-Mail",
        "Export",
        "Import",
        "Status",
        "Bank:",
        "BIC:",
        "IBAN:",
        "Muster Software GmbH",
        "DE123456789",
        "DE89 3704 0044 0532 0130 00",
    };
    text.remove(QLatin1Char('&'));
    return same.contains(text) || saleFieldNames().contains(text) ||
           text == QLatin1String("Version ") + QLatin1String(KESTROVA_VERSION);
}

} // namespace

class TestGerman : public QObject {
    Q_OBJECT

    QTemporaryDir demo;
    std::unique_ptr<RecordingPrompter> rec;

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QProcess::execute(QStringLiteral(KESTROVA_TABLES_TOOL), {QStringLiteral("demo"), demo.path()}), 0);
        rec = std::make_unique<RecordingPrompter>();
    }

    // The desktop's order of preference decides; English where preferred or
    // where there is no catalogue.
    void languageChosen()
    {
        const QStringList de{QStringLiteral("de")};
        QCOMPARE(chooseLanguage({}, {"de-AT", "de-Latn-AT", "de"}, de), QStringLiteral("de"));
        QCOMPARE(chooseLanguage({}, {"fr-FR", "de-DE"}, de), QStringLiteral("de"));
        QCOMPARE(chooseLanguage({}, {"en", "en-US", "de"}, de), QString());
        QCOMPARE(chooseLanguage({}, {"C"}, de), QString());
        QCOMPARE(chooseLanguage(QStringLiteral("de_CH.UTF-8"), {"en-US"}, de), QStringLiteral("de"));
        QCOMPARE(chooseLanguage(QStringLiteral("fr"), {"de-DE"}, de), QString());
        QCOMPARE(languageArgument({"kestrova", "--folder", "x", "--language=de"}), QStringLiteral("de"));
        QCOMPARE(languageArgument({"kestrova", "--language", "de"}), QStringLiteral("de"));
        QCOMPARE(languageArgument({"kestrova", "--", "--language", "de"}), QString());
        QVERIFY(availableLanguages().contains(QStringLiteral("de")));
    }

    // The English run first, then the same windows made again in German.
    void windowsLeaveNothingInEnglish()
    {
        const QMap<QString, QString> english = allTexts(demo.path());
        QVERIFY(english.size() > 300);
        QCOMPARE(installTranslations(*qApp, QStringLiteral("de"), {QStringLiteral("kestrova")}), QStringLiteral("de"));
        const QMap<QString, QString> german = allTexts(demo.path());
        QCOMPARE(german.keys(), english.keys());

        QStringList untranslated;
        for (auto it = english.begin(); it != english.end(); ++it)
            if (german.value(it.key()) == it.value() && !sameInGerman(it.value()))
                untranslated << it.key() + QLatin1String(" = ") + it.value();
        for (const QString& t : untranslated)
            qWarning("still English: %s", qPrintable(t));
        QVERIFY2(untranslated.isEmpty(), "texts left in English");
        // The countries of the company's settings by their German names, in
        // German order.
        const QList<Country> all = countries();
        const auto at = std::find_if(all.begin(), all.end(), [](const Country& c) { return c.code == "AT"; });
        QCOMPARE(at->name, QStringLiteral("Österreich"));
        QVERIFY(std::find_if(all.begin(), all.end(), [](const Country& c) { return c.code == "DE"; }) < at);
        // Qt's own buttons come in German too.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
    }

    // Messages that insert a field's name or put a refusal together from
    // what is missing and where to enter it read as one German sentence.
    void composedMessagesReadAsOneSentence()
    {
        installTranslations(*qApp, QStringLiteral("de"),
                            {QStringLiteral("kestrova-writer"), QStringLiteral("kestrova")});
        TableFixture fx;
        fx.addOrders({QStringLiteral("Ann")});
        Table sale;
        sale.setDirectory(fx.dir());
        sale.setTableName(QStringLiteral("Xsale"));
        sale.setLocaleFormat(LocaleFormat());
        sale.open();
        sale.edit();
        try {
            sale.setFieldText(QStringLiteral("NetAmount"), QStringLiteral("12,5"));
            QFAIL("no refusal");
        } catch (const Error& e) {
            QCOMPARE(e.message(), QStringLiteral("„12,5“ ist keine gültige Zahl für das Feld „NetAmount“"));
        }

        const QHash<QString, QString> order{{"Company", "Albrecht Steuerberatung"},
                                            {"Address", "Lindenstraße 12\n20095 Hamburg"},
                                            {"Date", "3/12/26"},
                                            {"Product", "Tidewater Ledger"},
                                            {"NumberOfLicenses", "2"},
                                            {"Currency", "EUR"},
                                            {"InvoiceNumber", "2026-0042"},
                                            {"NetAmount", "98"},
                                            {"Tax", "0"}};
        const QHash<QString, QString> seller{{company::Name, "Feldmark Software GmbH"},
                                             {company::Country, "DE"},
                                             {company::VatId, "DE123456789"},
                                             {company::Iban, "DE89370400440532013000"},
                                             {company::PaymentDays, "14"}};
        try {
            writer::makeEInvoice(order, seller, writer::EInvoiceForm::FacturX, LocaleFormat(), QDate(2026, 3, 20));
            QFAIL("no refusal");
        } catch (const writer::WriterError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("Rechnung 2026-0042")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("„Hinweis ohne USt.“")), qPrintable(e.message()));
            QVERIFY2(!e.message().contains(QRegularExpression(QStringLiteral("\\b(the|of|is|no|Enter)\\b"))),
                     qPrintable(e.message()));
        }
    }
};

QTEST_MAIN(TestGerman)
#include "tst_german.moc"
