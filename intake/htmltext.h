#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringView>

namespace kestrova {

// The plain text of an HTML document, for reading notifications that come
// as HTML only. One forward pass over the markup, so the work grows with
// the length of the input and never with how deeply tags nest:
// - tags are dropped; the contents of script, style, title and template
//   elements too, as are comments and declarations;
// - block elements (paragraphs, divisions, headings, list items, table
//   rows and the like) begin a new line, <br> is a line break, the cells of
//   a table row are separated by a TAB;
// - outside <pre>, every run of blanks and line ends is one blank;
// - character references are decoded (numeric ones and the common named
//   ones; an unknown one stays as written), a non-breaking space becomes a
//   blank.
// The pass stops once `maxCharacters` characters of text are out (the
// result is cut there), at the end of the input, or when the deadline has
// passed (the result then holds what was converted so far).
QString htmlToText(QStringView html, int maxCharacters,
                   QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

} // namespace kestrova
