#pragma once

#include <QString>

namespace kestrova {

// Creates the thirteen tables in dir and fills them with the demo set, the
// script samples/demo/demo.sql built into the program: reference lists,
// settings, distributors and about forty orders over the two years up to
// today. Refuses (throws, writing nothing) when any of the table files
// already exists; when filling fails, the new files are removed again.
void fillDemoData(const QString& dir);

} // namespace kestrova
