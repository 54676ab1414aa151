#include "documenttemplate.h"

#include "writererror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova::writer {

QString resolvePath(const QString& path, const QString& workDir)
{
    return QDir::cleanPath(QDir(workDir).absoluteFilePath(path));
}

DocumentTemplate::DocumentTemplate(const QString& html, const QString& path)
    : m_html(html), m_path(path), m_page(readPageSetup(html, QFileInfo(path).fileName()))
{
}

DocumentTemplate DocumentTemplate::find(const QString& name, const QString& workDir)
{
    const QString given = resolvePath(name, workDir);
    const QString inFolder = resolvePath(QStringLiteral("templates/") + name, workDir);
    QString path;
    if (QFileInfo(given).isFile())
        path = given;
    else if (!QDir::isAbsolutePath(name) && QFileInfo(inFolder).isFile())
        path = inFolder;
    else
        throw WriterError(WriterError::MissingTemplate,
                          QDir::isAbsolutePath(name)
                              ? QStringLiteral("The template \"%1\" does not exist").arg(given)
                              : QStringLiteral("The template \"%1\" was found neither at \"%2\" nor "
                                               "at \"%3\"")
                                    .arg(name, given, inFolder));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw WriterError(WriterError::MissingTemplate,
                          QStringLiteral("The template \"%1\" cannot be read: %2").arg(path, file.errorString()));
    if (file.size() > kMaxTemplateBytes)
        throw WriterError(WriterError::BadTemplate, QStringLiteral("The template \"%1\" is larger than %2 MB")
                                                        .arg(path)
                                                        .arg(kMaxTemplateBytes / (1024 * 1024)));
    const QByteArray bytes = file.read(kMaxTemplateBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw WriterError(WriterError::MissingTemplate,
                          QStringLiteral("The template \"%1\" cannot be read: %2").arg(path, file.errorString()));
    return DocumentTemplate(QString::fromUtf8(bytes), path);
}

} // namespace kestrova::writer
