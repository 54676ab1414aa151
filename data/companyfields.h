#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// The seller's own data, kept as settings rows of Xtable and printed on every
// document through the writer's markers ($CompanyName, ...).
namespace company {
inline const QString Name = QStringLiteral("CompanyName");
inline const QString Street = QStringLiteral("CompanyStreet");
inline const QString Postcode = QStringLiteral("CompanyPostcode");
inline const QString City = QStringLiteral("CompanyCity");
inline const QString Country = QStringLiteral("CompanyCountry");
inline const QString VatId = QStringLiteral("CompanyVatId");
inline const QString TaxNumber = QStringLiteral("CompanyTaxNumber");
inline const QString Contact = QStringLiteral("CompanyContact");
inline const QString Phone = QStringLiteral("CompanyPhone");
inline const QString EMail = QStringLiteral("CompanyEMail");
inline const QString Iban = QStringLiteral("CompanyIban");
inline const QString Bic = QStringLiteral("CompanyBic");
inline const QString Bank = QStringLiteral("CompanyBank");
inline const QString PaymentTerms = QStringLiteral("PaymentTerms");
inline const QString PaymentDays = QStringLiteral("PaymentDays");
inline const QString VatExemptionNote = QStringLiteral("VatExemptionNote");
} // namespace company

// The company settings in the order the "Company" tab shows them; the
// document writer offers each as a marker of the same name.
inline const QStringList& companySettingNames()
{
    using namespace company;
    static const QStringList names{Name,  Street, Postcode, City, Country, VatId,        TaxNumber,   Contact,
                                   Phone, EMail,  Iban,     Bic,  Bank,    PaymentTerms, PaymentDays, VatExemptionNote};
    return names;
}

// The member states of the European Union by their ISO codes (Greece's VAT
// identifiers start with EL, its code is GR).
inline const QStringList& euMembers()
{
    static const QStringList members{
        QStringLiteral("AT"), QStringLiteral("BE"), QStringLiteral("BG"), QStringLiteral("CY"), QStringLiteral("CZ"),
        QStringLiteral("DE"), QStringLiteral("DK"), QStringLiteral("EE"), QStringLiteral("ES"), QStringLiteral("FI"),
        QStringLiteral("FR"), QStringLiteral("GR"), QStringLiteral("HR"), QStringLiteral("HU"), QStringLiteral("IE"),
        QStringLiteral("IT"), QStringLiteral("LT"), QStringLiteral("LU"), QStringLiteral("LV"), QStringLiteral("MT"),
        QStringLiteral("NL"), QStringLiteral("PL"), QStringLiteral("PT"), QStringLiteral("RO"), QStringLiteral("SE"),
        QStringLiteral("SI"), QStringLiteral("SK")};
    return members;
}
inline bool isEuMember(const QString& country)
{
    return euMembers().contains(country);
}

} // namespace kestrova
