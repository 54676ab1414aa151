#pragma once

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

// The windows created at start, in their creation order.
struct Windows {
    Windows();
    ~Windows();
    Windows(Windows&&) noexcept;
    Windows& operator=(Windows&&) noexcept;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TPersonDlg> personDlg;
    std::unique_ptr<TSQLDlg> sqlDlg;
    std::unique_ptr<TMailDlg> mailDlg;
    std::unique_ptr<TMailingDlg> mailingDlg;
    std::unique_ptr<TGridViewForm> gridView;
    std::unique_ptr<TAboutForm> about;
    std::unique_ptr<TLabelsDlg> labelsDlg;
    std::unique_ptr<TAccountingForm> accounting;
    std::unique_ptr<TDateDlg> dateDlg;
    std::unique_ptr<TProgressForm> progress;
};

// Prepares the working folder and creates the windows. In a folder without
// any table file the user is asked whether to create an empty set there.
// Returns no main window when the user declines or start-up fails (the
// failure has then been shown in the error box).
Windows startKestrova(const QString& workDir);

} // namespace kestrova
