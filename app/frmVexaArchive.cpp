#include "app/frmVexa.h"

#include <QKeyEvent>

#include "app/ArchiveRows.h"
#include "platform/Cp1250.h"

// The main window's archive tab: the list of archived records, the search box, Vrátit,
// Editovat and Odebrat.
namespace vexa {

namespace {

// A count as the clerk reads it: thousands apart ("100 000").
std::string CountText(int count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ' ');
    return digits;
}

}  // namespace

void frmVexa::BuildArchiveTab(QWidget* page) {
    ArchiveList = Add<ListView>(page, "ArchiveList", {0, 360, 7815, 2175});
    AddLabels(page, {{"lHledat", "Hledat:", {0, 2790, 615, 255}}});
    AddTextBoxes(page, {{&frmVexa::edHledat, "edHledat", {660, 2745, 2295, 285}}});
    lPocet = Add<Label>(page, "lPocet", {3015, 2790, 1380, 255}, std::string());
    AddButtons(page, {{&frmVexa::cmdVratit, "cmdVratit", "Vrátit", {4440, 2760, 975, 255}},
                      {&frmVexa::cmdEdit, "cmdEdit", "Editovat", {5520, 2760, 975, 255}},
                      {&frmVexa::cmdOdebrat, "cmdOdebrat", "Odebrat", {6600, 2760, 975, 255}}});
    cmdEdit->setEnabled(false);
    cmdOdebrat->setEnabled(false);
    cmdVratit->setEnabled(false);

    connect(ArchiveList, &ListView::ColumnClick, this, &frmVexa::OnColumnClick);
    connect(ArchiveList, &ListView::Click, this, &frmVexa::EnableRowButtons);
    connect(ArchiveList, &ListView::DblClick, this, &frmVexa::OnOpen);
    connect(cmdEdit, &Button::Click, this, &frmVexa::OnOpen);
    connect(cmdOdebrat, &Button::Click, this, &frmVexa::OnRemove);
    connect(cmdVratit, &Button::Click, this, &frmVexa::OnRestore);
    connect(edHledat, &TextBox::Change, this, &frmVexa::OnSearch);
    // Down and Enter lead into the list, Escape empties the box.
    edHledat->installEventFilter(this);
}

// ---- Archive tab ----------------------------------------------------------------------------

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
    // The list reads its rows from the archive, one row per slot holding a record, sorted
    // once. Two records with the same document number (a hand-edited file) both get their
    // row: each row is found by its slot, not its key.
    m_rows = std::make_unique<ArchiveRows>(*m_archive);
    m_rows->Prepare();
    ArchiveList->SetSource(m_rows.get());
    ShowCount();
    return true;
}

void frmVexa::AddToList(int index) {
    ArchiveList->RowAdded(index);
    ShowCount();
}

void frmVexa::ChangeList() {
    // The row of the record Update changed: the first slot holding this document number.
    const int slot = m_archive->FindItem(CurUserData, 0);
    if (slot >= 0) {
        m_rows->Forget(slot);
        ArchiveList->RowChanged(slot);
    }
}

void frmVexa::OnColumnClick(int columnIndex) {
    ArchiveList->SetSortKey(columnIndex - 1);
}

void frmVexa::EnableRowButtons() {
    cmdEdit->setEnabled(true);
    cmdOdebrat->setEnabled(true);
}

void frmVexa::OnOpen() {
    auto row = ArchiveList->SelectedItem();
    if (!row)
        return;
    auto record = m_archive->Item(static_cast<int>(ArchiveList->Tag(*row)));
    if (!record)
        return;
    CurUserData = std::move(*record);
    NoteOpened(static_cast<int>(ArchiveList->Tag(*row)));
    VexaMainTab->SetTab(0);
    edPrijmeni->SetFocus();
}

void frmVexa::OnRemove() {
    auto row = ArchiveList->SelectedItem();
    if (!row)
        return;
    const int slot = static_cast<int>(ArchiveList->Tag(*row));
    if (UsesDatabase()) {
        if (!RemoveShared(slot))
            return;
    } else {
        m_archive->Remove(slot);
        ArchiveList->RowRemoved(*row);
        StoreArchive();
    }
    m_removed.push_back(slot);
    cmdVratit->setEnabled(true);
    ShowCount();
    // No row is chosen after a removal: the next one is removed only when the clerk picks it.
    cmdEdit->setEnabled(false);
    cmdOdebrat->setEnabled(false);
}

void frmVexa::OnRestore() {
    if (m_removed.empty())
        return;
    // The last removal first, back into its own slot and row.
    const int slot = m_removed.back();
    m_removed.pop_back();
    cmdVratit->setEnabled(!m_removed.empty());
    if (UsesDatabase()) {
        if (!RestoreShared(slot)) {
            if (!m_archive->Holds(slot) && !m_databaseAway) {
                // Not brought back: the clerk may try again.
                m_removed.push_back(slot);
                cmdVratit->setEnabled(true);
            }
            return;
        }
    } else {
        if (!m_archive->Restore(slot))
            return;
        m_rows->Forget(slot);
        ArchiveList->RowAdded(slot);
        StoreArchive();
    }
    ShowCount();
    if (ArchiveList->RowOf(slot) >= 0) {
        ArchiveList->Select(slot);
        EnableRowButtons();
    }
}

void frmVexa::OnSearch() {
    TextSearch search(edHledat->Text());
    if (search.Empty()) {
        ArchiveList->SetFilter(nullptr);
        m_search.reset();
    } else {
        // A search typed further only looks among the rows it showed.
        const bool narrowing = m_search && search.Narrows(*m_search);
        ArchiveList->SetFilter(
            [this, search](ListView::Id id) { return m_rows->Matches(id, search); }, narrowing);
        m_search = std::move(search);
    }
    ShowCount();
}

void frmVexa::ShowCount() {
    lPocet->SetCaption(m_search ? CountText(ArchiveList->ListCount()) + " z " +
                                      CountText(ArchiveList->TotalCount())
                                : std::string());
}

bool frmVexa::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edHledat && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            edHledat->SetText(std::string());
            return true;
        }
        if (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Into the list, on the row chosen there or the first one, as a click would.
            if (ArchiveList->ListCount() > 0) {
                if (!ArchiveList->SelectedItem())
                    ArchiveList->Select(ArchiveList->ItemAt(0));
                EnableRowButtons();
            }
            ArchiveList->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

}  // namespace vexa
