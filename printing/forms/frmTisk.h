#pragma once

#include "platform/Numbers.h"
#include "platform/ui/Button.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/VScrollBar.h"
#include "printing/forms/PrintDialog.h"

class QCloseEvent;

namespace vexa {

// The guide-point dialog: prints the two guide marks ("Ano") as often as the clerk likes,
// shifted by what the two millimetre boxes and their scroll bars say, then ("Ne") stores the
// shift and offers the data page. The owner stays disabled while the dialog is open, however
// the dialog closes. The shift is kept in tenths of a millimetre by the bars, -10 mm to 10 mm,
// and written into HorzShift and VertShift by "Ano" and "Ne" only.
class frmTisk : public PrintDialog {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Tisk naváděcích bodů";  // UTF-8

    explicit frmTisk(Context context);

    Label* lNavadeciBody = nullptr;
    Button* cmdAno = nullptr;
    Button* cmdNe = nullptr;
    Frame* fPosun = nullptr;
    Label* lX = nullptr;
    TextBox* edX = nullptr;
    VScrollBar* vscrollX = nullptr;
    Label* lY = nullptr;
    TextBox* edY = nullptr;
    VScrollBar* vscrollY = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormLoad();
    void FormUnload();
    // vscrollX_Change, vscrollY_Change.
    void ShowScrollValue(const VScrollBar* bar, TextBox* box);
    // edX_LostFocus, edY_LostFocus.
    void TakeMillimetres(TextBox* box, VScrollBar* bar);
    void OnAno();
    void OnNe();
    void StoreShift();

    LocaleDecimal m_locale;
};

}  // namespace vexa
