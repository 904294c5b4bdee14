#pragma once

#include <QAbstractTableModel>
#include <QCollator>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/CzechCollation.h"
#include "platform/ui/ListSource.h"

namespace vexa {

// The rows of a ListView: each row has a key, a text per column (the first is the row's own
// text, the others its sub-items) and a numeric tag. Rows are identified by an id that stays
// the same however the rows are sorted or filtered.
//
// The rows come from a ListSource: the model's own rows (Add, Remove), or a source the
// list's owner sets, whose texts are read where they are (the model keeps only the order of
// the rows' ids). Rows are kept in Czech alphabetical order of the sort column, equal texts in
// the order of their ids; a filter may show only some of them. Texts are Windows-1250 and
// turned into QString only when the view paints a row.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using Id = int;

    explicit ListViewModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void AddColumn(const std::string& header);
    // Every row's height in pixels (0: the delegate's own).
    void SetRowHeight(int pixels);

    // The model's own rows.
    Id Add(const std::string& key, std::vector<std::string> texts, long long tag);
    void Remove(Id id);
    void Clear();

    // Rows from `source` from now on (null: the model's own rows again), read anew at once.
    void SetSource(ListSource* source);
    // Everything read anew from the source.
    void Reload();
    // The source tells what changed: a row added, its texts changed, the row removed. A row
    // added or changed while a filter is set is shown only if it was shown before (a new one:
    // if the filter takes it).
    void RowAdded(Id id);
    void RowChanged(Id id);
    void RowRemoved(Id id);

    // Shows only the rows `accept` takes; an empty function shows all. `narrowing`: `accept`
    // takes no row the filter before it refused, so only the rows shown are tried.
    void SetFilter(std::function<bool(Id)> accept, bool narrowing = false);
    bool Filtered() const { return static_cast<bool>(m_accept); }

    // Rows shown, and all rows the filter chooses from.
    int Count() const { return static_cast<int>(Shown().size()); }
    int Total() const { return static_cast<int>(m_all.size()); }
    // Rows in the order shown.
    Id IdAt(int row) const { return Shown().at(static_cast<std::size_t>(row)); }
    int RowOf(Id id) const;
    std::string Key(Id id) const { return m_source->Key(id); }
    std::string_view Text(Id id, int column) const;
    long long Tag(Id id) const { return m_source->Tag(id); }
    // The first row shown with this key, or nothing.
    std::optional<Id> FindKey(const std::string& key) const;

    int SortKey() const { return m_sortKey; }
    void SetSortKey(int column);
    // What the rows are sorted by: `sortText` of the sort column's text (by default the text
    // itself), in Czech alphabetical order.
    void SetSortText(std::function<std::string(const std::string&)> sortText);
    // While own rows are added in bulk they are appended; the order is restored once at the end.
    void BeginUpdate();
    // Room for `count` own rows in all, so a large list is filled without moving its rows.
    void Reserve(std::size_t count);
    void EndUpdate();

  private:
    // The model's own rows, as a source.
    class OwnRows : public ListSource {
      public:
        struct Item {
            std::string key;
            std::vector<std::string> texts;
            long long tag = 0;
            bool alive = false;
        };
        int Ids() const override { return static_cast<int>(items.size()); }
        bool Alive(int id) const override { return items[static_cast<std::size_t>(id)].alive; }
        std::string_view Text(int id, int column) const override;
        std::string Key(int id) const override { return items[static_cast<std::size_t>(id)].key; }
        long long Tag(int id) const override { return items[static_cast<std::size_t>(id)].tag; }
        std::vector<Item> items;  // by id
    };

    // A row's place in the order of the sort column: plain texts by the number of their first
    // eight capitals and then by their capitals, others by the collation's key (one per
    // distinct text), ties by id.
    struct OrderKey {
        std::uint64_t prefix = 0;
        std::int32_t full = -1;  // index into m_fullKeys, -1 while not made
        bool plain = false;
        bool made = false;
    };

    const std::vector<Id>& Shown() const { return m_accept ? m_shown : m_all; }
    bool Valid(Id id) const { return id >= 0 && id < m_source->Ids() && m_source->Alive(id); }
    std::string_view SortText(Id id) const;
    const OrderKey& KeyOf(Id id);
    std::int32_t FullIndex(Id id);
    bool Less(Id a, Id b);
    void ForgetKey(Id id);
    void ResetKeys();
    // Sorts m_all (no signals).
    void SortAll();
    // The rows shown change to `order` (the filtered rows with `accept`, else all rows) in one
    // layout change that keeps the selection and the
    // current row on their rows.
    void ShowOrder(std::vector<Id> order, std::function<bool(Id)> accept);
    // Where `id` goes among `order` (sorted).
    std::size_t Place(const std::vector<Id>& order, Id id);
    // The rows of m_all `accept` takes, in m_all's order.
    std::vector<Id> FilterAll(const std::function<bool(Id)>& accept);

    OwnRows m_own;
    ListSource* m_source = &m_own;
    std::vector<Id> m_all;    // every row, sorted
    std::vector<Id> m_shown;  // the rows shown while a filter is set, sorted
    std::function<bool(Id)> m_accept;
    CzechCollation m_collation;
    std::vector<OrderKey> m_keys;  // by id
    std::vector<QCollatorSortKey> m_fullKeys;
    std::unordered_map<std::string, std::int32_t> m_fullOf;  // distinct text -> m_fullKeys
    std::vector<std::string> m_sortTexts;                    // by id, with a sort-text function
    std::vector<std::string> m_headers;
    std::function<std::string(const std::string&)> m_sortText;
    int m_sortKey = 0;
    int m_rowHeight = 0;
    bool m_bulk = false;
};

}  // namespace vexa
