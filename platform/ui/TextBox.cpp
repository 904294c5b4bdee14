#include "platform/ui/TextBox.h"

#include <QFocusEvent>

#include "platform/ui/UiText.h"

namespace vexa {

TextBox::TextBox(const QString& name, QWidget* parent)
    : QLineEdit(parent), m_filter(new InputFilter(this)) {
    setObjectName(name);
    // The box enforces its own limit so that text set by the program is never cut.
    QLineEdit::setMaxLength(32767);
    connect(this, &QLineEdit::textChanged, this, &TextBox::OnTextChanged);
}

std::string TextBox::Text() const {
    return UiText::FromQt(text());
}

void TextBox::SetText(const std::string& value) {
    m_filter->SetProgramText(value);
}

void TextBox::SetSelection(int start, int length) {
    setSelection(start, length);
}

void TextBox::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

int TextBox::SelStart() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

int TextBox::SelLength() const {
    return static_cast<int>(selectedText().size());
}

void TextBox::SetMaxLength(int maxLength) {
    m_filter->SetMaxLength(maxLength);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (IsLeaving(event->reason()))
        emit LostFocus();
}

void TextBox::OnTextChanged(const QString& text) {
    if (text == m_last)
        return;  // input that was refused leaves the text as it was
    m_last = text;
    emit Change();
}

}  // namespace vexa
