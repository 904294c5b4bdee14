#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextFiles.h"

namespace vexa {

// Which Archive.db a journal goes with: the file's size and a 64-bit hash of its bytes.
struct FileIdentity {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The journal beside Archive.db: Windows-1250 text, one entry per line, CR LF after each.
// Every line is a kind, a slot number for the kinds that have one, a blank, the CRC-32 of the
// rest of the line (eight lower-case hexadecimal digits) and, for most kinds, a blank and
// what the entry carries:
//
//   # 1c291ca3 Archive.db 118441413 5f0e3c1a2b4d6e70     the file it continues (first line)
//   +1000000 9a0b1c2d 40123456;NOVÁK;JAN;...              a record added in slot 1000000
//   =17 0e1f2a3b 40123456;NOVÁK;JAN;...                   slot 17 changed or brought back
//   -17 4c5d6e7f                                          slot 17 removed
//   > 3d4e5f60 Archive.db 118441571 0a1b2c3d4e5f6071      written whole into that file
//
// The check is over the line without " <check>". A line cut short, or one that does not
// check, ends what the journal holds: nothing after it counts. Slot numbers are those of a run
// that reads the Archive.db named in the first line and then the entries in order.
class ArchiveJournal {
  public:
    struct Entry {
        char kind;  // '+', '=' or '-'
        std::uint32_t slot;
        std::string_view line;  // the record's line form ('+' and '=')
        int lineNo;             // from 1
    };
    struct Contents {
        enum class Start { Good, Torn, Unknown };
        // Good: the first line names a file. Torn: there is no whole first line (a journal
        // begun by a save that never finished). Unknown: a whole first line that is none of
        // this program's.
        Start start = Start::Torn;
        FileIdentity continues;
        std::optional<FileIdentity> foldedInto;
        std::vector<Entry> entries;  // those before the first line that does not count
        std::uint64_t goodEnd = 0;   // where the last of them ends (a '>' line not counted)
    };
    // Reads a journal's bytes; the entries point into them.
    static Contents Read(std::string_view bytes);

    static void AppendStart(std::string& out, const FileIdentity& continues);
    static void AppendFolded(std::string& out, const FileIdentity& into);
    static void AppendEntry(std::string& out, char kind, std::uint32_t slot,
                            std::string_view line = {});

    ArchiveJournal() = default;
    ~ArchiveJournal();
    ArchiveJournal(const ArchiveJournal&) = delete;
    ArchiveJournal& operator=(const ArchiveJournal&) = delete;

    // Makes the journal at `path` end at `at` and then hold `bytes` there, flushed to the disk
    // (fdatasync) before it returns. The file is opened on first use and created when missing
    // (as `how` says, its directory flushed too, so the new name lasts).
    FileResult WriteAt(const std::string& path, std::uint64_t at, std::string_view bytes,
                       const NewFiles& how);
    // Closes and removes the journal; no journal there is no failure.
    FileResult Remove(const std::string& path);
    void Close();

  private:
    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_size = 0;  // the file's size after the last write
};

}  // namespace vexa
