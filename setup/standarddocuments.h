#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

class Table;

// The shipped templates' folder for a document language ("de" for DE), or an
// empty text when no templates for it were shipped.
QString standardTemplateFolder(const QString& templates, const QString& language);

// The document settings row for a product and a language whose templates are
// in templateFolder: the Labels, Envelope, Mail, Mailing, Invoice and Batch
// columns. Each document is rendered into documents/ of the working folder
// and opened; no batch command. With eInvoice the invoice is a Factur-X PDF
// carrying its EN 16931 data, as buyers in the European Union expect.
QStringList standardDocumentMacros(const QString& templateFolder, const QString& language, bool eInvoice);

// Whether standard invoices are e-invoices: the company is in the EU.
bool standardInvoicesAreEInvoices(const QString& companyCountry);

// Adds a document settings row for every product and language that has none
// and whose language has shipped templates, all in one batch of the settings
// table; rows that exist are never changed. Returns the number added.
int addStandardDocuments(Table* factory, Table* products, Table* languages, const QString& templates, bool eInvoice);

} // namespace kestrova
