#pragma once

#include <QPushButton>
#include <string>

namespace vexa {

// A command button with a Windows-1250 caption; Click is the button's click. Pressing it takes
// the focus first, so the control that had it sees LostFocus before the click. When that
// LostFocus sends the focus elsewhere (a field refusing its input), the press is dropped and
// no click follows, as the user is being sent back to correct the field.
class Button : public QPushButton {
    Q_OBJECT
  public:
    Button(const QString& name, const std::string& caption, QWidget* parent = nullptr);

  signals:
    void Click();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace vexa
