#pragma once

#include <QMarginsF>
#include <QSizeF>
#include <QString>

namespace kestrova::writer {

// The page a template asks for, in millimetres: the sheet (already turned to
// the asked orientation) and the margins around the printed area.
struct PageSetup {
    QSizeF sizeMm{210.0, 297.0};
    QMarginsF marginsMm{20.0, 20.0, 20.0, 20.0};

    QSizeF printableMm() const
    {
        return {sizeMm.width() - marginsMm.left() - marginsMm.right(),
                sizeMm.height() - marginsMm.top() - marginsMm.bottom()};
    }
};

// The size of a named sheet (A4, A5, Letter, Legal, DL, C5, C6, in any letter
// case) or of `WIDTHxHEIGHTmm`; an invalid size when the text is neither.
QSizeF pageSizeMm(const QString& text);

// Reads the page settings of a template's HTML: <meta name="page-size">,
// <meta name="orientation"> (portrait or landscape) and <meta name="margins">
// (one to four lengths in mm, cm, in or pt, in the order top, right, bottom,
// left as in CSS). A missing setting keeps its default: A4, upright, 20 mm.
// Throws WriterError(BadPageSize) naming the template for a setting it cannot use.
PageSetup readPageSetup(const QString& html, const QString& templateName);

} // namespace kestrova::writer
