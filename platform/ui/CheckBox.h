#pragma once

#include <QCheckBox>
#include <string>

namespace vexa {

// A check box with a Windows-1250 caption. Value is 0 (clear) or 1 (set); Click fires whenever
// the value changes, whether the user clicked or the program set it.
class CheckBox : public QCheckBox {
    Q_OBJECT
  public:
    CheckBox(const QString& name, const std::string& caption, QWidget* parent = nullptr);

    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int value) { setChecked(value != 0); }

  signals:
    void Click();
};

}  // namespace vexa
