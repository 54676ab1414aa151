#include "setup/companysettings.h"

#include "setup/countrynames.h"

#include "data/error.h"
#include "data/schema.h"
#include "data/settings.h"
#include "data/table.h"

#include <QCollator>
#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>

namespace kestrova {

QString normalisedCompanySetting(const QString& name, const QString& value)
{
    QString v = value.trimmed();
    if (name == company::Iban || name == company::Bic || name == company::VatId) {
        v.remove(QLatin1Char(' '));
        v = v.toUpper();
    } else if (name == company::Country) {
        v = v.toUpper();
    }
    return v;
}

bool ibanIsValid(const QString& iban)
{
    static const QRegularExpression form(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{1,30}$"));
    if (!form.match(iban).hasMatch() || !isCountryCode(iban.left(2)))
        return false;
    // Read as a number piece by piece: letters count as 10 to 35.
    const QString moved = iban.mid(4) + iban.left(4);
    int rest = 0;
    for (const QChar c : moved) {
        const int digit = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        rest = (digit >= 10 ? rest * 100 : rest * 10) + digit;
        rest %= 97;
    }
    return rest == 1;
}

QList<Country> countries()
{
    QList<Country> out;
    for (const auto& [code, name] : countryNames())
        out.push_back({code, name});
    // In the order a reader of the names expects: "Österreich" among the O's
    // in German.
    QCollator collator;
    std::sort(out.begin(), out.end(),
              [&](const Country& a, const Country& b) { return collator.compare(a.name, b.name) < 0; });
    return out;
}

bool isCountryCode(const QString& code)
{
    if (code.size() != 2)
        return false;
    const QLocale::Territory t = QLocale::codeToTerritory(code);
    return t != QLocale::AnyTerritory;
}

QString companySettingProblem(const QString& name, const QString& value)
{
    if (value.isEmpty())
        return {};
    const int longest = schemaTable(QStringLiteral("Xtable"))->field(QStringLiteral("Value"))->length;
    if (value.size() > longest)
        return QCoreApplication::translate("setup::CompanySettings", "The value may have at most %1 characters")
            .arg(longest);
    if (name == company::Iban && !ibanIsValid(value))
        return QCoreApplication::translate("setup::CompanySettings",
                                           "\"%1\" is not a valid IBAN: it must start with a country code and two "
                                           "check digits that match the rest of the number")
            .arg(value);
    if (name == company::VatId) {
        static const QRegularExpression form(QStringLiteral("^[A-Z]{2}[A-Z0-9+*.]{2,13}$"));
        // Greece's VAT identifiers carry EL, not its country code GR.
        const QString prefix = value.left(2);
        if (!form.match(value).hasMatch() || (prefix != QLatin1String("EL") && !isCountryCode(prefix)))
            return QCoreApplication::translate("setup::CompanySettings",
                                               "\"%1\" is not a VAT identification number: it must start with the "
                                               "country's two-letter prefix, as DE123456789")
                .arg(value);
    }
    if (name == company::Country && !isCountryCode(value))
        return QCoreApplication::translate("setup::CompanySettings",
                                           "\"%1\" is not a country code of ISO 3166-1 (two letters, as DE or AT)")
            .arg(value);
    if (name == company::PaymentDays) {
        bool ok = false;
        const int days = value.toInt(&ok);
        if (!ok || days < 0 || days > 3650)
            return QCoreApplication::translate("setup::CompanySettings",
                                               "\"%1\" is not a number of days: enter a whole number from 0 to 3650")
                .arg(value);
    }
    if (name == company::EMail && !value.contains(QLatin1Char('@')))
        return QCoreApplication::translate("setup::CompanySettings", "\"%1\" is not an e-mail address").arg(value);
    return {};
}

void storeCompanySetting(Table* settingsTable, const QString& name, const QString& value)
{
    const QString stored = normalisedCompanySetting(name, value);
    const QString problem = companySettingProblem(name, stored);
    if (!problem.isEmpty())
        throw Error(problem);
    Settings(settingsTable).store(name, stored);
}

} // namespace kestrova
