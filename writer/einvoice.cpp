#include "writer/einvoice.h"

#include "data/companyfields.h"
#include "writer/outputpath.h"
#include "writer/writererror.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdlib>

namespace kestrova::writer {
namespace {

// Where a company setting is entered: completes "Enter it %4.".
QString companyTab()
{
    //: Completes "... Enter it %4.": where a company setting is entered; use the page's and the tab's captions.
    return QCoreApplication::translate("writer::EInvoice", "on the \"Company\" tab of the \"Parameters\" page");
}

// Where an item of the order is entered; `box` is the caption of the box on
// the "Sales" page, marked with QT_TRANSLATE_NOOP in this file's context.
QString onOrderPage(const char* box)
{
    //: Completes "... Enter it %4.": %1 is the caption of a box of the "Sales" page, e.g. "Address:".
    return QCoreApplication::translate("writer::EInvoice", "in the \"%1\" box of the order on the \"Sales\" page")
        .arg(QCoreApplication::translate("writer::EInvoice", box));
}

// Gathers what the e-invoice of one order lacks and says it in one message.
class Refusal {
public:
    Refusal(const QHash<QString, QString>& record, EInvoiceForm form)
    {
        const QString number = record.value(QStringLiteral("InvoiceNumber")).trimmed();
        QString buyer = record.value(QStringLiteral("Company")).trimmed();
        if (buyer.isEmpty())
            buyer = record.value(QStringLiteral("Person")).trimmed();
        if (number.isEmpty())
            //: Fills %2 of "The %1 of %2 cannot be made".
            m_order = QCoreApplication::translate("writer::EInvoice", "the order");
        else
            //: Fills %2 of "The %1 of %2 cannot be made"; %1 is the invoice number.
            m_order = QCoreApplication::translate("writer::EInvoice", "invoice %1").arg(number);
        if (!buyer.isEmpty())
            m_order += QStringLiteral(" (%1)").arg(buyer);
        if (form == EInvoiceForm::XRechnung)
            m_what = QStringLiteral("XRechnung");
        else
            //: Fills %1 of "The %1 of %2 cannot be made".
            m_what = QCoreApplication::translate("writer::EInvoice", "e-invoice");
    }

    [[noreturn]] void fail(const QString& missing, const QString& where) const
    {
        throw WriterError(
            WriterError::EInvoice,
            //: %1 is "XRechnung" or "e-invoice", %2 the invoice (with the buyer in parentheses), %3 what is
            //: missing, %4 where to enter it ("on the ... tab ...", "in the ... box ...").
            QCoreApplication::translate("writer::EInvoice", "The %1 of %2 cannot be made: %3. Enter it %4.")
                .arg(m_what, m_order, missing, where));
    }
    [[noreturn]] void fail(const QString& problem) const
    {
        throw WriterError(WriterError::EInvoice,
                          QCoreApplication::translate("writer::EInvoice", "The %1 of %2 cannot be made: %3.")
                              .arg(m_what, m_order, problem));
    }

private:
    QString m_order;
    QString m_what;
};

std::optional<qint64> cents(const QString& text, const LocaleFormat& fmt)
{
    const auto value = parseNumber(text, fmt);
    if (!value || !std::isfinite(*value) || std::abs(*value) > 1e13)
        return std::nullopt;
    return std::llround(*value * 100.0);
}

// The tax on `net` cents at `rate` hundredths of a percent, rounded half away
// from zero to the cent as EN 16931 rounds.
qint64 taxAt(qint64 net, int rate)
{
    const qint64 product = net * rate; // cents * 1/10000
    return (product + (product >= 0 ? 5000 : -5000)) / 10000;
}

// The rate the amounts give, with as few decimals as two cents allow: the
// tax of each licence was rounded before it was multiplied, so the order's
// tax may differ from the rate's by a cent.
std::optional<int> rateOf(qint64 net, qint64 tax)
{
    if (net <= 0)
        return std::nullopt;
    const double exact = double(tax) * 10000.0 / double(net); // hundredths of a percent
    for (int step : {100, 10, 1}) {
        const int rate = int(std::llround(exact / step)) * step;
        if (rate > 0 && std::abs(taxAt(net, rate) - tax) <= 1)
            return rate;
    }
    return std::nullopt;
}

QString decimalText(double value)
{
    QString s = QString::number(value, 'f', 4);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

bool containsAny(const QString& text, std::initializer_list<const char*> words)
{
    for (const char* w : words)
        if (text.contains(QLatin1String(w)))
            return true;
    return false;
}

// The UNTDID 4461 code of how an order was paid, from the text of its
// payment means. Card payments need the card's number under the German
// rules, which Kestrova does not keep, so there they count as "mutually
// defined" with the text saying which.
QString paidCode(const QString& means, bool hasAccount, bool sepa, EInvoiceForm form)
{
    const QString m = means.toCaseFolded();
    if (containsAny(m, {"transfer", "überweis", "ueberweis", "bank", "sepa", "wire", "virement", "rechnung", "invoice",
                        "vorkasse"}))
        return hasAccount ? (sepa ? QStringLiteral("58") : QStringLiteral("30")) : QStringLiteral("ZZZ");
    if (containsAny(m, {"card", "karte", "visa", "master", "amex", "carte"}))
        return form == EInvoiceForm::FacturX ? QStringLiteral("48") : QStringLiteral("ZZZ");
    if (containsAny(m, {"cheque", "check", "scheck", "chèque"}))
        return QStringLiteral("20");
    if (containsAny(m, {"cash", "bar", "espèces"}))
        return QStringLiteral("10");
    return QStringLiteral("ZZZ");
}

} // namespace

EInvoice makeEInvoice(const QHash<QString, QString>& record, const QHash<QString, QString>& settings, EInvoiceForm form,
                      const LocaleFormat& fmt, const QDate& today)
{
    const Refusal refuse(record, form);
    const auto field = [&](const char* name) { return record.value(QLatin1String(name)).trimmed(); };
    const auto setting = [&](const QString& name) { return settings.value(name).trimmed(); };
    const bool xr = form == EInvoiceForm::XRechnung;

    EInvoice inv;
    inv.form = form;

    // The seller: the company settings.
    InvoiceParty& s = inv.seller;
    s.name = setting(company::Name);
    if (s.name.isEmpty())
        refuse.fail(QCoreApplication::translate("writer::EInvoice", "the company's name is missing"), companyTab());
    s.vatId = vatIdentifier(setting(company::VatId));
    if (!setting(company::VatId).isEmpty() && s.vatId.isEmpty())
        refuse.fail(QCoreApplication::translate("writer::EInvoice",
                                                "the company's VAT ID \"%1\" is not a VAT identification number")
                        .arg(setting(company::VatId)),
                    companyTab());
    s.taxNumber = setting(company::TaxNumber);
    s.contact = setting(company::Contact);
    s.phone = setting(company::Phone);
    s.email = setting(company::EMail);
    for (const QString& line : setting(company::Street).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        s.address.lines << line.simplified();
    s.address.postcode = setting(company::Postcode);
    s.address.city = setting(company::City);
    s.address.country = setting(company::Country).toUpper();
    if (s.address.country.size() != 2)
        refuse.fail(QCoreApplication::translate("writer::EInvoice", "the company's country is missing"), companyTab());
    if (xr) {
        if (s.address.postcode.isEmpty() || s.address.city.isEmpty())
            refuse.fail(QCoreApplication::translate("writer::EInvoice", "the company's postcode and city are required"),
                        companyTab());
        if (s.contact.isEmpty() || s.phone.isEmpty() || s.email.isEmpty())
            refuse.fail(
                QCoreApplication::translate("writer::EInvoice", "the company's contact, phone and e-mail are required"),
                companyTab());
    }

    // The buyer: the billing block of the order.
    InvoiceParty& b = inv.buyer;
    b.name = field("Company");
    if (b.name.isEmpty())
        b.name = field("Person");
    else
        b.contact = field("Person");
    if (b.name.isEmpty())
        refuse.fail(QCoreApplication::translate("writer::EInvoice", "the buyer has no company and no person"),
                    onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Company:")));
    const BillingAddress address = parseBillingAddress(record.value(QStringLiteral("Address")), s.address.country);
    if (!address.unknownCountry.isEmpty())
        refuse.fail(QCoreApplication::translate(
                        "writer::EInvoice", "the address's last line \"%1\" is no country Kestrova knows (write its "
                                            "English name or ISO code)")
                        .arg(address.unknownCountry),
                    onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Address:")));
    b.address = address.postal;
    b.vatId = address.vatId;
    if (field("FaxOrEMail").contains(QLatin1Char('@')))
        b.email = field("FaxOrEMail");
    inv.buyerReference = field("Reference");
    if (xr) {
        if (inv.buyerReference.isEmpty())
            refuse.fail(
                QCoreApplication::translate("writer::EInvoice",
                                            "the buyer reference (the public buyer's routing identifier) is missing"),
                onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Customer reference:")));
        if (b.email.isEmpty())
            refuse.fail(QCoreApplication::translate("writer::EInvoice", "the buyer's e-mail address is missing"),
                        onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Fax or E-Mail:")));
        if (b.address.postcode.isEmpty() || b.address.city.isEmpty())
            refuse.fail(QCoreApplication::translate("writer::EInvoice",
                                                    "the buyer's postcode and city are not in the address's last line"),
                        onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Address:")));
    }

    // The document.
    inv.number = field("InvoiceNumber");
    if (inv.number.isEmpty())
        refuse.fail(QCoreApplication::translate("writer::EInvoice", "the order has no invoice number"),
                    onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Invoice number:")));
    const auto date = parseDate(field("Date"), fmt, today);
    if (!date)
        refuse.fail(
            QCoreApplication::translate("writer::EInvoice", "the order date \"%1\" is not a date").arg(field("Date")),
            onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Order date:")));
    inv.issueDate = *date;
    inv.currency = field("Currency").toUpper();
    if (inv.currency.size() != 3 || !std::all_of(inv.currency.begin(), inv.currency.end(), [](QChar c) {
            return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
        }))
        refuse.fail(
            QCoreApplication::translate("writer::EInvoice", "the currency \"%1\" is not an ISO 4217 code such as EUR")
                .arg(field("Currency")),
            onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Currency:")));

    // The line and the amounts.
    inv.product = field("Product");
    if (inv.product.isEmpty())
        refuse.fail(QCoreApplication::translate("writer::EInvoice", "the order has no product"),
                    onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Product")));
    const auto quantity = parseNumber(field("NumberOfLicenses"), fmt);
    if (!quantity || *quantity <= 0 || *quantity > 1e9)
        refuse.fail(
            QCoreApplication::translate("writer::EInvoice", "the number of licences \"%1\" is not a positive number")
                .arg(field("NumberOfLicenses")),
            onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Number of licenses:")));
    inv.quantity = decimalText(*quantity);
    const auto net = cents(field("NetAmount"), fmt);
    if (!net || *net < 0)
        refuse.fail(QCoreApplication::translate("writer::EInvoice", "the net amount \"%1\" is not an amount")
                        .arg(field("NetAmount")),
                    onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Net amount:")));
    const auto tax = field("Tax").isEmpty() ? std::optional<qint64>(0) : cents(field("Tax"), fmt);
    if (!tax || *tax < 0)
        refuse.fail(
            QCoreApplication::translate("writer::EInvoice", "the tax \"%1\" is not an amount").arg(field("Tax")),
            onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Tax:")));
    inv.netCents = *net;
    inv.taxCents = *tax;
    inv.totalCents = *net + *tax;
    const double whole = std::round(*quantity);
    if (whole == *quantity && inv.netCents % qint64(whole) == 0) {
        inv.unitPriceCents = inv.netCents / qint64(whole);
        inv.priceBase = QStringLiteral("1");
    } else {
        // No exact price of one licence: the price given is that of all.
        inv.unitPriceCents = inv.netCents;
        inv.priceBase = inv.quantity;
    }

    // The tax situation.
    const QString buyerCountry = b.address.country;
    if (inv.taxCents > 0) {
        inv.category = TaxCategory::Standard;
        const auto rate = rateOf(inv.netCents, inv.taxCents);
        if (!rate)
            refuse.fail(QCoreApplication::translate("writer::EInvoice",
                                                    "the tax %1 is no rate of the net amount %2 to two decimals")
                            .arg(field("Tax"), field("NetAmount")),
                        onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Tax:")));
        inv.rateHundredths = *rate;
    } else if (buyerCountry == s.address.country) {
        inv.category = TaxCategory::Exempt;
        inv.exemptionReason = setting(company::VatExemptionNote);
        if (inv.exemptionReason.isEmpty())
            refuse.fail(
                QCoreApplication::translate("writer::EInvoice",
                                            "the order carries no tax and the note saying why is missing"),
                QCoreApplication::translate(
                    "writer::EInvoice", "as \"Note without VAT\" on the \"Company\" tab of the \"Parameters\" page"));
    } else if (isEuMember(buyerCountry)) {
        inv.category = TaxCategory::ReverseCharge;
        inv.exemptionReason = QStringLiteral("Reverse charge");
        if (b.vatId.isEmpty())
            refuse.fail(QCoreApplication::translate(
                            "writer::EInvoice", "the tax is reverse charged to a buyer in %1, whose VAT ID is missing "
                                                "(a line such as \"VAT ID: %1...\")")
                            .arg(buyerCountry == QLatin1String("GR") ? QStringLiteral("EL") : buyerCountry),
                        onOrderPage(QT_TRANSLATE_NOOP("writer::EInvoice", "Address:")));
    } else {
        inv.category = TaxCategory::Export;
        inv.exemptionReason = QStringLiteral("Export outside the EU");
    }
    const bool needsVatId = inv.category == TaxCategory::ReverseCharge || inv.category == TaxCategory::Export;
    if (s.vatId.isEmpty() && (needsVatId || s.taxNumber.isEmpty()))
        refuse.fail(needsVatId ? QCoreApplication::translate("writer::EInvoice", "the company's VAT ID is missing")
                               : QCoreApplication::translate("writer::EInvoice",
                                                             "the company's VAT ID or tax number is missing"),
                    companyTab());

    // Payment.
    inv.iban = setting(company::Iban).remove(QLatin1Char(' ')).toUpper();
    inv.bic = setting(company::Bic).remove(QLatin1Char(' ')).toUpper();
    const bool sepa = inv.currency == QLatin1String("EUR");
    inv.paymentMeans = field("PaymentMeans");
    // An order is paid once it has a payment date.
    const QString paidOn = field("PaymentDate");
    if (!paidOn.isEmpty()) {
        inv.paid = true;
        inv.paymentDate = parseDate(paidOn, fmt, today).value_or(QDate());
        inv.paymentCode = paidCode(inv.paymentMeans, !inv.iban.isEmpty(), sepa, form);
    } else {
        inv.paymentTerms = setting(company::PaymentTerms);
        bool ok = false;
        const int days = setting(company::PaymentDays).toInt(&ok);
        if (ok && days >= 0)
            inv.dueDate = inv.issueDate.addDays(days);
        if (inv.totalCents > 0 && inv.paymentTerms.isEmpty() && !inv.dueDate.isValid())
            refuse.fail(QCoreApplication::translate("writer::EInvoice",
                                                    "the order is unpaid and the payment terms or days are missing"),
                        companyTab());
        // The means the order names, or a transfer to the company's account.
        const QString named = inv.paymentMeans.isEmpty() ? QStringLiteral("ZZZ")
                                                         : paidCode(inv.paymentMeans, !inv.iban.isEmpty(), sepa, form);
        if (named != QLatin1String("ZZZ"))
            inv.paymentCode = named;
        else if (!inv.iban.isEmpty())
            inv.paymentCode = sepa ? QStringLiteral("58") : QStringLiteral("30");
        else if (xr)
            refuse.fail(QCoreApplication::translate("writer::EInvoice",
                                                    "the order is unpaid and the company's IBAN is missing"),
                        companyTab());
    }
    if (inv.paymentCode != QLatin1String("58") && inv.paymentCode != QLatin1String("30")) {
        inv.iban.clear();
        inv.bic.clear();
    }
    return inv;
}

QHash<QString, QString> recordOf(const QStringList& fieldNames, const QStringList& values)
{
    QHash<QString, QString> out;
    for (qsizetype i = 0; i < fieldNames.size(); ++i)
        out.insert(fieldNames[i], values.value(i));
    return out;
}

void saveConfined(const QString& workDir, const QString& relative, const QString& suffix, const QByteArray& bytes)
{
    confinedOutputPath(workDir, relative, suffix);
    ConfinedSaveFile file(workDir, relative);
    if (file.device().write(bytes) != bytes.size())
        throw WriterError(WriterError::UnwritableOutput,
                          QCoreApplication::translate("writer::EInvoice", "\"%1\" could not be written: %2")
                              .arg(file.path(), file.device().errorString()));
    file.commit();
}

} // namespace kestrova::writer
