#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegKey.h"
#include "platform/XdgDirs.h"

namespace vexa {

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

  private:
    RegistryHive* Hive(std::string_view root);
    std::map<std::string, std::unique_ptr<RegistryHive>> m_hives;
};

}  // namespace vexa
