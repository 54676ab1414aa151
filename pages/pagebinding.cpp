#include "pages/pagebinding.h"

#include "data/dataobjects.h"
#include "widgets/dbwidgets.h"

#include <QHash>
#include <QIcon>
#include <QStyle>
#include <QToolButton>

namespace kestrova {

void bindControls(QWidget* container, DataSource* source, const DataObjects& data)
{
    // Lookup lists and the value lists behind them.
    const QHash<QString, QPair<Table*, QString>> lists = {
        {QStringLiteral("Title"), {data.Ttitle, QStringLiteral("Title")}},
        {QStringLiteral("DeliveryTitle"), {data.Ttitle, QStringLiteral("Title")}},
        {QStringLiteral("Product"), {data.Tproduct, QStringLiteral("Product")}},
        {QStringLiteral("Language"), {data.Tlanguage, QStringLiteral("Language")}},
        {QStringLiteral("Origin"), {data.Torigin, QStringLiteral("Origin")}},
        {QStringLiteral("Currency"), {data.Tcurrency, QStringLiteral("Currency")}},
        {QStringLiteral("PaymentMeans"), {data.Tpayment, QStringLiteral("PaymentMeans")}},
        {QStringLiteral("DistributorTitle"), {data.Ttitle, QStringLiteral("Title")}},
        {QStringLiteral("DistributorLanguage"), {data.Tlanguage, QStringLiteral("Language")}},
        {QStringLiteral("FactoryProduct"), {data.Tproduct, QStringLiteral("Product")}},
        {QStringLiteral("FactoryLanguage"), {data.Tlanguage, QStringLiteral("Language")}},
        {QStringLiteral("EMailOrigin"), {data.Torigin, QStringLiteral("Origin")}},
        {QStringLiteral("EMailProduct"), {data.Tproduct, QStringLiteral("Product")}},
    };
    for (DbEdit* e : container->findChildren<DbEdit*>())
        e->bind(source, e->property("dataField").toString());
    for (DbMemo* m : container->findChildren<DbMemo*>())
        m->bind(source, m->property("dataField").toString());
    for (DbLookupCombo* c : container->findChildren<DbLookupCombo*>()) {
        const auto list = lists.value(c->objectName());
        c->bind(source, c->property("dataField").toString(), list.first, list.second);
    }
}

void setButtonIcons(QWidget* page)
{
    struct Icon {
        const char* button;
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    static const Icon icons[] = {
        {"OrderAboutSpeed", "help-about", QStyle::SP_MessageBoxInformation},
        {"DistributorAboutSpeed", "help-about", QStyle::SP_MessageBoxInformation},
        {"ParametersAboutSpeed", "help-about", QStyle::SP_MessageBoxInformation},
        {"GridViewSpeed", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"CalcSpeed1", "accessories-calculator", QStyle::SP_ComputerIcon},
        {"CalcSpeed3", "accessories-calculator", QStyle::SP_ComputerIcon},
        {"OrderMailAppendSpeed", "document-new", QStyle::SP_FileIcon},
        {"OrderCompuServeAppendSpeed", "mail-receive", QStyle::SP_DriveNetIcon},
        {"LabelsPrintSpeed", "document-print", QStyle::SP_FileDialogListView},
        {"OrderEnveloppePrintSpeed", "mail-send", QStyle::SP_ArrowRight},
        {"OrderInvoicePrintSpeed", "document-print", QStyle::SP_DriveFDIcon},
        {"OrderMailPrintSpeed", "mail-message-new", QStyle::SP_FileDialogContentsView},
        {"OrderPersonFindSpeed", "edit-find", QStyle::SP_FileDialogInfoView},
        {"OrderUnpayedFindSpeed", "dialog-warning", QStyle::SP_MessageBoxWarning},
        {"OrderSQLFindSpeed", "system-search", QStyle::SP_FileDialogToParent},
        {"OrderExportSpeed", "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
        {"DistributorAppendSpeed", "contact-new", QStyle::SP_FileIcon},
        {"DistributorEnveloppePrintSpeed", "mail-send", QStyle::SP_ArrowRight},
        {"DistributorMailPrintSpeed", "mail-message-new", QStyle::SP_FileDialogContentsView},
        {"DistributorMailingPrintSpeed", "mail-forward", QStyle::SP_ArrowForward},
        {"ImportSpeed", "document-open", QStyle::SP_DialogOpenButton},
        {"ExportSpeed", "document-save", QStyle::SP_DialogSaveButton},
        {"OrderExit", "application-exit", QStyle::SP_DialogCloseButton},
        {"DistributorExitSpeed", "application-exit", QStyle::SP_DialogCloseButton},
        {"ParametersExitSpeed", "application-exit", QStyle::SP_DialogCloseButton},
    };
    for (const Icon& i : icons) {
        if (auto* b = page->findChild<QToolButton*>(QString::fromLatin1(i.button))) {
            b->setIcon(QIcon::fromTheme(QString::fromLatin1(i.theme), page->style()->standardIcon(i.fallback)));
            b->setIconSize(QSize(22, 22));
        }
    }
}

} // namespace kestrova
