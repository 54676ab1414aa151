#pragma once

#include "writer/outputpath.h"
#include "writer/renderer.h"

#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>

namespace kestrova::writer {

// The name the e-invoice has inside a Factur-X PDF.
inline constexpr char kFacturXFileName[] = "factur-x.xml";

// A Factur-X invoice: the pages are made as a PDF/A-1b in memory (fonts
// embedded, an sRGB output intent), then finish() turns it into a PDF/A-3b
// carrying the invoice's EN 16931 data as the associated file factur-x.xml
// (/AFRelationship /Alternative, listed in the catalog's /AF and its
// EmbeddedFiles), with XMP metadata declaring PDF/A-3 and the Factur-X
// extension schema. The file reaches its place below the working folder only
// when complete, so a failure keeps an earlier one intact.
class FacturXTarget : public PageTarget {
public:
    // Throws WriterError(RefusedPath or UnwritableOutput, BadPageSize).
    FacturXTarget(const QString& workDir, const QString& relative, const PageSetup& page, const QByteArray& xml);
    QPagedPaintDevice& device() override { return m_writer; }
    void finish() override;
    void abandon() noexcept override;

private:
    ConfinedSaveFile m_file;
    QByteArray m_pdf;
    QBuffer m_buffer;
    QPdfWriter m_writer;
    QByteArray m_xml;
};

// A PDF/A-1b made into the PDF/A-3b described above. Throws
// WriterError(UnwritableOutput) when qpdf cannot read or write it.
QByteArray attachFacturX(const QByteArray& pdfA1b, const QByteArray& xml);

} // namespace kestrova::writer
