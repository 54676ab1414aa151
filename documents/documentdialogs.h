#pragma once

#include "documents/distributordocuments.h"

#include <QDialog>
#include <functional>
#include <memory>

class QPushButton;

namespace Ui {
class MailDlg;
class MailingDlg;
class LabelsDlg;
} // namespace Ui

namespace kestrova {

class DbGrid;

class DataObjects;

// A document dialog: grids over the main window's products and languages
// (moving in a grid moves that table's current row), OK and Cancel. Shown
// without being modal, beside the main window; Cancel hides it.
class ProductLanguageDialog : public QDialog {
    Q_OBJECT
public:
    virtual void OKButtonClick() = 0;
    void CancelButtonClick();
    // Shows the dialog, or brings it to the front when it is shown.
    void showInFront();

protected:
    ProductLanguageDialog(DataObjects* data, DistributorDocuments* documents, QWidget* parent);
    // Called by the subclass once its form is set up.
    void connectForm(DbGrid* products, DbGrid* languages, QPushButton* ok, QPushButton* cancel);
    // The Product and Language of the products' and languages' current rows.
    QString chosenProduct() const;
    QString chosenLanguage() const;

    DataObjects* m_data;
    DistributorDocuments* m_documents;
};

// "Mail": the envelope or letter of the distributor shown, as Tag says.
class TMailDlg : public ProductLanguageDialog {
    Q_OBJECT
public:
    TMailDlg(DataObjects* data, DistributorDocuments* documents, std::function<DistributorView()> shownDistributor,
             QWidget* parent = nullptr);
    ~TMailDlg() override;
    Ui::MailDlg* ui() const { return m_ui.get(); }

    // The document kind, set by the page's buttons.
    DistributorDocuments::Kind Tag = DistributorDocuments::Envelope;
    void OKButtonClick() override;

private:
    std::unique_ptr<Ui::MailDlg> m_ui;
    std::function<DistributorView()> m_shown;
};

// "Mailing": one document for every distributor of the chosen language.
class TMailingDlg : public ProductLanguageDialog {
    Q_OBJECT
public:
    TMailingDlg(DataObjects* data, DistributorDocuments* documents, QWidget* parent = nullptr);
    ~TMailingDlg() override;
    Ui::MailingDlg* ui() const { return m_ui.get(); }
    void OKButtonClick() override;

private:
    std::unique_ptr<Ui::MailingDlg> m_ui;
};

// "Printing labels": an ordinary resizable window.
class TLabelsDlg : public ProductLanguageDialog {
    Q_OBJECT
public:
    TLabelsDlg(DataObjects* data, DistributorDocuments* documents, QWidget* parent = nullptr);
    ~TLabelsDlg() override;
    Ui::LabelsDlg* ui() const { return m_ui.get(); }
    void OKButtonClick() override;

private:
    std::unique_ptr<Ui::LabelsDlg> m_ui;
};

} // namespace kestrova
