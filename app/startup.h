#pragma once

#include <QString>
#include <memory>

namespace kestrova {

class TMainForm;
class TAboutForm;

// The windows created at start, in their creation order.
struct Windows {
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TAboutForm> about;
};

// Prepares the working folder and creates the windows. In a folder without
// any table file the user is asked whether to create an empty set there.
// Returns no main window when the user declines or start-up fails (the
// failure has then been shown in the error box).
Windows startKestrova(const QString& workDir);

} // namespace kestrova
