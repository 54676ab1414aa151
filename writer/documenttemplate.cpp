#include "writer/documenttemplate.h"

#include "writer/outputpath.h"
#include "writer/writererror.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kestrova::writer {

namespace {

bool isVoidElement(const QString& name)
{
    static const QStringList names{"area", "base", "br",    "col",    "embed", "hr",  "img",     "input",
                                   "link", "meta", "param", "source", "track", "wbr", "basefont"};
    return names.contains(name);
}

// Text elements whose content an HTML parser reads up to their end tag.
bool isRawText(const QString& name)
{
    return name == QLatin1String("style") || name == QLatin1String("script") || name == QLatin1String("title");
}

// Reads tags and keeps the stack of open elements, closing those whose end
// tag HTML lets a writer leave out the way a parser does.
class NestingScanner {
public:
    explicit NestingScanner(const QString& html) : m_html(html) {}

    Nesting scan()
    {
        Nesting most;
        for (m_pos = 0; m_pos < m_html.size();) {
            const qsizetype lt = m_html.indexOf(QLatin1Char('<'), m_pos);
            if (lt < 0)
                break;
            m_pos = lt + 1;
            if (m_html.mid(m_pos, 3) == QLatin1String("!--")) {
                skipPast(QStringLiteral("-->"));
            } else if (m_pos < m_html.size() &&
                       (m_html[m_pos] == QLatin1Char('!') || m_html[m_pos] == QLatin1Char('?'))) {
                skipPast(QStringLiteral(">"));
            } else if (m_pos < m_html.size() && m_html[m_pos] == QLatin1Char('/')) {
                ++m_pos;
                close(name());
                skipPast(QStringLiteral(">"));
            } else {
                const QString tag = name();
                if (tag.isEmpty())
                    continue;
                const bool selfClosed = skipAttributes();
                if (isRawText(tag)) {
                    skipPast(QStringLiteral("</") + tag);
                    continue;
                }
                if (selfClosed || isVoidElement(tag))
                    continue;
                open(tag);
                most.elements = std::max(most.elements, int(m_open.size()));
                most.tables = std::max(most.tables, m_tables);
                if (most.elements > kMaxElementDepth || most.tables > kMaxTableDepth)
                    break;
            }
        }
        return most;
    }

private:
    QString name()
    {
        QString out;
        while (m_pos < m_html.size() && (m_html[m_pos].isLetterOrNumber() || m_html[m_pos] == QLatin1Char('-')))
            out += m_html[m_pos++].toLower();
        return out;
    }

    // Moves past the tag's attributes and its ">"; true for "/>".
    bool skipAttributes()
    {
        QChar quote;
        QChar last;
        for (; m_pos < m_html.size(); ++m_pos) {
            const QChar c = m_html[m_pos];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('>')) {
                ++m_pos;
                return last == QLatin1Char('/');
            }
            if (!c.isSpace())
                last = c;
        }
        return false;
    }

    void skipPast(const QString& end)
    {
        const qsizetype at = m_html.indexOf(end, m_pos, Qt::CaseInsensitive);
        m_pos = at < 0 ? m_html.size() : at + end.size();
    }

    // Index of the innermost open element named in `names`, looked for no
    // further out than an element named in `bounds`; -1 when none.
    qsizetype innermost(const QStringList& names, const QStringList& bounds) const
    {
        for (qsizetype i = m_open.size() - 1; i >= 0; --i) {
            if (names.contains(m_open[i]))
                return i;
            if (bounds.contains(m_open[i]))
                return -1;
        }
        return -1;
    }

    void popTo(qsizetype index)
    {
        while (index >= 0 && m_open.size() > index) {
            if (m_open.last() == QLatin1String("table"))
                --m_tables;
            m_open.removeLast();
        }
    }

    void open(const QString& tag)
    {
        static const QStringList cells{"td", "th"};
        static const QStringList rows{"tr"};
        static const QStringList items{"li"};
        static const QStringList terms{"dt", "dd"};
        static const QStringList paragraph{"p"};
        static const QStringList option{"option"};
        static const QStringList table{"table"};
        static const QStringList rowBounds{"tr", "table"};
        static const QStringList lists{"ul", "ol"};
        static const QStringList definitions{"dl"};
        static const QStringList blocks{"div", "td", "th", "li", "dd", "blockquote", "table", "body"};
        if (cells.contains(tag))
            popTo(innermost(cells, rowBounds));
        else if (tag == QLatin1String("tr"))
            popTo(innermost(rows, table));
        else if (tag == QLatin1String("li"))
            popTo(innermost(items, lists));
        else if (terms.contains(tag))
            popTo(innermost(terms, definitions));
        else if (tag == QLatin1String("option"))
            popTo(innermost(option, {}));
        if (tag == QLatin1String("p") || blocks.contains(tag))
            popTo(innermost(paragraph, blocks));
        m_open << tag;
        if (tag == QLatin1String("table"))
            ++m_tables;
    }

    void close(const QString& tag)
    {
        const qsizetype at = m_open.lastIndexOf(tag);
        if (at >= 0)
            popTo(at);
    }

    const QString& m_html;
    qsizetype m_pos = 0;
    QStringList m_open;
    int m_tables = 0;
};

} // namespace

Nesting measureNesting(const QString& html)
{
    return NestingScanner(html).scan();
}

QStringList templateFolders(const QString& workDir, const QString& shared)
{
    QStringList folders{QDir(workDir).absoluteFilePath(QStringLiteral("templates"))};
    if (!shared.isEmpty())
        folders << QDir(shared).absolutePath();
    return folders;
}

DocumentTemplate::DocumentTemplate(const QString& html, const QString& path) : m_html(html), m_path(path)
{
    const Nesting nesting = measureNesting(html);
    const QString name = QFileInfo(path).fileName();
    if (nesting.tables > kMaxTableDepth)
        throw WriterError(WriterError::BadTemplate, tr("The template \"%1\" nests tables in tables more than %2 deep; "
                                                       "the writer lays out at most %2")
                                                        .arg(name)
                                                        .arg(kMaxTableDepth));
    if (nesting.elements > kMaxElementDepth)
        throw WriterError(WriterError::BadTemplate, tr("The template \"%1\" nests its elements more than %2 deep; "
                                                       "the writer lays out at most %2")
                                                        .arg(name)
                                                        .arg(kMaxElementDepth));
    m_page = readPageSetup(html, name);
}

DocumentTemplate DocumentTemplate::find(const QString& name, const QStringList& folders)
{
    //: Fills %1 of "The %1 \"%2\" is refused: %3".
    const QString what = tr("template");
    const QString relative = confinedParts(name, what).join(QLatin1Char('/'));
    QStringList tried;
    for (const QString& folder : folders) {
        const QString path = folder + QLatin1Char('/') + relative;
        const QByteArray bytes = readConfined(folder, relative, kMaxTemplateBytes, WriterError::BadTemplate);
        if (!bytes.isNull())
            return DocumentTemplate(QString::fromUtf8(bytes), path);
        tried << QStringLiteral("\"%1\"").arg(path);
    }
    if (tried.size() <= 1)
        throw WriterError(WriterError::MissingTemplate,
                          tr("The template \"%1\" was not found at %2").arg(name, tried.value(0)));
    // "found neither at A nor at B nor at C".
    //: Joins the folders in "The template \"%1\" was found neither at %2"; keep the blanks at both ends.
    const QString nor = tr(" nor at ");
    throw WriterError(WriterError::MissingTemplate,
                      tr("The template \"%1\" was found neither at %2").arg(name, tried.join(nor)));
}

} // namespace kestrova::writer
