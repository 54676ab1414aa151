#pragma once

#include "tools/screenshots/shotdriver.h"

#include <vector>

namespace kestrova::shots {

// The pictures of Kestrova's windows that the user guide shows, in the order
// they are taken: each brings its window into the state the guide describes.
// They expect the main window on the demo set, with the sample function
// library in the working folder.
std::vector<Shot> kestrovaShots();

// Moves the "Sales" page of main to the first order of person with the
// order navigator. Throws MissingWidget when the demo set has no such order.
void goToOrder(Driver& d, QWidget* main, const QString& person);

} // namespace kestrova::shots
