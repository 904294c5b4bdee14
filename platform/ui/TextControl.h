#pragma once

#include <qnamespace.h>
#include <string>
#include <string_view>

namespace vexa {

// What a form needs of any control that holds a line of text (a text box or an editable combo
// box): its Windows-1250 text, the caret and the focus.
class TextControl {
  public:
    virtual ~TextControl() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // Places the caret at `start` and selects `length` characters from there.
    virtual void SetSelection(int start, int length) = 0;
    virtual void SetFocus() = 0;
    // Characters (Windows-1250) the user may not type or paste into the control.
    virtual void SetRefused(std::string_view cp1250) = 0;

  protected:
    // Losing the focus for `reason` is leaving the control: not when another window takes the
    // focus, nor when a popup opens.
    static bool IsLeaving(Qt::FocusReason reason) {
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    }
};

}  // namespace vexa
