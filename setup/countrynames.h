#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace kestrova {

// The countries a company or customer may be in: ISO 3166-1 alpha-2 code and
// name in the language of the user interface, in the order of their codes.
QList<QPair<QString, QString>> countryNames();

} // namespace kestrova
