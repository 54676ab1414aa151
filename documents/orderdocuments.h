#pragma once

#include "data/shownorder.h"
#include "data/textformat.h"
#include "documents/documentsender.h"
#include "documents/exchangetable.h"

#include <QString>

namespace kestrova {

// The address record of the order's envelope and letter: the billing or,
// when the delivery page is showing, the delivery address, with the
// salutation of its title and the name of its person.
ExchangeRecord addressRecord(const ShownOrder& order, DocumentSender& sender);

// The invoice record: the billing address, the order's data, the computed
// total and a complete delivery block. Throws when the net amount or the tax
// is no number.
ExchangeRecord invoiceRecord(const ShownOrder& order, DocumentSender& sender, const LocaleFormat& fmt);

// The three documents of the order shown. They read the boxes as shown and
// never save or change the order.
class OrderDocuments {
public:
    explicit OrderDocuments(DocumentSender* sender) : m_sender(sender) {}
    void setLocaleFormat(const LocaleFormat& fmt) { m_fmt = fmt; }

    // Writes the address record as the exchange table's only record.
    void ExportAddress(const ShownOrder& order);

    void envelope(const ShownOrder& order);
    // The invoice, then the product's batch command with the licence owner
    // as its one last argument.
    void invoice(const ShownOrder& order);
    void letter(const ShownOrder& order);

private:
    void addressDocument(const ShownOrder& order, const QString& column);

    DocumentSender* m_sender;
    LocaleFormat m_fmt = LocaleFormat::system();
};

} // namespace kestrova
