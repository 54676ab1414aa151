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

namespace kestrova::shots {

// A window, page or control that a shot names and the program does not have.
class MissingWidget : public std::runtime_error {
public:
    explicit MissingWidget(const QString& what) : std::runtime_error(what.toStdString()) {}
};

// Drives the program's windows the way a user would, finding every window and
// control by its object name, so a picture can only be taken of what exists.
class Driver {
public:
    // The visible or hidden top-level window named name. Throws MissingWidget.
    QWidget* window(const QString& name) const;

    // The child named name of parent, of type T. Throws MissingWidget naming
    // both when there is none.
    template <typename T> T* child(QWidget* parent, const QString& name) const
    {
        T* found = parent->findChild<T*>(name);
        if (!found)
            throw MissingWidget(QStringLiteral("control \"%1\" in window \"%2\"").arg(name, parent->objectName()));
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

    // Clicks the button named name in parent, which opens the modal window
    // named modal, and calls whileOpen with that window while it is open,
    // from within its own event loop. whileOpen must close the window, as a
    // user would; a window it leaves open is closed and the shot fails.
    // Throws MissingWidget when the window never opened, and whatever
    // whileOpen threw, after the window is closed again.
    void whileModal(QWidget* parent, const QString& name, const QString& modal,
                    const std::function<void(QWidget*)>& whileOpen);

    // Grabs window now as the shot's picture: for a window that is gone
    // again by the time the shot's preparation returns.
    void holdPicture(QWidget* window);
    // The picture held, emptied for the next shot.
    QImage takeHeldPicture();

private:
    QImage m_held;
};

// One picture: what to do before it, and which window it shows.
struct Shot {
    QString file;    // the PNG's name, e.g. "sales-billing.png"
    QString caption; // one line for --list
    // Returns the window to grab, or nullptr when it held a picture itself.
    std::function<QWidget*(Driver&)> prepare;
};

// Takes the shots in their order and saves each into outDir. Returns one
// line per failed shot, naming what was missing or what went wrong; the
// other shots are taken all the same.
QStringList takeShots(const std::vector<Shot>& shots, const QString& outDir);

// Grabs window as it is on screen, at a fixed device pixel ratio.
QImage grabWindow(QWidget* window);

} // namespace kestrova::shots
