#pragma once

#include "data/dataset.h"
#include "data/textformat.h"

#include <QDate>
#include <functional>
#include <optional>

namespace kestrova {

class FunctionLibrary;

// The rules that keep the order shown on the order page consistent: the new
// order, the last invoice number, the tax box, the price from the price
// list, the payment date and the licence-owner proposal. They work on the
// record shown through the page's data source, so they need no window; the
// window calls them from its handlers and owns the tax box itself.
class OrderRules {
public:
    OrderRules(DataSource* sale, Table* tsale, Table* tprice, Table* ttable, const FunctionLibrary* library);

    void setLocaleFormat(const LocaleFormat& fmt) { m_fmt = fmt; }
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }
    // The tax box: called with the tick to show. While the rules set the
    // tick, a change of the box is not a user's click and runs no rule.
    void setTaxBox(std::function<void(bool)> tick) { m_tick = std::move(tick); }
    bool taxBoxSuppressed() const { return m_suppress; }
    // The text a box of the order page shows for a field. The rules read
    // what the user sees, which may differ from the stored value (a refused
    // "abc" stays in its box). Without a page, the stored text is read.
    void setBoxText(std::function<QString(const QString& field)> text) { m_boxText = std::move(text); }

    // New order, up to the post: an empty order at the end of the table,
    // dated today and numbered by the library's invoice-number function.
    void appendNewOrder();
    // The last step of a new order: store it.
    void postNewOrder();

    // After every post of the order table: when the posted order is the last
    // one and has an invoice number, it becomes LastInvoiceNumber.
    void orderPosted();

    // The shown record changed: the tax box shows whether it is taxed.
    void shownOrderChanged();
    static bool isTaxed(const QString& taxText);

    // Entering the net amount: amounts from the price list times licences.
    void enterNetAmount();
    // The user ticked or cleared the tax box.
    void taxBoxClicked(bool ticked);
    // The payment means shown changed (by the user, or while editing).
    void paymentMeansChanged(const QString& paymentMeans);
    // The licence owner proposed for an empty box: title, blank, person.
    static QString proposedLicensee(const QString& title, const QString& person);

private:
    DataSet* shown() const;
    QString shownText(const QString& field) const;
    QString boxText(const QString& field) const;
    // Throws the database layer's message while a search has closed the
    // order table.
    void requireOrderTable();
    // Finds the price row of the shown product and currency; false when there
    // is none (the amounts are then left alone).
    bool priceLookup(QString* net, QString* tax);
    QString timesLicences(const QString& number) const;
    void setTick(bool ticked);

    DataSource* m_sale;
    Table* m_tsale;
    Table* m_tprice;
    Table* m_ttable;
    const FunctionLibrary* m_library;
    LocaleFormat m_fmt;
    std::function<QDate()> m_today = [] { return QDate::currentDate(); };
    std::function<void(bool)> m_tick;
    std::function<QString(const QString&)> m_boxText;
    bool m_suppress = false;
};

} // namespace kestrova
