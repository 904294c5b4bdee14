#include "records/ArchiveCls.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/AtomicFile.h"
#include "platform/Checksums.h"
#include "platform/Cp1250.h"
#include "records/ArchiveMessages.h"

namespace vexa {
namespace {

// A line end inside a text would split the record in two in Archive.db (and cut its journal
// entry short): the record keeps a blank in its place.
std::string LineOf(const ClientsDataCls& record) {
    std::string line = record.GetDataAsLine();
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

}  // namespace

ArchiveCls::ArchiveCls(RegistryRoot& registry, std::string defaultDir)
    : m_defaultDir(std::move(defaultDir)) {
    // The installation's hive may name a shared archive; when it cannot be read, falling back
    // to the user's own directory would show an empty archive and save records away from it.
    if (registry.Problem("HKEY_LOCAL_MACHINE")) {
        m_locationUnknown = true;
        return;
    }
    std::string dir;
    bool found = false;
    if (auto key = registry.OpenKey(kPathKey)) {
        // The exact name counts; when several match, the last one wins.
        for (int i = 0; i < key->ValueCount(); ++i) {
            if (key->ValueName(i) == "path") {
                dir = key->ValueData(i);
                found = true;
            }
        }
    }
    if (found && !dir.empty()) {
        // The registry holds Windows-1250 text; file names here are UTF-8.
        dir = Cp1250::ToUtf8(dir);
    } else {
        // Never the root of the file system: without an installed path the archive lives in
        // the user's data directory.
        dir = m_defaultDir;
        m_usesDefaultDir = true;
    }
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    FileName = dir == "/" ? dir + kFileName : dir + "/" + kFileName;
}

ArchiveCls::ArchiveCls(HeldElsewhere) : m_heldElsewhere(true) {}

std::string ArchiveCls::JournalName() const {
    return FileName.empty() ? std::string() : FileName + kJournalSuffix;
}

bool ArchiveCls::LocationUnknown() const {
    return m_locationUnknown;
}

int ArchiveCls::Pocet() const {
    return m_records.Count();
}

int ArchiveCls::Capacity() const {
    // The slot array of old grew in blocks of kGrowBy, when the last slot was about to be
    // taken.
    const int count = Pocet();
    return count <= kGrowBy ? kGrowBy : (count + kGrowBy - 1) / kGrowBy * kGrowBy;
}

bool ArchiveCls::Holds(int index) const {
    return m_records.Holds(index);
}

std::string_view ArchiveCls::Field(int index, int field) const {
    return Holds(index) ? m_records.FieldOf(index, field) : std::string_view();
}

std::string_view ArchiveCls::Line(int index) const {
    return Holds(index) ? m_records.Bytes(index) : std::string_view();
}

std::optional<ClientsDataCls> ArchiveCls::Item(int index) const {
    if (!Holds(index))
        return std::nullopt;
    ClientsDataCls record;
    record.LoadFromLine(m_records.Bytes(index));
    return record;
}

int ArchiveCls::FindItem(const ClientsDataCls& userData, std::uint8_t byWhat) const {
    return byWhat == 0 ? FindNumber(userData.CisloPasu) : -1;
}

int ArchiveCls::FindNumber(std::string_view cisloPasu) const {
    return m_records.Find(cisloPasu);
}

void ArchiveCls::Mark(int slot) {
    m_changed = true;
    if (!m_records.Marked(slot)) {
        m_records.SetMarked(slot, true);
        m_pending.push_back(slot);
    }
}

int ArchiveCls::Update(const ClientsDataCls& userData) {
    const int slot = FindItem(userData, 0);
    if (slot < 0)
        return -1;
    m_records.Replace(slot, LineOf(userData), false);
    Mark(slot);
    return slot;
}

int ArchiveCls::Add(const ClientsDataCls& userData) {
    m_records.Append(LineOf(userData), false);
    const int slot = Pocet() - 1;
    Mark(slot);
    return slot;
}

void ArchiveCls::Remove(int index) {
    if (!Holds(index))
        return;
    m_records.SetRemoved(index, true);
    Mark(index);
}

bool ArchiveCls::Restore(int index) {
    if (!m_records.InRange(index) || Holds(index))
        return false;
    m_records.SetRemoved(index, false);
    Mark(index);
    return true;
}

int ArchiveCls::Keep(std::string_view line) {
    m_records.Append(line, true);
    return Pocet() - 1;
}

void ArchiveCls::Put(int index, std::string_view line) {
    if (!m_records.InRange(index))
        return;
    m_records.Replace(index, line, true);
    m_records.SetRemoved(index, false);
}

void ArchiveCls::Drop(int index) {
    if (Holds(index))
        m_records.SetRemoved(index, true);
}

void ArchiveCls::Gatherer::Keep(std::string_view line) {
    // A block holds lines ended by line feeds, none empty: a line it cannot carry as it is
    // goes on its own, after the lines before it.
    if (line.empty() || std::memchr(line.data(), '\n', line.size()) != nullptr ||
        std::memchr(line.data(), '\r', line.size()) != nullptr) {
        Finish();
        m_archive.Keep(line);
        return;
    }
    if (m_room - m_size < line.size() + 1) {
        Finish();
        m_room = std::max<std::size_t>(256 * 1024, line.size() + 1);
        m_block = std::make_unique_for_overwrite<char[]>(m_room);
    }
    std::memcpy(m_block.get() + m_size, line.data(), line.size());
    m_size += line.size();
    m_block[m_size++] = '\n';
}

void ArchiveCls::Gatherer::Finish() {
    if (m_size > 0)
        m_archive.m_records.Adopt(std::move(m_block), m_size, nullptr);
    m_size = m_room = 0;
}

bool ArchiveCls::LoadFailed() const {
    return m_loadFailed;
}

bool ArchiveCls::Changed() const {
    return m_changed;
}

FileResult ArchiveCls::Refusal() const {
    if (m_locationUnknown || m_heldElsewhere)
        return FileResult::Fail(ArchiveMessages::LocationUnknown());
    if (m_loadFailed)
        return FileResult::Fail(ArchiveMessages::NotOverwritten());
    return FileResult::Ok();
}

NewFiles ArchiveCls::Creation() const {
    // Birth numbers and document numbers: the user's own archive is the user's alone; a shared
    // one is for the group of its directory.
    return m_usesDefaultDir ? NewFiles::Private() : NewFiles::Shared();
}

FileResult ArchiveCls::MakeDirectory() const {
    // Only the user's own data directory is made; an installation's directory must be there.
    return m_usesDefaultDir ? TextFiles::MakeDirs(m_defaultDir, Creation()) : FileResult::Ok();
}

std::uint32_t ArchiveCls::JournalSlot(int slot) const {
    const auto s = static_cast<std::uint32_t>(slot);
    if (m_journalSlot.empty())
        return s < m_journalSlots ? s : kNoSlot;
    return s < m_journalSlot.size() ? m_journalSlot[s] : kNoSlot;
}

FileResult ArchiveCls::Save() {
    if (FileResult refused = Refusal(); !refused.ok)
        return refused;
    // Without a load nothing is known of the file: it is written whole, from the records.
    if (!m_loaded)
        return SaveWhole();
    if (m_pending.empty())
        return FileResult::Ok();
    if (FileResult dir = MakeDirectory(); !dir.ok)
        return dir;

    std::string text;
    std::uint64_t at = m_journalEnd;
    if (m_journalState != JournalState::Live) {
        at = 0;
        ArchiveJournal::AppendStart(text, m_file);
    }
    std::sort(m_pending.begin(), m_pending.end());
    std::uint32_t journalSlots = m_journalSlots;
    std::vector<std::pair<int, std::uint32_t>> numbered;
    for (int slot : m_pending) {
        const bool held = Holds(slot);
        std::uint32_t j = JournalSlot(slot);
        if (j != kNoSlot) {
            if (held)
                ArchiveJournal::AppendEntry(text, '=', j, m_records.Bytes(slot));
            else
                ArchiveJournal::AppendEntry(text, '-', j);
            continue;
        }
        // A slot the journal's run does not have yet: a new one, or one left out when
        // Archive.db was last written and since brought back. A new slot is journalled even
        // when it was removed again, so that the slots after it keep their numbers.
        if (!held && slot < m_savedSlots)
            continue;
        j = journalSlots++;
        numbered.emplace_back(slot, j);
        ArchiveJournal::AppendEntry(text, '+', j, m_records.Bytes(slot));
        if (!held)
            ArchiveJournal::AppendEntry(text, '-', j);
    }
    if (FileResult r = m_journal.WriteAt(JournalName(), at, text, Creation()); !r.ok)
        return r;

    m_journalState = JournalState::Live;
    m_journalEnd = at + text.size();
    m_journalSlots = journalSlots;
    if (!m_journalSlot.empty()) {
        m_journalSlot.resize(static_cast<std::size_t>(Pocet()), kNoSlot);
        for (const auto& [slot, j] : numbered)
            m_journalSlot[static_cast<std::size_t>(slot)] = j;
    }
    for (int slot : m_pending)
        m_records.SetMarked(slot, false);
    m_pending.clear();
    m_savedSlots = Pocet();
    m_changed = false;

    // The journal is bounded: past an eighth of Archive.db (at least a megabyte) the records
    // go into Archive.db whole. Everything is saved already, so a rewrite that fails is tried
    // again by the next save.
    const std::uint64_t bound = std::max<std::uint64_t>(1u << 20, m_file.size / 8);
    if (m_journalEnd > bound)
        Fold();
    return FileResult::Ok();
}

FileResult ArchiveCls::SaveWhole() {
    if (FileResult refused = Refusal(); !refused.ok)
        return refused;
    if (FileResult dir = MakeDirectory(); !dir.ok)
        return dir;
    return Fold();
}

// The order keeps every moment safe: until the rename Archive.db is the old file and the
// journal continues it; the journal says which new file holds its records before that file
// takes the name, so once it has, the journal is known to be spent even if it is still there.
FileResult ArchiveCls::Fold() {
    AtomicFile file;
    FileResult r = file.Open(FileName, Creation());
    // Written in pieces of about a quarter megabyte: a large archive is never copied into one
    // big buffer.
    constexpr std::size_t kPiece = 1 << 18;
    std::string piece;
    piece.reserve(kPiece + 4096);
    Hash64 hash;
    FileIdentity written;
    const int count = Pocet();
    for (int i = 0; i < count && r.ok; ++i) {
        if (Holds(i)) {
            piece.append(m_records.Bytes(i)).append("\r\n");
        }
        if (piece.size() >= kPiece || (i + 1 == count && !piece.empty())) {
            hash.Update(piece);
            written.size += piece.size();
            r = file.Write(piece);
            piece.clear();
        }
    }
    if (r.ok)
        r = file.Flush();
    if (!r.ok)
        return r;
    written.hash = hash.Final();

    if (m_journalState == JournalState::Live) {
        std::string folded;
        ArchiveJournal::AppendFolded(folded, written);
        r = m_journal.WriteAt(JournalName(), m_journalEnd, folded, Creation());
    } else if (m_journalState == JournalState::Discard) {
        // Nothing in it counts now, and once the new file has the name it would match neither.
        r = m_journal.Remove(JournalName());
    }
    if (r.ok)
        r = file.Commit();
    if (!r.ok)
        return r;
    m_journalState =
        m_journal.Remove(JournalName()).ok ? JournalState::Absent : JournalState::Discard;
    m_journalEnd = 0;
    m_file = written;

    // The next journal continues the file just written, whose lines are the records held:
    // a removed slot has no place in it.
    m_journalSlot.clear();
    std::uint32_t lines = 0;
    bool removed = false;
    for (int i = 0; i < count; ++i)
        removed = removed || !Holds(i);
    if (removed) {
        m_journalSlot.assign(static_cast<std::size_t>(count), kNoSlot);
        for (int i = 0; i < count; ++i) {
            if (Holds(i))
                m_journalSlot[static_cast<std::size_t>(i)] = lines++;
        }
    } else {
        lines = static_cast<std::uint32_t>(count);
    }
    m_journalSlots = lines;
    for (int slot : m_pending)
        m_records.SetMarked(slot, false);
    m_pending.clear();
    m_savedSlots = count;
    m_changed = false;
    m_loaded = true;
    return FileResult::Ok();
}

void ArchiveCls::Forget() {
    m_records.Clear();
    m_pending.clear();
    m_journal.Close();
    m_journalState = JournalState::Absent;
    m_journalEnd = 0;
    m_journalSlot.clear();
    m_file = {};
    m_loadFailed = false;
    m_changed = false;
}

FileResult ArchiveCls::Load() {
    Forget();
    m_loaded = true;
    if (m_locationUnknown || m_heldElsewhere)
        return FileResult::Ok();
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    if (TextFiles::Exists(FileName)) {
        FileResult read = TextFiles::ReadAll(FileName, bytes, size);
        if (!read.ok) {
            m_loadFailed = true;
            return read;
        }
    }
    Hash64 hash;
    const int tooManyChildren = m_records.Adopt(std::move(bytes), size, &hash);
    m_file = {size, hash.Final()};
    if (tooManyChildren != 0) {
        // A record cannot hold all the children of that line; saving would lose them.
        m_loadFailed = true;
        return FileResult::Fail(
            ArchiveMessages::TooManyChildren(tooManyChildren, ClientsDataCls::kMaxChildren));
    }
    FileResult journal = ReadJournal();
    m_savedSlots = Pocet();
    m_journalSlots = static_cast<std::uint32_t>(Pocet());
    if (!journal.ok)
        m_loadFailed = true;
    return journal;
}

FileResult ArchiveCls::ReadJournal() {
    const std::string name = std::string(kFileName) + kJournalSuffix;
    if (!TextFiles::Exists(JournalName()))
        return FileResult::Ok();
    std::string bytes;
    if (FileResult read = TextFiles::ReadAll(JournalName(), bytes); !read.ok)
        return FileResult::Fail(ArchiveMessages::JournalUnreadable(name, read.error));
    const ArchiveJournal::Contents journal = ArchiveJournal::Read(bytes);
    using Start = ArchiveJournal::Contents::Start;
    if (journal.start == Start::Torn) {
        // Begun by a save that never finished: nothing in it was ever reported saved.
        m_journalState = JournalState::Discard;
        return FileResult::Ok();
    }
    if (journal.start == Start::Good && journal.foldedInto == m_file) {
        // Its records went into this very Archive.db.
        m_journalState = JournalState::Discard;
        return FileResult::Ok();
    }
    if (journal.start != Start::Good || journal.continues != m_file) {
        // It belongs to another Archive.db (one restored from a backup, say): replayed over
        // this one it would change the wrong records, and removed it would lose its own.
        return FileResult::Fail(ArchiveMessages::JournalForeign(name));
    }
    m_records.Reserve(static_cast<std::size_t>(
        std::count_if(journal.entries.begin(), journal.entries.end(),
                      [](const ArchiveJournal::Entry& e) { return e.kind == '+'; })));
    for (const ArchiveJournal::Entry& e : journal.entries) {
        const int slot = static_cast<int>(e.slot);
        bool fits = e.kind == '+' ? slot == Pocet() : m_records.InRange(slot);
        if (fits && e.kind == '+')
            fits = m_records.Append(e.line, true);
        else if (fits && e.kind == '=')
            fits = m_records.Replace(slot, e.line, true);
        if (fits)
            m_records.SetRemoved(slot, e.kind == '-');
        else
            return FileResult::Fail(ArchiveMessages::JournalLineUnusable(name, e.lineNo));
    }
    m_journalState = JournalState::Live;
    m_journalEnd = journal.goodEnd;
    return FileResult::Ok();
}

}  // namespace vexa
