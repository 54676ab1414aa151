#include "pages/framepage.h"

#include <QToolButton>

namespace kestrova {

void FramePage::wireFrameButtons(QToolButton* about, QToolButton* calculator, QToolButton* exit)
{
    Q_ASSERT(about && exit);
    connect(about, &QToolButton::clicked, this, &FramePage::aboutRequested);
    if (calculator)
        connect(calculator, &QToolButton::clicked, this, &FramePage::calculatorRequested);
    connect(exit, &QToolButton::clicked, this, &FramePage::exitRequested);
}

} // namespace kestrova
