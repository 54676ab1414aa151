#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <stdexcept>
#include <vector>

class QAbstractButton;

namespace kestrova::shots
{

// A window, page or control that a shot names and the program does not have.
class MissingWidget : public std::runtime_error
{
public:
    explicit MissingWidget(const QString& what) : std::runtime_error(what.toStdString()) {}
};

// Drives the program's windows the way a user would, finding every window and
// control by its object name, so a picture can only be taken of what exists.
class Driver
{
public:
    // The visible or hidden top-level window named name. Throws MissingWidget.
    QWidget* window(const QString& name) const;

    // The child named name of parent, of type T. Throws MissingWidget naming
    // both when there is none.
    template <typename T>
    T* child(QWidget* parent, const QString& name) const
    {
        T* found = parent->findChild<T*>(name);
        if (!found)
            throw MissingWidget(QStringLiteral("control \"%1\" in window \"%2\"")
                                    .arg(name, parent->objectName()));
        return found;
    }

    // Clicks the button named name in parent and lets the program react.
    void click(QWidget* parent, const QString& name) const;
    // Shows the page titled title of the tab widget named tabs.
    void showTab(QWidget* parent, const QString& tabs, const QString& title) const;
    // Makes window the active window, so focus moves raise their events.
    void activate(QWidget* window) const;
    // Runs the event loop until nothing is left to do.
    static void settle();
};

// One picture: what to do before it, and which window it shows.
struct Shot {
    QString file;        // the PNG's name, e.g. "sales-billing.png"
    QString caption;     // one line for --list
    std::function<QWidget*(Driver&)> prepare; // returns the window to grab
};

// Takes the shots in their order and saves each into outDir. Returns one
// line per failed shot, naming what was missing or what went wrong; the
// other shots are taken all the same.
QStringList takeShots(const std::vector<Shot>& shots, const QString& outDir);

// Grabs window as it is on screen, at a fixed device pixel ratio.
QImage grabWindow(QWidget* window);

} // namespace kestrova::shots
