#include "app/frmVexa.h"

#include "platform/Cp1250.h"

// The main window's archive tab: the list of archived records, Editovat and Odebrat.
namespace vexa {

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

}  // namespace vexa
