#pragma once

#include <QPointer>
#include <QString>
#include <memory>

namespace kestrova {

class TMainForm;
class TAboutForm;
class TPersonDlg;
class TSQLDlg;
class TMailDlg;
class TMailingDlg;
class TLabelsDlg;
class TGridViewForm;
class TAccountingForm;
class TDateDlg;
class TProgressForm;

// The windows created at start, in their creation order. The main window
// owns the others as their Qt parent; the pointers here follow them and are
// empty once the main window is gone.
struct Windows {
    Windows();
    ~Windows();
    Windows(Windows&&) noexcept;
    Windows& operator=(Windows&&) noexcept;
    std::unique_ptr<TMainForm> main;
    QPointer<TPersonDlg> personDlg;
    QPointer<TSQLDlg> sqlDlg;
    QPointer<TMailDlg> mailDlg;
    QPointer<TMailingDlg> mailingDlg;
    QPointer<TGridViewForm> gridView;
    QPointer<TAboutForm> about;
    QPointer<TLabelsDlg> labelsDlg;
    QPointer<TAccountingForm> accounting;
    QPointer<TDateDlg> dateDlg;
    QPointer<TProgressForm> progress;
};

// Prepares the working folder and creates the windows. In a folder without
// any table file the user is asked whether to create an empty set there.
// Returns no main window when the user declines or start-up fails (the
// failure has then been shown in the error box).
Windows startKestrova(const QString& workDir);

} // namespace kestrova
