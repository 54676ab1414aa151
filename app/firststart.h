#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// The working folder the command line asks for. Without arguments it is the
// current folder; --user-folder (the desktop entry's way of starting) is the
// user's Kestrova folder ~/Kestrova; --folder DIR is DIR. Folders named by
// an option are made when missing.
struct WorkingFolderChoice {
    QString folder;
    QString usageError; // a wrong command line, with the usage text
    bool helpShown = false;
};
WorkingFolderChoice workingFolderFromArguments(const QStringList& arguments, const QString& currentDir,
                                               const QString& homeDir);

// Makes the chosen folder when missing; throws Error when it cannot.
void makeWorkingFolder(const QString& folder);

// First of all at start-up: finishes or undoes a conversion of Paradox
// tables that was interrupted, and says so when it finished one. Returns
// false when start-up must end: that failed, and the error box has said why.
bool recoverParadoxConversion(const QString& workDir);

// At start-up: when the working folder holds Paradox tables instead of
// Kestrova's files, says so and asks whether to convert them. Yes converts
// them (the originals go into the subfolder paradox/) and reports what was
// converted. Returns false when start-up must end: the user said No, or the
// conversion failed and the error box has said why (all files as before).
bool offerParadoxConversion(const QString& workDir);

} // namespace kestrova
