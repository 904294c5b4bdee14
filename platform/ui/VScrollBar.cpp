#include "platform/ui/VScrollBar.h"

#include <QMouseEvent>

#include "platform/ui/ClickFocus.h"

namespace vexa {

VScrollBar::VScrollBar(const QString& name, QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QScrollBar::valueChanged, this, [this](int) { emit Change(); });
}

void VScrollBar::SetEnds(int top, int bottom) {
    const int value = Value();
    m_sign = top <= bottom ? 1 : -1;
    setRange(m_sign * top, m_sign * bottom);
    SetValue(value);
}

void VScrollBar::SetSteps(int small, int large) {
    setSingleStep(small);
    setPageStep(large);
}

void VScrollBar::mousePressEvent(QMouseEvent* event) {
    if (ClickFocus::SentElsewhere(this, event)) {
        event->ignore();
        return;
    }
    QScrollBar::mousePressEvent(event);
}

}  // namespace vexa
