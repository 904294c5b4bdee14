#pragma once

#include <string>

namespace vexa {

// The program's tables in a database: the script that creates them (DatabaseSchema.sql, built
// into the program) and the version it creates.
class DatabaseSchema {
  public:
    static constexpr int kVersion = 1;
    // The table that names the version, and the one of the records.
    static constexpr const char* kVersionTable = "schema_version";
    static constexpr const char* kRecordsTable = "zaznamy";

    // The SQL statements that create the tables in an empty database (no transaction of their
    // own: the caller runs them in one).
    static const std::string& Script();
};

}  // namespace vexa
