#include "app/application.h"

#include <QIcon>

namespace kestrova {

KestrovaApplication::KestrovaApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kestrova"));
    // No display name: the platform would append it to every window's
    // caption ("Find a person — Kestrova"), and the captions are fixed.
    setApplicationVersion(QStringLiteral(KESTROVA_VERSION));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("x-office-address-book")));
}

} // namespace kestrova
