#pragma once

#include <QString>

namespace kestrova {

// What the program brings for new sets: the document templates and the sample
// invoice-numbering library. Installed, they sit in the data and library
// folders beside the program (share/kestrova/templates,
// lib/.../kestrova/function.dll); run from a build folder, they are the
// checkout's samples/templates and the library the build made.
struct ShippedFiles {
    QString templates;       // folder holding one folder per language (en/, de/)
    QString functionLibrary; // the library file, empty when there is none

    static ShippedFiles beside(const QString& programDir);
    static ShippedFiles ofThisProgram();
};

} // namespace kestrova
