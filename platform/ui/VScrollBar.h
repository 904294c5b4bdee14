#pragma once

#include <QScrollBar>

namespace vexa {

// A vertical scroll bar whose ends are named by the values at its top and at its bottom; the
// top may hold the larger one (top 100, bottom -100: the up arrow adds, a click in the track
// above the thumb adds a large step). Change fires on every change of the value, by an arrow,
// a click in the track, dragging, a key or the program; setting the value it already has is no
// change. It takes the focus when clicked, so the control being left sees LostFocus first, and
// a press answered by sending the focus back (a field refusing its input) is dropped.
class VScrollBar : public QScrollBar {
    Q_OBJECT
  public:
    explicit VScrollBar(const QString& name, QWidget* parent = nullptr);

    void SetEnds(int top, int bottom);
    void SetSteps(int small, int large);
    int Value() const { return m_sign * value(); }
    void SetValue(int value) { setValue(m_sign * value); }

  signals:
    void Change();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // The bar itself runs from its minimum at the top; with the larger value at the top the
    // values are its own negated.
    int m_sign = 1;
};

}  // namespace vexa
