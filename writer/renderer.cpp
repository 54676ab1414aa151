#include "renderer.h"

#include "documenttemplate.h"
#include "markers.h"
#include "writererror.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

namespace kestrova::writer {
namespace {

// Prepares a document to be laid out for the device: its lengths in the
// device's units, its pages the printable area, no frame margin of its own.
void prepare(QTextDocument& doc, QPagedPaintDevice& device, const QSizeF& pageSize, const QUrl& base)
{
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDocumentMargin(0);
    QFont font = QGuiApplication::font();
    font.setPointSizeF(11);
    doc.setDefaultFont(font);
    doc.setBaseUrl(base);
    doc.setPageSize(pageSize);
}

// Draws page `index` of a laid-out document into the rectangle at `origin`.
void drawPage(QPainter& painter, QTextDocument& doc, int index, const QPointF& origin)
{
    const QSizeF size = doc.pageSize();
    painter.save();
    painter.translate(origin.x(), origin.y() - index * size.height());
    const QRectF view(0, index * size.height(), size.width(), size.height());
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    context.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

void newPage(QPagedPaintDevice& device)
{
    if (!device.newPage())
        throw WriterError(WriterError::UnwritableOutput, QStringLiteral("A new page could not be started"));
}

} // namespace

QPageLayout pageLayout(const PageSetup& page)
{
    const bool wide = page.sizeMm.width() > page.sizeMm.height();
    const QSizeF upright = wide ? page.sizeMm.transposed() : page.sizeMm;
    return QPageLayout(QPageSize(upright, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       wide ? QPageLayout::Landscape : QPageLayout::Portrait, page.marginsMm, QPageLayout::Millimeter);
}

PdfTarget::PdfTarget(const QString& path, const PageSetup& page) : m_path(path), m_file(path), m_writer(&m_file)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw WriterError(WriterError::UnwritableOutput,
                          QStringLiteral("The output \"%1\" is a folder, not a file").arg(path));
    if (!QDir().mkpath(info.absolutePath()))
        throw WriterError(WriterError::UnwritableOutput,
                          QStringLiteral("The folder \"%1\" of the output cannot be created").arg(info.absolutePath()));
    if (!m_file.open(QIODevice::WriteOnly))
        throw WriterError(WriterError::UnwritableOutput,
                          QStringLiteral("The output \"%1\" cannot be written: %2").arg(path, m_file.errorString()));
    m_writer.setCreator(QStringLiteral("Kestrova writer"));
    m_writer.setTitle(info.completeBaseName());
    if (!m_writer.setPageLayout(pageLayout(page)))
        throw WriterError(WriterError::BadPageSize, QStringLiteral("The page of %1 x %2 mm cannot be set up for \"%3\"")
                                                        .arg(page.sizeMm.width())
                                                        .arg(page.sizeMm.height())
                                                        .arg(path));
}

void PdfTarget::finish()
{
    if (!m_file.commit())
        throw WriterError(WriterError::UnwritableOutput,
                          QStringLiteral("The output \"%1\" cannot be written: %2").arg(m_path, m_file.errorString()));
}

void PdfTarget::abandon() noexcept
{
    m_file.cancelWriting();
}

int render(const DocumentTemplate& tmpl, const QStringList& fieldNames, ExchangeTable::Cursor& cursor,
           PageTarget& target, Grid grid)
{
    QPagedPaintDevice& device = target.device();
    const MarkerText text(tmpl.html(), fieldNames);
    const QUrl base = QUrl::fromLocalFile(QFileInfo(tmpl.path()).absolutePath() + QLatin1Char('/'));
    const QSizeF body(device.width(), device.height());
    const bool labels = grid.columns > 0 && grid.rows > 0;
    const QSizeF cell = labels ? QSizeF(body.width() / grid.columns, body.height() / grid.rows) : body;

    QPainter painter;
    if (!painter.begin(&device)) {
        target.abandon();
        throw WriterError(WriterError::UnwritableOutput, QStringLiteral("The output cannot be started"));
    }
    int pages = 0;
    int slot = 0; // the label's place on its sheet
    try {
        do {
            QTextDocument doc;
            prepare(doc, device, cell, base);
            doc.setHtml(text.expand(cursor.values(), htmlText));
            if (labels) {
                if (slot == 0) {
                    if (pages > 0)
                        newPage(device);
                    ++pages;
                }
                const QPointF origin((slot % grid.columns) * cell.width(), (slot / grid.columns) * cell.height());
                drawPage(painter, doc, 0, origin);
                slot = (slot + 1) % (grid.columns * grid.rows);
            } else {
                for (int i = 0; i < doc.pageCount(); ++i) {
                    if (pages > 0)
                        newPage(device);
                    drawPage(painter, doc, i, QPointF(0, 0));
                    ++pages;
                }
            }
        } while (cursor.next());
    } catch (...) {
        target.abandon();
        painter.end();
        throw;
    }
    if (!painter.end()) {
        target.abandon();
        throw WriterError(WriterError::UnwritableOutput, QStringLiteral("The output could not be completed"));
    }
    target.finish();
    return pages;
}

} // namespace kestrova::writer
