#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/TextFiles.h"
#include "records/ClientsDataCls.h"

namespace vexa {

// All archived records, in memory in numbered slots and on disk in Archive.db (Windows-1250,
// one line form per record, CR LF after every line). Slots are never reused or compacted
// during a run, so a slot number identifies a record for the whole run (the archive list keeps
// it with each row). The key is the document number, compared exactly.
class ArchiveCls {
  public:
    static constexpr const char* kFileName = "Archive.db";
    static constexpr const char* kPathKey = "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa";
    static constexpr int kGrowBy = 100;

    // The directory is the value "path" of HKEY_LOCAL_MACHINE\SOFTWARE\Lomar\Vexa; without it,
    // `defaultDir` (the user's data directory), created when the archive is first saved. When
    // the machine-wide hive exists but could not be read, the directory is unknown: see
    // LocationUnknown.
    ArchiveCls(RegistryRoot& registry, std::string defaultDir);

    std::string FileName;  // native path of the archive file; "" when the location is unknown

    // True when the installation's settings (the machine-wide hive) exist but could not be
    // read: the shared archive may be named there, so nothing is read from or written to any
    // archive file in this run (Load reads nothing, Save refuses).
    bool LocationUnknown() const { return m_locationUnknown; }

    int Pocet() const { return ItemCount; }
    int Capacity() const { return m_capacity; }
    // The first stored record with the document number of `userData` (byWhat 0; any other
    // selector matches nothing), or nullptr.
    ClientsDataCls* FindItem(const ClientsDataCls& userData, std::uint8_t byWhat = 0);
    // Overwrites the stored record with the document number of `userData`; nothing if none.
    void Update(const ClientsDataCls& userData);
    // Appends a copy in a new slot.
    void Add(const ClientsDataCls& userData);
    void Add(ClientsDataCls&& userData);
    // Empties a slot; other slots and Pocet stay.
    void Remove(int index);
    // A copy of the record in a slot, or nothing (out of range or removed).
    std::optional<ClientsDataCls> Item(int index) const;
    // The stored record itself, or nullptr.
    ClientsDataCls* GetItem(int index);

    // Writes every record to FileName safely (temporary file, flush, rename). Refuses when the
    // file exists but could not be read by Load, so that it is never overwritten, and when the
    // location is unknown.
    FileResult Save();
    // Appends the records of FileName. A missing file is no failure. A file that exists but
    // cannot be read is reported and marks the archive so Save will not overwrite it. Reads
    // nothing when the location is unknown.
    FileResult Load();
    bool LoadFailed() const { return m_loadFailed; }
    // True when records were added, changed or removed since the archive was loaded or last
    // saved.
    bool Changed() const { return m_changed; }

  private:
    std::string m_defaultDir;
    bool m_usesDefaultDir = false;
    bool m_locationUnknown = false;
    bool m_loadFailed = false;
    bool m_changed = false;
    int ItemCount = 0;
    int m_capacity = kGrowBy;
    std::vector<std::unique_ptr<ClientsDataCls>> Items;
};

}  // namespace vexa
