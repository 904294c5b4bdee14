#pragma once

#include <QRadioButton>
#include <string>

namespace vexa {

// An option button with a Windows-1250 caption. The option buttons in one frame (one parent)
// form a group: checking one unchecks the others. Click fires when the button becomes checked,
// whether the user chose it or the program set it. Value 0 unchecks the button even when it is
// the group's checked one, leaving the group with none checked.
class OptionButton : public QRadioButton {
    Q_OBJECT
  public:
    OptionButton(const QString& name, const std::string& caption, QWidget* parent = nullptr);

    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int value);

  signals:
    void Click();
};

}  // namespace vexa
