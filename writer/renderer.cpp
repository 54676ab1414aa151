#include "writer/renderer.h"

#include "writer/documenttemplate.h"
#include "writer/markers.h"
#include "writer/writererror.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

#include <optional>

namespace kestrova::writer {
namespace {

// What the documents of one render loaded from the template's folder, and
// the first thing a template asked for that it may not have.
struct Resources {
    QString folder;
    QHash<QString, QVariant> loaded;
    qint64 bytes = 0;
    std::optional<WriterError> refused;

    void refuse(const WriterError& e)
    {
        if (!refused)
            refused = e;
    }
};

// Not a null image, which would make Qt try to read the name itself.
QImage blankImage()
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A template's document: images and style sheets are read only from the
// template's folder, as regular files within the size bounds. Whatever is
// not loaded gives an empty image or style sheet, so Qt never falls back to
// reading the name itself.
class TemplateDocument : public QTextDocument {
public:
    explicit TemplateDocument(Resources& resources) : m_resources(resources) {}

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QVariant empty = type == ImageResource ? QVariant(blankImage()) : QVariant(QString());
        const QString given = name.toString(QUrl::PreferLocalFile);
        const QString relative = name.isLocalFile()
                                     ? QDir(m_resources.folder).relativeFilePath(QDir::cleanPath(name.toLocalFile()))
                                     : QString();
        if (relative.isEmpty() || relative == QLatin1String("..") || relative.startsWith(QLatin1String("../")) ||
            QDir::isAbsolutePath(relative)) {
            m_resources.refuse(WriterError(
                WriterError::RefusedPath,
                QCoreApplication::translate("writer::Renderer", "The template loads \"%1\"; a template may load images "
                                                                "and style sheets only from its own folder \"%2\"")
                    .arg(given, m_resources.folder)));
            return empty;
        }
        const QString key = QString::number(type) + QLatin1Char(':') + relative;
        if (const auto it = m_resources.loaded.constFind(key); it != m_resources.loaded.constEnd())
            return *it;
        QByteArray bytes;
        try {
            bytes = readConfined(m_resources.folder, relative, kMaxResourceBytes, WriterError::BadTemplate);
        } catch (const WriterError& e) {
            m_resources.refuse(e);
            return empty;
        }
        m_resources.bytes += bytes.size();
        if (m_resources.bytes > kMaxResourceTotal) {
            m_resources.refuse(WriterError(
                WriterError::BadTemplate,
                QCoreApplication::translate("writer::Renderer", "The template loads more than %1 MiB of images and "
                                                                "style sheets")
                    .arg(kMaxResourceTotal / (1024 * 1024))));
            return empty;
        }
        // A missing or unreadable image is left blank.
        QVariant value = QString::fromUtf8(bytes);
        if (type == ImageResource) {
            const QImage image = QImage::fromData(bytes);
            value = image.isNull() ? blankImage() : image;
        }
        m_resources.loaded.insert(key, value);
        return value;
    }

private:
    Resources& m_resources;
};

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
        throw WriterError(WriterError::UnwritableOutput,
                          QCoreApplication::translate("writer::Renderer", "A new page could not be started"));
}

} // namespace

QPageLayout pageLayout(const PageSetup& page)
{
    const bool wide = page.sizeMm.width() > page.sizeMm.height();
    const QSizeF upright = wide ? page.sizeMm.transposed() : page.sizeMm;
    return QPageLayout(QPageSize(upright, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       wide ? QPageLayout::Landscape : QPageLayout::Portrait, page.marginsMm, QPageLayout::Millimeter);
}

PdfTarget::PdfTarget(const QString& workDir, const QString& relative, const PageSetup& page)
    : m_file(workDir, relative), m_writer(&m_file.device())
{
    const QString path = m_file.path();
    const QFileInfo info(path);
    m_writer.setCreator(QStringLiteral("Kestrova writer"));
    m_writer.setTitle(info.completeBaseName());
    if (!m_writer.setPageLayout(pageLayout(page)))
        throw WriterError(
            WriterError::BadPageSize,
            QCoreApplication::translate("writer::Renderer", "The page of %1 x %2 mm cannot be set up for \"%3\"")
                .arg(page.sizeMm.width())
                .arg(page.sizeMm.height())
                .arg(path));
}

void PdfTarget::finish()
{
    m_file.commit();
}

void PdfTarget::abandon() noexcept
{
    m_file.cancel();
}

int render(const DocumentTemplate& tmpl, const RecordFields& fields, ExchangeTable::Cursor& cursor, PageTarget& target,
           Grid grid)
{
    QPagedPaintDevice& device = target.device();
    const MarkerText text(tmpl.html(), fields.names());
    Resources resources;
    resources.folder = QFileInfo(tmpl.path()).absolutePath();
    const QUrl base = QUrl::fromLocalFile(resources.folder + QLatin1Char('/'));
    const QSizeF body(device.width(), device.height());
    const bool labels = grid.columns > 0 && grid.rows > 0;
    const QSizeF cell = labels ? QSizeF(body.width() / grid.columns, body.height() / grid.rows) : body;

    QPainter painter;
    if (!painter.begin(&device)) {
        target.abandon();
        throw WriterError(WriterError::UnwritableOutput,
                          QCoreApplication::translate("writer::Renderer", "The output cannot be started"));
    }
    int pages = 0;
    int slot = 0; // the label's place on its sheet
    try {
        do {
            TemplateDocument doc(resources);
            prepare(doc, device, cell, base);
            doc.setHtml(text.expand(fields.values(cursor.values()), htmlText));
            // Laid out (images loaded) before anything is drawn.
            const int docPages = doc.pageCount();
            if (resources.refused)
                throw *resources.refused;
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
                for (int i = 0; i < docPages; ++i) {
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
        throw WriterError(WriterError::UnwritableOutput,
                          QCoreApplication::translate("writer::Renderer", "The output could not be completed"));
    }
    target.finish();
    return pages;
}

} // namespace kestrova::writer
