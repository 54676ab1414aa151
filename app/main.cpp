#include "aboutform.h"
#include "application.h"
#include "mainform.h"
#include "startup.h"

#include <QDir>

int main(int argc, char** argv)
{
    kestrova::KestrovaApplication app(argc, argv);
    kestrova::Windows windows = kestrova::startKestrova(QDir::currentPath());
    if (!windows.main)
        return 1;
    windows.main->show();
    return app.exec();
}
