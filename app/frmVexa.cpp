#include "app/frmVexa.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QShowEvent>
#include <QTimer>
#include <cstdlib>
#include <span>

#include "children/frmDeti.h"
#include "platform/Cp1250.h"
#include "platform/Dates.h"
#include "platform/Numbers.h"
#include "platform/RegistryHive.h"
#include "platform/ui/UiText.h"
#include "printing/forms/frmNahled.h"
#include "printing/forms/frmSelSabl.h"
#include "printing/forms/frmTisk.h"
#include "settings/Misc.h"

namespace vexa {

namespace {

const char* const kMethodItems[] = {"Naváděcích bodů", "Šablony"};
// The last is the preview: the page is shown on the screen instead of being printed.
const char* const kPortItems[] = {"lpt1", "lpt2", "lpt3", "com1", "com2", "náhled"};
const char* const kFontItems[] = {"10 cpi", "12 cpi", "15 cpi"};

// The title of the program's own questions.
constexpr const char* kAppTitle = "Vexa";
constexpr const char* kIncompleteForPrint = "Musíte vyplnit všechny položky!";

// The installed icon, built into the program as a resource; drawing it needs Qt's SVG icon
// engine (libqt6svg6).
QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/icons/cz.lomar.Vexa.svg"));
}

}  // namespace

frmVexa::frmVexa(Config& config, std::string archiveDir, MessageBox& messages, PortOpener& devices,
                 QWidget* parent)
    : Form(parent),
      m_config(config),
      m_archiveDir(std::move(archiveDir)),
      m_messages(messages),
      m_ports(devices, [this](std::string bytes) { ShowPreview(std::move(bytes)); }) {
    setObjectName(QStringLiteral("frmVexa"));
    setWindowTitle(UiText::ToQt(Cs(kCaption)));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(ProgramIcon());
    SetClientSize(8055, 3480);

    VexaMainTab = new TabControl(QStringLiteral("VexaMainTab"), this);
    Place(VexaMainTab, 120, 120, 7815, 3255);
    VexaMainTab->SetTabHeight(Px(345));
    BuildHolderTab(VexaMainTab->AddTab(Cs("Uživatelská data")));
    BuildArchiveTab(VexaMainTab->AddTab(Cs("Archív")));
    BuildSettingsTab(VexaMainTab->AddTab(Cs("Nastavení")));
    connect(VexaMainTab, &TabControl::Click, this, &frmVexa::OnTabClick);
    SetTabOrder();
    FitCaptions();
    // No text of the record may hold the archive's field separator.
    const std::string separator(1, ClientsDataCls::kSeparator);
    for (TextBox* box : findChildren<TextBox*>())
        box->SetRefused(separator);
    for (ComboBox* combo : findChildren<ComboBox*>())
        combo->SetRefused(separator);

    FormLoad();
}

frmVexa::~frmVexa() {
    // The dialogs work on this window's record and settings.
    delete m_deti;
    delete m_frmTisk;
    delete m_frmSelSabl;
}

void frmVexa::AddLabels(QWidget* page, std::initializer_list<LabelDef> labels) {
    for (const LabelDef& label : labels)
        Add<Label>(page, label.name, label.at, Cs(label.caption));
}

void frmVexa::AddTextBoxes(QWidget* page, std::initializer_list<TextBoxDef> boxes) {
    for (const TextBoxDef& box : boxes) {
        this->*box.box = Add<TextBox>(page, box.name, box.at);
        (this->*box.box)->SetMaxLength(box.maxLength);
    }
}

void frmVexa::AddButtons(QWidget* page, std::initializer_list<ButtonDef> buttons) {
    for (const ButtonDef& button : buttons)
        this->*button.button = Add<Button>(page, button.name, button.at, Cs(button.caption));
}

void frmVexa::BuildHolderTab(QWidget* page) {
    AddLabels(page, {{"lPrijmeni", "Příjmení:", {480, 690, 735, 255}},
                     {"lJmeno", "Jméno:", {480, 1050, 615, 255}},
                     {"lRC", "RČ:", {480, 1410, 375, 255}},
                     {"lSlash", "/", {2400, 1410, 135, 255}},
                     {"lMistoNarozeni", "Místo narození:", {480, 1770, 1095, 255}},
                     {"lCisloPasu", "Číslo pasu:", {480, 2130, 855, 255}},
                     {"lDatumNarozeni", "Datum narození:", {4200, 690, 1215, 255}},
                     {"lSex", "Pohlaví:", {4200, 1050, 1095, 255}},
                     {"lDenVydani", "Datum vydání:", {4200, 1410, 1095, 255}},
                     {"lPlatnostDo", "Platnost do:", {4200, 1770, 975, 255}},
                     {"lVydavatel", "Pas vydal:", {4200, 2130, 855, 255}}});
    AddTextBoxes(page,
                 {{&frmVexa::edPrijmeni, "edPrijmeni", {1680, 690, 1695, 285}},
                  {&frmVexa::edJmeno, "edJmeno", {1680, 1050, 1695, 285}},
                  {&frmVexa::edRC_date, "edRC_date", {1680, 1410, 650, 285}, 6},
                  {&frmVexa::edRC_rest, "edRC_rest", {2520, 1410, 480, 285}, 4},
                  {&frmVexa::edMistoNarozeni, "edMistoNarozeni", {1680, 1770, 1695, 285}},
                  {&frmVexa::edCisloPasu, "edCisloPasu", {1680, 2130, 1695, 285}},
                  {&frmVexa::edDN_Den, "edDN_Den", {5520, 690, 375, 285}, 2},
                  {&frmVexa::edDN_Mesic, "edDN_Mesic", {6000, 690, 375, 285}, 2},
                  {&frmVexa::edDN_Rok, "edDN_Rok", {6480, 690, 750, 285}, 4},
                  {&frmVexa::edDatumVydani, "edDatumVydani", {5520, 1410, 1695, 285}},
                  {&frmVexa::edDatumZneplatneni, "edDatumZneplatneni", {5520, 1770, 1695, 285}},
                  {&frmVexa::edPasVydal, "edPasVydal", {5520, 2160, 1695, 285}}});
    comSex = Add<ComboBox>(page, "comSex", {5520, 1050, 495, 315});
    AddButtons(page, {{&frmVexa::cmdUlozit, "cmdUlozit", "Uložit", {4440, 2760, 975, 255}},
                      {&frmVexa::cmdTisk, "cmdTisk", "Tisk", {5520, 2760, 975, 255}},
                      {&frmVexa::cmdSmazat, "cmdSmazat", "Smazat", {6600, 2760, 975, 255}},
                      {&frmVexa::cmdDeti, "cmdDeti", "Děti", {480, 2760, 1095, 255}}});

    for (TextBox* b : {edPrijmeni, edJmeno, edMistoNarozeni, edPasVydal}) {
        connect(b, &TextBox::LostFocus, this, [this, b] { Capitalize(b); });
    }
    connect(edRC_rest, &TextBox::LostFocus, this, &frmVexa::OnRcRestLostFocus);
    connect(cmdUlozit, &Button::Click, this, &frmVexa::OnUlozit);
    connect(cmdSmazat, &Button::Click, this, &frmVexa::OnSmazat);
    connect(cmdTisk, &Button::Click, this, &frmVexa::OnTisk);
    connect(cmdDeti, &Button::Click, this, &frmVexa::OnDeti);
}

void frmVexa::BuildArchiveTab(QWidget* page) {
    ArchiveList = Add<ListView>(page, "ArchiveList", {0, 360, 7815, 2175});
    AddButtons(page, {{&frmVexa::cmdEdit, "cmdEdit", "Editovat", {5520, 2760, 975, 255}},
                      {&frmVexa::cmdOdebrat, "cmdOdebrat", "Odebrat", {6600, 2760, 975, 255}}});
    cmdEdit->setEnabled(false);
    cmdOdebrat->setEnabled(false);

    connect(ArchiveList, &ListView::ColumnClick, this, &frmVexa::OnColumnClick);
    connect(ArchiveList, &ListView::Click, this, [this] {
        cmdEdit->setEnabled(true);
        cmdOdebrat->setEnabled(true);
    });
    connect(ArchiveList, &ListView::DblClick, this, &frmVexa::OnOpen);
    connect(cmdEdit, &Button::Click, this, &frmVexa::OnOpen);
    connect(cmdOdebrat, &Button::Click, this, &frmVexa::OnRemove);
}

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
        // As wide as the font's box, so the preview port "náhled" shows whole.
        {&frmVexa::comLpt, "comLpt", {5520, 1680, 975, 315}, kPortItems, cfg::Port},
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

void frmVexa::SetTabOrder() {
    m_tabOrder = {VexaMainTab->Bar(),
                  edPrijmeni,
                  edJmeno,
                  edRC_date,
                  edRC_rest,
                  edMistoNarozeni,
                  edCisloPasu,
                  edDN_Den,
                  edDN_Mesic,
                  edDN_Rok,
                  comSex,
                  edDatumVydani,
                  edDatumZneplatneni,
                  edPasVydal,
                  cmdUlozit,
                  cmdTisk,
                  cmdSmazat,
                  cmdEdit,
                  cmdOdebrat,
                  ArchiveList,
                  edVydejce,
                  edPlatnost,
                  chkPrevod,
                  comZpusobTisku,
                  comLpt,
                  cmdPouzit,
                  cmdPuvodni,
                  cmdDefault,
                  cmdDeti,
                  comFont,
                  chkSmer};
    for (std::size_t i = 1; i < m_tabOrder.size(); ++i)
        QWidget::setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}

void frmVexa::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The clerk can type at once: the caret stands in the first control of the tab order that
    // can take it (the tab strip itself is left to the mouse and the Tab key).
    for (QWidget* control : m_tabOrder) {
        if (control != VexaMainTab->Bar() && control->isVisibleTo(this) && control->isEnabled() &&
            (control->focusPolicy() & Qt::TabFocus) != 0) {
            control->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// ---- Start-up and exit ---------------------------------------------------------------------

void frmVexa::FormLoad() {
    m_config.InitSettings();
    ShowSettings();
    m_archive = std::make_unique<ArchiveCls>(m_config.Registry(), m_archiveDir);
    CurUserData = ClientsDataCls();
    WarnAboutSettingsFiles();
    if (!m_archive->LocationUnknown())
        TakeArchiveLock();
    // Only the copy that holds the archive's lock reads it; a second copy ends untouched.
    FileResult loaded = m_refused ? FileResult::Ok() : m_archive->Load();
    if (!loaded.ok) {
        // The file stays as it is: saving at the end will not overwrite it.
        m_messages.ShowWarning(this, Cs("Archiv se nepodařilo načíst ze souboru ") +
                                         UiText::PathText(m_archive->FileName) + Cs(" (") +
                                         loaded.error +
                                         Cs("). Program tento soubor nepřepíše; záznamy uložené "
                                            "v tomto běhu se do něj nezapíší."));
    }
    ListInit();
    UserFields = {edPrijmeni,      edJmeno,     edRC_date,     edRC_rest,
                  edDN_Den,        edDN_Mesic,  edDN_Rok,      comSex,
                  edMistoNarozeni, edCisloPasu, edDatumVydani, edDatumZneplatneni,
                  edPasVydal};
    VexaMainTab->SetTab(0);
    ShowUserData();
}

void frmVexa::closeEvent(QCloseEvent* event) {
    FormUnload();
    event->accept();
}

void frmVexa::FormUnload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    for (QPointer<QWidget>& preview : m_previews) {
        if (preview)
            preview->close();
    }
    for (Form* dialog : std::initializer_list<Form*>{m_frmTisk, m_frmSelSabl}) {
        if (dialog != nullptr && dialog->isVisible())
            dialog->close();
    }
    if (m_deti)
        m_deti->close();
    if (m_refused)
        return;
    AskSaveChanges();
    StoreSettings();
    SaveArchiveAtExit();
}

void frmVexa::EndSession() {
    m_messages.Unattended();
    // A box waiting for an answer gets none; the window closes once its loop has ended.
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    QTimer::singleShot(0, this, [this] {
        close();
        QCoreApplication::quit();
    });
}

void frmVexa::WarnAboutSettingsFiles() {
    for (const HiveProblem& problem : m_config.Registry().Problems()) {
        const std::string file = UiText::PathText(problem.File);
        if (RegistryHive::NamesEqual(problem.Root, "HKEY_LOCAL_MACHINE")) {
            m_messages.ShowWarning(this, Cs("Nastavení instalace ze souboru ") + file +
                                             Cs(" nelze přečíst (") + problem.Reason +
                                             Cs("). Není proto známo, kde je archiv: záznamy se "
                                                "v tomto běhu nikam neuloží."));
        } else if (problem.ValuesRead) {
            m_messages.ShowWarning(this, Cs("Nastavení ze souboru ") + file +
                                             Cs(" bylo načteno, ale program do něj nemůže "
                                                "zapisovat (") +
                                             problem.Reason +
                                             Cs("). Změny nastavení se neuloží; soubor zůstane, "
                                                "jak je."));
        } else {
            m_messages.ShowWarning(this, Cs("Nastavení ze souboru ") + file +
                                             Cs(" nelze přečíst (") + problem.Reason +
                                             Cs("). Program poběží s výchozím nastavením a tento "
                                                "soubor nepřepíše."));
        }
    }
}

void frmVexa::TakeArchiveLock() {
    const std::string archive = UiText::PathText(m_archive->FileName);
    m_lock = std::make_unique<ArchiveLock>(m_archive->FileName);
    switch (m_lock->Result()) {
        case ArchiveLock::State::Held:
            break;
        case ArchiveLock::State::HeldByOther:
            m_refused = true;
            m_messages.ShowWarning(
                this, Cs("Archiv ") + archive +
                          Cs(" právě používá jiná spuštěná kopie programu (uživatel ") +
                          m_lock->User() + Cs(", počítač ") + m_lock->Host() + Cs(", od ") +
                          m_lock->Since() +
                          Cs("). Aby se záznamy nepřepsaly, tato kopie programu se ukončí a nic "
                             "neuloží. Pokud žádná jiná kopie neběží, smažte soubor ") +
                          UiText::PathText(m_lock->File()) + Cs("."));
            break;
        case ArchiveLock::State::Impossible:
            m_messages.ShowWarning(this, Cs("Archiv ") + archive +
                                             Cs(" nelze pro tento běh zamknout (") +
                                             m_lock->Reason() +
                                             Cs("). Záznamy se v tomto běhu do archivu "
                                                "neuloží."));
            break;
    }
}

bool frmVexa::ArchiveWritable() const {
    return !m_refused && !m_archive->LocationUnknown() && !m_archive->LoadFailed() && m_lock &&
           m_lock->Result() == ArchiveLock::State::Held;
}

bool frmVexa::StoreArchive() {
    if (!ArchiveWritable())
        return false;
    const FileResult saved = m_archive->Save();
    if (!saved.ok) {
        m_messages.ShowWarning(this, ArchiveNotSaved(saved.error) +
                                         Cs(". Záznamy zůstávají v paměti programu; program je "
                                            "zkusí uložit znovu při další změně a při "
                                            "ukončení."));
    }
    return saved.ok;
}

std::string frmVexa::ArchiveNotSaved(const std::string& reason) const {
    return Cs("Archiv se nepodařilo uložit do souboru ") + UiText::PathText(m_archive->FileName) +
           Cs(" (") + reason + Cs(")");
}

void frmVexa::StoreSettings() {
    if (m_refused)
        return;
    const FileResult saved = m_config.SaveSettings();
    // A settings file the program does not rewrite was told about at start.
    if (saved.ok || m_config.Registry().Problem("HKEY_CURRENT_USER"))
        return;
    m_messages.ShowWarning(
        this, Cs("Nastavení se nepodařilo uložit do souboru ") +
                  UiText::PathText(m_config.Registry().FileOf("HKEY_CURRENT_USER")) + Cs(" (") +
                  saved.error +
                  Cs("). Zůstává v paměti programu; program je zkusí uložit znovu při další "
                     "změně nastavení a při ukončení."));
}

void frmVexa::SaveArchiveAtExit() {
    if (!ArchiveWritable()) {
        // Nothing is written where this run may not write.
        if (m_refused || !m_archive->Changed())
            return;
        if (m_archive->LoadFailed()) {
            // The file could not be read at start; it is never overwritten.
            m_messages.ShowWarning(
                this, Cs("Archiv nebyl uložen: soubor ") + UiText::PathText(m_archive->FileName) +
                          Cs(" se při spuštění nepodařilo načíst, a proto nebyl přepsán. "
                             "Změny archivu od spuštění programu nebyly uloženy."));
        } else {
            m_messages.ShowWarning(this, Cs("Změny archivu od spuštění programu nebyly uloženy: "
                                            "archiv se v tomto běhu do souboru uložit nedal."));
        }
        return;
    }
    for (;;) {
        FileResult saved = m_archive->Save();
        if (saved.ok)
            return;
        bool again = m_messages.AskYesNo(this, Cs("Varování"),
                                         ArchiveNotSaved(saved.error) + Cs(". Zkusit to znovu?"),
                                         MessageBox::Icon::Warning);
        if (!again)
            return;
    }
}

void frmVexa::ShowPreview(std::string bytes) {
    // A window of its own, not a child of this one: it stays usable while a dialog has this
    // window disabled.
    auto* preview = new frmNahled(std::move(bytes), m_messages);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    std::erase_if(m_previews, [](const QPointer<QWidget>& p) { return p.isNull(); });
    m_previews.emplace_back(preview);
    preview->show();
    preview->raise();
    preview->activateWindow();
}

void frmVexa::Warn(const std::string& message) {
    m_messages.ShowWarning(this, message);
}

// ---- Tab switch -----------------------------------------------------------------------------

void frmVexa::OnTabClick(int previousTab) {
    if (previousTab == 0) {
        GetUserData();
        AskSaveChanges();
    }
    switch (VexaMainTab->Tab()) {
        case 0:
            ShowUserData();
            break;
        case 1:
            cmdEdit->setEnabled(false);
            cmdOdebrat->setEnabled(false);
            break;
        case 2:
            ShowSettings();
            cmdPuvodni->setEnabled(false);
            cmdPouzit->setEnabled(false);
            break;
        default:
            break;
    }
}

// ---- Holder-data tab ------------------------------------------------------------------------

bool frmVexa::PrevodOn() const {
    return m_config.Number(cfg::Prevod) != 0;
}

void frmVexa::Capitalize(TextBox* box) {
    if (!PrevodOn())
        return;
    std::string upper = Cp1250::ToUpper(box->Text());
    if (upper != box->Text())
        box->SetText(upper);
}

void frmVexa::OnRcRestLostFocus() {
    std::string date = edRC_date->Text();
    std::string rest = edRC_rest->Text();
    bool valid = !date.empty() && !rest.empty() && Misc::IsValidRC(date, rest);
    if (valid) {
        SetDate(date, rest);
    } else {
        edRC_date->SetSelection(0, static_cast<int>(edRC_date->text().size()));
        edRC_date->SetFocus();
    }
}

void frmVexa::SetDate(const std::string& rcDate, const std::string& rcRest) {
    std::string birth = Misc::GetBirthDateFromRC(rcDate + "/" + rcRest);
    // At most three pieces: day, month and the rest as the year.
    std::string pieces[3];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        std::size_t dot = i < 2 ? birth.find('.', start) : std::string::npos;
        if (dot == std::string::npos) {
            pieces[i] = birth.substr(start);
            break;
        }
        pieces[i] = birth.substr(start, dot - start);
        start = dot + 1;
    }
    edDN_Den->SetText(pieces[0]);
    edDN_Mesic->SetText(pieces[1]);
    edDN_Rok->SetText(pieces[2]);
    comSex->SetText(Misc::IsMaleRC(rcDate) ? "M" : "F");
}

bool frmVexa::ValidateUserData(std::string_view incomplete) {
    for (TextControl* field : UserFields) {
        if (Misc::IsEmptyText(field->Text())) {
            field->SetSelection(0, 0);
            field->SetFocus();
            if (!incomplete.empty())
                m_messages.ShowWarning(this, incomplete);
            return false;
        }
    }
    // The birth number is checked when its rest is left; a date part changed afterwards must
    // not reach the archive or the printer unchecked.
    if (!Misc::IsValidRC(edRC_date->Text(), edRC_rest->Text())) {
        edRC_date->SetSelection(0, static_cast<int>(edRC_date->text().size()));
        edRC_date->SetFocus();
        m_messages.ShowWarning(this, Cs("Rodné číslo není platné!"));
        return false;
    }
    GetUserData();
    return true;
}

void frmVexa::GetUserData() {
    CurUserData.CisloPasu = edCisloPasu->Text();
    CurUserData.Prijmeni = edPrijmeni->Text();
    CurUserData.Jmeno = edJmeno->Text();
    if (!Misc::IsEmptyText(edRC_date->Text())) {
        CurUserData.rc = edRC_date->Text() + "/" + edRC_rest->Text();
    }
    CurUserData.MistoNarozeni = edMistoNarozeni->Text();
    CurUserData.DatumVydani = edDatumVydani->Text();
    CurUserData.Platnost = edDatumZneplatneni->Text();
    CurUserData.Vydavatel = edPasVydal->Text();
}

void frmVexa::ShowUserData() {
    if (Misc::IsEmptyText(CurUserData.DatumVydani)) {
        CurUserData.DatumVydani = Dates::Format(Dates::Today());
    }
    if (Misc::IsEmptyText(CurUserData.Platnost)) {
        // An unreadable issue date or validity period leaves the expiry date for the clerk.
        CurUserData.Platnost =
            Misc::ExpiryDate(CurUserData.DatumVydani, m_config.Text(cfg::Platnost));
    }
    if (Misc::IsEmptyText(CurUserData.Vydavatel)) {
        CurUserData.Vydavatel = m_config.Text(cfg::Vydejce);
    }
    edPrijmeni->SetText(CurUserData.Prijmeni);
    edJmeno->SetText(CurUserData.Jmeno);
    if (!Misc::IsEmptyText(CurUserData.rc)) {
        std::size_t slash = CurUserData.rc.find('/');
        if (slash == std::string::npos) {
            // A hand-edited number without the separator is shown whole, never cut.
            edRC_date->SetText(CurUserData.rc);
            edRC_rest->SetText(std::string());
        } else {
            std::string date = CurUserData.rc.substr(0, slash);
            std::string rest = CurUserData.rc.substr(slash + 1);
            edRC_date->SetText(date);
            edRC_rest->SetText(rest);
            if (!date.empty() && !rest.empty() && Misc::IsValidRC(date, rest))
                SetDate(date, rest);
        }
    } else {
        edRC_date->SetText(std::string());
        edRC_rest->SetText(std::string());
    }
    edMistoNarozeni->SetText(CurUserData.MistoNarozeni);
    edCisloPasu->SetText(CurUserData.CisloPasu);
    edDatumVydani->SetText(CurUserData.DatumVydani);
    edDatumZneplatneni->SetText(CurUserData.Platnost);
    edPasVydal->SetText(CurUserData.Vydavatel);
}

// ---- Save and clear -------------------------------------------------------------------------

void frmVexa::OnUlozit() {
    if (!ValidateUserData(Cs("Záznam nebyl uložen!")))
        return;
    ClientsDataCls* stored = m_archive->FindItem(CurUserData, 0);
    if (stored == nullptr) {
        m_archive->Add(CurUserData);
        AddToList(m_archive->Pocet() - 1);
        // The clerk hears of success only when the record reached the file.
        if (StoreArchive())
            m_messages.ShowInfo(this, Cs("Záznam byl úspěšně uložen"));
        else if (!ArchiveWritable())
            WarnKeptInMemory();
        return;
    }
    if (stored->Comp(CurUserData))
        return;
    if (m_messages.AskYesNo(this, Cs("Varování"),
                            Cs("Pas s číslem ") + stored->CisloPasu +
                                Cs(" již existuje. Chcete přesto změny uložit?"))) {
        UpdateArchived();
    }
}

void frmVexa::OnTisk() {
    if (!ValidateUserData(Cs(kIncompleteForPrint)))
        return;
    // A print dialog already open is brought to the front; a second one is never opened.
    for (Form* open : std::initializer_list<Form*>{m_frmTisk, m_frmSelSabl}) {
        if (open != nullptr && open->isVisible()) {
            open->ShowOver(this, false);
            return;
        }
    }
    // The dialogs print the record as the clerk sees it when the data page is printed.
    PrintDialog::Context context{*this,
                                 m_config,
                                 m_ports,
                                 m_messages,
                                 [this]() -> const ClientsDataCls* {
                                     return ValidateUserData(Cs(kIncompleteForPrint)) ? &CurUserData
                                                                                      : nullptr;
                                 },
                                 [this] { StoreSettings(); }};
    const double method = m_config.Number(cfg::ZpusobTisku);
    Form* dialog = nullptr;
    if (method == 0.0) {
        dialog = m_frmTisk = new frmTisk(std::move(context));
    } else if (method == 1.0) {
        dialog = m_frmSelSabl = new frmSelSabl(std::move(context));
    } else {
        return;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->ShowOver(this, method == 0.0);
}

void frmVexa::ClearUserData() {
    CurUserData.Clear();
    edDN_Den->SetText(std::string());
    edDN_Mesic->SetText(std::string());
    edDN_Rok->SetText(std::string());
    comSex->SetText(std::string());
    edPrijmeni->SetFocus();
}

void frmVexa::OnSmazat() {
    ClearUserData();
    ShowUserData();
}

void frmVexa::OnDeti() {
    // No check first: the children of an incomplete or unsaved record can be kept too. A
    // dialog that was closed is gone once its deletion comes round; a new one starts afresh.
    if (!m_deti || !m_deti->isVisible()) {
        m_deti = new frmDeti(
            this, CurUserData, [this] { return edPrijmeni->Text(); }, m_config, m_messages,
            m_ports);
        m_deti->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_deti->ShowOver(this, true);
}

void frmVexa::AskSaveChanges() {
    if (!ValidateUserData())
        return;
    ClientsDataCls* stored = m_archive->FindItem(CurUserData, 0);
    if (stored == nullptr || stored->Comp(CurUserData))
        return;
    if (m_messages.AskYesNo(this, Cs(kAppTitle), Cs("Záznam byl změněn. Chcete jej uložit?")))
        UpdateArchived();
}

void frmVexa::UpdateArchived() {
    m_archive->Update(CurUserData);
    ChangeList();
    if (StoreArchive())
        m_messages.ShowInfo(this, Cs("Záznam byl uložen"));
    else if (!ArchiveWritable())
        WarnKeptInMemory();
}

void frmVexa::WarnKeptInMemory() {
    m_messages.ShowWarning(this, Cs("Záznam je uložen jen v paměti programu: archiv se v tomto "
                                    "běhu do souboru uložit nedá."));
}

// ---- Archive tab ----------------------------------------------------------------------------

std::string frmVexa::RowKey(const ClientsDataCls& record) {
    // A key must not start with a digit, so every key gets a letter in front.
    return "x" + record.CisloPasu;
}

std::vector<std::string> frmVexa::RowTexts(const ClientsDataCls& record) const {
    return {record.CisloPasu, record.Prijmeni, record.Jmeno, record.rc};
}

void frmVexa::ListInit() {
    ColumnsInit();
    LoadList();
}

void frmVexa::ColumnsInit() {
    const double width = 7815.0 / 4.0 - 15.0;
    ArchiveList->AddColumn("cp", Cs("Číslo pasu"), Px(width));
    ArchiveList->AddColumn("pr", Cs("Příjmení"), Px(width));
    ArchiveList->AddColumn("jm", Cs("Jméno"), Px(width));
    ArchiveList->AddColumn("rc", Cs("Rodné číslo"), Px(width));
    ArchiveList->SetSortKey(0);
}

bool frmVexa::LoadList() {
    // Rows go in as a batch and are sorted once. Two records with the same document number
    // (a hand-edited file) both get their row: each row is found by its slot, not its key.
    ArchiveList->BeginUpdate();
    ArchiveList->Reserve(ArchiveList->ListCount() + m_archive->Pocet());
    for (int i = 0; i < m_archive->Pocet(); ++i) {
        const ClientsDataCls* record = m_archive->GetItem(i);
        if (record == nullptr)
            continue;
        ArchiveList->AddItem(RowKey(*record), RowTexts(*record), i);
    }
    ArchiveList->EndUpdate();
    return true;
}

void frmVexa::AddToList(int index) {
    ArchiveList->AddItem(RowKey(CurUserData), RowTexts(CurUserData), index);
}

void frmVexa::ChangeList() {
    // The row of the record Update changed: the first slot holding this document number.
    const ClientsDataCls* stored = m_archive->FindItem(CurUserData, 0);
    if (stored == nullptr)
        return;
    for (int i = 0; i < m_archive->Pocet(); ++i) {
        if (m_archive->GetItem(i) != stored)
            continue;
        if (auto row = ArchiveList->FindTag(i)) {
            ArchiveList->SetItem(*row, RowKey(CurUserData), RowTexts(CurUserData));
        }
        return;
    }
}

void frmVexa::OnColumnClick(int columnIndex) {
    ArchiveList->SetSortKey(columnIndex - 1);
}

void frmVexa::OnOpen() {
    auto row = ArchiveList->SelectedItem();
    if (!row)
        return;
    auto record = m_archive->Item(static_cast<int>(ArchiveList->Tag(*row)));
    if (!record)
        return;
    CurUserData = std::move(*record);
    VexaMainTab->SetTab(0);
    edPrijmeni->SetFocus();
}

void frmVexa::OnRemove() {
    auto row = ArchiveList->SelectedItem();
    if (!row)
        return;
    m_archive->Remove(static_cast<int>(ArchiveList->Tag(*row)));
    ArchiveList->RemoveItem(*row);
    StoreArchive();
    // No row is chosen after a removal: the next one is removed only when the clerk picks it.
    cmdEdit->setEnabled(false);
    cmdOdebrat->setEnabled(false);
}

// ---- Settings tab ---------------------------------------------------------------------------

void frmVexa::ShowSettings() {
    edVydejce->SetText(m_config.Text(cfg::Vydejce));
    edPlatnost->SetText(m_config.Text(cfg::Platnost));
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
