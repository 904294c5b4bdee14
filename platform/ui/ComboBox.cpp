#include "platform/ui/ComboBox.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "platform/ui/UiText.h"

namespace vexa {

ComboBox::ComboBox(const QString& name, QWidget* parent)
    : QComboBox(parent), m_filter(new InputFilter(this)) {
    setObjectName(name);
    setEditable(true);
    // Typed text is only text: it never becomes an item, and nothing is completed for the
    // user.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    lineEdit()->setValidator(m_filter);
    connect(this, &QComboBox::activated, this, [this](int) { emit Click(); });
    connect(lineEdit(), &QLineEdit::textChanged, this,
            [this](const QString& text) { m_filter->SetPreviousLength(int(text.size())); });
}

std::string ComboBox::Text() const {
    return UiText::FromQt(currentText());
}

void ComboBox::SetText(const std::string& text) {
    m_filter->SetProgramEdit(true);
    setEditText(UiText::ToQt(text));
    m_filter->SetProgramEdit(false);
}

void ComboBox::SetSelection(int start, int length) {
    lineEdit()->setSelection(start, length);
}

void ComboBox::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

void ComboBox::AddItem(const std::string& item) {
    addItem(UiText::ToQt(item));
}

std::string ComboBox::List(int index) const {
    return UiText::FromQt(itemText(index));
}

void ComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        emit LostFocus();
    }
}

}  // namespace vexa
