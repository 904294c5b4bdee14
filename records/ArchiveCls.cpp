#include "records/ArchiveCls.h"

#include <algorithm>

#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "records/ArchiveMessages.h"

namespace vexa {

ArchiveCls::ArchiveCls(RegistryRoot& registry, std::string defaultDir)
    : m_defaultDir(std::move(defaultDir)) {
    Items.resize(static_cast<std::size_t>(m_capacity) + 1);
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

ClientsDataCls* ArchiveCls::FindItem(const ClientsDataCls& userData, std::uint8_t byWhat) {
    if (byWhat != 0)
        return nullptr;
    for (int i = 0; i < ItemCount; ++i) {
        ClientsDataCls* r = Items[static_cast<std::size_t>(i)].get();
        if (r && r->CisloPasu == userData.CisloPasu)
            return r;
    }
    return nullptr;
}

void ArchiveCls::Update(const ClientsDataCls& userData) {
    if (ClientsDataCls* r = FindItem(userData, 0)) {
        *r = userData;
        m_changed = true;
    }
}

void ArchiveCls::Add(const ClientsDataCls& userData) {
    Add(ClientsDataCls(userData));
}

void ArchiveCls::Add(ClientsDataCls&& userData) {
    // The slot array grows in blocks, and only when the last slot is about to be taken.
    if (ItemCount == m_capacity) {
        m_capacity += kGrowBy;
        Items.resize(static_cast<std::size_t>(m_capacity) + 1);
    }
    Items[static_cast<std::size_t>(ItemCount)] =
        std::make_unique<ClientsDataCls>(std::move(userData));
    ++ItemCount;
    m_changed = true;
}

void ArchiveCls::Remove(int index) {
    if (index >= 0 && index < ItemCount && Items[static_cast<std::size_t>(index)]) {
        Items[static_cast<std::size_t>(index)].reset();
        m_changed = true;
    }
}

std::optional<ClientsDataCls> ArchiveCls::Item(int index) const {
    if (index < 0 || index >= ItemCount)
        return std::nullopt;
    const auto& r = Items[static_cast<std::size_t>(index)];
    if (!r)
        return std::nullopt;
    return *r;
}

ClientsDataCls* ArchiveCls::GetItem(int index) {
    if (index < 0 || index >= ItemCount)
        return nullptr;
    return Items[static_cast<std::size_t>(index)].get();
}

FileResult ArchiveCls::Save() {
    if (m_locationUnknown)
        return FileResult::Fail(ArchiveMessages::LocationUnknown());
    if (m_loadFailed) {
        return FileResult::Fail(ArchiveMessages::NotOverwritten());
    }
    if (m_usesDefaultDir) {
        FileResult dir = TextFiles::MakeDirs(m_defaultDir);
        if (!dir.ok)
            return dir;
    }
    // Written in pieces of about a quarter megabyte: a large archive is never copied into one
    // big buffer.
    constexpr std::size_t kPiece = 1 << 18;
    AtomicFile file;
    FileResult r = file.Open(FileName);
    std::string piece;
    piece.reserve(kPiece + 4096);
    for (int i = 0; i < ItemCount && r.ok; ++i) {
        if (const auto& record = Items[static_cast<std::size_t>(i)]) {
            record->AppendDataAsLine(piece);
            piece += "\r\n";
        }
        if (piece.size() >= kPiece) {
            r = file.Write(piece);
            piece.clear();
        }
    }
    if (r.ok)
        r = file.Write(piece);
    if (r.ok)
        r = file.Commit();
    if (r.ok)
        m_changed = false;
    return r;
}

FileResult ArchiveCls::Load() {
    if (m_locationUnknown || !TextFiles::Exists(FileName))
        return FileResult::Ok();
    std::string contents;
    FileResult read = TextFiles::ReadAll(FileName, contents);
    if (!read.ok) {
        m_loadFailed = true;
        return read;
    }
    // Records read from the file are no change of the archive.
    const bool changedBefore = m_changed;
    Items.reserve(Items.size() +
                  static_cast<std::size_t>(std::count(contents.begin(), contents.end(), '\n') + 1));
    int lineNo = 0;
    int tooManyChildren = 0;
    TextFiles::ForEachLine(contents, [&](std::string_view line) {
        ++lineNo;
        if (line.empty())
            return;
        ClientsDataCls record;
        if (!record.LoadFromLine(line) && tooManyChildren == 0)
            tooManyChildren = lineNo;
        Add(std::move(record));
    });
    m_changed = changedBefore;
    if (tooManyChildren != 0) {
        // A record cannot hold all the children of that line; saving would lose them.
        m_loadFailed = true;
        return FileResult::Fail(
            ArchiveMessages::TooManyChildren(tooManyChildren, ClientsDataCls::kMaxChildren));
    }
    return FileResult::Ok();
}

}  // namespace vexa
