#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <utility>

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

    // Where a control stands on its parent, in twips.
    struct Spot {
        int left, top, width, height;
    };
    // Creates a control named `name` on `parent` (the window, a tab page or a frame) at `at`;
    // `args` go to its constructor between the name and the parent.
    template <typename Control, typename... Args>
    Control* Add(QWidget* parent, const char* name, Spot at, Args&&... args) {
        auto* control = new Control(QString::fromLatin1(name), std::forward<Args>(args)..., parent);
        Place(control, at.left, at.top, at.width, at.height);
        return control;
    }
    // A window of fixed size whose client area is the given size (twips); a sizeable window
    // starts at that size.
    void SetClientSize(int width, int height);

    // How the window is framed. A fixed dialog has a title and a close box only, keeps its size
    // and stays out of the task bar (it belongs to the window it is shown over); a sizeable
    // window has the minimise and maximise boxes and a task-bar entry of its own.
    enum class Border { FixedDialog, Sizeable };
    void SetBorder(Border border);
    // Shows the window without a modal loop, kept above `owner`'s window; centred on it when
    // `centred`, else where the system places it. Brings an open window to the front.
    void ShowOver(QWidget* owner, bool centred);

    // Picks the font: the first installed family of a list that looks like the classic
    // dialog font, at the largest size not above `points` at which every caption fits;
    // applies it to the window and everything on it.
    void FitCaptions(double points = 8.25);
    // True when every caption of the window fits its box in the window's current font.
    bool CaptionsFit() const { return AllFit(font()); }

  private:
    bool AllFit(const QFont& font) const;
    void ApplyClientSize();
    double m_dpi;
    Border m_border = Border::FixedDialog;
    QSize m_clientSize;
};

}  // namespace vexa
