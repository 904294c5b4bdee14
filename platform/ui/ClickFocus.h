#pragma once

class QMouseEvent;
class QWidget;

namespace vexa {

// A press on a control that takes the focus gives it the focus first, so the control being left
// sees LostFocus before the press arrives. When that LostFocus sends the focus elsewhere (a field
// refusing its input), the user is being sent back to correct the field: the press is dropped.
class ClickFocus {
  public:
    // True when `event`, a press on `control`, comes after a LostFocus that moved the focus to
    // another control of the same window.
    static bool SentElsewhere(const QWidget* control, const QMouseEvent* event);
};

}  // namespace vexa
