#include "printing/forms/frmTisk.h"

#include <QCloseEvent>
#include <string>

#include "platform/Cp1250.h"
#include "platform/ui/UiText.h"
#include "printing/GuidePointsJob.h"
#include "printing/GuideShift.h"

namespace vexa {

frmTisk::frmTisk(Context context)
    : PrintDialog(std::move(context)), m_locale(LocaleDecimal::FromUserLocale()) {
    setObjectName(QStringLiteral("frmTisk"));
    setWindowTitle(UiText::ToQt(Cs(kCaption)));
    SetBorder(Border::FixedDialog);
    SetClientSize(3435, 1920);

    lNavadeciBody =
        Add<Label>(this, "lNavadeciBody", {720, 240, 1995, 255}, Cs("Vytisknout naváděcí body?"));
    lNavadeciBody->setAlignment(Qt::AlignCenter);
    cmdAno = Add<Button>(this, "cmdAno", {1680, 1560, 735, 255}, Cs("Ano"));
    cmdNe = Add<Button>(this, "cmdNe", {2520, 1560, 735, 255}, Cs("Ne"));
    fPosun = Add<Frame>(this, "fPosun", {240, 600, 3000, 855}, Cs("Posun naváděcích bodů"));
    lX = Add<Label>(fPosun, "lX", {120, 360, 495, 255}, Cs("osa X:"));
    edX = Add<TextBox>(fPosun, "edX", {600, 360, 735, 285});
    vscrollX = Add<VScrollBar>(fPosun, "vscrollX", {1320, 360, 135, 285});
    lY = Add<Label>(fPosun, "lY", {1560, 360, 495, 255}, Cs("osa Y:"));
    edY = Add<TextBox>(fPosun, "edY", {2040, 360, 735, 285});
    vscrollY = Add<VScrollBar>(fPosun, "vscrollY", {2760, 360, 135, 285});
    for (VScrollBar* bar : {vscrollX, vscrollY}) {
        bar->SetEnds(GuideShift::kMaxScroll, GuideShift::kMinScroll);
        bar->SetSteps(1, 10);
    }
    QWidget* const tabOrder[] = {cmdAno, cmdNe, edX, vscrollX, edY, vscrollY};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    cmdAno->setFocus();
    FitCaptions();

    connect(vscrollX, &VScrollBar::Change, this, [this] { ShowScrollValue(vscrollX, edX); });
    connect(vscrollY, &VScrollBar::Change, this, [this] { ShowScrollValue(vscrollY, edY); });
    connect(edX, &TextBox::LostFocus, this, [this] { TakeMillimetres(edX, vscrollX); });
    connect(edY, &TextBox::LostFocus, this, [this] { TakeMillimetres(edY, vscrollY); });
    connect(cmdAno, &Button::Click, this, &frmTisk::OnAno);
    connect(cmdNe, &Button::Click, this, &frmTisk::OnNe);

    FormLoad();
}

void frmTisk::FormLoad() {
    vscrollX->SetValue(GuideShift::ScrollXFromSettings(m_context.Settings));
    vscrollY->SetValue(GuideShift::ScrollYFromSettings(m_context.Settings));
    ShowScrollValue(vscrollX, edX);
    ShowScrollValue(vscrollY, edY);
    m_context.Owner.setEnabled(false);
}

void frmTisk::closeEvent(QCloseEvent* event) {
    FormUnload();
    PrintDialog::closeEvent(event);
}

void frmTisk::FormUnload() {
    m_context.Owner.setEnabled(true);
}

void frmTisk::ShowScrollValue(const VScrollBar* bar, TextBox* box) {
    box->SetText(GuideShift::ScrollValueToText(bar->Value(), m_locale));
}

void frmTisk::TakeMillimetres(TextBox* box, VScrollBar* bar) {
    std::string text = box->Text();
    if (GuideShift::ParseMm(text, m_locale)) {
        // A value the bar already has is no change: the box keeps the text as typed.
        bar->SetValue(GuideShift::MmToScrollValue(text, m_locale));
    } else {
        box->SetSelection(0, static_cast<int>(box->text().size()));
        box->SetFocus();
    }
}

void frmTisk::StoreShift() {
    GuideShift::StoreShift(m_context.Settings, vscrollX->Value(), vscrollY->Value());
    m_context.ShiftStored();
}

void frmTisk::OnAno() {
    // The dialog stays open: the clerk corrects the shift and prints the marks again.
    StoreShift();
    GuidePointsJob(m_context.Settings, m_context.Ports, *this).PrintGuidePoints();
}

void frmTisk::OnNe() {
    hide();
    StoreShift();
    AskPrintData();
    Unload();
}

}  // namespace vexa
