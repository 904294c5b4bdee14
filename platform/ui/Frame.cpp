#include "platform/ui/Frame.h"

#include "platform/ui/UiText.h"

namespace vexa {

Frame::Frame(const QString& name, const std::string& caption, QWidget* parent)
    : QGroupBox(UiText::ToQt(caption), parent) {
    setObjectName(name);
}

}  // namespace vexa
