#pragma once

#include <QtWidgets>

#include "widgets/dbwidgets.h"

// A window's control by its object name, the way a user finds it on screen:
// tests reach controls through their documented names, not through the
// window's generated form class. A missing control ends the test run.
template <typename T, typename Owner> T* child(const Owner& owner, const char* name)
{
    QObject* parent = &*owner;
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no control %s of the expected type", qPrintable(parent->objectName()), name);
    return found;
}
