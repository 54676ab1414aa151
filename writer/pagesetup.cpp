#include "writer/pagesetup.h"

#include "writer/writererror.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace kestrova::writer {
namespace {

constexpr double kMinSideMm = 10.0;
constexpr double kMaxSideMm = 2000.0;

// Envelopes are given lying down, as they go through a printer's feed.
struct NamedSize {
    const char* name;
    double width;
    double height;
};
const NamedSize kNamedSizes[] = {
    {"a4", 210.0, 297.0}, {"a5", 148.0, 210.0}, {"letter", 215.9, 279.4}, {"legal", 215.9, 355.6},
    {"dl", 220.0, 110.0}, {"c5", 229.0, 162.0}, {"c6", 162.0, 114.0},
};

double number(const QString& text, bool* ok)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t.toDouble(ok);
}

// The content of every <meta name="..." content="..."> by lower-case name.
QHash<QString, QString> metaSettings(const QString& html)
{
    static const QRegularExpression tag(QStringLiteral("<meta\\b([^>]*)>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral("([A-Za-z_:-]+)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"));
    QHash<QString, QString> out;
    // Page settings belong in the head; past it nothing is looked at.
    const qsizetype headEnd = html.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    const QString head = headEnd < 0 ? html : html.left(headEnd);
    auto tags = tag.globalMatch(head);
    while (tags.hasNext()) {
        const QString attributes = tags.next().captured(1);
        QString name, content;
        auto attrs = attribute.globalMatch(attributes);
        while (attrs.hasNext()) {
            const auto m = attrs.next();
            const QString key = m.captured(1).toLower();
            QString value = m.captured(2);
            if (value.isEmpty())
                value = m.captured(3);
            if (value.isEmpty())
                value = m.captured(4);
            if (key == QLatin1String("name"))
                name = value.trimmed().toLower();
            else if (key == QLatin1String("content"))
                content = value.trimmed();
        }
        if (!name.isEmpty())
            out.insert(name, content);
    }
    return out;
}

QMarginsF margins(const QString& text, const QString& templateName)
{
    static const QRegularExpression length(QStringLiteral("^(\\d+(?:[.,]\\d+)?)\\s*(mm|cm|in|pt)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    auto bad = [&] {
        return WriterError(WriterError::BadPageSize,
                           QCoreApplication::translate("writer::PageSetup",
                                                       "The margins \"%1\" of the template \"%2\" are not one to "
                                                       "four lengths such as \"20mm\" or \"2cm 1.5cm\"")
                               .arg(text, templateName));
    };
    if (parts.isEmpty() || parts.size() > 4)
        throw bad();
    QList<double> mm;
    for (const QString& p : parts) {
        const auto m = length.match(p);
        bool ok = false;
        const double value = m.hasMatch() ? number(m.captured(1), &ok) : 0.0;
        if (!ok)
            throw bad();
        const QString unit = m.captured(2).toLower();
        const double factor = unit == QLatin1String("cm")   ? 10.0
                              : unit == QLatin1String("in") ? 25.4
                              : unit == QLatin1String("pt") ? 25.4 / 72.0
                                                            : 1.0;
        mm << value * factor;
    }
    // CSS order: top, right, bottom, left; missing sides repeat their opposite.
    const double top = mm[0];
    const double right = mm.value(1, top);
    const double bottom = mm.value(2, top);
    const double left = mm.value(3, right);
    return {left, top, right, bottom};
}

} // namespace

QSizeF pageSizeMm(const QString& text)
{
    const QString t = text.trimmed().toLower();
    for (const NamedSize& s : kNamedSizes)
        if (t == QLatin1String(s.name))
            return {s.width, s.height};
    static const QRegularExpression custom(
        QStringLiteral("^(\\d+(?:[.,]\\d+)?)\\s*[x\\x{00d7}]\\s*(\\d+(?:[.,]\\d+)?)\\s*mm$"));
    const auto m = custom.match(t);
    if (!m.hasMatch())
        return {};
    bool okW = false, okH = false;
    const double w = number(m.captured(1), &okW);
    const double h = number(m.captured(2), &okH);
    if (!okW || !okH || w < kMinSideMm || h < kMinSideMm || w > kMaxSideMm || h > kMaxSideMm)
        return {};
    return {w, h};
}

PageSetup readPageSetup(const QString& html, const QString& templateName)
{
    const QHash<QString, QString> meta = metaSettings(html);
    PageSetup page;
    if (meta.contains(QStringLiteral("page-size"))) {
        const QString size = meta.value(QStringLiteral("page-size"));
        page.sizeMm = pageSizeMm(size);
        if (!page.sizeMm.isValid())
            throw WriterError(WriterError::BadPageSize,
                              QCoreApplication::translate("writer::PageSetup",
                                                          "The page size \"%1\" of the template \"%2\" is "
                                                          "unknown: use A4, A5, Letter, Legal, DL, C5, C6 or "
                                                          "WIDTHxHEIGHTmm with sides from %3 to %4 mm")
                                  .arg(size, templateName)
                                  .arg(kMinSideMm)
                                  .arg(kMaxSideMm));
    }
    if (meta.contains(QStringLiteral("orientation"))) {
        const QString orientation = meta.value(QStringLiteral("orientation")).toLower();
        const bool wide = page.sizeMm.width() > page.sizeMm.height();
        if (orientation == QLatin1String("landscape")) {
            if (!wide)
                page.sizeMm.transpose();
        } else if (orientation == QLatin1String("portrait")) {
            if (wide)
                page.sizeMm.transpose();
        } else {
            throw WriterError(WriterError::BadPageSize,

                              //: "portrait" and "landscape" are the values a template may give; keep them.
                              QCoreApplication::translate("writer::PageSetup",
                                                          "The orientation \"%1\" of the template \"%2\" is "
                                                          "neither portrait nor landscape")
                                  .arg(meta.value(QStringLiteral("orientation")), templateName));
        }
    }
    if (meta.contains(QStringLiteral("margins")))
        page.marginsMm = margins(meta.value(QStringLiteral("margins")), templateName);
    const QSizeF printable = page.printableMm();
    if (printable.width() < 5.0 || printable.height() < 5.0)
        throw WriterError(WriterError::BadPageSize,
                          QCoreApplication::translate("writer::PageSetup",
                                                      "The margins of the template \"%1\" leave no room to "
                                                      "print on a page of %2 x %3 mm")
                              .arg(templateName)
                              .arg(page.sizeMm.width())
                              .arg(page.sizeMm.height()));
    return page;
}

} // namespace kestrova::writer
