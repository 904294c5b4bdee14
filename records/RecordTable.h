#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class Hash64;

// The archive's records held as compactly as a file holds them: each record is its line form,
// kept in blocks of bytes that never move (the first block is the archive file as it was
// read), and each slot knows only where its line is, how long it is, where its first seven
// fields end and whether it is removed. A hash over the document numbers finds a record's slot
// without a scan. Nothing here reads or writes a file, so any store can keep its records in
// one.
//
// Slots are numbered from 0 and never move; a removed slot keeps its bytes so it can be
// brought back. Every line held has at least eight values (seven separators).
class RecordTable {
  public:
    static constexpr int kFields = 8;

    RecordTable() = default;
    ~RecordTable() = default;
    RecordTable(const RecordTable&) = delete;
    RecordTable& operator=(const RecordTable&) = delete;

    // Empties the table.
    void Clear();
    // Takes the bytes of an archive file (`size` of them) and makes a slot of every line that
    // is not empty, in order. A line ends at LF, a CR before the LF is not part of it, and a
    // last line needs no end. A line not in the form a record writes (fewer than eight values,
    // an incomplete group of a child's three values) is held in that form, as a record reads
    // and writes it. Returns the number (from 1, empty lines counted) of the first line with
    // more children than a record can hold, or 0; such a line keeps those a record can.
    // With `hash`, the bytes are hashed as they are read.
    int Adopt(std::unique_ptr<char[]> bytes, std::size_t size, Hash64* hash = nullptr);

    // Appends a slot holding `line`. With `asRecord`, a line not in the form a record writes
    // is brought into it first (as Adopt does); otherwise only a line of fewer than eight
    // values is. Returns false when a record could not hold all the children of the line.
    bool Append(std::string_view line, bool asRecord);
    // Makes room in the hash for `more` document numbers at once.
    void Reserve(std::size_t more);
    // Gives a slot another line (as Append does); the slot's removed state stays.
    bool Replace(int slot, std::string_view line, bool asRecord);
    void SetRemoved(int slot, bool removed);
    // A mark for the store's own use (a change not yet saved); cleared by nothing else.
    bool Marked(int slot) const { return (At(slot).flags & kMarked) != 0; }
    void SetMarked(int slot, bool marked);

    int Count() const { return static_cast<int>(m_count); }
    bool InRange(int slot) const { return slot >= 0 && static_cast<std::uint32_t>(slot) < m_count; }
    // In range and not removed.
    bool Holds(int slot) const { return InRange(slot) && (At(slot).flags & kRemoved) == 0; }
    // The line of a slot in range, removed or not.
    std::string_view Bytes(int slot) const {
        const Slot& s = At(slot);
        return {s.line, s.length};
    }
    // Field 0..7 of a slot in range, removed or not.
    std::string_view FieldOf(int slot, int field) const;
    // The lowest slot that holds a record with exactly this document number, or -1.
    int Find(std::string_view number) const;

  private:
    enum : std::uint8_t {
        kRemoved = 1,
        kLong = 2,      // a line too long for `ends`: its fields are found by a scan
        kChildren = 4,  // more than eight values: field 7 ends at a separator
        kMarked = 8,
    };
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    static constexpr int kChunkBits = 16;

    struct Slot {
        const char* line;
        std::uint32_t length;
        std::uint32_t next;     // the next slot with the same number, ascending, in a ring
        std::uint16_t ends[7];  // where fields 0..6 end, from the line's start
        std::uint8_t flags;
        std::uint8_t spare;
    };
    struct Entry {
        std::uint32_t last = kNone;  // the highest slot with the number (its ring's tail)
        std::uint32_t hash = 0;
    };

    Slot& At(int slot) {
        const auto i = static_cast<std::uint32_t>(slot);
        return m_chunks[i >> kChunkBits][i & ((1u << kChunkBits) - 1)];
    }
    const Slot& At(int slot) const { return const_cast<RecordTable*>(this)->At(slot); }

    // The slot after the last, its fields found from the separators of the line (`seps` of
    // them, the first seven at `ends`).
    // `hash` waits in `next` until the slot is linked.
    void Push(const char* line, std::size_t length, std::uint32_t seps, const std::uint16_t* ends,
              std::uint32_t hash);
    // Where a line is held: its own bytes when it is in a form that may be held, else a copy
    // in a record's form in the blocks; false when children had to be dropped.
    // `seps` and `ends` are those of the line as held.
    bool Place(std::string_view line, bool asRecord, const char*& at, std::size_t& length,
               std::uint32_t& seps, std::uint16_t* ends);
    const char* Keep(std::string_view bytes);
    static void Index(Slot& s, const char* line, std::size_t length, std::uint32_t seps,
                      const std::uint16_t* ends);
    static std::uint32_t Separators(std::string_view line, std::uint16_t* ends);

    static std::uint32_t HashOf(std::string_view number);
    std::uint32_t EntryOf(std::string_view number, std::uint32_t hash) const;
    void Link(std::uint32_t slot, std::uint32_t hash);
    void Unlink(std::uint32_t slot);
    void Grow(std::size_t size);

    std::vector<std::unique_ptr<Slot[]>> m_chunks;
    std::uint32_t m_count = 0;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr;  // room left in the last block for appended lines
    std::size_t m_freeSize = 0;
    std::unique_ptr<Entry[]> m_table;
    std::size_t m_mask = 0;  // table size - 1; 0 when there is no table
    std::size_t m_numbers = 0;
};

}  // namespace vexa
