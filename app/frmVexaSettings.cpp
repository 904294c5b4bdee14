#include "app/frmVexa.h"

#include <iterator>
#include <span>

#include "platform/Cp1250.h"
#include "platform/port/QueuePortOpener.h"
#include "platform/ui/UiText.h"

// The main window's settings tab: the settings a clerk may change, Použít, Původní, Defaultní.
namespace vexa {

namespace {

const char* const kMethodItems[] = {"Naváděcích bodů", "Šablony"};
// The last is the preview: the page is shown on the screen instead of being printed. The print
// queues of the system follow them.
const char* const kPortItems[] = {"lpt1", "lpt2", "lpt3", "com1", "com2", "náhled"};
const char* const kFontItems[] = {"10 cpi", "12 cpi", "15 cpi"};

}  // namespace

void frmVexa::BuildSettingsTab(QWidget* page) {
    AddLabels(page, {{"lMistoVydani", "Pas vydal:", {480, 720, 975, 225}},
                     {"lDobaPlatnosti", "Doba platnosti:", {480, 1080, 1095, 255}},
                     {"lTypTisku", "Tisk podle:", {4200, 720, 855, 255}},
                     {"lLpt", "Tisknout na port:", {4200, 1680, 1215, 255}},
                     {"Label1", "Velikost písma u dětí:", {4200, 1080, 1575, 255}}});
    AddTextBoxes(page, {{&frmVexa::edVydejce, "edVydejce", {1680, 720, 1455, 285}},
                        {&frmVexa::edPlatnost, "edPlatnost", {1680, 1080, 1455, 285}}});
    edPlatnost->setToolTip(UiText::ToQt(Cs("Doba platnosti pasu ve dnech")));
    chkPrevod = Add<CheckBox>(page, "chkPrevod", {480, 1680, 2775, 255},
                              Cs("Převádět malá písmena na velká"));
    chkPrevod->setToolTip(
        UiText::ToQt(Cs("Všechna písmena malé abecedy ve všech textech budou převedena na velká")));
    chkSmer = Add<CheckBox>(page, "chkSmer", {480, 2040, 2055, 255}, Cs("Opačné zakládání pasů"));

    // The printing choices: each combo offers its items and starts at the first.
    const struct {
        ComboBox* frmVexa::*combo;
        const char* name;
        Spot at;
        std::span<const char* const> items;
        cfg::Setting setting;
    } combos[] = {
        {&frmVexa::comZpusobTisku,
         "comZpusobTisku",
         {5160, 720, 1695, 315},
         kMethodItems,
         cfg::ZpusobTisku},
        // Wide to the buttons' edge, so a print queue's name shows whole.
        {&frmVexa::comLpt, "comLpt", {5520, 1680, 1935, 315}, kPortItems, cfg::Port},
        {&frmVexa::comFont, "comFont", {5880, 1080, 975, 315}, kFontItems, cfg::FontSize}};
    for (const auto& def : combos) {
        ComboBox* combo = this->*def.combo = Add<ComboBox>(page, def.name, def.at);
        for (const char* item : def.items)
            combo->AddItem(Cs(item));
        combo->SetText(Cs(def.items[0]));
        // Choosing an item enables the buttons only when it differs from the setting in force.
        connect(combo, &ComboBox::Click, this, [this, combo, setting = def.setting] {
            if (Differs(setting, combo->ListIndex(), combo->Text()))
                EnableSettingButtons();
        });
        connect(combo, &ComboBox::LostFocus, this,
                [this, combo, setting = def.setting] { OnComboLeft(combo, setting); });
    }
    comLpt->setToolTip(UiText::ToQt(Cs("Port, na který je tiskárna připojena")));

    AddButtons(page, {{&frmVexa::cmdPouzit, "cmdPouzit", "Použít", {4440, 2760, 975, 255}},
                      {&frmVexa::cmdPuvodni, "cmdPuvodni", "Původní", {5520, 2760, 975, 255}},
                      {&frmVexa::cmdDefault, "cmdDefault", "Defaultní", {6600, 2760, 855, 255}}});
    cmdPouzit->setEnabled(false);
    cmdPuvodni->setEnabled(false);

    connect(edVydejce, &TextBox::Change, this, &frmVexa::EnableSettingButtons);
    connect(edPlatnost, &TextBox::Change, this, &frmVexa::EnableSettingButtons);
    connect(chkPrevod, &CheckBox::Click, this, &frmVexa::EnableSettingButtons);
    connect(chkSmer, &CheckBox::Click, this, &frmVexa::EnableSettingButtons);
    connect(edVydejce, &TextBox::LostFocus, this, [this] { Capitalize(edVydejce); });
    connect(cmdPouzit, &Button::Click, this, &frmVexa::OnPouzit);
    connect(cmdPuvodni, &Button::Click, this, &frmVexa::OnPuvodni);
    connect(cmdDefault, &Button::Click, this, &frmVexa::OnDefault);
}

// ---- Settings tab ---------------------------------------------------------------------------

void frmVexa::ShowSettings() {
    edVydejce->SetText(m_config.Text(cfg::Vydejce));
    edPlatnost->SetText(m_config.Text(cfg::Platnost));
    // The print queues as the system has them now.
    while (comLpt->ListCount() > static_cast<int>(std::size(kPortItems)))
        comLpt->removeItem(comLpt->ListCount() - 1);
    for (const std::string& queue : QueuePortOpener::QueuePorts())
        comLpt->AddItem(queue);
    comLpt->SetText(m_config.Text(cfg::Port));
    chkPrevod->SetValue(m_config.Number(cfg::Prevod) != 0 ? 1 : 0);
    chkSmer->SetValue(m_config.Number(cfg::SmerTisku) != 0 ? 1 : 0);
    comFont->SetText(m_config.Text(cfg::FontSize));
    comZpusobTisku->SetText(Cs(kMethodItems[m_config.Number(cfg::ZpusobTisku) == 0 ? 0 : 1]));
}

void frmVexa::EnableSettingButtons() {
    cmdPuvodni->setEnabled(true);
    cmdPouzit->setEnabled(true);
}

bool frmVexa::Differs(cfg::Setting setting, int index, const std::string& text) const {
    return setting == cfg::ZpusobTisku ? index != m_config.Number(cfg::ZpusobTisku)
                                       : text != m_config.Text(setting);
}

void frmVexa::OnComboLeft(ComboBox* combo, cfg::Setting setting) {
    // Typed text enables the buttons only when it names an item that differs.
    const std::string text = combo->Text();
    for (int i = 0; i < combo->ListCount(); ++i) {
        if (combo->List(i) == text && Differs(setting, i, text)) {
            EnableSettingButtons();
            return;
        }
    }
}

void frmVexa::OnPouzit() {
    m_config.Set(cfg::Vydejce, edVydejce->Text());
    m_config.Set(cfg::Platnost, edPlatnost->Text());
    m_config.Set(cfg::Port, comLpt->Text());
    m_config.Set(cfg::Prevod, chkPrevod->Value() != 0 ? "1" : "0");
    m_config.Set(cfg::SmerTisku, chkSmer->Value() != 0 ? "1" : "0");
    m_config.Set(cfg::FontSize, comFont->Text());
    const std::string method = comZpusobTisku->Text();
    if (method == Cs(kMethodItems[0])) {
        m_config.Set(cfg::ZpusobTisku, "0");
    } else if (method == Cs(kMethodItems[1])) {
        m_config.Set(cfg::ZpusobTisku, "1");
    }
    cmdPuvodni->setEnabled(false);
    cmdPouzit->setEnabled(false);
    StoreSettings();
}

void frmVexa::OnPuvodni() {
    ShowSettings();
    cmdPouzit->setEnabled(false);
}

void frmVexa::OnDefault() {
    m_config.ResetSettings();
    StoreSettings();
    ShowSettings();
    cmdPouzit->setEnabled(false);
    cmdPuvodni->setEnabled(false);
}

}  // namespace vexa
