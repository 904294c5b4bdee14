#include "platform/ui/Label.h"

#include "platform/ui/UiText.h"

namespace vexa {

Label::Label(const QString& name, const std::string& caption, QWidget* parent)
    : QLabel(UiText::ToQt(caption), parent) {
    setObjectName(name);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void Label::SetCaption(const std::string& caption) {
    setText(UiText::ToQt(caption));
}

std::string Label::Caption() const {
    return UiText::FromQt(text());
}

}  // namespace vexa
