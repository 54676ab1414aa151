#pragma once

class QWidget;

namespace kestrova {

class DataObjects;
class DataSource;

// Binds the data-aware boxes and lookup lists inside container to source;
// each control names its field in its "dataField" property, and a lookup
// list takes its values from the value list its object name stands for.
void bindControls(QWidget* container, DataSource* source, const DataObjects& data);

// Gives the tool buttons of a page their icons: the desktop theme's, with a
// bundled fallback.
void setButtonIcons(QWidget* page);

} // namespace kestrova
