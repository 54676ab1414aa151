#pragma once

#include <QString>

namespace kestrova::writer {

// Asks the print system about a queue before anything is painted for it:
// throws WriterError(UnknownQueue) when the queue is not there, naming it and
// the print system's reason, and WriterError(PrintRefused) when it does not
// take jobs. An empty name stands for the default queue. Returns the queue's
// name (the default one's when `queue` is empty).
QString checkQueue(const QString& queue);

// After Qt's print engine has ended a document: the job was handed to the
// queue and the print system accepted it. Qt's engine does not report the
// print system's answer, so it is read from the print system's own record of
// the last request made by this thread. Throws WriterError(PrintRefused) with
// the print system's reason otherwise.
void confirmJobAccepted(const QString& queue);

} // namespace kestrova::writer
