#pragma once

#include <QList>
#include <QString>

namespace kestrova::writer {

// One bracketed command of a macro text, its arguments checked and in place.
struct Command {
    enum Kind { Pdf, Print, Labels, PrintLabels, Open, Quit, Mail, FacturX, XRechnung };
    Kind kind = Quit;
    QString templateName; // Pdf, Print, Labels, PrintLabels, FacturX
    QString output;       // Pdf, Labels, FacturX: the PDF file; XRechnung: the XML file; Mail: the attachment
    QString printer;      // Print, PrintLabels: the queue; empty for the default one
    QString recipient;    // Mail, like its subject with markers still in it
    QString subject;
    int columns = 0; // Labels, PrintLabels
    int rows = 0;

    bool toPrinter() const { return kind == Print || kind == PrintLabels; }
    bool isLabels() const { return kind == Labels || kind == PrintLabels; }
};

// Longest macro text accepted; a longer one is refused before it is read.
constexpr int kMaxMacroLength = 64 * 1024;
// Most labels across or down a sheet.
constexpr int kMaxLabelsPerLine = 50;

// Parses a macro text: bracketed commands `[Name "argument" ...]`, names in
// any letter case, `""` standing for a double quote inside an argument,
// blanks between commands. An empty text gives no command. Every command is
// checked before any runs, so a bad macro does nothing at all. Throws
// WriterError (UnknownCommand or BadArguments).
QList<Command> parseMacro(const QString& text);

} // namespace kestrova::writer
