#pragma once

#include "writer/renderer.h"

#include <QByteArray>
#include <QPrinter>
#include <QString>
#include <QTemporaryFile>

namespace kestrova::writer {

// A print queue of the print system (CUPS); empty names the default queue.
// The pages are laid out by Qt's print support for the queue's own paper and
// kept in a temporary PDF; only when the last page is made does finish()
// hand the job to the queue, so a render that fails prints nothing. Qt's own
// print engine would send the pages even after an abort and would not say
// when the print system refused them.
class PrinterTarget : public PageTarget {
public:
    // Throws WriterError: UnknownQueue for a queue the print system does not
    // have, PrintRefused for one that takes no jobs, both with its reason.
    PrinterTarget(const QString& queue, const PageSetup& page, const QString& title);
    QPagedPaintDevice& device() override { return m_printer; }
    // Throws WriterError(PrintRefused) with the print system's reason when
    // the queue does not accept the job.
    void finish() override;
    void abandon() noexcept override;

private:
    QString m_queue;
    QString m_title;
    QByteArray m_media; // the queue's name for the paper, empty for one it lacks
    bool m_landscape = false;
    QTemporaryFile m_file;
    QPrinter m_printer;
};

// Asks the print system about a queue: throws WriterError(UnknownQueue) when
// it is not there, naming it and the print system's reason, and
// WriterError(PrintRefused) when it does not take jobs. An empty name stands
// for the default queue. Returns the queue's name.
QString checkQueue(const QString& queue);

} // namespace kestrova::writer
