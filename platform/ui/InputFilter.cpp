#include "platform/ui/InputFilter.h"

#include <QLineEdit>

#include "platform/ui/UiText.h"

namespace vexa {

InputFilter::InputFilter(QLineEdit* edit) : QValidator(edit), m_edit(edit) {
    edit->setValidator(this);
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_previousLength = static_cast<int>(text.size()); });
}

void InputFilter::SetProgramText(const std::string& text) {
    m_programEdit = true;
    m_edit->setText(UiText::ToQt(text));
    m_programEdit = false;
}

void InputFilter::SetRefused(std::string_view cp1250) {
    m_refused = UiText::ToQt(cp1250);
}

QValidator::State InputFilter::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int newPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        if (UiText::IsAllowedInput(input[i].unicode()) && !m_refused.contains(input[i])) {
            kept.append(input[i]);
        } else if (i < pos) {
            --newPos;
        }
    }
    if (!m_programEdit && m_maxLength > 0 && kept.size() > m_maxLength &&
        kept.size() > m_previousLength) {
        // Cut what was just inserted before the caret, as much as needed.
        int limit = m_previousLength > m_maxLength ? m_previousLength : m_maxLength;
        int excess = static_cast<int>(kept.size()) - limit;
        int from = newPos - excess;
        if (from < 0) {
            from = 0;
        }
        int count = newPos - from;
        kept.remove(from, count);
        newPos = from;
        if (kept.size() > limit) {
            kept.truncate(limit);
        }
    }
    if (newPos > kept.size())
        newPos = static_cast<int>(kept.size());
    if (newPos < 0)
        newPos = 0;
    input = kept;
    pos = newPos;
    return Acceptable;
}

}  // namespace vexa
