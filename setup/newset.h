#pragma once

#include "setup/shippedfiles.h"

#include <QLocale>
#include <QString>

namespace kestrova {

// Creates a new set of tables in dir that is ready for work: the document
// writer's settings, the sample invoice-numbering library copied in as
// function.dll with InvoiceFunction naming its numbering function and the
// last invoice number set to this year's zeroth (unless the
// folder already holds a function.dll of its own, which is kept and left
// unnamed), and the usual titles, payment means and the origin of direct
// orders in `language` (German for German, English otherwise). Refuses, as
// creating the empty set does, when a table file exists; when anything fails
// no new file is left behind.
void createNewTableSet(const QString& dir, const ShippedFiles& shipped, QLocale::Language language);

// The rows createNewTableSet adds, as the script it runs on the new set.
QByteArray newSetScript(QLocale::Language language, bool withFunctionLibrary);

} // namespace kestrova
