#include "app/frmVexa.h"

#include "children/frmDeti.h"
#include "platform/Cp1250.h"
#include "platform/Dates.h"
#include "printing/forms/frmSelSabl.h"
#include "printing/forms/frmTisk.h"
#include "settings/Misc.h"

// The main window's holder-data tab: the holder's fields, Uložit, Tisk, Smazat and Děti.
namespace vexa {

namespace {

// The title of the program's own questions.
constexpr const char* kAppTitle = "Vexa";
constexpr const char* kIncompleteForPrint = "Musíte vyplnit všechny položky!";

}  // namespace

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
    if (UsesDatabase()) {
        SaveShared();
        return;
    }
    const int stored = m_archive->FindItem(CurUserData, 0);
    if (stored < 0) {
        AddToList(m_archive->Add(CurUserData));
        // The clerk hears of success only when the record reached the disk.
        if (StoreArchive())
            m_messages.ShowInfo(this, Cs("Záznam byl úspěšně uložen"));
        else if (!ArchiveWritable())
            WarnKeptInMemory();
        return;
    }
    if (m_archive->Line(stored) == CurUserData.GetDataAsLine())
        return;
    if (AskExisting(m_archive->Field(stored, 0)))
        UpdateArchived();
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
    m_opened = {};
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
    SharedTarget target;
    if (UsesDatabase()) {
        if (!TakeInDatabase() || m_databaseAway)
            return;
        target = TargetOnScreen();
    } else {
        target.slot = m_archive->FindItem(CurUserData, 0);
        target.before = m_archive->Line(target.slot);
    }
    if (target.slot < 0 || target.before == CurUserData.GetDataAsLine())
        return;
    if (!m_messages.AskYesNo(this, Cs(kAppTitle), Cs("Záznam byl změněn. Chcete jej uložit?")))
        return;
    if (UsesDatabase())
        WriteShared(target.slot, target.expected);
    else
        UpdateArchived();
}

bool frmVexa::AskExisting(std::string_view number) {
    return m_messages.AskYesNo(this, Cs("Varování"),
                               Cs("Pas s číslem ") + std::string(number) +
                                   Cs(" již existuje. Chcete přesto změny uložit?"));
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

}  // namespace vexa
