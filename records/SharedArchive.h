#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "records/ArchiveCls.h"
#include "records/DatabaseStore.h"
#include "records/IdMap.h"

namespace vexa {

// The archive in a database as the window works with it. The records are held in an
// ArchiveCls with no file, by slot, as the list reads them; each slot knows the row id and the
// version of its record in the database. A change is written to the database first and
// reaches the records in memory only once it is committed; what other copies changed comes in
// with each operation and with Refresh. Slots never move: a record another copy removed keeps
// its slot, and comes back into it.
class SharedArchive {
  public:
    // What reached the records since the caller last heard, in order: a slot whose record
    // came (or came back), changed or left.
    enum class Kind { Added, Changed, Removed };
    struct Step {
        int Slot;
        Kind What;
    };
    using Applied = std::vector<Step>;
    struct Result {
        DatabaseStore::Outcome What = DatabaseStore::Outcome::Failed;
        // Done: the slot written. Exists, ChangedMeanwhile, RemovedMeanwhile: the slot of the
        // record the database holds (or -1 when the row is gone), already in the records.
        int Slot = -1;
        // The row as the database holds it now: its version is the one a Yes expects.
        DatabaseStore::Row Now;
        std::string Error;  // Failed: why (Czech)
        Applied Changes;    // this write and what others did meanwhile
    };

    SharedArchive(DatabaseStore& store, ArchiveCls& records);

    // Connects and reads every live record into the records (which start empty).
    DatabaseStore::Status Load();
    // Takes in what other copies changed. A lost connection is reported; the next operation
    // connects again.
    DatabaseStore::Status Refresh(Applied& changes);

    // The version of a slot's record as the database last told it (0 for none).
    int Version(int slot) const;

    // Writes, each one transaction; `expected` is the version the clerk's record started from.
    Result Add(const ClientsDataCls& record);
    Result Update(int slot, int expected, const ClientsDataCls& record);
    Result Remove(int slot, int expected);
    Result Restore(int slot, int expected);

  private:
    // Brings one row as the database holds it into the records; returns its slot (-1 for a
    // row the records never held and that is not live) and notes what changed.
    int Take(const DatabaseStore::Row& row, Applied& changes);
    Result Finish(DatabaseStore::Write write);

    DatabaseStore& m_store;
    ArchiveCls& m_records;
    std::vector<std::int64_t> m_ids;  // by slot
    std::vector<int> m_versions;      // by slot
    IdMap<int> m_slots;
};

}  // namespace vexa
