#include "app/aboutform.h"
#include "app/application.h"
#include "app/firststart.h"
#include "widgets/guard.h"
#include "app/mainform.h"
#include "app/startup.h"

#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    kestrova::KestrovaApplication app(argc, argv);
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
