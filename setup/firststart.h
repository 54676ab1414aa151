#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace kestrova {

// What the first start assistant asks of a new user.
struct FirstStartAnswers {
    QMap<QString, QString> company; // company setting name -> value as typed
    QString product;
    QStringList languages; // two-letter codes, "EN", "DE"
    QString currency;      // three letters, "EUR"
    double netPrice = 0;   // of one licence
    double taxRate = 0;    // percent
};

// Why the answers cannot be stored (the first problem found), or an empty
// text when they can.
QString firstStartProblem(const FirstStartAnswers& answers);

// Tax of one licence at the rate, rounded to cents.
double taxOf(double netPrice, double taxRate);

// Stores the answers in the set of dir in one transaction over its files:
// the company's settings, the product, its languages, the currency, the
// price, and the standard document settings for every language that has
// shipped templates in `templates`. Rows that exist are kept. Throws Error
// with the reason; nothing is stored then.
void applyFirstStart(const QString& dir, const FirstStartAnswers& answers, const QString& templates);

} // namespace kestrova
