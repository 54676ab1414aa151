#pragma once

#include <QStyle>
#include <initializer_list>

class QToolButton;
class QWidget;

namespace kestrova {

class DataObjects;
class DataSource;

// Binds the data-aware boxes and lookup lists inside container to source;
// each control names its field in its "dataField" property, and a lookup
// list takes its values from the value list its object name stands for.
void bindControls(QWidget* container, DataSource* source, const DataObjects& data);

// A tool button's icon: the desktop theme's, with a bundled fallback.
struct ButtonIcon {
    QToolButton* button;
    const char* theme;
    QStyle::StandardPixmap fallback;
};

// Gives the tool buttons of a page their icons.
void setButtonIcons(QWidget* page, std::initializer_list<ButtonIcon> icons);

} // namespace kestrova
