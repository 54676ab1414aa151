// kestrova-bench-startup DIR: starts Kestrova on the tables of DIR exactly as
// the program does, and prints the time until the main window is shown and
// the resident memory at that moment, as "startup_ms=... rss_kb=...".

#include "app/aboutform.h"
#include "app/application.h"
#include "app/mainform.h"
#include "app/startup.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QWindow>

static long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int main(int argc, char** argv)
{
    QElapsedTimer timer;
    timer.start();
    kestrova::KestrovaApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: kestrova-bench-startup DIR\n";
        return 2;
    }
    kestrova::Windows w = kestrova::startKestrova(app.arguments().at(1));
    if (!w.main)
        return 1;
    w.main->show();
    while (!w.main->isVisible() || !w.main->windowHandle() || !w.main->windowHandle()->isExposed())
        app.processEvents(QEventLoop::AllEvents, 10);
    app.processEvents();
    const qint64 ms = timer.nsecsElapsed() / 1000;
    QTextStream(stdout) << "startup_us=" << ms << " rss_kb=" << residentKb() << '\n';
    return 0;
}
