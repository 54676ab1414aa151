#pragma once

#include <QString>

// The names of the order table's fields. The table's definition (schema.cpp)
// is built from these, so code that reads or writes a field by name uses the
// same text the table was created with.
namespace kestrova::sale {

inline const QString OrderDate = QStringLiteral("OrderDate");
inline const QString Person = QStringLiteral("Person");
inline const QString Title = QStringLiteral("Title");
inline const QString Company = QStringLiteral("Company");
inline const QString Address = QStringLiteral("Address");
inline const QString FaxOrEMail = QStringLiteral("FaxOrEMail");
inline const QString Product = QStringLiteral("Product");
inline const QString Language = QStringLiteral("Language");
inline const QString Licensee = QStringLiteral("Licensee");
inline const QString Origin = QStringLiteral("Origin");
inline const QString Reference = QStringLiteral("Reference");
inline const QString NumberOfLicenses = QStringLiteral("NumberOfLicenses");
inline const QString Currency = QStringLiteral("Currency");
inline const QString PaymentMeans = QStringLiteral("PaymentMeans");
inline const QString PaymentDate = QStringLiteral("PaymentDate");
inline const QString InvoiceNumber = QStringLiteral("InvoiceNumber");
inline const QString NetAmount = QStringLiteral("NetAmount");
inline const QString Tax = QStringLiteral("Tax");
inline const QString DeliveryCompany = QStringLiteral("DeliveryCompany");
inline const QString DeliveryTitle = QStringLiteral("DeliveryTitle");
inline const QString DeliveryPerson = QStringLiteral("DeliveryPerson");
inline const QString DeliveryAddress = QStringLiteral("DeliveryAddress");
inline const QString DeliveryFaxOrEMail = QStringLiteral("DeliveryFaxOrEMail");

} // namespace kestrova::sale
