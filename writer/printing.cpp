#include "printing.h"

#include "writererror.h"

#include <QByteArray>

#include <cups/cups.h>

namespace kestrova::writer {
namespace {

QString lastCupsReason()
{
    const char* reason = cupsLastErrorString();
    return reason && *reason ? QString::fromUtf8(reason) : QStringLiteral("no reason was given");
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
                              ? QStringLiteral("There is no default print queue: %1").arg(lastCupsReason())
                              : QStringLiteral("There is no print queue \"%1\": %2").arg(queue, lastCupsReason()));
    const QString found = QString::fromUtf8(dest->name);
    const bool refuses =
        destOption(dest, "printer-is-accepting-jobs").compare(QLatin1String("false"), Qt::CaseInsensitive) == 0;
    const QString why = refuses ? stateMessage(dest) : QString();
    cupsFreeDests(1, dest);
    if (refuses)
        throw WriterError(WriterError::PrintRefused,
                          QStringLiteral("The print queue \"%1\" does not accept jobs: %2")
                              .arg(found, why.isEmpty() ? QStringLiteral("it was set to reject them") : why));
    return found;
}

void confirmJobAccepted(const QString& queue)
{
    const ipp_status_t status = cupsLastError();
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE)
        throw WriterError(
            WriterError::PrintRefused,
            QStringLiteral("The print queue \"%1\" did not take the document: %2").arg(queue, lastCupsReason()));
}

} // namespace kestrova::writer
