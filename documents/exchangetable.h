#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace kestrova {

class Table;

// The fields of the exchange table Xexport, through which every document's
// data reach the word processor.
enum class ExchangeField : int {
    Person,
    Name,
    Title,
    Politeness,
    Company,
    Address,
    FaxOrEMail,
    Date,
    Product,
    Language,
    Licensee,
    Reference,
    NumberOfLicenses,
    Currency,
    PaymentMeans,
    PaymentDate,
    InvoiceNumber,
    NetAmount,
    Tax,
    Total,
    DeliveryPerson,
    DeliveryName,
    DeliveryTitle,
    DeliveryPoliteness,
    DeliveryCompany,
    DeliveryAddress,
    DeliveryFaxOrEMail,
};
inline constexpr int kExchangeFieldCount = int(ExchangeField::DeliveryFaxOrEMail) + 1;

QString exchangeFieldName(ExchangeField field);

// One record of the exchange table. Every value is a text; a field that a
// document does not set stays empty.
class ExchangeRecord {
public:
    void set(ExchangeField field, const QString& text) { m_values[size_t(field)] = text; }
    const QString& value(ExchangeField field) const { return m_values[size_t(field)]; }
    // Field name -> text of the fields that hold text.
    QHash<QString, QString> filled() const;

private:
    std::array<QString, kExchangeFieldCount> m_values;
};

// Makes records the whole content of the exchange table: opens it
// exclusively, empties it and writes the records in one transaction, then
// closes it, so a reader sees the previous content or all of the new one.
// Texts longer than their field are cut to the field's size. Throws, with
// the engine's reason, when the table cannot be opened (another program
// holds it) or written; the table then keeps its previous content.
void writeExchangeTable(Table& exchange, const std::vector<ExchangeRecord>& records);

// The same for records made one at a time, so a long document never holds
// all of them: next fills the record and returns true, or returns false
// after the last one. A failure thrown by next ends the write as it stands,
// with next's own message, and the table keeps its previous content.
using ExchangeSource = std::function<bool(ExchangeRecord&)>;
void streamExchangeTable(Table& exchange, const ExchangeSource& next);

// Lines separated by carriage return and line feed, however the text
// separates them: the form addresses travel in.
QString crlfLines(QString text);

// The first count characters of text, never splitting a character.
QString cutToLength(const QString& text, int count);

} // namespace kestrova
