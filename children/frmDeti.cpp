#include "children/frmDeti.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QShowEvent>

#include "children/DetiRules.h"
#include "platform/Cp1250.h"
#include "platform/Dates.h"
#include "platform/ui/UiText.h"
#include "printing/ChildrenPageJob.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"

namespace vexa {

frmDeti::frmDeti(QWidget* owner, ClientsDataCls& record, std::function<std::string()> ownerSurname,
                 const Config& config, MessageBox& messages, PortOpener& ports)
    : Form(nullptr),
      m_owner(owner),
      m_record(record),
      m_ownerSurname(std::move(ownerSurname)),
      m_config(config),
      m_messages(messages),
      m_ports(ports),
      m_decimal(LocaleDecimal::FromUserLocale()) {
    setObjectName(QStringLiteral("frmDeti"));
    setWindowTitle(UiText::ToQt(Cs(kCaption)));
    SetBorder(Border::FixedDialog);
    SetClientSize(6600, 2955);
    BuildControls();
    FitCaptions();
    FormLoad();
}

frmDeti::~frmDeti() {
    Unload();
}

void frmDeti::BuildControls() {
    DetiList = Add<ListView>(this, "DetiList", {120, 0, 5175, 1935});
    LDJmeno = Add<Label>(this, "LDJmeno", {120, 2160, 615, 255}, Cs("Jméno:"));
    edJmeno = Add<TextBox>(this, "edJmeno", {840, 2160, 1335, 285});
    LDPrijmeni = Add<Label>(this, "LDPrijmeni", {2880, 2160, 615, 255}, Cs("Příjmení:"));
    edPrijmeni = Add<TextBox>(this, "edPrijmeni", {3600, 2160, 1695, 285});
    LDPohlavi = Add<Label>(this, "LDPohlavi", {120, 2520, 615, 255}, Cs("Pohlaví:"));
    comSex = Add<ComboBox>(this, "comSex", {840, 2520, 495, 315});
    comSex->AddItem("M");
    comSex->AddItem("F");
    LDDatumNarozeni =
        Add<Label>(this, "LDDatumNarozeni", {2340, 2520, 1215, 255}, Cs("Datum narození:"));
    edDen = Add<TextBox>(this, "edDen", {3600, 2520, 375, 285});
    edDen->SetMaxLength(2);
    edMesic = Add<TextBox>(this, "edMesic", {4080, 2520, 375, 285});
    edMesic->SetMaxLength(2);
    edRok = Add<TextBox>(this, "edRok", {4560, 2520, 750, 285});
    edRok->SetMaxLength(4);
    const struct {
        Button* frmDeti::*button;
        const char* name;
        const char* caption;
        int top;
    } buttons[] = {{&frmDeti::cmdPridat, "cmdPridat", "Přidat", 120},
                   {&frmDeti::cmdOdebrat, "cmdOdebrat", "Odebrat", 480},
                   {&frmDeti::cmdTisk, "cmdTisk", "Tisk", 960},
                   {&frmDeti::cmdOK, "cmdOK", "OK", 1320},
                   {&frmDeti::cmdStorno, "cmdStorno", "Storno", 1680}};
    for (const auto& def : buttons) {
        this->*def.button =
            Add<Button>(this, def.name, {5400, def.top, 1095, 255}, Cs(def.caption));
    }

    QWidget* const order[] = {DetiList, edJmeno,   edPrijmeni, comSex,  edDen, edMesic,
                              edRok,    cmdPridat, cmdOdebrat, cmdTisk, cmdOK, cmdStorno};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    // No text of a child may hold the archive's field separator.
    const std::string separator(1, ClientsDataCls::kSeparator);
    for (TextBox* box : {edJmeno, edPrijmeni, edDen, edMesic, edRok})
        box->SetRefused(separator);
    comSex->SetRefused(separator);

    connect(edJmeno, &TextBox::LostFocus, this, [this] { OnNameLeft(edJmeno, Jmeno); });
    connect(edPrijmeni, &TextBox::LostFocus, this, [this] { OnNameLeft(edPrijmeni, Prijmeni); });
    connect(comSex, &ComboBox::Click, this, &frmDeti::OnSexClick);
    connect(comSex, &ComboBox::LostFocus, this, &frmDeti::OnSexLeft);
    connect(edDen, &TextBox::LostFocus, this, [this] { OnDateLeft(edDen, Den); });
    connect(edMesic, &TextBox::LostFocus, this, [this] { OnDateLeft(edMesic, Mesic); });
    connect(edRok, &TextBox::LostFocus, this, &frmDeti::OnRokLeft);
    connect(cmdPridat, &Button::Click, this, &frmDeti::OnPridat);
    connect(cmdOdebrat, &Button::Click, this, &frmDeti::OnOdebrat);
    connect(cmdTisk, &Button::Click, this, &frmDeti::OnTisk);
    connect(cmdOK, &Button::Click, this, [this] {
        StoreChildren();
        close();
    });
    connect(cmdStorno, &Button::Click, this, &QWidget::close);
}

// ---- Opening and closing --------------------------------------------------------------------

void frmDeti::FormLoad() {
    if (m_owner)
        m_owner->setEnabled(false);
    PrepareChildrensHeaders();
    // Every child of the record is listed, however many a hand-edited archive gave it.
    DetiList->BeginUpdate();
    std::vector<std::string> keys;
    for (int i = 0; i < m_record.PocetDeti(); ++i) {
        const std::array<std::string, 3> child = m_record.DetiGet(i);
        keys.push_back(DetiRules::UniqueKey(DetiRules::LoadedKey(child[1]), keys));
        DetiList->AddItem(keys.back(), {child[0], child[1], child[2]}, 0);
    }
    DetiList->EndUpdate();
    ClearInputs();
}

void frmDeti::PrepareChildrensHeaders() {
    const double w = kListWidth;
    DetiList->AddColumn("jm", Cs("Jméno"), Px(w / 2 - 15));
    DetiList->AddColumn("rk", Cs("Datum narození"), Px(w / 10 * 3 - 15));
    DetiList->AddColumn("sex", Cs("Pohlaví"), Px(w / 10 * 2 - 15));
    // Shown in birth-date order: the dates compare as dates, not as their texts.
    DetiList->SetSortText([](const std::string& rok) { return DetiRules::DateOrder(rok); });
    DetiList->SetSortKey(1);
    cmdPridat->setEnabled(false);
}

void frmDeti::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    DetiList->setFocus(Qt::TabFocusReason);
}

void frmDeti::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void frmDeti::hideEvent(QHideEvent* event) {
    Form::hideEvent(event);
    // Closed: the clerk goes on in the main window.
    if (m_unloaded && m_owner && !event->spontaneous())
        m_owner->activateWindow();
}

void frmDeti::Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_owner)
        m_owner->setEnabled(true);
}

// ---- Entry fields ---------------------------------------------------------------------------

void frmDeti::ClearInputs() {
    m_fieldValid.fill(false);
    edJmeno->SetText(std::string());
    const std::string surname = m_ownerSurname ? m_ownerSurname() : std::string();
    edPrijmeni->SetText(surname);
    if (!surname.empty())
        m_fieldValid[Prijmeni] = true;
    comSex->SetText(std::string());
    edDen->SetText(std::string());
    edRok->SetText(std::string());
    edMesic->SetText(std::string());
}

bool frmDeti::AllFieldsValid() const {
    for (bool valid : m_fieldValid) {
        if (!valid)
            return false;
    }
    return true;
}

void frmDeti::EnableWhenAllValid() {
    if (AllFieldsValid())
        cmdPridat->setEnabled(true);
}

bool frmDeti::PrevodOn() const {
    return m_config.Number(cfg::Prevod) != 0;
}

void frmDeti::OnNameLeft(TextBox* box, Field field) {
    m_fieldValid[field] = DetiRules::NameValid(box->Text());
    EnableWhenAllValid();
    if (PrevodOn()) {
        const std::string upper = Cp1250::ToUpper(box->Text());
        if (upper != box->Text())
            box->SetText(upper);
    }
}

void frmDeti::OnSexClick() {
    m_fieldValid[Sex] = DetiRules::SexChosen(comSex->Text());
    EnableWhenAllValid();
}

void frmDeti::OnSexLeft() {
    const std::string upper = Cp1250::ToUpper(comSex->Text());
    if (upper != comSex->Text())
        comSex->SetText(upper);
    std::vector<std::string> items;
    for (int i = 0; i < comSex->ListCount(); ++i)
        items.push_back(comSex->List(i));
    if (DetiRules::SexIsItem(upper, items)) {
        m_fieldValid[Sex] = true;
        EnableWhenAllValid();
    }
}

void frmDeti::OnDateLeft(TextBox* box, Field field) {
    const auto valid = field == Den ? DetiRules::DayValid(box->Text(), m_decimal)
                                    : DetiRules::MonthValid(box->Text(), m_decimal);
    if (valid)
        m_fieldValid[field] = *valid;
    EnableWhenAllValid();
}

void frmDeti::OnRokLeft() {
    m_fieldValid[Rok] = DetiRules::YearValid(edRok->Text(), m_decimal);
    EnableWhenAllValid();
}

// ---- Commands -------------------------------------------------------------------------------

std::vector<std::string> frmDeti::Keys() const {
    std::vector<std::string> keys;
    for (int row = 0; row < DetiList->ListCount(); ++row)
        keys.push_back(DetiList->Key(DetiList->ItemAt(row)));
    return keys;
}

void frmDeti::OnPridat() {
    const std::string jmeno = edJmeno->Text();
    bool found = false;
    for (int row = 0; row < DetiList->ListCount() && !found; ++row)
        found = DetiRules::FoundByName(DetiList->Text(DetiList->ItemAt(row), 0), jmeno);
    if (!found) {
        // What cannot become a row is refused with the fields as typed, for the clerk to
        // correct or to leave.
        if (DetiList->ListCount() >= DetiRules::kMaxRows) {
            m_messages.ShowWarning(this, Cs("V seznamu může být nejvýše ") +
                                             std::to_string(DetiRules::kMaxRows) +
                                             Cs(" dětí. Další dítě nelze přidat."));
            return;
        }
        const auto born = DetiRules::BirthDate(edDen->Text(), edMesic->Text(), edRok->Text());
        if (!born) {
            m_messages.ShowWarning(this, Cs("Datum narození není platné datum."));
            edDen->SetSelection(0, static_cast<int>(edDen->text().size()));
            edDen->SetFocus();
            return;
        }
        const std::string key = DetiRules::UniqueKey(DetiRules::AddedKey(jmeno, *born), Keys());
        DetiList->AddItem(
            key, {jmeno + " " + edPrijmeni->Text(), Dates::Format(*born), comSex->Text()}, 0);
    }
    ClearInputs();
    cmdPridat->setEnabled(false);
}

void frmDeti::OnOdebrat() {
    if (auto row = DetiList->SelectedItem())
        DetiList->RemoveItem(*row);
}

void frmDeti::StoreChildren() {
    std::vector<DetiRow> rows;
    for (int i = 0; i < DetiList->ListCount(); ++i) {
        const ListView::Id id = DetiList->ItemAt(i);
        rows.push_back({DetiList->Key(id), DetiList->Text(id, 0), DetiList->Text(id, 1),
                        DetiList->Text(id, 2)});
    }
    DetiRules::StoreChildren(m_record, rows);
}

void frmDeti::OnTisk() {
    // The record is updated now, whatever is answered and however the dialog closes later.
    StoreChildren();
    if (!m_messages.AskYesNo(this, Cs("Tisk"), Cs("Vytisknout data?")))
        return;
    ChildrenPageJob(m_config, m_ports, *this).PrintChildrenPage(m_record);
}

void frmDeti::Warn(const std::string& message) {
    m_messages.ShowWarning(this, message);
}

}  // namespace vexa
