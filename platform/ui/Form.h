#pragma once

#include <QFont>
#include <QWidget>

namespace vexa {

// A window whose controls are placed in twips (1/1440 inch), scaled to the screen, with a
// font chosen so that every caption (labels, buttons, check boxes, frames, tabs) fits the box
// it was given.
class Form : public QWidget {
    Q_OBJECT
  public:
    explicit Form(QWidget* parent = nullptr);

    // Pixels for a length in twips at this screen's resolution.
    int Px(double twips) const;
    void Place(QWidget* control, int left, int top, int width, int height) const;
    // A window of fixed size whose client area is the given size.
    void SetClientSize(int width, int height);

    // Picks the font: the first installed family of a list that looks like the classic
    // dialog font, at the largest size not above `points` at which every caption fits;
    // applies it to the window and everything on it.
    void FitCaptions(double points = 8.25);
    // True when every caption of the window fits its box in the window's current font.
    bool CaptionsFit() const { return AllFit(font()); }

  private:
    bool AllFit(const QFont& font) const;
    double m_dpi;
};

}  // namespace vexa
