#include "platform/ui/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/UiText.h"

namespace vexa {

void MessageBox::ShowWarning(QWidget* parent, std::string_view text) {
    Show(parent, "Warning", text, Icon::Warning, Buttons::Ok);
}

void MessageBox::ShowInfo(QWidget* parent, std::string_view text) {
    Show(parent, "Info", text, Icon::Information, Buttons::Ok);
}

bool MessageBox::AskYesNo(QWidget* parent, std::string_view title, std::string_view text,
                          Icon icon) {
    return Show(parent, title, text, icon, Buttons::YesNo) == Answer::Yes;
}

MessageBox::Answer MessageBox::Show(QWidget* parent, std::string_view title, std::string_view text,
                                    Icon icon, Buttons buttons) {
    m_shown.push_back(Shown{std::string(title), std::string(text), icon, buttons});
    if (m_automatic) {
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (m_answers.empty()) {
            ++m_unanswered;
            return Answer::No;
        }
        Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    QMessageBox box(parent);
    box.setWindowTitle(UiText::ToQt(title));
    box.setText(UiText::ToQt(text));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    if (buttons == Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    // The window speaks Czech; so do the answers.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ano"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Ne"));
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace vexa
