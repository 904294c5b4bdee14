#include "printing/forms/frmSelSabl.h"

#include <string>

#include "platform/Cp1250.h"
#include "platform/ui/UiText.h"
#include "settings/Config.h"

namespace vexa {

frmSelSabl::frmSelSabl(Context context) : PrintDialog(std::move(context)) {
    setObjectName(QStringLiteral("frmSelSabl"));
    setWindowTitle(UiText::ToQt(Cs(kCaption)));
    SetBorder(Border::Sizeable);
    SetClientSize(3105, 2415);

    cmdOK = Add<Button>(this, "cmdOK", {2160, 240, 855, 255}, Cs("OK"));
    cmdCance = Add<Button>(this, "cmdCance", {2160, 600, 855, 255}, Cs("Storno"));
    boxSabl = Add<Frame>(this, "boxSabl", {120, 120, 1815, 2175}, Cs("Typ šablony"));
    // Two columns (no horizontal shift, then 6/60 inch) of five rows (vertical shift 42, 21, 0,
    // -21, -42 from the top).
    for (int n = 1; n <= kTemplates; ++n) {
        const int row = (n - 1) % 5;
        const bool left = n <= 5;
        const std::string name = "optP" + std::to_string(n);
        optP[n] =
            Add<OptionButton>(boxSabl, name.c_str(),
                              {left ? 240 : 960, 360 + row * 360, left || n == 6 ? 495 : 615, 255},
                              "P" + std::to_string(n));
        connect(optP[n], &OptionButton::Click, this, [this, n] { OnOptionClick(n); });
    }
    QWidget::setTabOrder(cmdOK, cmdCance);
    QWidget::setTabOrder(cmdCance, optP[1]);
    cmdOK->setFocus();
    FitCaptions();

    connect(cmdOK, &Button::Click, this, &frmSelSabl::OnOK);
    connect(cmdCance, &Button::Click, this, &frmSelSabl::Unload);

    FormLoad();
}

void frmSelSabl::FormLoad() {
    Selected = 1;
    UncheckAll();
    optP[1]->SetValue(1);
}

void frmSelSabl::UncheckAll() {
    for (int n = 1; n <= kTemplates; ++n)
        optP[n]->SetValue(0);
}

void frmSelSabl::UncheckSelected() {
    if (Selected >= 1 && Selected <= kTemplates)
        optP[Selected]->SetValue(0);
}

void frmSelSabl::OnOptionClick(int number) {
    if (Selected != number) {
        UncheckSelected();
        Selected = number;
    }
}

void frmSelSabl::OnOK() {
    hide();
    const TemplateShift shift = m_context.Settings.Template(Selected);
    m_context.Settings.Set(cfg::HorzShift, std::to_string(shift.Horz));
    m_context.Settings.Set(cfg::VertShift, std::to_string(shift.Vert));
    m_context.ShiftStored();
    AskPrintData();
    Unload();
}

}  // namespace vexa
