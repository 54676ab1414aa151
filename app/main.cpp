#include "app/aboutform.h"
#include "app/application.h"
#include "app/firststart.h"
#include "widgets/guard.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "i18n/language.h"

#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    kestrova::KestrovaApplication app(argc, argv);
    // The desktop's language, or the one --language names; English when
    // Kestrova has no translation for it.
    const QString language = kestrova::languageArgument(app.arguments());
    kestrova::installDesktopLanguage(app, language, {QStringLiteral("kestrova")});
    // The document writer Kestrova starts speaks the same language.
    if (!language.isEmpty())
        qputenv("LANGUAGE", language.toLocal8Bit());
    const kestrova::WorkingFolderChoice choice =
        kestrova::workingFolderFromArguments(app.arguments(), QDir::currentPath(), QDir::homePath());
    if (!choice.usageError.isEmpty()) {
        std::fputs(qPrintable(choice.usageError), choice.helpShown ? stdout : stderr);
        return choice.helpShown ? 0 : 2;
    }
    if (!kestrova::guarded([&] { kestrova::makeWorkingFolder(choice.folder); }))
        return 1;
    kestrova::Windows windows = kestrova::startKestrova(choice.folder);
    if (!windows.main)
        return 1;
    windows.main->show();
    return app.exec();
}
