#pragma once

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vexa {

// Row ids of the database to values, compactly: a start reads the rows in ascending id order,
// and new rows mostly get higher ids, so ids above all others go into a sorted array (found by
// a binary search); the few that arrive out of order go into a hash map. A million rows cost
// their ids and values, not a million heap nodes.
template <typename Value>
class IdMap {
  public:
    void Clear() {
        m_ids.clear();
        m_values.clear();
        m_others.clear();
    }
    void Reserve(std::size_t count) {
        m_ids.reserve(count);
        m_values.reserve(count);
    }
    // The value of an id, or null.
    Value* Find(std::int64_t id) {
        auto at = std::lower_bound(m_ids.begin(), m_ids.end(), id);
        if (at != m_ids.end() && *at == id)
            return &m_values[static_cast<std::size_t>(at - m_ids.begin())];
        auto other = m_others.find(id);
        return other != m_others.end() ? &other->second : nullptr;
    }
    const Value* Find(std::int64_t id) const { return const_cast<IdMap*>(this)->Find(id); }
    // Sets the value of an id.
    void Put(std::int64_t id, const Value& value) {
        if (m_ids.empty() || id > m_ids.back()) {
            m_ids.push_back(id);
            m_values.push_back(value);
        } else if (Value* known = Find(id)) {
            *known = value;
        } else {
            m_others[id] = value;
        }
    }

  private:
    std::vector<std::int64_t> m_ids;  // ascending
    std::vector<Value> m_values;
    std::unordered_map<std::int64_t, Value> m_others;
};

}  // namespace vexa
