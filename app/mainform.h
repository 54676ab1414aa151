#pragma once

#include "dataset.h"
#include "functionlibrary.h"
#include "orderrules.h"
#include "ordersearches.h"
#include "settings.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class MainForm;
}
class QLineEdit;
class QToolButton;

namespace kestrova {

class TAboutForm;
class TPersonDlg;
class TSQLDlg;
class TGridViewForm;
class TDateDlg;
class TProgressForm;

// The main window: owns every table, data source and query of the program,
// the three pages and their button bars.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Opens the tables of workDir in their fixed order; throws Error with the
    // database layer's message when one cannot be opened.
    TMainForm(const QString& workDir, const LocaleFormat& fmt = LocaleFormat::system(),
              QWidget* parent = nullptr);
    ~TMainForm() override;

    Ui::MainForm* ui() const { return m_ui.get(); }
    QString workDir() const { return m_workDir; }
    const LocaleFormat& localeFormat() const { return m_fmt; }
    // True when the working folder or a table file cannot be written: the
    // tables are then opened read-only.
    bool isReadOnly() const { return m_readOnly; }
    Settings settings() const { return Settings(Ttable); }
    void setAboutForm(TAboutForm* about) { m_about = about; }
    void setSearchWindows(TPersonDlg* person, TSQLDlg* sql, TGridViewForm* grid)
    {
        m_personDlg = person;
        m_sqlDlg = sql;
        m_gridView = grid;
    }
    OrderSearches& searches() { return *m_searches; }
    void setReportWindows(TDateDlg* dates, TProgressForm* progress)
    {
        m_dateDlg = dates;
        m_progress = progress;
    }

    // Data objects, in the order they are opened.
    Table* Tproduct;
    DataSource* Dproduct;
    Table* Tlanguage;
    DataSource* Dlanguage;
    Table* Tprice;
    DataSource* Dprice;
    Table* Ttitle;
    DataSource* Dtitle;
    Table* Tcurrency;
    DataSource* Dcurrency;
    Table* Tpayment;
    DataSource* Dpayment;
    Query* FindPersonSQL;
    Query* SQLSQL;
    Table* Texport;
    Table* Tfactory;
    DataSource* Dfactory;
    Table* Ttable;
    DataSource* Dtable;
    Table* Tdistributor;
    DataSource* Ddistributor;
    DataSource* Dsale;
    Table* Tsale;
    Query* FindUnpayedSQL;
    Table* Torigin;
    DataSource* Dorigin;
    Table* Temail;
    DataSource* Demail;
    Query* Qemail;
    Table* TsaleIn;

    // The word-processor link flag: true while a conversation is open.
    bool WordProcessorLinked = false;

    // Handlers.
    void FormCreate();
    void FormClose();
    void Exit();
    void CalcSpeedClick();
    void AboutSpeedClick();

    void TablesCommandLineChange();
    void TablesDdeServiceChange();
    void TablesDdeTopicChange();
    void TablesLastDdeMacroChange();
    void ProfileChange();
    void PasswordChange();
    void MessageStoreChange();
    void SaveFolderChange();

    // Order rules.
    void OrderMailAppendSpeedClick();
    void TsaleAfterPost();
    void DsaleDataChange();
    void NetAmountEnter();
    void TaxCheckClick(bool ticked);
    void PaymentMeansChange(const QString& text);
    void LicenseeEnter();

    // Searches and the grid view.
    void OrderPersonFindSpeedClick();
    void OrderUnpayedFindSpeedClick();
    void OrderSQLFindSpeedClick();
    void GridViewSpeedClick();

    // Accounting board, export and import.
    void OrderExportSpeedClick();
    void ExportSpeedClick();
    void ImportSpeedClick();

    // The library handle and the import field reader looked up at start.
    const FunctionLibrary& library() const { return m_library; }
    kestrova_pull_fn pullFunction() const { return m_library.pull(); }
    OrderRules& rules() { return *m_rules; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createDataObjects();
    void bindControls();
    void setUpButtons();
    void setUpOrderRules();
    void setUpSearches();
    void showSearchButtons();
    void saveSetting(QLineEdit* box, const QString& name);
    // Stores the edits in progress; false when one could not be stored and
    // the user chose to keep the program open.
    bool storePendingEdits();
    template <typename T>
    T* makeTable(const QString& name);

    std::unique_ptr<Ui::MainForm> m_ui;
    QString m_workDir;
    LocaleFormat m_fmt;
    TAboutForm* m_about = nullptr;
    bool m_closed = false;
    bool m_readOnly = false;
    FunctionLibrary m_library;
    std::unique_ptr<OrderRules> m_rules;
    std::unique_ptr<OrderSearches> m_searches;
    TPersonDlg* m_personDlg = nullptr;
    TSQLDlg* m_sqlDlg = nullptr;
    TGridViewForm* m_gridView = nullptr;
    TDateDlg* m_dateDlg = nullptr;
    TProgressForm* m_progress = nullptr;
};

// Starts a calculator: "Calc.exe" when one is on PATH, else the first of the
// usual desktop calculators found. Returns false when none could be started.
bool startCalculator();

extern TMainForm* MainForm;

} // namespace kestrova
