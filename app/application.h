#pragma once

#include <QApplication>

namespace kestrova {

// The application object: its title captions the task-bar entry and every
// message box. Failures never reach it: every handler runs inside the guard,
// which shows them in the error box.
class KestrovaApplication : public QApplication {
    Q_OBJECT
public:
    KestrovaApplication(int& argc, char** argv);
};

} // namespace kestrova
