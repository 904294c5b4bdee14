#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/XdgDirs.h"

namespace vexa {

class RegistryHive;
struct RegistryNode;

// One open registry key. It stays usable as long as the RegistryRoot that opened it lives.
// Value indexes are 0-based here. Names of keys and values compare without regard to case.
// Every change is written to the hive's file at once; a change that cannot be written is
// undone and reported as false.
class RegKey {
  public:
    RegKey(RegistryHive* hive, RegistryNode* node) : m_hive(hive), m_node(node) {}

    std::string Name() const;

    int ValueCount() const;
    std::string ValueName(int index) const;
    std::string ValueData(int index) const;
    // Sets the data of an existing value.
    bool SetValueData(int index, std::string data);
    // Adds a string value. Fails when a value of that name (in any letter case) exists.
    bool AddValue(std::string name, std::string data);

    std::vector<std::string> SubkeyNames() const;
    // Adds a subkey. Fails when one of that name (in any letter case) exists.
    bool AddSubkey(std::string name);
    std::optional<RegKey> Subkey(std::string_view name) const;

  private:
    RegistryHive* m_hive;
    RegistryNode* m_node;
};

// The registry: three roots (HKEY_CURRENT_USER, HKEY_USERS, HKEY_LOCAL_MACHINE), each kept
// in one text file in the registry export format (REGEDIT4, Windows-1250), so a person can
// read and edit it and Windows can import it. A hive is read from its file on first use.
class RegistryRoot {
  public:
    // Hive files where the XDG directories say.
    explicit RegistryRoot(const XdgDirs& dirs);
    // Hive files given one by one (root name -> file path).
    explicit RegistryRoot(std::map<std::string, std::string> hiveFiles);
    ~RegistryRoot();
    RegistryRoot(const RegistryRoot&) = delete;
    RegistryRoot& operator=(const RegistryRoot&) = delete;

    // Opens a key from a path "\ROOT\sub\key" (a trailing backslash is allowed; the leading
    // one may be left out). Nothing when the key does not exist.
    std::optional<RegKey> OpenKey(std::string_view path);

    // The file of a root, or "" for an unknown root.
    std::string HiveFile(std::string_view root) const;

  private:
    RegistryHive* Hive(std::string_view root);
    std::map<std::string, std::unique_ptr<RegistryHive>> m_hives;
};

}  // namespace vexa
