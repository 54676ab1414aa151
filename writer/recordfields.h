#pragma once

#include "data/textformat.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace kestrova::writer {

// The markers a document can use: the exchange table's fields, then the
// company's settings of Xtable (one marker per setting, empty when the set
// has no such row), then DueDate: the record's Date plus PaymentDays, written
// as dates are shown, empty when either is missing or not readable.
class RecordFields {
public:
    RecordFields(const QStringList& exchangeFields, const QHash<QString, QString>& settings,
                 const LocaleFormat& fmt = LocaleFormat::system(), const QDate& today = currentDate());

    const QStringList& names() const { return m_names; }
    // One record's values in the order of names().
    QStringList values(const QStringList& record) const;

private:
    QStringList m_names;
    QStringList m_settingValues;
    int m_dateField = -1;
    int m_paymentDays = -1;
    LocaleFormat m_fmt;
    QDate m_today;
};

// The company's settings from Xtable.db of the working folder, read-only.
// A folder without the file gives none. Throws WriterError(Settings) naming
// the file when it exists but cannot be read.
QHash<QString, QString> readCompanySettings(const QString& workDir);

} // namespace kestrova::writer
