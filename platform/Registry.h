#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegKey.h"
#include "platform/TextFiles.h"
#include "platform/XdgDirs.h"

namespace vexa {

// A hive file that exists but was not taken as it is.
struct HiveProblem {
    std::string Root;    // "HKEY_CURRENT_USER", "HKEY_USERS" or "HKEY_LOCAL_MACHINE"
    std::string File;    // native path of the hive file
    std::string Reason;  // why, in Czech (Windows-1250)
    // False: nothing of the file is used (the program runs on its defaults for that root).
    // True: the values were read, but changes are not written (the file stays as it is).
    bool ValuesRead = false;
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

    // Makes the changes `change` makes under `root` and writes that root's file once; the
    // result tells why it could not be written. Changes that could not be written stay in
    // memory.
    FileResult ChangeTogether(std::string_view root, const std::function<void()>& change);
    // The file of a root, "" for an unknown root.
    std::string FileOf(std::string_view root);

    // The hive files that exist but were not taken as they are (read now when they have not
    // been yet). Such a file is never overwritten.
    std::vector<HiveProblem> Problems();
    // The same for one root; nothing when its file was taken as it is, or is missing.
    std::optional<HiveProblem> Problem(std::string_view root);

  private:
    RegistryHive* Hive(std::string_view root);
    std::map<std::string, std::unique_ptr<RegistryHive>> m_hives;
};

}  // namespace vexa
