#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// One value of a key. Values the program writes are strings; other kinds found in a file
// (dword:, hex:) are kept as their raw text so that they survive a rewrite.
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
class RegistryHive {
  public:
    RegistryHive(std::string rootName, std::string file);

    const std::string& RootName() const { return m_rootName; }
    const std::string& File() const { return m_file; }
    RegistryNode& Root();
    // Writes the hive to its file. False when it cannot be written, or when the file exists
    // but could not be read (it is never overwritten then).
    bool Persist();

    // "\\ROOT\\a\\b\\" -> ROOT, a, b (empty pieces dropped).
    static std::vector<std::string_view> SplitPath(std::string_view path);
    static bool NamesEqual(std::string_view a, std::string_view b);
    // Parses file text into `root`; sections of other roots are ignored.
    static void Parse(std::string_view text, std::string_view rootName, RegistryNode& root);
    static std::string Serialize(const RegistryNode& root, std::string_view rootName);

  private:
    std::string m_rootName;
    std::string m_file;
    bool m_loaded = false;
    bool m_unreadable = false;
    RegistryNode m_root;
};

}  // namespace vexa
