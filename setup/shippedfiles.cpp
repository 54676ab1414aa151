#include "setup/shippedfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kestrova {

ShippedFiles ShippedFiles::beside(const QString& programDir)
{
    const QDir dir(programDir);
    ShippedFiles files;
    const QString installedTemplates = dir.absoluteFilePath(QStringLiteral(KESTROVA_INSTALLED_TEMPLATES));
    files.templates = QFileInfo(installedTemplates).isDir() ? QDir::cleanPath(installedTemplates)
                                                            : QStringLiteral(KESTROVA_SOURCE_TEMPLATES);
    const QString installedLibrary = dir.absoluteFilePath(QStringLiteral(KESTROVA_INSTALLED_LIBRARY));
    if (QFileInfo(installedLibrary).isFile())
        files.functionLibrary = QDir::cleanPath(installedLibrary);
    else if (QFileInfo(QStringLiteral(KESTROVA_BUILT_LIBRARY)).isFile())
        files.functionLibrary = QStringLiteral(KESTROVA_BUILT_LIBRARY);
    return files;
}

ShippedFiles ShippedFiles::ofThisProgram()
{
    return beside(QCoreApplication::applicationDirPath());
}

} // namespace kestrova
