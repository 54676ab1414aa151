#pragma once

#include <QString>
#include <QtGlobal>

namespace kestrova {

// Appends count synthetic orders to the existing Xsale.db in dir, in one
// transaction, for trying the program and its benchmarks on a large order
// table. Persons are made up from name parts; products, prices and the rest
// are those of the demo set. The same seed gives the same rows (for the same
// day). The orders run in date order over the last six years up to today.
void appendGeneratedOrders(const QString& dir, qint64 count, quint32 seed);

} // namespace kestrova
