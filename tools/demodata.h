#pragma once

#include <QString>
#include <QtGlobal>

namespace kestrova {

// Creates the thirteen tables in dir and fills them with a small, fixed demo
// set: reference lists, settings, distributors and about forty orders over
// the two years up to today. Refuses (throws, writing nothing) when any of
// the table files already exists; if filling fails half-way the new files
// are removed again.
void fillDemoData(const QString& dir);

// Appends count synthetic orders to the existing Xsale.db in dir, in one
// transaction. Persons, amounts and the rest are drawn from the demo
// reference lists; the same seed gives the same rows (for the same day).
// The orders run in date order over the last six years up to today.
void appendGeneratedOrders(const QString& dir, qint64 count, quint32 seed);

} // namespace kestrova
