#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextFiles.h"

namespace vexa {

// One value of a key. Values the program writes are strings; other kinds found in a file
// (dword:, hex:, hex(2):, ...) are kept as their raw text so that they survive a rewrite.
struct RegistryValue {
    std::string name;
    std::string data;  // the string, or the raw text after "=" for other kinds
    bool isString = true;
};

struct RegistryNode {
    std::string name;
    std::vector<RegistryValue> values;
    std::vector<std::unique_ptr<RegistryNode>> subkeys;

    // Names compare without regard to case. Nothing/-1 when missing.
    RegistryNode* FindSubkey(std::string_view key) const;
    int FindValue(std::string_view value) const;
};

// One registry root kept in a text file in the registry export format: a "REGEDIT4" line,
// then for every key a "[ROOT\path\to\key]" line followed by its values as "Name"="text" with
// \\ and \" escaped. Windows-1250 bytes, CR LF line ends. The file is read on first use and
// rewritten as a whole (temporary file, flush, rename) after every change.
//
// Reading also takes what Windows' registry editor exports (UTF-16LE with a byte-order mark,
// "Windows Registry Editor Version 5.00"), any line ends (CR LF, LF or CR alone) and values
// continued over several lines with a trailing backslash. Sections of other roots found in
// the file are kept and written back. Reading and writing take time linear in the file's size.
//
// A file the program cannot make sense of (unreadable, no header, a line that is not a key, a
// value or a comment, a key nested deeper than kMaxDepth) leaves the hive empty and is never
// overwritten. A file holding a character that Windows-1250 cannot hold is read (that
// character as "?") but not rewritten either, so nothing in it is ever lost.
class RegistryHive {
  public:
    // Keys below the root deeper than this make the file unreadable.
    static constexpr int kMaxDepth = 512;

    RegistryHive(std::string rootName, std::string file);

    const std::string& RootName() const { return m_rootName; }
    const std::string& File() const { return m_file; }
    RegistryNode& Root();
    // Writes the hive to its file. False when it cannot be written, or when the file exists
    // but was not taken as it is (it is never overwritten then).
    bool Persist();
    // From Defer to Flush, changes stay in memory (Persist only notes them); Flush writes the
    // file once when anything changed and tells why it could not.
    void Defer() { m_deferred = true; }
    FileResult Flush();

    // Why the file was not taken as it is (Czech, Windows-1250); "" when it was, or when
    // there is no file. Reads the file when it has not been read yet.
    const std::string& Problem();
    // With a Problem: whether the values were read all the same (only the rewrite is refused).
    bool ValuesRead();

    // "\\ROOT\\a\\b\\" -> ROOT, a, b (empty pieces dropped).
    static std::vector<std::string_view> SplitPath(std::string_view path);
    static bool NamesEqual(std::string_view a, std::string_view b);

  private:
    void Load();

    std::string m_rootName;
    std::string m_file;
    FileResult Write();

    bool m_loaded = false;
    bool m_deferred = false;
    bool m_dirty = false;
    bool m_writable = true;
    bool m_valuesRead = true;
    std::string m_problem;
    // The hive's own root first, then the roots of other sections found in the file.
    std::vector<std::unique_ptr<RegistryNode>> m_roots;
};

}  // namespace vexa
