#pragma once

#include "documents/documentroad.h"
#include "documents/exchangetable.h"
#include "data/textformat.h"

#include <QHash>
#include <QString>

namespace kestrova {

// The order as the "Sales" page shows it: the text of each box by its order
// field (Person, DeliveryAddress, NetAmount, ...), unsaved changes included,
// and which page of the address notebook is showing.
struct OrderView {
    QHash<QString, QString> boxes;
    bool deliveryPageShowing = false;

    QString text(const char* field) const { return boxes.value(QString::fromLatin1(field)); }
};

// The address record of the order's envelope and letter: the billing or,
// when the delivery page is showing, the delivery address, with the
// salutation of its title and the name of its person.
ExchangeRecord addressRecord(const OrderView& order, DocumentRoad& road);

// The invoice record: the billing address, the order's data, the computed
// total and a complete delivery block. Throws when the net amount or the tax
// is no number.
ExchangeRecord invoiceRecord(const OrderView& order, DocumentRoad& road, const LocaleFormat& fmt);

// The three documents of the order shown. They read the boxes as shown and
// never save or change the order.
class OrderDocuments {
public:
    explicit OrderDocuments(DocumentRoad* road) : m_road(road) {}
    void setLocaleFormat(const LocaleFormat& fmt) { m_fmt = fmt; }

    // Writes the address record as the exchange table's only record.
    void ExportAddress(const OrderView& order);

    void envelope(const OrderView& order);
    // The invoice, then the product's batch command with the licence owner
    // as its one last argument.
    void invoice(const OrderView& order);
    void letter(const OrderView& order);

private:
    void addressDocument(const OrderView& order, const QString& column);

    DocumentRoad* m_road;
    LocaleFormat m_fmt = LocaleFormat::system();
};

} // namespace kestrova
