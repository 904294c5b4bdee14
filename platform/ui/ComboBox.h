#pragma once

#include <QComboBox>
#include <string>

#include "platform/ui/InputFilter.h"
#include "platform/ui/TextControl.h"

namespace vexa {

// An editable combo box with Windows-1250 text: the user may pick an item or type any text
// (filtered like a text box). Click fires when an item is chosen by the user; setting the text
// from the program does not fire it. LostFocus as for TextBox; opening the list is not leaving.
class ComboBox : public QComboBox, public TextControl {
    Q_OBJECT
  public:
    explicit ComboBox(const QString& name, QWidget* parent = nullptr);

    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetSelection(int start, int length) override;
    void SetFocus() override;
    void SetRefused(std::string_view cp1250) override { m_filter->SetRefused(cp1250); }

    void AddItem(const std::string& item);
    int ListCount() const { return count(); }
    std::string List(int index) const;
    // The position of the chosen item, -1 when the text was typed.
    int ListIndex() const { return currentIndex(); }

    void showPopup() override;
    void hidePopup() override;

  signals:
    void Click();
    void LostFocus();

  protected:
    void focusOutEvent(QFocusEvent* event) override;

  private:
    InputFilter* m_filter = nullptr;
    bool m_popupOpen = false;
};

}  // namespace vexa
