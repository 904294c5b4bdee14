#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <vector>

#include "platform/Registry.h"
#include "platform/TextFiles.h"
#include "records/ArchiveJournal.h"
#include "records/ClientsDataCls.h"
#include "records/RecordTable.h"

namespace vexa {

// All archived records, in numbered slots that are never reused or compacted during a run (the
// archive list keeps a slot number with each row). The key is the document number, compared
// exactly. Records are held as compactly as their file holds them: the line forms and an index
// of their fields; Item makes a ClientsDataCls when asked.
//
// On disk: Archive.db (Windows-1250, one line form per record, CR LF after every line) and a
// journal beside it (Archive.db + kJournalSuffix) to which Save appends each change, flushed to
// the disk; Archive.db itself is rewritten whole, atomically, by SaveWhole and when the journal
// has grown past its bound. Load reads Archive.db, then replays the journal over it.
class ArchiveCls {
  public:
    static constexpr const char* kFileName = "Archive.db";
    static constexpr const char* kJournalSuffix = ".journal";
    static constexpr const char* kPathKey = "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa";
    static constexpr int kGrowBy = 100;
    static constexpr int kFields = 8;  // the texts of a record, in line-form order

    ArchiveCls(RegistryRoot& registry, std::string defaultDir);
    // An archive with no file: the records of a store that keeps them elsewhere (the database),
    // filled and changed through Keep, Put and Drop. It saves and loads nothing.
    struct HeldElsewhere {};
    explicit ArchiveCls(HeldElsewhere);

    std::string FileName;             // native path of Archive.db; "" when the location is unknown
    std::string JournalName() const;  // FileName + kJournalSuffix ("" when unknown)
    bool LocationUnknown() const;

    // Slots in use, removed slots included.
    int Pocet() const;
    int Capacity() const;
    // True when the slot holds a record (in range and not removed).
    bool Holds(int index) const;
    // Field `field` (0..7: CisloPasu, Prijmeni, Jmeno, rc, MistoNarozeni, DatumVydani,
    // Platnost, Vydavatel) of the record in a slot, as stored, without a copy; "" for a slot
    // that holds none. The view stays valid until that slot changes (Update, Remove) or the
    // archive is destroyed; Add never moves the bytes of other slots.
    std::string_view Field(int index, int field) const;
    // The line form of the record in a slot (no line end); "" for a slot that holds none.
    std::string_view Line(int index) const;
    // A copy of the record in a slot, or nothing (out of range or removed).
    std::optional<ClientsDataCls> Item(int index) const;
    // The slot of the first (lowest) stored record with the document number of `userData`
    // (byWhat 0; any other selector matches nothing), or -1. A hash look-up.
    int FindItem(const ClientsDataCls& userData, std::uint8_t byWhat = 0) const;
    int FindNumber(std::string_view cisloPasu) const;

    // Changes in memory; each is journalled by the next Save.
    // Overwrites the record FindItem finds; returns its slot, or -1 (nothing changed).
    int Update(const ClientsDataCls& userData);
    // Appends a copy in a new slot (Pocet() - 1 afterwards); returns that slot.
    int Add(const ClientsDataCls& userData);
    // Empties a slot; other slots and Pocet stay. The record's bytes are kept for Restore.
    void Remove(int index);
    // Brings a removed record of this run back into its own slot; false when the slot holds a
    // record or never held one.
    bool Restore(int index);

    // The records of a store that keeps them elsewhere, as it has them; nothing is marked for
    // Save. Keep appends a slot and returns it; Put gives a slot this line and takes a removal
    // away; Drop removes the record of a slot, keeping its bytes.
    int Keep(std::string_view line);
    void Put(int index, std::string_view line);
    void Drop(int index);
    // Keeps many lines in a row, a slot each as Keep gives them, gathered in blocks the records
    // take whole as they take a file's. The slots of lines still gathered exist after Finish.
    class Gatherer {
      public:
        explicit Gatherer(ArchiveCls& archive) : m_archive(archive) {}
        void Keep(std::string_view line);
        void Finish();

      private:
        ArchiveCls& m_archive;
        std::unique_ptr<char[]> m_block;
        std::size_t m_size = 0;
        std::size_t m_room = 0;
    };

    // Makes every change since the last Save durable: appended to the journal and flushed to
    // the disk (fdatasync) before it returns Ok. Rewrites Archive.db whole (and starts an empty
    // journal) when the journal has grown past its bound. A failure keeps the changes pending,
    // so the next Save tries them again. Refuses (and writes nothing) when the location is
    // unknown or the file could not be loaded.
    FileResult Save();
    // Rewrites Archive.db whole from the records (temporary file, flush, rename) and removes
    // the journal; at exit. Same refusals as Save.
    FileResult SaveWhole();
    // Reads Archive.db and replays its journal. A missing file is no failure. A file that
    // exists but cannot be read is reported and marks the archive so nothing overwrites it.
    // Load never writes a file.
    FileResult Load();
    bool LoadFailed() const;
    // True when records were added, changed, removed or restored since the archive was loaded
    // or last saved (Save or SaveWhole).
    bool Changed() const;

  private:
    static constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;
    enum class JournalState {
        Absent,  // none on the disk: the next Save starts one
        Live,    // continues Archive.db as this run holds it; good up to m_journalEnd
        Discard  // there, but nothing in it counts (already in Archive.db, or cut short)
    };

    FileResult Refusal() const;
    NewFiles Creation() const;
    FileResult MakeDirectory() const;
    void Mark(int slot);
    // The slot a replay of the journal gives this run's slot, or kNoSlot.
    std::uint32_t JournalSlot(int slot) const;
    // Rewrites Archive.db from the records, safely, and ends the journal.
    FileResult Fold();
    FileResult ReadJournal();
    void Forget();

    std::string m_defaultDir;
    bool m_usesDefaultDir = false;
    bool m_locationUnknown = false;
    bool m_heldElsewhere = false;
    bool m_loadFailed = false;
    bool m_loaded = false;
    bool m_changed = false;
    RecordTable m_records;
    std::vector<int> m_pending;  // slots changed since the last save, each once (marked)

    ArchiveJournal m_journal;
    JournalState m_journalState = JournalState::Absent;
    FileIdentity m_file;               // Archive.db as this run last read or wrote it
    std::uint64_t m_journalEnd = 0;    // where the journal's last good entry ends
    int m_savedSlots = 0;              // this run's slots when it last saved
    std::uint32_t m_journalSlots = 0;  // the slots a replay of the journal makes
    // This run's slot -> the journal's, once Archive.db was written without removed slots;
    // empty while they are the same.
    std::vector<std::uint32_t> m_journalSlot;
};

}  // namespace vexa
