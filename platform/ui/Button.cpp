#include "platform/ui/Button.h"

#include <QMouseEvent>

#include "platform/ui/ClickFocus.h"
#include "platform/ui/UiText.h"

namespace vexa {

Button::Button(const QString& name, const std::string& caption, QWidget* parent)
    : QPushButton(UiText::ToQt(caption), parent) {
    setObjectName(name);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this](bool) { emit Click(); });
}

void Button::mousePressEvent(QMouseEvent* event) {
    if (ClickFocus::SentElsewhere(this, event)) {
        event->ignore();
        return;
    }
    QPushButton::mousePressEvent(event);
}

}  // namespace vexa
