#pragma once

#include "pagesetup.h"

#include <QString>

namespace kestrova::writer {

// Largest template file read; a larger one is refused.
constexpr qint64 kMaxTemplateBytes = 4 * 1024 * 1024;

// An HTML template and the page it asks for.
class DocumentTemplate {
public:
    DocumentTemplate(const QString& html, const QString& path);

    // Finds a template as given (a relative name against the working folder),
    // then in the working folder's templates/ folder, and reads it as UTF-8.
    // Throws WriterError: MissingTemplate, BadTemplate, BadPageSize.
    static DocumentTemplate find(const QString& name, const QString& workDir);

    const QString& html() const { return m_html; }
    // The file it was read from; images named in it are found beside it.
    const QString& path() const { return m_path; }
    const PageSetup& page() const { return m_page; }

private:
    QString m_html;
    QString m_path;
    PageSetup m_page;
};

// A path given to a command, relative to the working folder unless absolute.
QString resolvePath(const QString& path, const QString& workDir);

} // namespace kestrova::writer
