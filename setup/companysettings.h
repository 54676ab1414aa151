#pragma once

#include "data/companyfields.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace kestrova {

class Table;

// The value as it is stored: blanks around it dropped; an IBAN, a BIC, a VAT
// identifier and a country code in capitals, an IBAN without its blanks.
QString normalisedCompanySetting(const QString& name, const QString& value);

// Why a (normalised) value cannot be stored in the named setting, or an empty
// text when it can. An empty value is always accepted.
QString companySettingProblem(const QString& name, const QString& value);

// ISO 13616: country letters, two check digits, up to 30 letters and digits,
// the whole moved and read as a number leaving 1 when divided by 97.
bool ibanIsValid(const QString& iban);

// A country by its ISO 3166-1 code.
struct Country {
    QString code; // alpha-2, "DE"
    QString name;
    // As a list of countries shows it: "Austria (AT)".
    QString label() const { return QStringLiteral("%1 (%2)").arg(name, code); }
};

// Every country with an alpha-2 code, named in the language of the user
// interface and sorted by name as the desktop's locale sorts.
QList<Country> countries();
bool isCountryCode(const QString& code);

// Stores a company setting after normalising and checking it: the row is
// written, or added when the set has none yet. Throws Error with the reason
// (the check's message or the table's); nothing is stored then.
void storeCompanySetting(Table* settingsTable, const QString& name, const QString& value);

} // namespace kestrova
