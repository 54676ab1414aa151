#pragma once

#include "data/dataobjects.h"
#include "functions/functionlibrary.h"
#include "data/settings.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class MainForm;
}

namespace kestrova {

class TAboutForm;
class SalesPage;
class DistributorsPage;
class ParametersPage;
class OrderRules;
class OrderSearches;
class TransferProgress;
class WordProcessorLink;
class DocumentSender;
class OrderDocuments;
class DistributorDocuments;
class TMailDlg;
class TMailingDlg;
class TLabelsDlg;

// The windows the buttons of the frame and its pages show. The start-up code
// makes them with the main window as their Qt parent, which owns them.
struct FrameWindows {
    TAboutForm* about = nullptr;
    QWidget* personDlg = nullptr;
    QWidget* sqlDlg = nullptr;
    QWidget* gridView = nullptr;
    QWidget* dateDlg = nullptr;
    TransferProgress* progress = nullptr;
    TMailDlg* mailDlg = nullptr;
    TMailingDlg* mailingDlg = nullptr;
    TLabelsDlg* labelsDlg = nullptr;
};

// The main window: the frame that owns the data objects and the function
// library, holds the three pages and runs start-up and shutdown.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Opens the tables of workDir in their fixed order; throws Error with the
    // database layer's message when one cannot be opened.
    TMainForm(const QString& workDir, const LocaleFormat& fmt = LocaleFormat::system(), QWidget* parent = nullptr);
    ~TMainForm() override;

    QString workDir() const { return m_workDir; }
    const LocaleFormat& localeFormat() const { return m_fmt; }
    // True when the working folder or a table file cannot be written: the
    // tables are then opened read-only.
    bool isReadOnly() const { return m_readOnly; }
    Settings settings() const { return Settings(m_data->Ttable); }

    DataObjects& data() { return *m_data; }
    SalesPage* sales() const;
    DistributorsPage* distributors() const;
    ParametersPage* parameters() const;
    OrderRules& rules();
    OrderSearches& searches();

    // Hands the frame and its pages the windows their buttons show; done
    // once, right after the windows were made. Without it the buttons that
    // show a window do nothing.
    void attachWindows(const FrameWindows& windows);

    // The library handle and the import field reader looked up at start.
    const FunctionLibrary& library() const { return m_library; }
    kestrova_pull_fn pullFunction() const { return m_library.pull(); }

    // The link to the word processor, and the distributor documents sent
    // through it.
    WordProcessorLink& link() const { return *m_link; }
    DistributorDocuments& distributorDocuments() const { return *m_distributorDocuments; }
    // The word-processor link flag: true while a conversation is open.
    bool WordProcessorLinked() const;

    // Handlers.
    void FormCreate();
    void FormClose();
    void Exit();
    void CalcSpeedClick();
    void AboutSpeedClick();
    void OrderEnveloppePrintSpeedClick();
    void OrderInvoicePrintSpeedClick();
    void OrderMailPrintSpeedClick();
    void LabelsPrintSpeedClick();
    void DistributorEnveloppePrintSpeedClick();
    void DistributorMailPrintSpeedClick();
    void DistributorMailingPrintSpeedClick();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // Stores the edits in progress; false when one could not be stored and
    // the user chose to keep the program open.
    bool storePendingEdits();
    void setUpDocuments();
    void wirePages();

    std::unique_ptr<Ui::MainForm> m_ui;
    QString m_workDir;
    LocaleFormat m_fmt;
    bool m_readOnly = false;
    bool m_closed = false;
    DataObjects* m_data = nullptr;
    FunctionLibrary m_library;
    std::unique_ptr<WordProcessorLink> m_link; // no Qt parent: ended after the documents
    std::unique_ptr<DocumentSender> m_sender;
    std::unique_ptr<OrderDocuments> m_orderDocuments;
    std::unique_ptr<DistributorDocuments> m_distributorDocuments;
    FrameWindows m_windows;
    bool m_windowsAttached = false;
};

// Starts a calculator: "Calc.exe" when one is on PATH, else the first of the
// usual desktop calculators found. Returns false when none could be started.
bool startCalculator();

} // namespace kestrova
