#pragma once

#include "documents/documentsender.h"
#include "documents/exchangetable.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>

namespace kestrova {

class Table;

// The distributor as the "Distributors" page shows it: the text of each box
// by its field (Company, Title, Person, Address, Fax, EMail, Telephone,
// Licensee, Language), unsaved changes included.
struct DistributorView {
    QHash<QString, QString> boxes;

    QString text(const char* field) const { return boxes.value(QString::fromLatin1(field)); }
};

// The record of a distributor's envelope and letter: the address with the
// fax (never the e-mail), the salutation of the title whatever the title,
// and the name of the person; no licence owner.
ExchangeRecord distributorRecord(const DistributorView& shown, DocumentSender& sender);

// The documents of the "Distributors" page, and the labels.
class DistributorDocuments {
    Q_DECLARE_TR_FUNCTIONS(DistributorDocuments)

public:
    // The documents of the "Mail" dialog; the values are its Tag values.
    enum Kind { Envelope = 1, Letter = 2 };

    DistributorDocuments(DocumentSender* sender, Table* distributors) : m_sender(sender), m_distributors(distributors)
    {
    }

    // The envelope or letter of the distributor shown, by the settings row
    // of product and the distributor's own language. False when the
    // document was refused (the user has been told why).
    bool mail(const DistributorView& shown, const QString& product, Kind kind);

    // One record for every distributor whose language is exactly language,
    // in table order, then the Mailing macro of product and language (also
    // when no distributor speaks it). The distributors are read in one pass,
    // never all held at once; a pending change of the distributor shown is
    // saved first and the table stays on that distributor (on the last one
    // when it was a new record never typed into, which is dropped).
    bool mailing(const QString& product, const QString& language);

    // The Labels macro of product and language; the exchange table keeps
    // what the last document wrote.
    bool labels(const QString& product, const QString& language);

private:
    DocumentSender* m_sender;
    Table* m_distributors;
};

} // namespace kestrova
