#pragma once

#include <kestrova/functions.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QVector>

namespace kestrova::OrderFile {

// Fields of an order line, and the two of them (the billing and the delivery
// address, by position from 0) that may hold line breaks.
constexpr int kFieldCount = 23;
constexpr int kAddressField = 4;
constexpr int kDeliveryAddressField = 21;

// The file's bytes as UTF-8 text. A leading byte order mark is dropped. A
// file that is valid UTF-8 is kept as it is; otherwise each line that is
// valid UTF-8 stays as it is and each other line, written by an older
// program, is read in the Windows-1252 code page. Zero bytes are kept, for
// the reader to refuse.
QByteArray textOfFile(const QByteArray& bytes);

// A field reader with exactly the contract of the library's Pull.
int builtInPull(char** cursor, char* output, int capacity, int terminator);

// Splits an order text into lines of 23 field texts with a field reader of
// the Pull contract. A line is 22 fields each ended by a tab and a last
// field ended by a carriage return (its line feed stepped over), a line feed
// alone, or the end of the text. Only the two address fields may hold line
// breaks. Lines of nothing but blanks are passed over.
class LineReader {
    Q_DECLARE_TR_FUNCTIONS(LineReader)

public:
    // The text must stay as it is while the reader is used; pull null means
    // the built-in reader.
    LineReader(QByteArray& text, kestrova_pull_fn pull);

    // Reads the next line; false at the end of the text. A line that is not
    // exactly 23 fields, that holds a zero byte, or that the field reader
    // does not step through, throws an Error naming its line number.
    bool next();

    const QString& field(int index) const { return m_fields.at(index); }
    // Bytes of the text before the line read last, and the number of the
    // line it starts on (from 1: line breaks inside a field count).
    qint64 lineStart() const { return m_lineStart - m_begin; }
    int lineNumber() const { return m_lineNumber; }

private:
    // message holds %1 for the line number.
    [[noreturn]] void refuse(const QString& message) const;
    [[noreturn]] void refuseFieldCount(qsizetype fields) const;
    void countLines(const char* from, const char* to);

    char* const m_begin;
    char* const m_end;
    char* m_cursor;
    const char* m_lineStart;
    kestrova_pull_fn m_pull;
    int m_line = 1;       // the line at the cursor
    int m_lineNumber = 0; // the line at m_lineStart
    QVector<QString> m_fields;
};

} // namespace kestrova::OrderFile
