#pragma once

#include "documents/wordprocessorlink.h"
#include "pages/framepage.h"
#include "pages/settingseditors.h"

#include <memory>

namespace Ui {
class ParametersPage;
}

namespace kestrova {

class CompanyTab;
class DataObjects;
class FunctionLibrary;
class TransferProgress;

// The "Parameters" page: the value-list grids, the document settings and
// recognition rules, the settings boxes, and the order export and import.
class ParametersPage : public FramePage {
    Q_OBJECT
public:
    explicit ParametersPage(QWidget* parent = nullptr);
    ~ParametersPage() override;

    void setUp(DataObjects* data, const FunctionLibrary* library);
    // The window that shows an export's or import's progress; handed over
    // once, at start.
    void setProgressWindow(TransferProgress* progress) { m_progress = progress; }

    Ui::ParametersPage* ui() const { return m_ui.get(); }
    SettingsEditors& settingsEditors() { return *m_settings; }
    // The link settings as the boxes show them, typed text included.
    LinkSettings linkSettings() const;
    CompanyTab& companyTab() { return *m_company; }
    // Fills the settings boxes and the "Company" tab from their rows.
    void loadSettings(bool readOnly);

    void ExportSpeedClick();
    void ImportSpeedClick();
    void StandardDocumentsButtonClick();

private:
    std::unique_ptr<Ui::ParametersPage> m_ui;
    DataObjects* m_data = nullptr;
    const FunctionLibrary* m_library = nullptr;
    SettingsEditors* m_settings = nullptr;
    CompanyTab* m_company = nullptr;
    TransferProgress* m_progress = nullptr;
};

} // namespace kestrova
