#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace vexa {

// The program's message boxes: warnings, infos and Yes/No questions, texts in Windows-1250.
// Tests switch it to answering by itself: then no box is ever shown, every box is recorded,
// and each question takes the next answer given in advance (No when none is left, counted as
// unanswered so that a test notices a question it did not expect).
class MessageBox {
  public:
    enum class Icon { Information, Warning, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct Shown {
        std::string title;
        std::string text;
        Icon icon;
        Buttons buttons;
    };

    MessageBox() = default;
    MessageBox(const MessageBox&) = delete;
    MessageBox& operator=(const MessageBox&) = delete;

    // Title "Warning", exclamation icon, OK.
    void ShowWarning(QWidget* parent, std::string_view text);
    // Title "Info", information icon, OK.
    void ShowInfo(QWidget* parent, std::string_view text);
    // Yes and No buttons; true for Yes.
    bool AskYesNo(QWidget* parent, std::string_view title, std::string_view text,
                  Icon icon = Icon::Question);

    // From now on nobody is there to answer (the program is being ended): no box is shown,
    // every box goes to the standard error output, and every question is answered No.
    void Unattended() { m_unattended = true; }

    // Test hook.
    void AnswerByItself() { m_automatic = true; }
    void AnswerNext(Answer answer) { m_answers.push_back(answer); }
    const std::vector<Shown>& ShownBoxes() const { return m_shown; }
    void ClearShown() { m_shown.clear(); }
    int Unanswered() const { return m_unanswered; }

  private:
    Answer Show(QWidget* parent, std::string_view title, std::string_view text, Icon icon,
                Buttons buttons);

    bool m_automatic = false;
    bool m_unattended = false;
    std::deque<Answer> m_answers;
    std::vector<Shown> m_shown;
    int m_unanswered = 0;
};

}  // namespace vexa
