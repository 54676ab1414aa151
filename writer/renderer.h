#pragma once

#include "writer/exchangetable.h"
#include "writer/outputpath.h"
#include "writer/pagesetup.h"
#include "writer/recordfields.h"

#include <QPdfWriter>
#include <QString>

namespace kestrova::writer {

class DocumentTemplate;

// Where rendered pages go: a paged paint device, then either kept or dropped.
class PageTarget {
public:
    virtual ~PageTarget() = default;
    virtual QPagedPaintDevice& device() = 0;
    // After the last page has been painted: makes the output final. Throws WriterError.
    virtual void finish() = 0;
    // A render failed before its end: nothing of it may reach the output.
    virtual void abandon() noexcept = 0;
};

// A PDF file below the working folder, written beside its final place and
// moved there by finish(): a failed render leaves no part of a file and keeps
// an earlier one intact.
class PdfTarget : public PageTarget {
public:
    // `relative` as confinedOutputPath() accepts it; missing folders are
    // created. Throws WriterError(RefusedPath or UnwritableOutput).
    PdfTarget(const QString& workDir, const QString& relative, const PageSetup& page);
    QPagedPaintDevice& device() override { return m_writer; }
    void finish() override;
    void abandon() noexcept override;

private:
    ConfinedSaveFile m_file;
    QPdfWriter m_writer;
};

// The page layout of a template's page: a wide sheet is an upright sheet
// turned, as printers expect it.
QPageLayout pageLayout(const PageSetup& page);

// Most bytes of images and style sheets one document loads in all.
constexpr qint64 kMaxResourceTotal = 64 * 1024 * 1024;

// How the records are set on the pages.
struct Grid {
    int columns = 0; // 0: each record on pages of its own; otherwise labels
    int rows = 0;
};

// Renders the template for the cursor's current record and every record after
// it, through Qt's rich text laid out at the device's resolution: each record
// from a new page (a long one runs on over several), or, with a grid, one
// label per cell, filling a page across and then down before starting the
// next. Only one record's document exists at a time. Images and style sheets
// come only from the template's folder (regular files of at most
// kMaxResourceBytes, kMaxResourceTotal in all); a template naming any other
// is refused. Returns the pages made. On failure the target is abandoned and
// the WriterError passed on.
int render(const DocumentTemplate& tmpl, const RecordFields& fields, ExchangeTable::Cursor& cursor, PageTarget& target,
           Grid grid = {});

} // namespace kestrova::writer
