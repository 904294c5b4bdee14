#include "platform/ui/ListViewModel.h"

#include <algorithm>

#include "platform/ui/UiText.h"

namespace vexa {

std::string_view ListViewModel::OwnRows::Text(int id, int column) const {
    const Item& item = items[static_cast<std::size_t>(id)];
    const auto c = static_cast<std::size_t>(column);
    return c < item.texts.size() ? std::string_view(item.texts[c]) : std::string_view();
}

ListViewModel::ListViewModel(QObject* parent) : QAbstractTableModel(parent) {}

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

void ListViewModel::AddColumn(const std::string& header) {
    int column = static_cast<int>(m_headers.size());
    beginInsertColumns(QModelIndex(), column, column);
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

std::string_view ListViewModel::Text(Id id, int column) const {
    return Valid(id) ? m_source->Text(id, column) : std::string_view();
}

// ---- Sort keys ----------------------------------------------------------------------------

std::string_view ListViewModel::SortText(Id id) const {
    if (m_sortText)
        return m_sortTexts[static_cast<std::size_t>(id)];
    return m_source->Text(id, m_sortKey);
}

const ListViewModel::OrderKey& ListViewModel::KeyOf(Id id) {
    const auto i = static_cast<std::size_t>(id);
    if (i >= m_keys.size())
        m_keys.resize(static_cast<std::size_t>(std::max(m_source->Ids(), id + 1)));
    OrderKey& key = m_keys[i];
    if (!key.made) {
        if (m_sortText) {
            if (i >= m_sortTexts.size())
                m_sortTexts.resize(m_keys.size());
            m_sortTexts[i] = m_sortText(std::string(m_source->Text(id, m_sortKey)));
        }
        const std::string_view text = SortText(id);
        key.plain = CzechCollation::IsPlain(text);
        key.prefix = key.plain ? CzechCollation::PlainPrefix(text) : 0;
        key.full = -1;
        key.made = true;
        if (!key.plain)
            FullIndex(id);
    }
    return key;
}

std::int32_t ListViewModel::FullIndex(Id id) {
    OrderKey& key = m_keys[static_cast<std::size_t>(id)];
    if (key.full < 0) {
        // Names repeat: one collation key per distinct text.
        std::string text(SortText(id));
        const auto [at, isNew] =
            m_fullOf.try_emplace(std::move(text), static_cast<std::int32_t>(m_fullKeys.size()));
        if (isNew)
            m_fullKeys.push_back(m_collation.FullKey(at->first));
        key.full = at->second;
    }
    return key.full;
}

bool ListViewModel::Less(Id a, Id b) {
    KeyOf(a);
    KeyOf(b);  // may make room for more ids: the keys are taken after both are made
    const OrderKey& ka = m_keys[static_cast<std::size_t>(a)];
    const OrderKey& kb = m_keys[static_cast<std::size_t>(b)];
    int order;
    if (ka.plain && kb.plain) {
        order = ka.prefix != kb.prefix ? (ka.prefix < kb.prefix ? -1 : 1)
                                       : CzechCollation::ComparePlain(SortText(a), SortText(b));
    } else {
        const std::int32_t fa = FullIndex(a);
        const std::int32_t fb = FullIndex(b);
        order = m_fullKeys[static_cast<std::size_t>(fa)].compare(
            m_fullKeys[static_cast<std::size_t>(fb)]);
    }
    return order != 0 ? order < 0 : a < b;
}

void ListViewModel::ForgetKey(Id id) {
    if (static_cast<std::size_t>(id) < m_keys.size())
        m_keys[static_cast<std::size_t>(id)] = OrderKey();
}

void ListViewModel::ResetKeys() {
    m_keys.assign(static_cast<std::size_t>(m_source->Ids()), OrderKey());
    m_fullKeys.clear();
    m_fullOf.clear();
    m_sortTexts.clear();
    if (m_sortText)
        m_sortTexts.resize(m_keys.size());
}

void ListViewModel::SortAll() {
    // Plain rows sort over a compact array, mostly by their prefixes; the others by the rank
    // of their collation key among the distinct ones (so a million rows are ordered by numbers,
    // not by keys read from all over the memory); then the two are merged, each of the others
    // found among the plain rows from where the one before it stood.
    struct Entry {
        std::uint64_t prefix;
        Id id;
    };
    std::vector<Entry> plain;
    std::vector<Id> others;
    plain.reserve(m_all.size());
    for (Id id : m_all) {
        const OrderKey& key = KeyOf(id);
        if (key.plain)
            plain.push_back({key.prefix, id});
        else
            others.push_back(id);
    }
    std::sort(plain.begin(), plain.end(), [this](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const int order = CzechCollation::ComparePlain(SortText(a.id), SortText(b.id));
        return order != 0 ? order < 0 : a.id < b.id;
    });
    if (!others.empty()) {
        std::vector<std::int32_t> byKey(m_fullKeys.size());
        for (std::size_t i = 0; i < byKey.size(); ++i)
            byKey[i] = static_cast<std::int32_t>(i);
        auto keyOf = [this](std::int32_t i) -> const QCollatorSortKey& {
            return m_fullKeys[static_cast<std::size_t>(i)];
        };
        std::sort(byKey.begin(), byKey.end(),
                  [&](std::int32_t a, std::int32_t b) { return keyOf(a).compare(keyOf(b)) < 0; });
        std::vector<std::int32_t> rank(byKey.size());
        for (std::size_t i = 0; i < byKey.size(); ++i) {
            const bool tie = i > 0 && keyOf(byKey[i - 1]).compare(keyOf(byKey[i])) == 0;
            rank[static_cast<std::size_t>(byKey[i])] =
                tie ? rank[static_cast<std::size_t>(byKey[i - 1])] : static_cast<std::int32_t>(i);
        }
        std::vector<std::pair<std::int32_t, Id>> ranked;
        ranked.reserve(others.size());
        for (Id id : others)
            ranked.emplace_back(rank[static_cast<std::size_t>(FullIndex(id))], id);
        std::sort(ranked.begin(), ranked.end());
        for (std::size_t i = 0; i < others.size(); ++i)
            others[i] = ranked[i].second;
    }
    m_all.clear();
    std::size_t p = 0;
    const std::size_t n = plain.size();
    for (Id other : others) {
        // The first plain row from p on that does not sort before `other`: galloping, then a
        // binary search.
        std::size_t lo = p, hi = p, step = 1;
        while (hi < n && Less(plain[hi].id, other)) {
            lo = hi + 1;
            hi += step;
            step *= 2;
        }
        hi = std::min(hi, n);
        const auto at = std::lower_bound(plain.begin() + static_cast<std::ptrdiff_t>(lo),
                                         plain.begin() + static_cast<std::ptrdiff_t>(hi), other,
                                         [this](const Entry& e, Id id) { return Less(e.id, id); });
        for (const std::size_t stop = static_cast<std::size_t>(at - plain.begin()); p < stop; ++p)
            m_all.push_back(plain[p].id);
        m_all.push_back(other);
    }
    for (; p < n; ++p)
        m_all.push_back(plain[p].id);
}

std::size_t ListViewModel::Place(const std::vector<Id>& order, Id id) {
    return static_cast<std::size_t>(std::lower_bound(order.begin(), order.end(), id,
                                                     [this](Id a, Id b) { return Less(a, b); }) -
                                    order.begin());
}

// ---- Rows shown ---------------------------------------------------------------------------

std::vector<ListViewModel::Id> ListViewModel::FilterAll(const std::function<bool(Id)>& accept) {
    // The filter reads the rows in id order (the order their texts are kept in), then the
    // sorted order picks those it took.
    std::vector<bool> taken(static_cast<std::size_t>(m_source->Ids()), false);
    std::size_t count = 0;
    for (Id id = 0; id < m_source->Ids(); ++id) {
        if (m_source->Alive(id) && accept(id)) {
            taken[static_cast<std::size_t>(id)] = true;
            ++count;
        }
    }
    std::vector<Id> shown;
    shown.reserve(count);
    for (Id id : m_all) {
        if (taken[static_cast<std::size_t>(id)])
            shown.push_back(id);
    }
    return shown;
}

void ListViewModel::ShowOrder(std::vector<Id> order, std::function<bool(Id)> accept) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Keep the selection and the current row on the same rows.
    const QModelIndexList persistent = persistentIndexList();
    std::unordered_map<Id, int> rowOf;
    for (const QModelIndex& from : persistent)
        rowOf.emplace(IdAt(from.row()), -1);
    for (std::size_t r = 0; r < order.size() && !rowOf.empty(); ++r) {
        auto it = rowOf.find(order[r]);
        if (it != rowOf.end())
            it->second = static_cast<int>(r);
    }
    QModelIndexList to;
    to.reserve(persistent.size());
    for (const QModelIndex& from : persistent) {
        const int row = rowOf[IdAt(from.row())];
        to.append(row < 0 ? QModelIndex() : index(row, from.column()));
    }
    m_accept = std::move(accept);
    if (m_accept) {
        m_shown = std::move(order);
    } else {
        m_all = std::move(order);
        m_shown.clear();
    }
    changePersistentIndexList(persistent, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListViewModel::SetFilter(std::function<bool(Id)> accept, bool narrowing) {
    if (!accept) {
        if (m_accept)
            ShowOrder(m_all, nullptr);
        return;
    }
    std::vector<Id> shown;
    if (narrowing && m_accept) {
        for (Id id : m_shown) {
            if (accept(id))
                shown.push_back(id);
        }
    } else {
        shown = FilterAll(accept);
    }
    ShowOrder(std::move(shown), std::move(accept));
}

int ListViewModel::RowOf(Id id) const {
    if (!Valid(id))
        return -1;
    const auto& shown = Shown();
    auto it = std::find(shown.begin(), shown.end(), id);
    return it == shown.end() ? -1 : static_cast<int>(it - shown.begin());
}

std::optional<ListViewModel::Id> ListViewModel::FindKey(const std::string& key) const {
    for (Id id : Shown()) {
        if (m_source->Key(id) == key)
            return id;
    }
    return std::nullopt;
}

// ---- Changes ------------------------------------------------------------------------------

void ListViewModel::SetSource(ListSource* source) {
    m_source = source != nullptr ? source : &m_own;
    if (source != nullptr)
        m_own.items.clear();
    Reload();
}

void ListViewModel::Reload() {
    beginResetModel();
    m_all.clear();
    m_all.reserve(static_cast<std::size_t>(m_source->Ids()));
    for (Id id = 0; id < m_source->Ids(); ++id) {
        if (m_source->Alive(id))
            m_all.push_back(id);
    }
    ResetKeys();
    SortAll();
    if (m_accept)
        m_shown = FilterAll(m_accept);
    endResetModel();
}

void ListViewModel::RowAdded(Id id) {
    if (!Valid(id))
        return;
    if (m_bulk) {
        m_all.push_back(id);
        return;
    }
    ForgetKey(id);
    const std::size_t at = Place(m_all, id);
    if (m_accept) {
        m_all.insert(m_all.begin() + static_cast<std::ptrdiff_t>(at), id);
        if (!m_accept(id))
            return;  // a new row the filter does not take stays hidden
        const std::size_t row = Place(m_shown, id);
        beginInsertRows(QModelIndex(), static_cast<int>(row), static_cast<int>(row));
        m_shown.insert(m_shown.begin() + static_cast<std::ptrdiff_t>(row), id);
        endInsertRows();
        return;
    }
    beginInsertRows(QModelIndex(), static_cast<int>(at), static_cast<int>(at));
    m_all.insert(m_all.begin() + static_cast<std::ptrdiff_t>(at), id);
    endInsertRows();
}

void ListViewModel::RowChanged(Id id) {
    if (!Valid(id) || m_bulk)
        return;
    const int row = RowOf(id);
    if (m_accept) {
        // The whole list takes the row's new place at once; a row the filter hides stays
        // hidden, one it shows stays shown.
        auto inAll = std::find(m_all.begin(), m_all.end(), id);
        if (inAll == m_all.end())
            return;
        m_all.erase(inAll);
        ForgetKey(id);
        m_all.insert(m_all.begin() + static_cast<std::ptrdiff_t>(Place(m_all, id)), id);
        if (row < 0)
            return;
    } else {
        if (row < 0)
            return;
        ForgetKey(id);
    }
    std::vector<Id>& shown = m_accept ? m_shown : m_all;
    std::vector<Id> others = shown;
    others.erase(others.begin() + row);
    const int target = static_cast<int>(Place(others, id));
    const int destination = target >= row ? target + 1 : target;  // counted before the move
    if (destination != row && destination != row + 1) {
        beginMoveRows(QModelIndex(), row, row, QModelIndex(), destination);
        others.insert(others.begin() + target, id);
        shown = std::move(others);
        endMoveRows();
    }
    const int now = destination != row && destination != row + 1 ? target : row;
    emit dataChanged(index(now, 0), index(now, columnCount() - 1));
}

void ListViewModel::RowRemoved(Id id) {
    auto inAll = std::find(m_all.begin(), m_all.end(), id);
    if (inAll == m_all.end())
        return;
    const int row =
        static_cast<int>(std::find(Shown().begin(), Shown().end(), id) - Shown().begin());
    const bool shown = row < Count();
    if (shown)
        beginRemoveRows(QModelIndex(), row, row);
    m_all.erase(std::find(m_all.begin(), m_all.end(), id));
    if (m_accept && shown)
        m_shown.erase(m_shown.begin() + row);
    ForgetKey(id);
    if (shown)
        endRemoveRows();
}

// ---- The model's own rows -----------------------------------------------------------------

ListViewModel::Id ListViewModel::Add(const std::string& key, std::vector<std::string> texts,
                                     long long tag) {
    const Id id = static_cast<Id>(m_own.items.size());
    texts.resize(std::max(texts.size(), m_headers.size()));
    m_own.items.push_back({key, std::move(texts), tag, true});
    RowAdded(id);
    return id;
}

void ListViewModel::Remove(Id id) {
    if (id < 0 || id >= m_own.Ids() || !m_own.Alive(id))
        return;
    RowRemoved(id);
    auto& item = m_own.items[static_cast<std::size_t>(id)];
    item.alive = false;
    item.texts.clear();
    item.key.clear();
}

void ListViewModel::Clear() {
    beginResetModel();
    m_own.items.clear();
    m_all.clear();
    m_shown.clear();
    ResetKeys();
    endResetModel();
}

void ListViewModel::SetSortKey(int column) {
    if (column < 0)
        return;
    if (column != m_sortKey) {
        m_sortKey = column;
        ResetKeys();
    }
    if (m_bulk)
        return;
    std::vector<Id> before = m_all;
    SortAll();
    if (m_accept) {
        // The rows shown keep their filter: they are picked from the whole list sorted anew.
        std::vector<bool> shown(static_cast<std::size_t>(m_source->Ids()), false);
        for (Id id : m_shown)
            shown[static_cast<std::size_t>(id)] = true;
        std::vector<Id> order;
        order.reserve(m_shown.size());
        for (Id id : m_all) {
            if (shown[static_cast<std::size_t>(id)])
                order.push_back(id);
        }
        ShowOrder(std::move(order), m_accept);
        return;
    }
    std::vector<Id> sorted = std::move(m_all);
    m_all = std::move(before);
    if (sorted != m_all)
        ShowOrder(std::move(sorted), nullptr);
}

void ListViewModel::SetSortText(std::function<std::string(const std::string&)> sortText) {
    m_sortText = std::move(sortText);
    ResetKeys();
    SetSortKey(m_sortKey);
}

void ListViewModel::BeginUpdate() {
    m_bulk = true;
}

void ListViewModel::Reserve(std::size_t count) {
    m_own.items.reserve(count);
    m_all.reserve(count);
}

void ListViewModel::EndUpdate() {
    if (!m_bulk)
        return;
    m_bulk = false;
    Reload();
}

}  // namespace vexa
