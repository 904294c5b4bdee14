#pragma once

#include <QTreeView>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ListViewModel.h"

namespace vexa {

// A list view in report mode: keyed columns with headers, rows with a key, a text, sub-items
// and a numeric tag, kept sorted by the sort column. Single selection of whole rows.
// ColumnClick tells the clicked header's index counted from 1; Click fires for every click
// into the list (on a row or not), DblClick for every double click. The rows live in a model
// of plain texts or are read from a source of the owner's, so a list of a million rows builds,
// sorts and filters quickly.
class ListView : public QTreeView {
    Q_OBJECT
  public:
    using Id = ListViewModel::Id;

    explicit ListView(const QString& name, QWidget* parent = nullptr);

    // `key` names the column as the forms name theirs; nothing looks a column up by it.
    void AddColumn(const std::string& key, const std::string& header, int widthPixels);
    int Columns() const { return m_model->columnCount(); }

    // `texts` holds the row's text and then its sub-items.
    Id AddItem(const std::string& key, std::vector<std::string> texts, long long tag);
    void RemoveItem(Id id);
    int ListCount() const { return m_model->Count(); }
    Id ItemAt(int row) const { return m_model->IdAt(row); }
    int RowOf(Id id) const { return m_model->RowOf(id); }
    std::string Key(Id id) const { return m_model->Key(id); }
    std::string Text(Id id, int column) const { return std::string(m_model->Text(id, column)); }
    long long Tag(Id id) const { return m_model->Tag(id); }
    std::optional<Id> FindItem(const std::string& key) const { return m_model->FindKey(key); }

    // Rows read from `source` instead of rows of the list's own (see ListViewModel); the owner
    // tells each change of the source.
    void SetSource(ListSource* source) { m_model->SetSource(source); }
    void RowAdded(Id id) { m_model->RowAdded(id); }
    void RowChanged(Id id) { m_model->RowChanged(id); }
    void RowRemoved(Id id);
    // Shows only the rows `accept` takes (all with an empty function); `narrowing`: it takes no
    // row the filter before it refused.
    void SetFilter(std::function<bool(Id)> accept, bool narrowing = false) {
        m_model->SetFilter(std::move(accept), narrowing);
    }
    // The rows the filter chooses from.
    int TotalCount() const { return m_model->Total(); }

    std::optional<Id> SelectedItem() const;
    void Select(Id id);

    int SortKey() const { return m_model->SortKey(); }
    void SetSortKey(int column);
    // Rows sort by what `sortText` makes of the sort column's text (a date turned year first,
    // for instance); by default by the text itself.
    void SetSortText(std::function<std::string(const std::string&)> sortText) {
        m_model->SetSortText(std::move(sortText));
    }

    void BeginUpdate() { m_model->BeginUpdate(); }
    void Reserve(int rows) { m_model->Reserve(static_cast<std::size_t>(rows < 0 ? 0 : rows)); }
    void EndUpdate() { m_model->EndUpdate(); }

  signals:
    void ColumnClick(int columnIndex);
    void Click();
    void DblClick();

  protected:
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    ListViewModel* m_model;
};

}  // namespace vexa
