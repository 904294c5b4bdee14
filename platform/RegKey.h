#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class RegistryHive;
struct RegistryNode;

// One open registry key. It stays usable as long as the RegistryRoot that opened it lives.
// Value indexes are 0-based here. Names of keys and values compare without regard to case.
// Every change is written to the hive's file at once; a change that cannot be written is
// undone and reported as false. Names and strings holding a line end are refused (false).
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

}  // namespace vexa
