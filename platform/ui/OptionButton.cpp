#include "platform/ui/OptionButton.h"

#include "platform/ui/UiText.h"

namespace vexa {

OptionButton::OptionButton(const QString& name, const std::string& caption, QWidget* parent)
    : QRadioButton(UiText::ToQt(caption), parent) {
    setObjectName(name);
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            emit Click();
    });
}

void OptionButton::SetValue(int value) {
    if (value != 0) {
        setChecked(true);
        return;
    }
    // A group refuses to lose its checked button; for a moment this one is no member.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}

}  // namespace vexa
