#pragma once

#include <array>

#include "platform/ui/Button.h"
#include "platform/ui/Frame.h"
#include "platform/ui/OptionButton.h"
#include "printing/forms/PrintDialog.h"

namespace vexa {

// The template dialog: the clerk picks one of the ten templates P1..P10, fixed pairs of the
// calibration shift, and "OK" stores the pair in HorzShift and VertShift and offers the data
// page. It always opens with P1 chosen. The owner stays enabled, so the clerk may still edit
// the record while the dialog is open.
class frmSelSabl : public PrintDialog {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Výběr šablony";  // UTF-8
    static constexpr int kTemplates = 10;

    explicit frmSelSabl(Context context);

    Button* cmdOK = nullptr;
    Button* cmdCance = nullptr;
    Frame* boxSabl = nullptr;
    // optP[1] .. optP[10]; optP[0] is not used.
    std::array<OptionButton*, kTemplates + 1> optP{};

    // The number of the chosen template, 1..10.
    int Selected = 1;

    void UncheckAll();
    void UncheckSelected();

  private:
    void FormLoad();
    // optP1_Click .. optP10_Click.
    void OnOptionClick(int number);
    void OnOK();
};

}  // namespace vexa
