#include "documents/orderdocuments.h"

#include "data/dataset.h"
#include "data/salefields.h"

namespace kestrova {

namespace {

using F = ExchangeField;

// The order fields of one address block.
struct AddressFields {
    const QString& person;
    const QString& title;
    const QString& company;
    const QString& address;
    const QString& faxOrEMail;
};
const AddressFields kBilling{sale::Person, sale::Title, sale::Company, sale::Address, sale::FaxOrEMail};
const AddressFields kDelivery{sale::DeliveryPerson, sale::DeliveryTitle, sale::DeliveryCompany, sale::DeliveryAddress,
                              sale::DeliveryFaxOrEMail};

// The Xfactory key of the order's documents.
QString productOf(const ShownOrder& order)
{
    return order.value(sale::Product);
}
QString languageOf(const ShownOrder& order)
{
    return order.value(sale::Language);
}

} // namespace

ExchangeRecord addressRecord(const ShownOrder& order, DocumentSender& sender)
{
    // Everything comes from the address page showing, the name included:
    // a letter greets the person it is addressed to.
    const AddressFields& f = order.deliveryPageShowing() ? kDelivery : kBilling;
    ExchangeRecord r;
    r.set(F::Person, order.value(f.person));
    r.set(F::Title, order.value(f.title));
    r.set(F::Company, order.value(f.company));
    r.set(F::Address, crlfLines(order.value(f.address)));
    r.set(F::FaxOrEMail, order.value(f.faxOrEMail));
    r.set(F::Politeness, sender.LookupPoliteness(order.value(f.title)));
    r.set(F::Name, ExtractName(order.value(f.person)));
    return r;
}

ExchangeRecord invoiceRecord(const ShownOrder& order, DocumentSender& sender, const LocaleFormat& fmt)
{
    ExchangeRecord r;
    r.set(F::Person, order.value(sale::Person));
    r.set(F::Name, ExtractName(order.value(sale::Person)));
    r.set(F::Title, order.value(sale::Title));
    if (!order.value(sale::Title).isEmpty())
        r.set(F::Politeness, sender.LookupPoliteness(order.value(sale::Title)));
    r.set(F::Company, order.value(sale::Company));
    r.set(F::Address, crlfLines(order.value(sale::Address)));
    r.set(F::FaxOrEMail, order.value(sale::FaxOrEMail));
    r.set(F::Date, order.value(sale::OrderDate));
    r.set(F::Product, order.value(sale::Product));
    r.set(F::Language, order.value(sale::Language));
    r.set(F::Licensee, order.value(sale::Licensee));
    r.set(F::Reference, order.value(sale::Reference));
    r.set(F::NumberOfLicenses, order.value(sale::NumberOfLicenses));
    r.set(F::Currency, order.value(sale::Currency));
    r.set(F::PaymentMeans, order.value(sale::PaymentMeans));
    r.set(F::PaymentDate, order.value(sale::PaymentDate));
    r.set(F::InvoiceNumber, order.value(sale::InvoiceNumber));
    r.set(F::NetAmount, order.value(sale::NetAmount));
    r.set(F::Tax, order.value(sale::Tax));

    // The total only when both amounts are given; either one that is no
    // number stops the invoice.
    const QString net = r.value(F::NetAmount);
    const QString tax = r.value(F::Tax);
    if (!net.isEmpty() && !tax.isEmpty())
        r.set(F::Total, formatNumber(toNumber(net, fmt) + toNumber(tax, fmt), fmt));

    // A complete delivery block: the delivery boxes when any of them holds
    // text, the billing values otherwise.
    bool delivery = false;
    for (const QString* f :
         {&kDelivery.company, &kDelivery.title, &kDelivery.person, &kDelivery.address, &kDelivery.faxOrEMail})
        delivery = delivery || !order.value(*f).isEmpty();
    if (delivery) {
        const QString person = order.value(kDelivery.person);
        const QString title = order.value(kDelivery.title);
        r.set(F::DeliveryPerson, person);
        r.set(F::DeliveryName, ExtractName(person));
        r.set(F::DeliveryTitle, title);
        if (!title.isEmpty())
            r.set(F::DeliveryPoliteness, sender.LookupPoliteness(title));
        r.set(F::DeliveryCompany, order.value(kDelivery.company));
        r.set(F::DeliveryAddress, crlfLines(order.value(kDelivery.address)));
        r.set(F::DeliveryFaxOrEMail, order.value(kDelivery.faxOrEMail));
    } else {
        r.set(F::DeliveryCompany, r.value(F::Company));
        r.set(F::DeliveryTitle, r.value(F::Title));
        r.set(F::DeliveryPoliteness, r.value(F::Politeness));
        r.set(F::DeliveryPerson, r.value(F::Person));
        r.set(F::DeliveryName, r.value(F::Name));
        r.set(F::DeliveryAddress, r.value(F::Address));
        r.set(F::DeliveryFaxOrEMail, r.value(F::FaxOrEMail));
    }
    return r;
}

void OrderDocuments::ExportAddress(const ShownOrder& order)
{
    m_sender->writeExchange({addressRecord(order, *m_sender)});
}

void OrderDocuments::addressDocument(const ShownOrder& order, const QString& column)
{
    if (!m_sender->mayBegin(productOf(order), languageOf(order)))
        return;
    ExportAddress(order);
    m_sender->RunFactoryMacro(column, productOf(order), languageOf(order));
}

void OrderDocuments::envelope(const ShownOrder& order)
{
    addressDocument(order, QStringLiteral("Envelope"));
}

void OrderDocuments::letter(const ShownOrder& order)
{
    addressDocument(order, QStringLiteral("Mail"));
}

void OrderDocuments::invoice(const ShownOrder& order)
{
    if (!m_sender->mayBegin(productOf(order), languageOf(order)))
        return;
    m_sender->writeExchange({invoiceRecord(order, *m_sender, m_fmt)});
    if (!m_sender->RunFactoryMacro(QStringLiteral("Invoice"), productOf(order), languageOf(order)))
        return;
    // The batch follows at once, whether or not the word processor took the
    // macro. The licence owner is one argument, whatever it holds.
    const QString batch = m_sender->tables().factory->fieldText(QStringLiteral("Batch"));
    if (!batch.trimmed().isEmpty())
        startCommandLine(batch, {order.value(sale::Licensee)}, m_sender->link().workingDirectory());
}

} // namespace kestrova
