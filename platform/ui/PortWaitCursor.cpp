#include "platform/ui/PortWaitCursor.h"

#include <QApplication>
#include <QCloseEvent>

namespace vexa {

PortWaitCursor::PortWaitCursor() {
    PortWait::SetHook([this](PortWait::Step step) { Step(step); });
}

PortWaitCursor::~PortWaitCursor() {
    PortWait::SetHook(nullptr);
}

void PortWaitCursor::Step(PortWait::Step step) {
    switch (step) {
        case PortWait::Step::Begin:
            QApplication::setOverrideCursor(Qt::WaitCursor);
            qApp->installEventFilter(this);
            break;
        case PortWait::Step::Pump:
            // Paints, timers and the window system's events; the keys and clicks come after the
            // job, and so does a signal that ends the session.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::ExcludeSocketNotifiers);
            break;
        case PortWait::Step::End:
            qApp->removeEventFilter(this);
            QApplication::restoreOverrideCursor();
            break;
    }
}

bool PortWaitCursor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        event->ignore();  // refused: the window stays open
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vexa
