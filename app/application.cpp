#include "application.h"

#include "guard.h"

namespace kestrova {

KestrovaApplication::KestrovaApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kestrova"));
    setApplicationDisplayName(QStringLiteral("Kestrova"));
    setApplicationVersion(QStringLiteral(KESTROVA_VERSION));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("x-office-address-book")));
}

bool KestrovaApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace kestrova
