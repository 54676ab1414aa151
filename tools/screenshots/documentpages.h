#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrova {
class DataObjects;
}

namespace kestrova::shots {

struct DocumentPage {
    QString file;    // the PNG's name
    QString caption; // one line for --list
};

// The first pages of sample documents that the guide shows.
std::vector<DocumentPage> documentPages();

// Writes each sample document's records into the exchange table of workDir,
// the way Kestrova's document buttons do, from orders and distributors of the
// demo set shown in the main window; has the document writer carry out the
// demo set's macro for it (without opening a viewer) and turns the first page
// of the PDF into a PNG in outDir with pdftoppm. Returns one line per
// document that failed.
QStringList renderDocumentPages(DataObjects& data, const QString& workDir, const QString& outDir);

} // namespace kestrova::shots
