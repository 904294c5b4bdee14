#pragma once

#include <QAbstractTableModel>
#include <QSize>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/CzechCollation.h"

namespace vexa {

// The rows of a ListView: each row has a key, a text per column (the first is the row's own
// text, the others its sub-items) and a numeric tag. Rows are identified by an id that stays
// the same however the rows are sorted. The rows are kept in Czech alphabetical order of the sort
// column (each row's collation key made once); texts are Windows-1250 and turned into QString
// only when the view paints a row.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using Id = int;

    explicit ListViewModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void AddColumn(const std::string& key, const std::string& header);
    // Every row's height in pixels (0: the delegate's own).
    void SetRowHeight(int pixels);
    std::string ColumnKey(int column) const;

    Id Add(const std::string& key, std::vector<std::string> texts, long long tag);
    void Set(Id id, const std::string& key, std::vector<std::string> texts);
    void Remove(Id id);
    void Clear();

    int Count() const { return static_cast<int>(m_order.size()); }
    // Rows in the order shown.
    Id IdAt(int row) const { return m_order.at(static_cast<std::size_t>(row)); }
    int RowOf(Id id) const;
    const std::string& Key(Id id) const { return Row(id).key; }
    std::string Text(Id id, int column) const;
    long long Tag(Id id) const { return Row(id).tag; }
    // The first row shown with this key, or nothing.
    std::optional<Id> FindKey(const std::string& key) const;
    std::optional<Id> FindTag(long long tag) const;

    int SortKey() const { return m_sortKey; }
    void SetSortKey(int column);
    // What the rows are sorted by: `sortText` of the sort column's text (by default the text
    // itself), in Czech alphabetical order.
    void SetSortText(std::function<std::string(const std::string&)> sortText);
    // While rows are added in bulk they are appended; the order is restored once at the end.
    void BeginUpdate();
    // Room for `count` rows in all, so a large list is filled without moving its rows.
    void Reserve(std::size_t count);
    void EndUpdate();

  private:
    struct Item {
        std::string key;
        std::vector<std::string> texts;
        long long tag = 0;
        bool alive = false;
    };
    const Item& Row(Id id) const { return m_items.at(static_cast<std::size_t>(id)); }
    const std::string& SortText(const Item& item) const;
    // What the row is sorted by: the sort column's text, as the sort-text function makes it.
    std::string KeyText(Id id) const;
    // The row's collation key for the sort column, made when first needed.
    const CzechCollation::Key& SortKeyOf(Id id) const;
    bool Before(Id a, Id b) const { return m_collation.Compare(SortKeyOf(a), SortKeyOf(b)) < 0; }
    // The position the row takes among `order`, after equal ones.
    int InsertPosition(const std::vector<Id>& order, Id id) const;
    void Sort();

    std::vector<Item> m_items;  // by id
    std::vector<Id> m_order;    // row shown -> id
    CzechCollation m_collation;
    mutable std::vector<std::optional<CzechCollation::Key>> m_keys;  // by id
    std::vector<std::string> m_columnKeys;
    std::vector<std::string> m_headers;
    std::function<std::string(const std::string&)> m_sortText;
    int m_sortKey = 0;
    int m_rowHeight = 0;
    bool m_bulk = false;
};

}  // namespace vexa
