#include "platform/ui/ClickFocus.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace vexa {

bool ClickFocus::SentElsewhere(const QWidget* control, const QMouseEvent* event) {
    // The press gave the control the focus before it arrived there; if the focus is somewhere
    // else of this window now, a LostFocus handler moved it on purpose.
    const QWidget* focus = QApplication::focusWidget();
    return event->button() == Qt::LeftButton && (control->focusPolicy() & Qt::ClickFocus) &&
           control->isActiveWindow() && focus != nullptr && focus != control &&
           focus->window() == control->window();
}

}  // namespace vexa
