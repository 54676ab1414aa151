#include "documents/documentsender.h"

#include "data/dataset.h"

namespace kestrova {

namespace {

constexpr int kPersonLength = 255; // the longest person text the rule reads

} // namespace

QString ExtractName(const QString& person)
{
    const QString text = cutToLength(person, kPersonLength);
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.mid(blank + 1);
}

DocumentSender::DocumentSender(WordProcessorLink* link, const DocumentTables& tables,
                               WordProcessorLink::MessageSink showError)
    : m_link(link), m_tables(tables), m_showError(std::move(showError))
{
}

bool DocumentSender::FindFactoryRow(const QString& product, const QString& language)
{
    return m_tables.factory->findKey({product, language});
}

QString DocumentSender::LookupPoliteness(const QString& title)
{
    // The row current before the search belongs to another title: without
    // a row of its own, a title has no salutation.
    if (!m_tables.titles->findKey({title}))
        return {};
    return m_tables.titles->fieldText(QStringLiteral("Politeness"));
}

void DocumentSender::noSettings(const QString& product, const QString& language)
{
    m_showError(
        tr("There are no document settings for the product \"%1\" and the language \"%2\".").arg(product, language));
}

bool DocumentSender::mayBegin(const QString& product, const QString& language)
{
    // Rewriting the exchange table under a running macro would spoil the
    // document being printed.
    if (m_link->isBusy()) {
        m_showError(tr("The word processor is still busy with the previous document. "
                       "Try again when it has finished."));
        return false;
    }
    if (!FindFactoryRow(product, language)) {
        noSettings(product, language);
        return false;
    }
    return true;
}

void DocumentSender::writeExchange(const std::vector<ExchangeRecord>& records)
{
    writeExchangeTable(*m_tables.exchange, records);
}

bool DocumentSender::RunFactoryMacro(const QString& column, const QString& product, const QString& language)
{
    m_link->WordProcessor();
    if (!FindFactoryRow(product, language)) {
        noSettings(product, language);
        return false;
    }
    m_link->execute(m_tables.factory->fieldText(column), true);
    return true;
}

} // namespace kestrova
