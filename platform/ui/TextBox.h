#pragma once

#include <QLineEdit>
#include <string>

#include "platform/ui/InputFilter.h"
#include "platform/ui/TextControl.h"

namespace vexa {

// A single-line text box speaking Windows-1250 text. It refuses characters a record cannot
// hold (see InputFilter). Change fires on every change of the text, typed or set by the
// program; LostFocus fires when the focus moves to another control of the program (before
// the click that moved it), not when another window takes it nor when a popup opens.
class TextBox : public QLineEdit, public TextControl {
    Q_OBJECT
  public:
    explicit TextBox(const QString& name, QWidget* parent = nullptr);

    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetSelection(int start, int length) override;
    void SetFocus() override;
    void SetRefused(std::string_view cp1250) override { m_filter->SetRefused(cp1250); }
    int SelStart() const;
    int SelLength() const;

    // 0 means no limit. The limit applies to what the user types or pastes.
    void SetMaxLength(int maxLength);
    int MaxLength() const { return m_filter->MaxLength(); }

  signals:
    void Change();
    void LostFocus();

  protected:
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void OnTextChanged(const QString& text);

    InputFilter* m_filter;
    QString m_last;
};

}  // namespace vexa
