#include "writer/conversation.h"

#include "writer/backgroundjob.h"
#include "writer/documenttemplate.h"
#include "writer/einvoice.h"
#include "writer/facturx.h"
#include "writer/exchangetable.h"
#include "writer/mailcommand.h"
#include "writer/markers.h"
#include "writer/outputpath.h"
#include "writer/printing.h"
#include "writer/renderer.h"
#include "writer/userfacing.h"
#include "writer/writererror.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace kestrova::writer {

Conversation::Conversation(const QString& workDir, Viewer& viewer, const QStringList& templateFolders)
    : m_workDir(workDir), m_viewer(viewer),
      m_templateFolders(templateFolders.isEmpty() ? kestrova::writer::templateFolders(workDir, QString())
                                                  : templateFolders)
{
}

Conversation::~Conversation() = default;

bool Conversation::execute(const QString& macro)
{
    const QList<Command> commands = parseMacro(macro);
    // The table is read anew for each macro, and not held between them.
    const auto release = qScopeGuard([this] { m_table.reset(); });
    for (const Command& c : commands) {
        switch (c.kind) {
        case Command::Quit: return true;
        case Command::Open:
            if (m_lastPdf.isEmpty())
                throw WriterError(WriterError::NoDocument, tr("[Open] has nothing to open: this conversation "
                                                              "has written no PDF yet"));
            if (!m_viewer.open(m_lastPdf))
                throw WriterError(WriterError::ViewerFailed,
                                  tr("No viewer could be started for \"%1\"").arg(m_lastPdf));
            break;
        // Bounded by the wait for the mail program; its process must stay on
        // this thread, where it is looked after once the wait is over.
        case Command::Mail: sendMail(c, table()); break;
        case Command::XRechnung: runInBackground([&] { writeXRechnung(c, table()); }); break;
        default: runInBackground([&] { runDocument(c, table()); });
        }
    }
    return false;
}

ExchangeTable& Conversation::table()
{
    if (!m_table)
        m_table = std::make_unique<ExchangeTable>(m_workDir);
    return *m_table;
}

void Conversation::runDocument(const Command& c, ExchangeTable& table)
{
    const DocumentTemplate tmpl = DocumentTemplate::find(c.templateName, m_templateFolders);
    ExchangeTable::Cursor cursor(table);
    if (!cursor.next())
        throw WriterError(WriterError::NoDocument, tr("The exchange table Xexport holds no record: there is "
                                                      "nothing to print with \"%1\"")
                                                       .arg(c.templateName));
    const Grid grid = c.isLabels() ? Grid{c.columns, c.rows} : Grid{};
    const QHash<QString, QString> settings = readCompanySettings(m_workDir);
    const RecordFields fields(table.fieldNames(), settings);
    if (c.toPrinter()) {
        PrinterTarget target(c.printer, tmpl.page(), QFileInfo(tmpl.path()).completeBaseName());
        render(tmpl, fields, cursor, target, grid);
        return;
    }
    // The output's own markers take the first record's values.
    const QString relative = MarkerText(c.output, fields.names()).expand(fields.values(cursor.values()), fileNamePart);
    const QString output = confinedOutputPath(m_workDir, relative, QStringLiteral(".pdf"));
    if (c.kind == Command::FacturX) {
        // The e-invoice is made first: a refused one leaves no PDF either.
        const QByteArray xml =
            ciiXml(makeEInvoice(recordOf(table.fieldNames(), cursor.values()), settings, EInvoiceForm::FacturX));
        FacturXTarget target(m_workDir, relative, tmpl.page(), xml);
        render(tmpl, fields, cursor, target, grid);
    } else {
        PdfTarget target(m_workDir, relative, tmpl.page());
        render(tmpl, fields, cursor, target, grid);
    }
    m_lastPdf = output;
}

// The first record's invoice as an XRechnung file.
void Conversation::writeXRechnung(const Command& c, ExchangeTable& table)
{
    ExchangeTable::Cursor cursor(table);
    if (!cursor.next())
        throw WriterError(
            WriterError::NoDocument,
            tr("The exchange table Xexport holds no record: there is no invoice for \"%1\"").arg(c.output));
    const QHash<QString, QString> settings = readCompanySettings(m_workDir);
    const RecordFields fields(table.fieldNames(), settings);
    const QString relative = MarkerText(c.output, fields.names()).expand(fields.values(cursor.values()), fileNamePart);
    confinedOutputPath(m_workDir, relative, QStringLiteral(".xml"));
    const EInvoice invoice =
        makeEInvoice(recordOf(table.fieldNames(), cursor.values()), settings, EInvoiceForm::XRechnung);
    saveConfined(m_workDir, relative, QStringLiteral(".xml"), ciiXml(invoice));
}

// The markers take the first record's values; the file's are made fit for a
// file name the way [Pdf] made them, so the same text names the same file.
void Conversation::sendMail(const Command& c, ExchangeTable& table)
{
    ExchangeTable::Cursor cursor(table);
    const RecordFields record(table.fieldNames(), readCompanySettings(m_workDir));
    const QStringList values = record.values(cursor.next() ? cursor.values() : QStringList());
    const auto asIs = [](const QString& value) { return value; };
    const QStringList& fields = record.names();
    MailRequest request;
    request.recipient = MarkerText(c.recipient, fields).expand(values, asIs).trimmed();
    request.subject = MarkerText(c.subject, fields).expand(values, asIs);
    request.file = MarkerText(c.output, fields).expand(values, fileNamePart);
    handToMailProgram(request, m_workDir);
}

} // namespace kestrova::writer
