#include "records/SharedArchive.h"

#include <algorithm>
#include <utility>

namespace vexa {

SharedArchive::SharedArchive(DatabaseStore& store, ArchiveCls& records)
    : m_store(store), m_records(records) {}

DatabaseStore::Status SharedArchive::Load() {
    DatabaseStore::Status opened = m_store.Open();
    if (!opened.ok)
        return opened;
    ArchiveCls::Gatherer records(m_records);
    DatabaseStore::Status loaded =
        m_store.Load([&](std::int64_t id, int version, std::string_view line) {
            m_slots.Put(id, static_cast<int>(m_ids.size()));
            m_ids.push_back(id);
            m_versions.push_back(version);
            records.Keep(line);
        });
    records.Finish();
    return loaded;
}

DatabaseStore::Status SharedArchive::Refresh(Applied& changes) {
    DatabaseStore::Changes arrived = m_store.ReadNotifications();
    for (const auto& change : arrived.List)
        Take(change.Now, changes);
    return {arrived.ok, std::move(arrived.Error)};
}

int SharedArchive::Version(int slot) const {
    return slot >= 0 && static_cast<std::size_t>(slot) < m_versions.size()
               ? m_versions[static_cast<std::size_t>(slot)]
               : 0;
}

int SharedArchive::Take(const DatabaseStore::Row& row, Applied& changes) {
    const bool live = row.Version != 0 && !row.Removed;
    const int* known = m_slots.Find(row.Id);
    if (known == nullptr) {
        if (!live)
            return -1;
        const int slot = m_records.Keep(row.Line);
        m_slots.Put(row.Id, slot);
        m_ids.push_back(row.Id);
        m_versions.push_back(row.Version);
        changes.push_back({slot, Kind::Added});
        return slot;
    }
    const int slot = *known;
    const bool held = m_records.Holds(slot);
    m_versions[static_cast<std::size_t>(slot)] = row.Version;
    if (!live) {
        if (held) {
            m_records.Drop(slot);
            changes.push_back({slot, Kind::Removed});
        }
        return slot;
    }
    if (!held) {
        m_records.Put(slot, row.Line);
        changes.push_back({slot, Kind::Added});
    } else if (m_records.Line(slot) != row.Line) {
        m_records.Put(slot, row.Line);
        changes.push_back({slot, Kind::Changed});
    }
    return slot;
}

SharedArchive::Result SharedArchive::Finish(DatabaseStore::Write write) {
    Result result;
    result.What = write.What;
    result.Error = std::move(write.Error);
    if (write.What != DatabaseStore::Outcome::Failed)
        result.Slot = Take(write.Now, result.Changes);
    result.Now = std::move(write.Now);
    // What other copies did meanwhile comes along; a failure to hear it now is heard later.
    Refresh(result.Changes);
    return result;
}

SharedArchive::Result SharedArchive::Add(const ClientsDataCls& record) {
    return Finish(m_store.Add(record));
}

SharedArchive::Result SharedArchive::Update(int slot, int expected, const ClientsDataCls& record) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_ids.size())
        return Add(record);
    const std::int64_t id = m_ids[static_cast<std::size_t>(slot)];
    Result result = Finish(m_store.Update(id, expected, record));
    if (result.What == DatabaseStore::Outcome::Done && result.Now.Id != id) {
        // The row had been deleted from the database and the record was added anew.
        Applied& changes = result.Changes;
        if (m_records.Holds(slot)) {
            m_records.Drop(slot);
            changes.push_back({slot, Kind::Removed});
        }
        m_versions[static_cast<std::size_t>(slot)] = 0;
    }
    return result;
}

SharedArchive::Result SharedArchive::Remove(int slot, int expected) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_ids.size())
        return {};
    return Finish(m_store.Remove(m_ids[static_cast<std::size_t>(slot)], expected));
}

SharedArchive::Result SharedArchive::Restore(int slot, int expected) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_ids.size())
        return {};
    return Finish(m_store.Restore(m_ids[static_cast<std::size_t>(slot)], expected));
}

}  // namespace vexa
