#include "platform/ui/ListViewModel.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "platform/ui/UiText.h"

namespace vexa {

namespace {
const std::string kEmpty;
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::SizeHintRole && m_rowHeight > 0)
        return QSize(1, m_rowHeight);
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= Count())
        return {};
    return UiText::ToQt(Text(IdAt(index.row()), index.column()));
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(m_headers.size())) {
        return {};
    }
    return UiText::ToQt(m_headers[static_cast<std::size_t>(section)]);
}

void ListViewModel::AddColumn(const std::string& key, const std::string& header) {
    int column = static_cast<int>(m_headers.size());
    beginInsertColumns(QModelIndex(), column, column);
    m_columnKeys.push_back(key);
    m_headers.push_back(header);
    endInsertColumns();
}

void ListViewModel::SetRowHeight(int pixels) {
    if (pixels == m_rowHeight)
        return;
    m_rowHeight = pixels;
    if (Count() > 0) {
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    }
}

std::string ListViewModel::ColumnKey(int column) const {
    return m_columnKeys.at(static_cast<std::size_t>(column));
}

const std::string& ListViewModel::SortText(const Item& item) const {
    auto column = static_cast<std::size_t>(m_sortKey);
    return column < item.texts.size() ? item.texts[column] : kEmpty;
}

std::string ListViewModel::KeyText(Id id) const {
    const std::string& text = SortText(Row(id));
    return m_sortText ? m_sortText(text) : text;
}

const CzechCollation::Key& ListViewModel::SortKeyOf(Id id) const {
    auto& key = m_keys[static_cast<std::size_t>(id)];
    if (!key)
        key = m_collation.MakeKey(KeyText(id));
    return *key;
}

int ListViewModel::InsertPosition(const std::vector<Id>& order, Id id) const {
    auto it = std::upper_bound(order.begin(), order.end(), id,
                               [this](Id a, Id b) { return Before(a, b); });
    return static_cast<int>(it - order.begin());
}

ListViewModel::Id ListViewModel::Add(const std::string& key, std::vector<std::string> texts,
                                     long long tag) {
    Id id = static_cast<Id>(m_items.size());
    texts.resize(std::max(texts.size(), m_headers.size()));
    m_items.push_back(Item{key, std::move(texts), tag, true});
    m_keys.emplace_back();
    int row = m_bulk ? Count() : InsertPosition(m_order, id);
    if (m_bulk) {
        m_order.push_back(id);
        return id;
    }
    beginInsertRows(QModelIndex(), row, row);
    m_order.insert(m_order.begin() + row, id);
    endInsertRows();
    return id;
}

void ListViewModel::Set(Id id, const std::string& key, std::vector<std::string> texts) {
    Item& item = m_items.at(static_cast<std::size_t>(id));
    if (!item.alive)
        return;
    texts.resize(std::max(texts.size(), m_headers.size()));
    bool moved = SortText(item) != (static_cast<std::size_t>(m_sortKey) < texts.size()
                                        ? texts[static_cast<std::size_t>(m_sortKey)]
                                        : kEmpty);
    item.key = key;
    item.texts = std::move(texts);
    m_keys[static_cast<std::size_t>(id)].reset();
    int row = RowOf(id);
    if (moved && !m_bulk) {
        std::vector<Id> others = m_order;
        others.erase(others.begin() + row);
        int target = InsertPosition(others, id);
        int destination = target >= row ? target + 1 : target;  // counted before the move
        if (destination != row && destination != row + 1) {
            beginMoveRows(QModelIndex(), row, row, QModelIndex(), destination);
            m_order = std::move(others);
            m_order.insert(m_order.begin() + target, id);
            endMoveRows();
            row = target;
        }
    }
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ListViewModel::Remove(Id id) {
    int row = RowOf(id);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_order.erase(m_order.begin() + row);
    Item& item = m_items[static_cast<std::size_t>(id)];
    item.alive = false;
    item.texts.clear();
    item.key.clear();
    m_keys[static_cast<std::size_t>(id)].reset();
    endRemoveRows();
}

void ListViewModel::Clear() {
    beginResetModel();
    m_items.clear();
    m_order.clear();
    m_keys.clear();
    endResetModel();
}

int ListViewModel::RowOf(Id id) const {
    if (id < 0 || id >= static_cast<Id>(m_items.size()) || !Row(id).alive)
        return -1;
    auto it = std::find(m_order.begin(), m_order.end(), id);
    return it == m_order.end() ? -1 : static_cast<int>(it - m_order.begin());
}

std::string ListViewModel::Text(Id id, int column) const {
    const Item& item = Row(id);
    auto c = static_cast<std::size_t>(column);
    return c < item.texts.size() ? item.texts[c] : std::string();
}

std::optional<ListViewModel::Id> ListViewModel::FindKey(const std::string& key) const {
    for (Id id : m_order) {
        if (Row(id).key == key)
            return id;
    }
    return std::nullopt;
}

std::optional<ListViewModel::Id> ListViewModel::FindTag(long long tag) const {
    for (Id id : m_order) {
        if (Row(id).tag == tag)
            return id;
    }
    return std::nullopt;
}

void ListViewModel::SetSortKey(int column) {
    if (column < 0)
        return;
    if (column != m_sortKey) {
        for (auto& key : m_keys)
            key.reset();
    }
    m_sortKey = column;
    if (!m_bulk)
        Sort();
}

void ListViewModel::SetSortText(std::function<std::string(const std::string&)> sortText) {
    m_sortText = std::move(sortText);
    for (auto& key : m_keys)
        key.reset();
    if (!m_bulk)
        Sort();
}

void ListViewModel::BeginUpdate() {
    m_bulk = true;
}

void ListViewModel::Reserve(std::size_t count) {
    m_items.reserve(count);
    m_order.reserve(count);
    m_keys.reserve(count);
}

void ListViewModel::EndUpdate() {
    if (!m_bulk)
        return;
    m_bulk = false;
    beginResetModel();
    endResetModel();
    Sort();
}

void ListViewModel::Sort() {
    // Each row's key, made once; the collation's own key once per distinct text (names
    // repeat). The sort runs over a compact array: plain keys mostly part at their prefixes.
    struct Entry {
        std::uint64_t prefix;
        Id id;
        bool plain;
    };
    std::unordered_map<std::string, Id> firstWith;
    std::vector<Entry> entries;
    entries.reserve(m_order.size());
    for (Id id : m_order) {
        auto& key = m_keys[static_cast<std::size_t>(id)];
        if (!key) {
            std::string text = KeyText(id);
            key = m_collation.MakeKey(text);
            if (!key->Plain()) {
                const auto [first, isNew] = firstWith.try_emplace(std::move(text), id);
                if (isNew) {
                    m_collation.Complete(*key);
                } else {
                    key = m_keys[static_cast<std::size_t>(first->second)];
                }
            }
        }
        entries.push_back({key->Plain() ? key->PlainPrefix() : 0, id, key->Plain()});
    }
    std::stable_sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
        if (a.plain && b.plain && a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return Before(a.id, b.id);
    });
    std::vector<Id> sorted;
    sorted.reserve(entries.size());
    for (const Entry& e : entries)
        sorted.push_back(e.id);
    if (sorted == m_order)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Keep the selection and the current row on the same rows.
    std::vector<int> newRowOf(m_items.size(), -1);
    for (std::size_t r = 0; r < sorted.size(); ++r) {
        newRowOf[static_cast<std::size_t>(sorted[r])] = static_cast<int>(r);
    }
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList to;
    to.reserve(persistent.size());
    for (const QModelIndex& from : persistent) {
        Id id = m_order[static_cast<std::size_t>(from.row())];
        to.append(index(newRowOf[static_cast<std::size_t>(id)], from.column()));
    }
    m_order = std::move(sorted);
    changePersistentIndexList(persistent, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace vexa
