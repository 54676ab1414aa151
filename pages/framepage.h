#pragma once

#include <QWidget>

class QToolButton;

namespace kestrova {

// A page of the main window. Every page carries the buttons the frame
// answers (about, calculator, exit); the page wires its own buttons to these
// signals and the frame listens to the page, never to its controls.
class FramePage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

Q_SIGNALS:
    void aboutRequested();
    void calculatorRequested();
    void exitRequested();

protected:
    // A page without a calculator button passes none.
    void wireFrameButtons(QToolButton* about, QToolButton* calculator, QToolButton* exit);
};

} // namespace kestrova
