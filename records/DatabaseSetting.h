#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"

namespace vexa {

// Where the archive's database is: the value "databaze" of
// HKEY_LOCAL_MACHINE\SOFTWARE\Lomar\Vexa, written by the installation like "path". It holds a
// libpq connection string ("host=... dbname=..." or a postgresql:// URI); passwords come from
// libpq's own means (~/.pgpass, PGPASSFILE, peer or GSS authentication).
class DatabaseSetting {
  public:
    static constexpr const char* kKey = "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa";
    static constexpr const char* kValueName = "databaze";

    // The connection string (UTF-8, as libpq takes it), or nothing when the value is missing
    // or empty: then the archive is Archive.db. The exact name counts; the last one wins.
    static std::optional<std::string> Read(RegistryRoot& registry);
};

}  // namespace vexa
