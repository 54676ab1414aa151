#include "documents/orderdocuments.h"

#include "data/dataset.h"

namespace kestrova {

namespace {

using F = ExchangeField;

// The Xfactory key of the order's documents.
QString productOf(const OrderView& order)
{
    return order.text("Product");
}
QString languageOf(const OrderView& order)
{
    return order.text("Language");
}

} // namespace

ExchangeRecord addressRecord(const OrderView& order, DocumentRoad& road)
{
    // Everything comes from the address page showing, the name included:
    // a letter greets the person it is addressed to.
    const char* const prefix = order.deliveryPageShowing ? "Delivery" : "";
    auto box = [&](const char* field) {
        return order.boxes.value(QString::fromLatin1(prefix) + QString::fromLatin1(field));
    };
    ExchangeRecord r;
    r.set(F::Person, box("Person"));
    r.set(F::Title, box("Title"));
    r.set(F::Company, box("Company"));
    r.set(F::Address, crlfLines(box("Address")));
    r.set(F::FaxOrEMail, box("FaxOrEMail"));
    r.set(F::Politeness, road.LookupPoliteness(box("Title")));
    r.set(F::Name, ExtractName(box("Person")));
    return r;
}

ExchangeRecord invoiceRecord(const OrderView& order, DocumentRoad& road, const LocaleFormat& fmt)
{
    ExchangeRecord r;
    r.set(F::Person, order.text("Person"));
    r.set(F::Name, ExtractName(order.text("Person")));
    r.set(F::Title, order.text("Title"));
    if (!order.text("Title").isEmpty())
        r.set(F::Politeness, road.LookupPoliteness(order.text("Title")));
    r.set(F::Company, order.text("Company"));
    r.set(F::Address, crlfLines(order.text("Address")));
    r.set(F::FaxOrEMail, order.text("FaxOrEMail"));
    r.set(F::Date, order.text("OrderDate"));
    r.set(F::Product, order.text("Product"));
    r.set(F::Language, order.text("Language"));
    r.set(F::Licensee, order.text("Licensee"));
    r.set(F::Reference, order.text("Reference"));
    r.set(F::NumberOfLicenses, order.text("NumberOfLicenses"));
    r.set(F::Currency, order.text("Currency"));
    r.set(F::PaymentMeans, order.text("PaymentMeans"));
    r.set(F::PaymentDate, order.text("PaymentDate"));
    r.set(F::InvoiceNumber, order.text("InvoiceNumber"));
    r.set(F::NetAmount, order.text("NetAmount"));
    r.set(F::Tax, order.text("Tax"));

    // The total only when both amounts are given; either one that is no
    // number stops the invoice.
    const QString net = r.value(F::NetAmount);
    const QString tax = r.value(F::Tax);
    if (!net.isEmpty() && !tax.isEmpty())
        r.set(F::Total, formatNumber(toNumber(net, fmt) + toNumber(tax, fmt), fmt));

    // A complete delivery block: the delivery boxes when any of them holds
    // text, the billing values otherwise.
    bool delivery = false;
    for (const char* f :
         {"DeliveryCompany", "DeliveryTitle", "DeliveryPerson", "DeliveryAddress", "DeliveryFaxOrEMail"})
        delivery = delivery || !order.text(f).isEmpty();
    if (delivery) {
        const QString person = order.text("DeliveryPerson");
        const QString title = order.text("DeliveryTitle");
        r.set(F::DeliveryPerson, person);
        r.set(F::DeliveryName, ExtractName(person));
        r.set(F::DeliveryTitle, title);
        if (!title.isEmpty())
            r.set(F::DeliveryPoliteness, road.LookupPoliteness(title));
        r.set(F::DeliveryCompany, order.text("DeliveryCompany"));
        r.set(F::DeliveryAddress, crlfLines(order.text("DeliveryAddress")));
        r.set(F::DeliveryFaxOrEMail, order.text("DeliveryFaxOrEMail"));
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

void OrderDocuments::ExportAddress(const OrderView& order)
{
    m_road->writeExchange({addressRecord(order, *m_road)});
}

void OrderDocuments::addressDocument(const OrderView& order, const QString& column)
{
    if (!m_road->mayBegin(productOf(order), languageOf(order)))
        return;
    ExportAddress(order);
    m_road->RunFactoryMacro(column, productOf(order), languageOf(order));
}

void OrderDocuments::envelope(const OrderView& order)
{
    addressDocument(order, QStringLiteral("Envelope"));
}

void OrderDocuments::letter(const OrderView& order)
{
    addressDocument(order, QStringLiteral("Mail"));
}

void OrderDocuments::invoice(const OrderView& order)
{
    if (!m_road->mayBegin(productOf(order), languageOf(order)))
        return;
    m_road->writeExchange({invoiceRecord(order, *m_road, m_fmt)});
    if (!m_road->RunFactoryMacro(QStringLiteral("Invoice"), productOf(order), languageOf(order)))
        return;
    // The batch follows at once, whether or not the word processor took the
    // macro. The licence owner is one argument, whatever it holds.
    const QString batch = m_road->tables().factory->fieldText(QStringLiteral("Batch"));
    if (!batch.trimmed().isEmpty())
        startCommandLine(batch, {order.text("Licensee")}, m_road->link().workingDirectory());
}

} // namespace kestrova
