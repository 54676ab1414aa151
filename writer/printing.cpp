#include "writer/printing.h"

#include "writer/writererror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace kestrova::writer {
namespace {

QString lastCupsReason()
{
    const char* reason = cupsLastErrorString();
    return reason && *reason ? QString::fromUtf8(reason)
                             : QCoreApplication::translate("writer::Printing", "no reason was given");
}

QString destOption(const cups_dest_t* dest, const char* name)
{
    return QString::fromUtf8(cupsGetOption(name, dest->num_options, dest->options));
}

// Why a queue stopped or rejects jobs, as its keeper wrote it (cupsreject -r).
QString stateMessage(const cups_dest_t* dest)
{
    QByteArray uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    if (uri.isEmpty())
        uri = "ipp://localhost/printers/" + QByteArray(dest->name);
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state-message");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t* attr = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
    const QString message = attr ? QString::fromUtf8(ippGetString(attr, 0, nullptr)).trimmed() : QString();
    ippDelete(response);
    return message;
}

} // namespace

QString checkQueue(const QString& queue)
{
    const QByteArray name = queue.toUtf8();
    // The scheduler is asked afresh: a list cached by an earlier request
    // would not know a queue added or stopped since.
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.isEmpty() ? nullptr : name.constData(), nullptr);
    if (!dest)
        throw WriterError(WriterError::UnknownQueue,
                          queue.isEmpty()
                              ? QCoreApplication::translate("writer::Printing", "There is no default print queue: %1")
                                    .arg(lastCupsReason())
                              : QCoreApplication::translate("writer::Printing", "There is no print queue \"%1\": %2")
                                    .arg(queue, lastCupsReason()));
    const QString found = QString::fromUtf8(dest->name);
    const bool refuses =
        destOption(dest, "printer-is-accepting-jobs").compare(QLatin1String("false"), Qt::CaseInsensitive) == 0;
    const QString why = refuses ? stateMessage(dest) : QString();
    cupsFreeDests(1, dest);
    if (refuses)
        throw WriterError(
            WriterError::PrintRefused,
            QCoreApplication::translate("writer::Printing", "The print queue \"%1\" does not accept jobs: %2")
                .arg(found, why.isEmpty() ? QCoreApplication::translate("writer::Printing", "it was set to reject them")
                                          : why));
    return found;
}

PrinterTarget::PrinterTarget(const QString& queue, const PageSetup& page, const QString& title)
    : m_queue(checkQueue(queue)), m_title(title),
      m_file(QDir::tempPath() + QStringLiteral("/kestrova-print-XXXXXX.pdf")), m_printer(QPrinter::HighResolution)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_queue);
    if (info.isNull())
        throw WriterError(
            WriterError::UnknownQueue,
            QCoreApplication::translate("writer::Printing",
                                        "The print queue \"%1\" cannot be used: Qt's print support does not list it")
                .arg(m_queue));
    // The queue's nearest layout: its paper when it has the template's size,
    // margins no smaller than it can print.
    m_printer.setPrinterName(m_queue);
    m_printer.setPageLayout(pageLayout(page));
    const QPageLayout layout = m_printer.pageLayout();
    for (const QPageSize& size : info.supportedPageSizes())
        if (size.id() == layout.pageSize().id() && size.id() != QPageSize::Custom)
            m_media = size.key().toUtf8();
    m_landscape = layout.orientation() == QPageLayout::Landscape;
    if (!m_file.open())
        throw WriterError(WriterError::UnwritableOutput,
                          QCoreApplication::translate(
                              "writer::Printing", "The pages for the print queue \"%1\" cannot be kept in \"%2\": %3")
                              .arg(m_queue, m_file.fileName(), m_file.errorString()));
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(m_file.fileName());
    m_printer.setPageLayout(layout);
    m_printer.setDocName(title);
    m_printer.setCreator(QStringLiteral("Kestrova writer"));
}

void PrinterTarget::finish()
{
    if (m_printer.printerState() == QPrinter::Error)
        throw WriterError(
            WriterError::UnwritableOutput,
            QCoreApplication::translate("writer::Printing", "The pages for the print queue \"%1\" could not be made")
                .arg(m_queue));
    // The same options Qt's print engine gives its own jobs.
    cups_option_t* options = nullptr;
    int count = 0;
    if (!m_media.isEmpty())
        count = cupsAddOption("media", m_media.constData(), count, &options);
    if (m_landscape)
        count = cupsAddOption("landscape", "", count, &options);
    // The print system takes a queue's name without the instance part.
    const QByteArray queue = m_queue.section(QLatin1Char('/'), 0, 0).toUtf8();
    const int job = cupsPrintFile(queue.constData(), QFile::encodeName(m_file.fileName()).constData(),
                                  m_title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job <= 0)
        throw WriterError(
            WriterError::PrintRefused,
            QCoreApplication::translate("writer::Printing", "The print queue \"%1\" did not take the document: %2")
                .arg(m_queue, lastCupsReason()));
}

void PrinterTarget::abandon() noexcept
{
    // Nothing was sent; the temporary file goes with the target.
    m_printer.abort();
}

} // namespace kestrova::writer
