#include "records/RecordTable.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/Checksums.h"
#include "records/ClientsDataCls.h"

namespace vexa {
namespace {

constexpr char kSep = ClientsDataCls::kSeparator;
constexpr std::size_t kBlock = 1 << 16;
constexpr std::uint32_t kMaxSeparators = 7 + 3 * ClientsDataCls::kMaxChildren;

// A line a record writes: eight values, then whole groups of a child's three values, at most
// as many children as a record holds.
bool RecordForm(std::uint32_t seps) {
    return seps >= 7 && (seps - 7) % 3 == 0 && seps <= kMaxSeparators;
}

}  // namespace

void RecordTable::Clear() {
    m_chunks.clear();
    m_count = 0;
    m_blocks.clear();
    m_free = nullptr;
    m_freeSize = 0;
    m_table.reset();
    m_mask = 0;
    m_numbers = 0;
}

std::uint32_t RecordTable::Separators(std::string_view line, std::uint16_t* ends) {
    std::uint32_t seps = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == kSep) {
            if (seps < 7)
                ends[seps] = static_cast<std::uint16_t>(i);
            ++seps;
        }
    }
    return seps;
}

void RecordTable::Index(Slot& s, const char* line, std::size_t length, std::uint32_t seps,
                        const std::uint16_t* ends) {
    s.line = line;
    s.length = static_cast<std::uint32_t>(length);
    s.flags = static_cast<std::uint8_t>((s.flags & (kRemoved | kMarked)) |
                                        (length > 0xFFFF ? kLong : 0) | (seps > 7 ? kChildren : 0));
    std::memcpy(s.ends, ends, sizeof s.ends);
}

const char* RecordTable::Keep(std::string_view bytes) {
    if (bytes.size() > m_freeSize) {
        const std::size_t size = std::max(kBlock, bytes.size());
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
        m_free = m_blocks.back().get();
        m_freeSize = size;
    }
    char* at = m_free;
    if (!bytes.empty())
        std::memcpy(at, bytes.data(), bytes.size());
    m_free += bytes.size();
    m_freeSize -= bytes.size();
    return at;
}

bool RecordTable::Place(std::string_view line, bool asRecord, const char*& at, std::size_t& length,
                        std::uint32_t& seps, std::uint16_t* ends) {
    seps = Separators(line, ends);
    bool kept = true;
    std::string formed;
    if (seps < 7 || (asRecord && !RecordForm(seps))) {
        ClientsDataCls record;
        kept = record.LoadFromLine(line);
        formed = record.GetDataAsLine();
        line = formed;
        seps = Separators(line, ends);
    }
    at = Keep(line);
    length = line.size();
    return kept;
}

void RecordTable::Push(const char* line, std::size_t length, std::uint32_t seps,
                       const std::uint16_t* ends, std::uint32_t hash) {
    const std::uint32_t slot = m_count;
    if ((slot >> kChunkBits) == m_chunks.size())
        m_chunks.push_back(std::make_unique_for_overwrite<Slot[]>(std::size_t{1} << kChunkBits));
    Slot& s = At(static_cast<int>(slot));
    s.flags = 0;
    s.spare = 0;
    s.next = hash;
    Index(s, line, length, seps, ends);
    ++m_count;
}

int RecordTable::Adopt(std::unique_ptr<char[]> bytes, std::size_t size, Hash64* hash) {
    const char* const base = bytes.get();
    if (base != nullptr)
        m_blocks.push_back(std::move(bytes));
    const std::uint32_t first = m_count;
    int lineNo = 0;
    int tooMany = 0;
    std::size_t start = 0;
    std::uint32_t seps = 0;
    std::uint16_t ends[7] = {};
    std::uint32_t key = 0;  // the hash of the line's document number
    auto separator = [&](std::size_t at) {
        if (seps < 7) {
            // The number was just read and is still at hand.
            if (seps == 0)
                key = HashOf({base + start, at - start});
            ends[seps] = static_cast<std::uint16_t>(at - start);
        }
        ++seps;
    };
    auto lineEnd = [&](std::size_t at, bool lf) {
        ++lineNo;
        std::size_t stop = at;
        if (lf && stop > start && base[stop - 1] == '\r')
            --stop;
        if (stop > start) {
            const std::string_view line(base + start, stop - start);
            if (RecordForm(seps)) {
                Push(line.data(), line.size(), seps, ends, key);
            } else {
                // Read and written as a record would be, so the file gets what it always got.
                const char* placed = nullptr;
                std::size_t length = 0;
                std::uint32_t n = 0;
                std::uint16_t formed[7] = {};
                if (!Place(line, true, placed, length, n, formed) && tooMany == 0)
                    tooMany = lineNo;
                Push(placed, length, n, formed, 0);
                At(static_cast<int>(m_count - 1)).next =
                    HashOf(FieldOf(static_cast<int>(m_count - 1), 0));
            }
        }
        start = at + 1;
        seps = 0;
    };
    std::size_t i = 0;
    std::size_t hashed = 0;
#if defined(__SSE2__)
    // 32 bytes at a time: the separators and line ends among them as bits, taken in order.
    const __m128i semi = _mm_set1_epi8(kSep);
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 32 <= size; i += 32) {
        // Hashed a kilobyte at a time, while it is in the cache.
        if (hash != nullptr && i == hashed && i + 1024 <= size) {
            hash->Update(base + i, 1024);
            hashed += 1024;
        }
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i + 16));
        const auto seen = [](__m128i x, __m128i y) {
            return static_cast<std::uint32_t>(_mm_movemask_epi8(x)) |
                   static_cast<std::uint32_t>(_mm_movemask_epi8(y)) << 16;
        };
        const std::uint32_t ends32 = seen(_mm_cmpeq_epi8(a, lf), _mm_cmpeq_epi8(b, lf));
        std::uint32_t any = seen(_mm_cmpeq_epi8(a, semi), _mm_cmpeq_epi8(b, semi)) | ends32;
        while (any != 0) {
            const int bit = std::countr_zero(any);
            any &= any - 1;
            if ((ends32 >> bit) & 1)
                lineEnd(i + static_cast<std::size_t>(bit), true);
            else
                separator(i + static_cast<std::size_t>(bit));
        }
    }
#endif
    if (hash != nullptr)
        hash->Update(base + hashed, size - hashed);
    for (; i < size; ++i) {
        if (base[i] == kSep)
            separator(i);
        else if (base[i] == '\n')
            lineEnd(i, true);
    }
    if (start < size)
        lineEnd(size, false);

    // The hash over the numbers, sized once for all the lines; each bucket is fetched a few
    // lines ahead of its use, so that the misses overlap. Until a slot is linked, its `next`
    // holds the hash of its number.
    Reserve(m_count - first);
    constexpr std::uint32_t kAhead = 8;
    for (std::uint32_t s = first; s < m_count; ++s) {
#if defined(__GNUC__)
        if (s + kAhead < m_count)
            __builtin_prefetch(&m_table[At(static_cast<int>(s + kAhead)).next & m_mask]);
#endif
        Link(s, At(static_cast<int>(s)).next);
    }
    return tooMany;
}

void RecordTable::Reserve(std::size_t more) {
    std::size_t want = 64;
    while (want < 2 * (m_numbers + more))
        want *= 2;
    if (want > m_mask + 1)
        Grow(want);
}

bool RecordTable::Append(std::string_view line, bool asRecord) {
    const char* at = nullptr;
    std::size_t length = 0;
    std::uint32_t seps = 0;
    std::uint16_t ends[7] = {};
    const bool kept = Place(line, asRecord, at, length, seps, ends);
    Push(at, length, seps, ends, 0);
    if (2 * (m_numbers + 1) > m_mask + 1)
        Grow(std::max<std::size_t>(64, 2 * (m_mask + 1)));
    Link(m_count - 1, HashOf(FieldOf(static_cast<int>(m_count - 1), 0)));
    return kept;
}

bool RecordTable::Replace(int slot, std::string_view line, bool asRecord) {
    const char* at = nullptr;
    std::size_t length = 0;
    std::uint32_t seps = 0;
    std::uint16_t ends[7] = {};
    const bool kept = Place(line, asRecord, at, length, seps, ends);
    const std::string_view number(at, seps > 0 ? ends[0] : length);
    const bool sameNumber = number == FieldOf(slot, 0);
    const auto s = static_cast<std::uint32_t>(slot);
    if (!sameNumber)
        Unlink(s);
    Index(At(slot), at, length, seps, ends);
    if (!sameNumber) {
        if (2 * (m_numbers + 1) > m_mask + 1)
            Grow(2 * (m_mask + 1));
        Link(s, HashOf(number));
    }
    return kept;
}

void RecordTable::SetRemoved(int slot, bool removed) {
    Slot& s = At(slot);
    s.flags = static_cast<std::uint8_t>(removed ? s.flags | kRemoved : s.flags & ~kRemoved);
}

void RecordTable::SetMarked(int slot, bool marked) {
    Slot& s = At(slot);
    s.flags = static_cast<std::uint8_t>(marked ? s.flags | kMarked : s.flags & ~kMarked);
}

std::string_view RecordTable::FieldOf(int slot, int field) const {
    const Slot& s = At(slot);
    const std::string_view line(s.line, s.length);
    if (field < 0 || field >= kFields)
        return {};
    if ((s.flags & kLong) != 0) {
        std::size_t start = 0;
        for (int f = 0; f < field; ++f)
            start = line.find(kSep, start) + 1;
        const std::size_t end = line.find(kSep, start);
        return line.substr(start,
                           end == std::string_view::npos ? line.size() - start : end - start);
    }
    const std::size_t start = field == 0 ? 0 : std::size_t{s.ends[field - 1]} + 1;
    std::size_t end;
    if (field < 7)
        end = s.ends[field];
    else if ((s.flags & kChildren) != 0)
        end = line.find(kSep, start);
    else
        end = line.size();
    return line.substr(start, end - start);
}

// Eight bytes at a time (a document number is about one such word), multiplied and folded,
// then mixed so that numbers alike in their last digits spread over the whole table. The hash
// lives only in memory, so the machine's byte order does not matter.
std::uint32_t RecordTable::HashOf(std::string_view number) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = number.size() * kMul;
    const char* p = number.data();
    std::size_t left = number.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * kMul;
        h ^= h >> 29;
    }
    if (left > 0) {
        std::uint64_t word = 0;
        for (std::size_t k = 0; k < left; ++k)
            word |= std::uint64_t{static_cast<unsigned char>(p[k])} << (8 * k);
        h = (h ^ word) * kMul;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

std::uint32_t RecordTable::EntryOf(std::string_view number, std::uint32_t hash) const {
    std::size_t i = hash & m_mask;
    for (;;) {
        const Entry& e = m_table[i];
        if (e.last == kNone)
            return kNone;
        if (e.hash == hash && FieldOf(static_cast<int>(e.last), 0) == number)
            return static_cast<std::uint32_t>(i);
        i = (i + 1) & m_mask;
    }
}

int RecordTable::Find(std::string_view number) const {
    if (m_mask == 0)
        return -1;
    const std::uint32_t e = EntryOf(number, HashOf(number));
    if (e == kNone)
        return -1;
    // The ring starts at the lowest slot after the highest.
    const std::uint32_t head = At(static_cast<int>(m_table[e].last)).next;
    std::uint32_t s = head;
    do {
        if ((At(static_cast<int>(s)).flags & kRemoved) == 0)
            return static_cast<int>(s);
        s = At(static_cast<int>(s)).next;
    } while (s != head);
    return -1;
}

void RecordTable::Link(std::uint32_t slot, std::uint32_t hash) {
    std::size_t i = hash & m_mask;
    for (;;) {
        Entry& e = m_table[i];
        if (e.last == kNone) {
            e = {slot, hash};
            At(static_cast<int>(slot)).next = slot;
            ++m_numbers;
            return;
        }
        // The lines are read only when the hashes agree.
        if (e.hash == hash &&
            FieldOf(static_cast<int>(e.last), 0) == FieldOf(static_cast<int>(slot), 0))
            break;
        i = (i + 1) & m_mask;
    }
    Entry& e = m_table[i];
    Slot& added = At(static_cast<int>(slot));
    Slot& last = At(static_cast<int>(e.last));
    if (slot > e.last) {
        // The usual case: a new highest slot.
        added.next = last.next;
        last.next = slot;
        e.last = slot;
        return;
    }
    std::uint32_t before = e.last;
    std::uint32_t s = last.next;
    while (s < slot) {
        before = s;
        s = At(static_cast<int>(s)).next;
    }
    added.next = s;
    At(static_cast<int>(before)).next = slot;
}

void RecordTable::Unlink(std::uint32_t slot) {
    const std::string_view number = FieldOf(static_cast<int>(slot), 0);
    std::size_t i = EntryOf(number, HashOf(number));
    Slot& gone = At(static_cast<int>(slot));
    if (gone.next != slot) {
        std::uint32_t before = slot;
        while (At(static_cast<int>(before)).next != slot)
            before = At(static_cast<int>(before)).next;
        At(static_cast<int>(before)).next = gone.next;
        if (m_table[i].last == slot)
            m_table[i].last = before;
        gone.next = slot;
        return;
    }
    // The number's last slot: its entry goes, and the entries after it that would not be
    // found past the gap move up (linear probing without tombstones).
    m_table[i] = Entry{};
    --m_numbers;
    for (std::size_t j = (i + 1) & m_mask; m_table[j].last != kNone; j = (j + 1) & m_mask) {
        const std::size_t home = m_table[j].hash & m_mask;
        const bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (stays)
            continue;
        m_table[i] = m_table[j];
        m_table[j] = Entry{};
        i = j;
    }
}

void RecordTable::Grow(std::size_t size) {
    auto table = std::make_unique<Entry[]>(size);
    const std::size_t mask = size - 1;
    for (std::size_t i = 0; m_mask != 0 && i <= m_mask; ++i) {
        const Entry& e = m_table[i];
        if (e.last == kNone)
            continue;
        std::size_t j = e.hash & mask;
        while (table[j].last != kNone)
            j = (j + 1) & mask;
        table[j] = e;
    }
    m_table = std::move(table);
    m_mask = mask;
}

}  // namespace vexa
