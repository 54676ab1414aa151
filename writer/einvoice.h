#pragma once

#include "data/textformat.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

namespace kestrova::writer {

// The invoice of one exchange record as EN 16931 data (the semantic model
// both e-invoice forms carry), made only from what Kestrova holds: the seller
// from the company settings of Xtable, everything else from the record.
// Amounts are kept in cents so that the sums the rules check add up exactly.

enum class EInvoiceForm {
    FacturX,   // EN 16931 profile, embedded in a PDF/A-3
    XRechnung, // the German public buyers' rules on top of EN 16931
};

struct PostalAddress {
    QStringList lines; // street lines, at most three are used
    QString postcode;
    QString city;
    QString country; // ISO 3166 alpha-2
};

struct InvoiceParty {
    QString name;
    QString vatId;     // country prefix and number, "ATU12345678"
    QString taxNumber; // the seller's national tax number
    QString contact;   // a person to ask
    QString phone;
    QString email;
    PostalAddress address;
};

// The tax situation of the invoice, as EN 16931 codes it (UNTDID 5305).
enum class TaxCategory {
    Standard,      // S: tax charged at the rate the amounts give
    ReverseCharge, // AE: the buyer, in another member state, owes the tax
    Export,        // G: buyer outside the European Union
    Exempt,        // E: no tax, for the reason of the exemption note
};

struct EInvoice {
    EInvoiceForm form = EInvoiceForm::FacturX;
    QString number;
    QDate issueDate;
    QString currency;
    QString buyerReference;
    InvoiceParty seller;
    InvoiceParty buyer;

    QString product;
    QString quantity;      // licences, as a decimal text
    qint64 unitPriceCents; // the net price of `priceBase` licences
    QString priceBase;     // "1" unless the price of one licence has no exact cent value
    qint64 netCents = 0;
    qint64 taxCents = 0;
    qint64 totalCents = 0;
    TaxCategory category = TaxCategory::Standard;
    int rateHundredths = 0;  // the tax rate in hundredths of a percent (1900 = 19 %)
    QString exemptionReason; // AE, G, E

    bool paid = false;
    QDate paymentDate;
    QString paymentMeans; // the order's text; empty for an unpaid order
    QString paymentCode;  // UNTDID 4461; empty: no payment instructions
    QString iban;
    QString bic;
    QDate dueDate;
    QString paymentTerms;
};

// Reads the invoice of `record` (exchange field -> value, texts as Kestrova
// shows them under `fmt`) and the company `settings`. Checks every item the
// form's rules need; throws WriterError(Settings or NoDocument) naming the
// order, the missing item and where to enter it. `today` places two-digit years.
EInvoice makeEInvoice(const QHash<QString, QString>& record, const QHash<QString, QString>& settings, EInvoiceForm form,
                      const LocaleFormat& fmt = LocaleFormat::system(), const QDate& today = currentDate());

// The invoice in the syntax of UN/CEFACT Cross Industry Invoice (D16B), UTF-8.
QByteArray ciiXml(const EInvoice& invoice);

// One exchange record as field name -> value.
QHash<QString, QString> recordOf(const QStringList& fieldNames, const QStringList& values);

// Writes `bytes` to `relative` below the working folder (which must end in
// `suffix`) through a hidden file moved into place, so a failure keeps an
// earlier file intact. Throws WriterError(RefusedPath or UnwritableOutput).
void saveConfined(const QString& workDir, const QString& relative, const QString& suffix, const QByteArray& bytes);

// --- The parts, for the tests and for the documents that use them ---

// The billing address as free text, as Kestrova keeps it. A line holding a
// VAT identification number ("VAT ID: ATU12345678", "USt-IdNr.: ...", or the
// number alone) is the buyer's VAT identifier; the last remaining line names
// the country when it is a country's name or ISO code, otherwise the buyer is
// in `homeCountry`; the line before it gives postcode and city in the forms
// the country uses ("80336 München", "Reading RG1 8DN", "Seattle, WA 98101").
struct BillingAddress {
    PostalAddress postal;
    QString vatId;
    bool countryNamed = false; // the country came from the text
    QString unknownCountry;    // a line where the country goes that names none
};
BillingAddress parseBillingAddress(const QString& text, const QString& homeCountry);

// The ISO 3166 alpha-2 code of a country's English, German or native name, or
// of its two- or three-letter code, ignoring letter case; empty when unknown.
QString countryCode(const QString& text);

// A VAT identification number as written on invoices: two letters of the
// country (EL for Greece) then 2 to 13 letters or digits, blanks, dots and
// dashes dropped; empty when `text` is not one.
QString vatIdentifier(const QString& text);

} // namespace kestrova::writer
