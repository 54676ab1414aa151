#pragma once

#include <QString>

namespace kestrova::writer {

// Tells the person at the screen what went wrong. The program shows a
// message box; tests install a recorder so that nothing waits for a click.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void showError(const QString& message) = 0;
};

// A message box titled "Kestrova writer" with the error icon, shown without
// blocking, so the writer keeps answering while it is up.
class BoxNotifier : public Notifier {
public:
    void showError(const QString& message) override;
};

// Writes the message to the standard error output instead (--no-boxes).
class ConsoleNotifier : public Notifier {
public:
    void showError(const QString& message) override;
};

// Shows a written file in the desktop's viewer.
class Viewer {
public:
    virtual ~Viewer() = default;
    // False when no viewer could be started.
    virtual bool open(const QString& file) = 0;
};

class DesktopViewer : public Viewer {
public:
    bool open(const QString& file) override;
};

} // namespace kestrova::writer
