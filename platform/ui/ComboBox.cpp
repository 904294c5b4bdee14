#include "platform/ui/ComboBox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

#include "platform/ui/UiText.h"

namespace vexa {

ComboBox::ComboBox(const QString& name, QWidget* parent) : QComboBox(parent) {
    setObjectName(name);
    setEditable(true);
    // Typed text is only text: it never becomes an item, and nothing is completed for the
    // user.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    m_filter = new InputFilter(lineEdit());
    connect(this, &QComboBox::activated, this, [this](int) { emit Click(); });
}

std::string ComboBox::Text() const {
    return UiText::FromQt(currentText());
}

void ComboBox::SetText(const std::string& text) {
    m_filter->SetProgramText(text);
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

void ComboBox::showPopup() {
    // While the list is open the focus may pass to it; that is not leaving the combo.
    m_popupOpen = true;
    QComboBox::showPopup();
}

void ComboBox::hidePopup() {
    QComboBox::hidePopup();
    if (!m_popupOpen)
        return;
    m_popupOpen = false;
    // The list was closed by a click on another control of this window: the combo is left.
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus != this && !isAncestorOf(focus) && focus->window() == window())
        emit LostFocus();
}

void ComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (!m_popupOpen && IsLeaving(event->reason()))
        emit LostFocus();
}

}  // namespace vexa
