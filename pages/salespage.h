#pragma once

#include "data/shownorder.h"
#include "intake/mailbox.h"
#include "orders/orderrules.h"
#include "orders/ordersearches.h"
#include "pages/framepage.h"

#include <memory>

namespace Ui {
class SalesPage;
}

namespace kestrova {

class DataObjects;
class FunctionLibrary;
struct MailOrderState;

// The "Sales" page: the order shown through Dsale, the rules that keep it
// consistent while it is entered, and the order page's buttons. The
// document buttons are announced by signals: the documents are the main
// window's.
class SalesPage : public FramePage {
    Q_OBJECT
public:
    // The windows the page's buttons show, owned by the main window.
    struct Dialogs {
        QWidget* person = nullptr;
        QWidget* sql = nullptr;
        QWidget* grid = nullptr;
        QWidget* dates = nullptr;
    };

    explicit SalesPage(QWidget* parent = nullptr);
    ~SalesPage() override;

    // Binds the page to the data objects and sets up its rules and searches.
    void setUp(DataObjects* data, const FunctionLibrary* library);
    // Hands the page the windows its buttons show; done once, at start.
    void setDialogs(const Dialogs& dialogs);

    Ui::SalesPage* ui() const { return m_ui.get(); }
    OrderRules& rules() { return *m_rules; }
    OrderSearches& searches() { return *m_searches; }

    // The order as the page shows it: the text of every box by its field,
    // unsaved changes included, and the address page showing.
    ShownOrder shownOrder() const;

    // Order rules.
    void OrderMailAppendSpeedClick();
    void TsaleAfterPost();
    void DsaleDataChange();
    void NetAmountEnter();
    void TaxCheckClick(bool ticked);
    void PaymentMeansChange(const QString& text);
    void LicenseeEnter();

    // Searches, the grid view and the accounting board.
    void OrderPersonFindSpeedClick();
    void OrderUnpayedFindSpeedClick();
    void OrderSQLFindSpeedClick();
    void GridViewSpeedClick();
    void OrderExportSpeedClick();

    // E-mail intake: one processing run over the mailbox.
    void OrderCompuServeAppendSpeedClick();
    // The window's texts stored as a new order through the page's rules.
    QString appendMailOrder(const ShownOrder& shown);
    // How the mailbox is reached (a certificate bundle, time limits).
    void setMailOptions(const Mailbox::Options& options) { m_mailOptions = options; }
    MailOrderState& mailState() { return *m_mailState; }
    // Why the e-mail button is disabled in a read-only set.
    static QString readOnlyMailHint();

Q_SIGNALS:
    void envelopeRequested();
    void invoiceRequested();
    void letterRequested();
    void labelsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpOrderRules(const FunctionLibrary* library);
    void setUpSearches();
    void showSearchButtons();

    std::unique_ptr<Ui::SalesPage> m_ui;
    DataObjects* m_data = nullptr;
    std::unique_ptr<OrderRules> m_rules;
    std::unique_ptr<OrderSearches> m_searches;
    Dialogs m_dialogs;
    const FunctionLibrary* m_library = nullptr;
    // The value areas and the matched origin outlive every processing run.
    std::unique_ptr<MailOrderState> m_mailState;
    Mailbox::Options m_mailOptions;
};

} // namespace kestrova
