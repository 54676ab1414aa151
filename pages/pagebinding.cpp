#include "pages/pagebinding.h"

#include "data/dataobjects.h"
#include "widgets/dbwidgets.h"

#include <QHash>
#include <QIcon>
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
        // Every lookup list of the forms has its value list here.
        Q_ASSERT_X(lists.contains(c->objectName()), "bindControls", qPrintable(c->objectName()));
        const auto list = lists.value(c->objectName());
        c->bind(source, c->property("dataField").toString(), list.first, list.second);
    }
}

void setButtonIcons(QWidget* page, std::initializer_list<ButtonIcon> icons)
{
    for (const ButtonIcon& i : icons) {
        Q_ASSERT_X(i.button, "setButtonIcons", i.theme);
        i.button->setIcon(QIcon::fromTheme(QString::fromLatin1(i.theme), page->style()->standardIcon(i.fallback)));
        i.button->setIconSize(QSize(22, 22));
    }
}

} // namespace kestrova
