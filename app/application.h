#pragma once

#include <QApplication>

namespace kestrova {

// The application object: its title captions the task-bar entry and every
// message box. A failure that escapes an event handler is shown in the error
// box instead of ending the program.
class KestrovaApplication : public QApplication {
    Q_OBJECT
public:
    KestrovaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kestrova
