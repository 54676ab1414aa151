#include "tools/screenshots/documentpages.h"

#include "writer/conversation.h"
#include "data/dataobjects.h"
#include "data/dataset.h"
#include "data/salefields.h"
#include "data/schema.h"
#include "widgets/dbwidgets.h"
#include "documents/documentsender.h"
#include "documents/exchangetable.h"
#include "tools/screenshots/kestrovashots.h"
#include "documents/orderdocuments.h"
#include "tools/screenshots/shotdriver.h"
#include "writer/userfacing.h"
#include "writer/writererror.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>

namespace kestrova::shots {

namespace {

// The pictures stay in the folder; nothing is opened on the desktop.
class NoViewer : public writer::Viewer {
public:
    bool open(const QString&) override { return true; }
};

// The order of person as the "Sales" page shows it, box by box.
ShownOrder showOrder(Driver& d, const QString& person)
{
    QWidget* main = d.window(QStringLiteral("MainForm"));
    goToOrder(d, main, person);
    ShownOrder view;
    // Each box is named after the order field it shows.
    for (const QString& name : saleFieldNames()) {
        QWidget* control = d.child<QWidget>(main, name);
        if (auto* combo = qobject_cast<DbLookupCombo*>(control))
            view.boxes.insert(name, combo->value());
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            view.boxes.insert(name, edit->text());
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
            view.boxes.insert(name, memo->toPlainText());
    }
    return view;
}

// The mailing's records: every distributor of language, as stored.
std::vector<ExchangeRecord> mailingRecords(DataObjects& data, DocumentSender& road, const QString& language)
{
    using F = ExchangeField;
    std::vector<ExchangeRecord> records;
    Table& t = *data.Tdistributor;
    if (t.isEmpty())
        return records;
    for (t.first();; t.next()) {
        if (t.eof())
            break;
        if (t.fieldText(QStringLiteral("Language")) == language) {
            ExchangeRecord r;
            const QString person = t.fieldText(QStringLiteral("Person"));
            r.set(F::Person, person);
            r.set(F::Title, t.fieldText(QStringLiteral("Title")));
            r.set(F::Company, t.fieldText(QStringLiteral("Company")));
            r.set(F::Address, t.fieldText(QStringLiteral("Address")));
            r.set(F::FaxOrEMail, t.fieldText(QStringLiteral("Fax")));
            r.set(F::Politeness, road.LookupPoliteness(t.fieldText(QStringLiteral("Title"))));
            r.set(F::Name, ExtractName(person));
            r.set(F::Licensee, t.fieldText(QStringLiteral("Licensee")));
            records.push_back(r);
        }
    }
    return records;
}

// The macro of the document column for product and language, without the
// command that opens the written PDF in a viewer.
QString macroOf(DocumentSender& road, DataObjects& data, const QString& column, const QString& product,
                const QString& language)
{
    if (!road.FindFactoryRow(product, language))
        throw MissingWidget(QStringLiteral("document settings of %1, %2").arg(product, language));
    QString macro = data.Tfactory->fieldText(column);
    macro.remove(QRegularExpression(QStringLiteral("\\[\\s*open\\s*\\]"), QRegularExpression::CaseInsensitiveOption));
    return macro;
}

// The first page of pdf as outDir/png.
void firstPageToPng(const QString& pdf, const QString& outDir, const QString& png)
{
    QString base = QDir(outDir).filePath(png);
    base.chop(4); // pdftoppm adds ".png"
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-f"),
             QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, base});
    if (!p.waitForStarted(10000))
        throw std::runtime_error("pdftoppm cannot be started (Debian package poppler-utils)");
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        throw std::runtime_error(
            ("pdftoppm failed on " + pdf + ": " + QString::fromLocal8Bit(p.readAllStandardError()).trimmed())
                .toStdString());
    }
}

} // namespace

std::vector<DocumentPage> documentPages()
{
    return {{QStringLiteral("document-invoice.png"), QStringLiteral("an invoice written from the sample template")},
            {QStringLiteral("document-letter.png"), QStringLiteral("a letter written from the sample template")},
            {QStringLiteral("document-envelope.png"), QStringLiteral("an envelope written from the sample template")},
            {QStringLiteral("document-labels.png"), QStringLiteral("a sheet of labels after a mailing")}};
}

QStringList renderDocumentPages(DataObjects& data, const QString& workDir, const QString& outDir)
{
    Driver d;
    NoViewer viewer;
    QStringList failures;
    QString refused;
    DocumentSender road(nullptr, {data.Texport, data.Tfactory, data.Ttitle}, [&](const QString& m) { refused = m; });

    // Writes records, runs the column's macro and keeps page one as png.
    auto document = [&](const QString& png, const std::vector<ExchangeRecord>& records, const QString& column,
                        const QString& product, const QString& language) {
        try {
            const QString macro = macroOf(road, data, column, product, language);
            writeExchangeTable(*data.Texport, records);
            writer::Conversation conversation(workDir, viewer);
            conversation.execute(macro);
            if (conversation.lastPdf().isEmpty())
                throw std::runtime_error(("the macro wrote no PDF: " + macro).toStdString());
            firstPageToPng(conversation.lastPdf(), outDir, png);
        } catch (const MissingWidget& e) {
            failures << png + QStringLiteral(": missing ") + QString::fromStdString(e.what());
        } catch (const std::exception& e) {
            failures << png + QStringLiteral(": ") + QString::fromStdString(e.what());
        }
    };

    try {
        const ShownOrder invoiced = showOrder(d, QStringLiteral("Daniel Okafor"));
        document(QStringLiteral("document-invoice.png"), {invoiceRecord(invoiced, road, data.localeFormat())},
                 QStringLiteral("Invoice"), invoiced.value(sale::Product), invoiced.value(sale::Language));
        const ShownOrder written = showOrder(d, QStringLiteral("Owen Whitlock"));
        document(QStringLiteral("document-letter.png"), {addressRecord(written, road)}, QStringLiteral("Mail"),
                 written.value(sale::Product), written.value(sale::Language));
        document(QStringLiteral("document-envelope.png"), {addressRecord(written, road)}, QStringLiteral("Envelope"),
                 written.value(sale::Product), written.value(sale::Language));
        // Labels print whatever the last document wrote: here a mailing.
        document(QStringLiteral("document-labels.png"), mailingRecords(data, road, QStringLiteral("DE")),
                 QStringLiteral("Labels"), written.value(sale::Product), QStringLiteral("DE"));
    } catch (const std::exception& e) {
        failures << QStringLiteral("documents: ") + QString::fromStdString(e.what());
    }
    if (!refused.isEmpty())
        failures << QStringLiteral("documents: ") + refused;
    return failures;
}

} // namespace kestrova::shots
