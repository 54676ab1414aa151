#include "setup/standarddocuments.h"

#include "data/companyfields.h"
#include "data/table.h"
#include "data/transaction.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

QString standardTemplateFolder(const QString& templates, const QString& language)
{
    const QString folder = language.trimmed().toLower();
    if (folder.isEmpty() || folder.contains(QLatin1Char('/')) || folder.startsWith(QLatin1Char('.')))
        return {};
    return QFileInfo(QDir(templates).filePath(folder + QStringLiteral("/invoice.html"))).isFile() ? folder : QString();
}

bool standardInvoicesAreEInvoices(const QString& companyCountry)
{
    return isEuMember(companyCountry.trimmed().toUpper());
}

QStringList standardDocumentMacros(const QString& templateFolder, const QString& language, bool eInvoice)
{
    const auto pdf = [&](const char* document, const QString& output) {
        return QStringLiteral("[Pdf \"%1/%2.html\" \"documents/%3.pdf\"][Open]")
            .arg(templateFolder, QLatin1String(document), output);
    };
    return {QStringLiteral("[Labels \"%1/labels.html\" 3 8 \"documents/Labels.pdf\"][Open]").arg(templateFolder),
            pdf("envelope", QStringLiteral("Envelope $Name")),
            pdf("letter", QStringLiteral("Letter $Name")),
            pdf("mailing", QStringLiteral("Mailing ") + language),
            eInvoice ? QStringLiteral("[FacturX \"%1/invoice.html\" \"documents/Invoice $InvoiceNumber.pdf\"][Open]")
                           .arg(templateFolder)
                     : pdf("invoice", QStringLiteral("Invoice $InvoiceNumber")),
            QString()};
}

int addStandardDocuments(Table* factory, Table* products, Table* languages, const QString& templates, bool eInvoice)
{
    static const QStringList columns{QStringLiteral("Labels"),  QStringLiteral("Envelope"), QStringLiteral("Mail"),
                                     QStringLiteral("Mailing"), QStringLiteral("Invoice"),  QStringLiteral("Batch")};
    const QStringList productNames = products->columnTexts(QStringLiteral("Product"));
    const QStringList languageCodes = languages->columnTexts(QStringLiteral("Language"));
    int added = 0;
    Batch batch(*factory);
    for (const QString& language : languageCodes) {
        const QString folder = standardTemplateFolder(templates, language);
        if (folder.isEmpty())
            continue;
        const QStringList macros = standardDocumentMacros(folder, language, eInvoice);
        for (const QString& product : productNames) {
            if (factory->findKey({product, language}))
                continue;
            factory->append();
            try {
                factory->setFieldText(QStringLiteral("Product"), product);
                factory->setFieldText(QStringLiteral("Language"), language);
                for (int c = 0; c < columns.size(); ++c)
                    factory->setFieldText(columns[c], macros[c]);
                factory->post();
            } catch (...) {
                factory->cancel();
                throw;
            }
            ++added;
        }
    }
    batch.commit();
    return added;
}

} // namespace kestrova
