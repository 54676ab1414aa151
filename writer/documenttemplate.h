#pragma once

#include "writer/pagesetup.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace kestrova::writer {

// Largest template file read; a larger one is refused.
constexpr qint64 kMaxTemplateBytes = 4 * 1024 * 1024;
// Deepest nesting of elements, and of tables in tables, a template may have.
// Qt's rich text parses deep nesting in quadratic time and lays nested
// tables out in time growing threefold with each level (and recursively, so
// thousands overflow the stack): 8 tables take milliseconds, 20 seconds.
constexpr int kMaxElementDepth = 200;
constexpr int kMaxTableDepth = 8;

// How deep a template's elements nest, read from its text as an HTML parser
// would (void elements, end tags left out where HTML allows it, comments).
// The scan stops once either limit is passed.
struct Nesting {
    int elements = 0;
    int tables = 0;
};
Nesting measureNesting(const QString& html);

// An HTML template and the page it asks for.
class DocumentTemplate {
    Q_DECLARE_TR_FUNCTIONS(DocumentTemplate)

public:
    // Throws WriterError: BadTemplate for a template nested too deep,
    // BadPageSize.
    DocumentTemplate(const QString& html, const QString& path);

    // Finds a template by its relative name in the template folders, in
    // their order (the working folder's templates/ first), and reads it as
    // UTF-8. Absolute names, "..", links and files that are not regular are
    // refused. Throws WriterError: MissingTemplate, RefusedPath, BadTemplate,
    // BadPageSize.
    static DocumentTemplate find(const QString& name, const QStringList& folders);

    const QString& html() const { return m_html; }
    // The file it was read from; images and style sheets it names are taken
    // only from its folder.
    const QString& path() const { return m_path; }
    const PageSetup& page() const { return m_page; }

private:
    QString m_html;
    QString m_path;
    PageSetup m_page;
};

// The template folders of a working folder: its templates/, then `shared`
// (the installed templates) when given.
QStringList templateFolders(const QString& workDir, const QString& shared);

} // namespace kestrova::writer
