#include "writer/einvoice.h"

#include "writer/writererror.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QXmlStreamWriter>

namespace kestrova::writer {
namespace {

const QString kRsm = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kRam =
    QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
const QString kUdt = QStringLiteral("urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");
const QString kQdt = QStringLiteral("urn:un:unece:uncefact:data:standard:QualifiedDataType:100");

const QString kEn16931 = QStringLiteral("urn:cen.eu:en16931:2017");
const QString kXRechnung = QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0");

QString amount(qint64 cents)
{
    const qint64 a = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString percent(int hundredths)
{
    QString s = amount(hundredths);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

QString categoryCode(TaxCategory c)
{
    switch (c) {
    case TaxCategory::Standard: return QStringLiteral("S");
    case TaxCategory::ReverseCharge: return QStringLiteral("AE");
    case TaxCategory::Export: return QStringLiteral("G");
    case TaxCategory::Exempt: return QStringLiteral("E");
    }
    return {};
}

QString exemptionCode(TaxCategory c)
{
    switch (c) {
    case TaxCategory::ReverseCharge: return QStringLiteral("VATEX-EU-AE");
    case TaxCategory::Export: return QStringLiteral("VATEX-EU-G");
    default: return {};
    }
}

class CiiWriter {
public:
    explicit CiiWriter(QIODevice* device) : w(device) { w.setAutoFormatting(true); }

    void write(const EInvoice& inv)
    {
        w.writeStartDocument();
        w.writeNamespace(kRsm, QStringLiteral("rsm"));
        w.writeNamespace(kRam, QStringLiteral("ram"));
        w.writeNamespace(kUdt, QStringLiteral("udt"));
        w.writeNamespace(kQdt, QStringLiteral("qdt"));
        w.writeStartElement(kRsm, QStringLiteral("CrossIndustryInvoice"));

        w.writeStartElement(kRsm, QStringLiteral("ExchangedDocumentContext"));
        start("GuidelineSpecifiedDocumentContextParameter");
        text("ID", inv.form == EInvoiceForm::XRechnung ? kXRechnung : kEn16931);
        end();
        end();

        w.writeStartElement(kRsm, QStringLiteral("ExchangedDocument"));
        text("ID", inv.number);
        text("TypeCode", QStringLiteral("380"));
        start("IssueDateTime");
        dateTime(inv.issueDate);
        end();
        if (inv.paid) {
            start("IncludedNote");
            text("Content",
                 inv.paymentDate.isValid()
                     ? QStringLiteral("Paid on %1 (%2).").arg(inv.paymentDate.toString(Qt::ISODate), inv.paymentMeans)
                     : QStringLiteral("Paid (%1).").arg(inv.paymentMeans));
            end();
        }
        end();

        w.writeStartElement(kRsm, QStringLiteral("SupplyChainTradeTransaction"));
        line(inv);
        agreement(inv);
        start("ApplicableHeaderTradeDelivery");
        end();
        settlement(inv);
        end();

        w.writeEndElement();
        w.writeEndDocument();
    }
    bool failed() const { return w.hasError(); }

private:
    void start(const char* name) { w.writeStartElement(kRam, QLatin1String(name)); }
    void end() { w.writeEndElement(); }
    void text(const char* name, const QString& value) { w.writeTextElement(kRam, QLatin1String(name), value); }
    void textWith(const char* name, const char* attribute, const QString& attributeValue, const QString& value)
    {
        start(name);
        w.writeAttribute(QLatin1String(attribute), attributeValue);
        w.writeCharacters(value);
        end();
    }
    void dateTime(const QDate& date)
    {
        w.writeStartElement(kUdt, QStringLiteral("DateTimeString"));
        w.writeAttribute(QStringLiteral("format"), QStringLiteral("102"));
        w.writeCharacters(date.toString(QStringLiteral("yyyyMMdd")));
        w.writeEndElement();
    }

    // BT-34 / BT-49: the party's electronic address, its e-mail.
    void electronicAddress(const QString& email)
    {
        start("URIUniversalCommunication");
        textWith("URIID", "schemeID", QStringLiteral("EM"), email);
        end();
    }

    void tradeTax(const EInvoice& inv, bool header)
    {
        start("ApplicableTradeTax");
        if (header)
            text("CalculatedAmount", amount(inv.taxCents));
        text("TypeCode", QStringLiteral("VAT"));
        if (header && !inv.exemptionReason.isEmpty())
            text("ExemptionReason", inv.exemptionReason);
        if (header)
            text("BasisAmount", amount(inv.netCents));
        text("CategoryCode", categoryCode(inv.category));
        if (header && !exemptionCode(inv.category).isEmpty())
            text("ExemptionReasonCode", exemptionCode(inv.category));
        text("RateApplicablePercent", percent(inv.category == TaxCategory::Standard ? inv.rateHundredths : 0));
        end();
    }

    void line(const EInvoice& inv)
    {
        start("IncludedSupplyChainTradeLineItem");
        start("AssociatedDocumentLineDocument");
        text("LineID", QStringLiteral("1"));
        end();
        start("SpecifiedTradeProduct");
        text("Name", inv.product);
        end();
        start("SpecifiedLineTradeAgreement");
        start("NetPriceProductTradePrice");
        text("ChargeAmount", amount(inv.unitPriceCents));
        textWith("BasisQuantity", "unitCode", QStringLiteral("C62"), inv.priceBase);
        end();
        end();
        start("SpecifiedLineTradeDelivery");
        textWith("BilledQuantity", "unitCode", QStringLiteral("C62"), inv.quantity);
        end();
        start("SpecifiedLineTradeSettlement");
        tradeTax(inv, false);
        start("SpecifiedTradeSettlementLineMonetarySummation");
        text("LineTotalAmount", amount(inv.netCents));
        end();
        end();
        end();
    }

    void party(const char* role, const InvoiceParty& p, bool seller)
    {
        start(role);
        text("Name", p.name);
        if (!p.contact.isEmpty() || !p.phone.isEmpty() || (seller && !p.email.isEmpty())) {
            start("DefinedTradeContact");
            if (!p.contact.isEmpty())
                text("PersonName", p.contact);
            if (!p.phone.isEmpty()) {
                start("TelephoneUniversalCommunication");
                text("CompleteNumber", p.phone);
                end();
            }
            if (!p.email.isEmpty()) {
                start("EmailURIUniversalCommunication");
                text("URIID", p.email);
                end();
            }
            end();
        }
        start("PostalTradeAddress");
        if (!p.address.postcode.isEmpty())
            text("PostcodeCode", p.address.postcode);
        const char* const lineNames[] = {"LineOne", "LineTwo", "LineThree"};
        for (int i = 0; i < p.address.lines.size() && i < 3; ++i)
            text(lineNames[i], i < 2 ? p.address.lines[i] : p.address.lines.mid(2).join(QStringLiteral(", ")));
        if (!p.address.city.isEmpty())
            text("CityName", p.address.city);
        text("CountryID", p.address.country);
        end();
        if (!p.email.isEmpty())
            electronicAddress(p.email);
        if (!p.vatId.isEmpty()) {
            start("SpecifiedTaxRegistration");
            textWith("ID", "schemeID", QStringLiteral("VA"), p.vatId);
            end();
        }
        if (!p.taxNumber.isEmpty()) {
            start("SpecifiedTaxRegistration");
            textWith("ID", "schemeID", QStringLiteral("FC"), p.taxNumber);
            end();
        }
        end();
    }

    void agreement(const EInvoice& inv)
    {
        start("ApplicableHeaderTradeAgreement");
        if (!inv.buyerReference.isEmpty())
            text("BuyerReference", inv.buyerReference);
        party("SellerTradeParty", inv.seller, true);
        party("BuyerTradeParty", inv.buyer, false);
        end();
    }

    void settlement(const EInvoice& inv)
    {
        start("ApplicableHeaderTradeSettlement");
        text("InvoiceCurrencyCode", inv.currency);
        if (!inv.paymentCode.isEmpty()) {
            start("SpecifiedTradeSettlementPaymentMeans");
            text("TypeCode", inv.paymentCode);
            text("Information", inv.paid ? inv.paymentMeans : QStringLiteral("Credit transfer"));
            if (!inv.iban.isEmpty()) {
                start("PayeePartyCreditorFinancialAccount");
                text("IBANID", inv.iban);
                text("AccountName", inv.seller.name);
                end();
            }
            if (!inv.bic.isEmpty()) {
                start("PayeeSpecifiedCreditorFinancialInstitution");
                text("BICID", inv.bic);
                end();
            }
            end();
        }
        tradeTax(inv, true);
        if (!inv.paid && (!inv.paymentTerms.isEmpty() || inv.dueDate.isValid())) {
            start("SpecifiedTradePaymentTerms");
            if (!inv.paymentTerms.isEmpty())
                text("Description", inv.paymentTerms);
            if (inv.dueDate.isValid()) {
                start("DueDateDateTime");
                dateTime(inv.dueDate);
                end();
            }
            end();
        }
        start("SpecifiedTradeSettlementHeaderMonetarySummation");
        text("LineTotalAmount", amount(inv.netCents));
        text("TaxBasisTotalAmount", amount(inv.netCents));
        textWith("TaxTotalAmount", "currencyID", inv.currency, amount(inv.taxCents));
        text("GrandTotalAmount", amount(inv.totalCents));
        if (inv.paid)
            text("TotalPrepaidAmount", amount(inv.totalCents));
        text("DuePayableAmount", amount(inv.paid ? 0 : inv.totalCents));
        end();
        end();
    }

    QXmlStreamWriter w;
};

} // namespace

QByteArray ciiXml(const EInvoice& invoice)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    // A buffer in memory: only running out of memory can fail it.
    if (!buffer.open(QIODevice::WriteOnly))
        throw WriterError(WriterError::EInvoice,
                          QCoreApplication::translate("writer::EInvoice", "The e-invoice could not be made in memory"));
    CiiWriter writer(&buffer);
    writer.write(invoice);
    if (writer.failed())
        throw WriterError(WriterError::EInvoice,
                          QCoreApplication::translate("writer::EInvoice", "The e-invoice could not be made in memory"));
    return bytes;
}

} // namespace kestrova::writer
