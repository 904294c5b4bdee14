#include "platform/ui/CheckBox.h"

#include "platform/ui/UiText.h"

namespace vexa {

CheckBox::CheckBox(const QString& name, const std::string& caption, QWidget* parent)
    : QCheckBox(UiText::ToQt(caption), parent) {
    setObjectName(name);
    connect(this, &QCheckBox::toggled, this, [this](bool) { emit Click(); });
}

}  // namespace vexa
