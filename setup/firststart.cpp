#include "setup/firststart.h"

#include "data/error.h"
#include "data/schema.h"
#include "data/transaction.h"
#include "setup/companysettings.h"
#include "setup/standarddocuments.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <cmath>

namespace kestrova {

namespace {

// The tables the assistant fills, attached to one connection under their
// own names so one transaction covers them all.
const char* const kTables[] = {"Xtable", "Xproduct", "Xlanguage", "Xcurrency", "Xprice", "Xfactory"};

} // namespace

double taxOf(double netPrice, double taxRate)
{
    return std::round(netPrice * taxRate) / 100.0;
}

QString firstStartProblem(const FirstStartAnswers& answers)
{
    for (auto it = answers.company.begin(); it != answers.company.end(); ++it) {
        const QString problem = companySettingProblem(it.key(), normalisedCompanySetting(it.key(), it.value()));
        if (!problem.isEmpty())
            return problem;
    }
    if (answers.company.value(company::Name).trimmed().isEmpty())
        return QCoreApplication::translate("setup::FirstStart", "Enter the name of your company");
    const FieldDef* product = schemaTable(QStringLiteral("Xproduct"))->field(QStringLiteral("Product"));
    if (answers.product.trimmed().isEmpty())
        return QCoreApplication::translate("setup::FirstStart", "Enter the name of your first product");
    if (answers.product.trimmed().size() > product->length)
        return QCoreApplication::translate("setup::FirstStart", "The product's name may have at most %1 characters")
            .arg(product->length);
    static const QRegularExpression languageCode(QStringLiteral("^[A-Z]{2}$"));
    if (answers.languages.isEmpty())
        return QCoreApplication::translate("setup::FirstStart", "Choose at least one language of your documents");
    for (const QString& language : answers.languages)
        if (!languageCode.match(language).hasMatch())
            return QCoreApplication::translate("setup::FirstStart",
                                               "\"%1\" is not a language code of two capital letters")
                .arg(language);
    static const QRegularExpression currencyCode(QStringLiteral("^[A-Z]{3}$"));
    if (!currencyCode.match(answers.currency).hasMatch())
        return QCoreApplication::translate("setup::FirstStart",
                                           "\"%1\" is not a currency code of three capital letters, as EUR")
            .arg(answers.currency);
    if (!(answers.netPrice >= 0) || answers.netPrice > 1e9)
        return QCoreApplication::translate("setup::FirstStart", "Enter the net price of one licence");
    if (!(answers.taxRate >= 0) || answers.taxRate >= 100)
        return QCoreApplication::translate("setup::FirstStart", "Enter a tax rate from 0 to 99 percent");
    return {};
}

void applyFirstStart(const QString& dir, const FirstStartAnswers& answers, const QString& templates)
{
    const QString problem = firstStartProblem(answers);
    if (!problem.isEmpty())
        throw Error(problem);
    SqlConnection db;
    for (const char* table : kTables)
        db.exec(QStringLiteral("ATTACH DATABASE ?1 AS %1").arg(QLatin1String(table)),
                {QDir(dir).filePath(QLatin1String(table) + QStringLiteral(".db"))});
    Transaction transaction(db.handle(), Transaction::Kind::Immediate);
    for (auto it = answers.company.begin(); it != answers.company.end(); ++it) {
        const QString value = normalisedCompanySetting(it.key(), it.value());
        db.exec(QStringLiteral("INSERT INTO Xtable.Xtable (Name, Value) VALUES (?1, ?2) "
                               "ON CONFLICT (Name) DO UPDATE SET Value = excluded.Value"),
                {it.key(), value});
    }
    const QString product = answers.product.trimmed();
    db.exec(QStringLiteral("INSERT OR IGNORE INTO Xproduct.Xproduct (Product) VALUES (?1)"), {product});
    db.exec(QStringLiteral("INSERT OR IGNORE INTO Xcurrency.Xcurrency (Currency) VALUES (?1)"), {answers.currency});
    db.exec(QStringLiteral("INSERT OR REPLACE INTO Xprice.Xprice (Product, Currency, NetAmount, Tax) "
                           "VALUES (?1, ?2, ?3, ?4)"),
            {product, answers.currency, answers.netPrice, taxOf(answers.netPrice, answers.taxRate)});
    const QStringList columns{QStringLiteral("Labels"),  QStringLiteral("Envelope"), QStringLiteral("Mail"),
                              QStringLiteral("Mailing"), QStringLiteral("Invoice"),  QStringLiteral("Batch")};
    for (const QString& language : answers.languages) {
        db.exec(QStringLiteral("INSERT OR IGNORE INTO Xlanguage.Xlanguage (Language) VALUES (?1)"), {language});
        const QString folder = standardTemplateFolder(templates, language);
        if (folder.isEmpty())
            continue;
        const QStringList macros = standardDocumentMacros(
            folder, language, standardInvoicesAreEInvoices(answers.company.value(company::Country)));
        QVariantList binds{product, language};
        for (const QString& m : macros)
            binds << m;
        db.exec(QStringLiteral("INSERT OR IGNORE INTO Xfactory.Xfactory (Product, Language, %1) "
                               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
                    .arg(columns.join(QStringLiteral(", "))),
                binds);
    }
    transaction.commit();
}

} // namespace kestrova
