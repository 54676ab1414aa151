#pragma once

#include <QHash>
#include <QString>

namespace kestrova {

// An order as a window shows it, unsaved changes included: the text of each
// box by its order field name (Person, DeliveryAddress, NetAmount, ...) and
// which page of the address notebook is showing. The "Sales" page and the
// processing window of e-mail orders both hand their boxes on as this value.
struct ShownOrder {
    // The pages of the address notebook, in their order.
    enum class AddressTab { Billing = 0, Delivery = 1 };

    QHash<QString, QString> boxes;
    AddressTab addressTab = AddressTab::Billing;

    // The text of a field's box; empty when no box shows the field.
    QString value(const QString& field) const { return boxes.value(field); }
    QString& operator[](const QString& field) { return boxes[field]; }
    void insert(const QString& field, const QString& text) { boxes.insert(field, text); }

    bool deliveryPageShowing() const { return addressTab == AddressTab::Delivery; }
};

} // namespace kestrova
