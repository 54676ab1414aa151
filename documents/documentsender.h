#pragma once

#include "documents/exchangetable.h"
#include "documents/wordprocessorlink.h"

#include <QCoreApplication>
#include <QString>
#include <vector>

namespace kestrova {

class Table;

// The tables every document works with; the main window owns them.
struct DocumentTables {
    Table* exchange = nullptr; // Xexport: closed between documents
    Table* factory = nullptr;  // Xfactory, open: the document settings
    Table* titles = nullptr;   // Xtitle, open: the salutations
};

// The Name rule: the text after the last blank of a person's name (empty
// when it ends with a blank), or the whole text when it holds none.
QString ExtractName(const QString& person);

// Sends documents through the link: a document's data go into the exchange
// table, then the macro of its product and language goes to the word
// processor.
class DocumentSender {
    Q_DECLARE_TR_FUNCTIONS(DocumentSender)

public:
    DocumentSender(WordProcessorLink* link, const DocumentTables& tables, WordProcessorLink::MessageSink showError);

    WordProcessorLink& link() const { return *m_link; }
    const DocumentTables& tables() const { return m_tables; }

    // Makes the Xfactory row of product and language the current row;
    // false, leaving the current row, when there is none.
    bool FindFactoryRow(const QString& product, const QString& language);

    // The salutation of a title; empty when Xtitle has no row for it.
    QString LookupPoliteness(const QString& title);

    // Whether a document of product and language may begin. It may not,
    // and the user is told why, while the word processor is still busy with
    // the previous document or when there are no document settings for the
    // product and language. Nothing has been written then.
    bool mayBegin(const QString& product, const QString& language);

    // The document's records become the exchange table's content. Throws
    // with the table's error; nothing is sent then.
    void writeExchange(const std::vector<ExchangeRecord>& records);

    // The common end of every document: the link is made sure of and the
    // macro in column of the settings row of product and language is sent,
    // with the wait flag on; a refused macro is not reported. False when no
    // such row exists: the user is told and nothing is sent.
    bool RunFactoryMacro(const QString& column, const QString& product, const QString& language);

private:
    void noSettings(const QString& product, const QString& language);

    WordProcessorLink* m_link;
    DocumentTables m_tables;
    WordProcessorLink::MessageSink m_showError;
};

} // namespace kestrova
