#pragma once

#include <QValidator>
#include <string>
#include <string_view>

class QLineEdit;

namespace vexa {

// Keeps a line edit's text to what the program can hold: characters Windows-1250 can hold, no
// control characters, and none of the characters its form refuses. Refused characters are left
// out of typed or pasted input; the rest is taken. When a maximum length is set, typed or
// pasted input beyond it is cut at the caret, while text set by the program is never cut (a
// stored value longer than the box's limit must survive being shown and read back).
class InputFilter : public QValidator {
    Q_OBJECT
  public:
    // Becomes the validator of `edit`, a child of it.
    explicit InputFilter(QLineEdit* edit);

    State validate(QString& input, int& pos) const override;

    void SetMaxLength(int maxLength) { m_maxLength = maxLength; }
    // Characters (Windows-1250) typed or pasted input may not hold, besides the control
    // characters.
    void SetRefused(std::string_view cp1250);
    int MaxLength() const { return m_maxLength; }
    // Sets the edit's text from the program's Windows-1250 text: never cut to the limit.
    void SetProgramText(const std::string& text);

  private:
    QLineEdit* m_edit;
    QString m_refused;
    int m_maxLength = 0;       // 0: no limit
    int m_previousLength = 0;  // the length of the text before the edit being validated
    bool m_programEdit = false;
};

}  // namespace vexa
