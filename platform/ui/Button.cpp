#include "platform/ui/Button.h"

#include <QApplication>
#include <QMouseEvent>

#include "platform/ui/UiText.h"

namespace vexa {

Button::Button(const QString& name, const std::string& caption, QWidget* parent)
    : QPushButton(UiText::ToQt(caption), parent) {
    setObjectName(name);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this](bool) { emit Click(); });
}

void Button::mousePressEvent(QMouseEvent* event) {
    // The press gave this button the focus before it arrived here; if the focus is somewhere
    // else of this window now, a LostFocus handler moved it on purpose.
    QWidget* focus = QApplication::focusWidget();
    if (event->button() == Qt::LeftButton && (focusPolicy() & Qt::ClickFocus) && isActiveWindow() &&
        focus != nullptr && focus != this && focus->window() == window()) {
        event->ignore();
        return;
    }
    QPushButton::mousePressEvent(event);
}

}  // namespace vexa
