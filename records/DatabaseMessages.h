#pragma once

#include <cstdint>
#include <string>

namespace vexa {

// The database store's messages, in Czech (Windows-1250). `db` is the database's name,
// `server` the server as libpq names it (a host, or the directory of a local socket) and
// `reason` libpq's or the server's own words.
class DatabaseMessages {
  public:
    // No connection could be made, or the connection was lost during an operation.
    static std::string Unreachable(const std::string& db, const std::string& server,
                                   const std::string& reason);
    // The server refused a statement on a working connection.
    static std::string Failed(const std::string& db, const std::string& server,
                              const std::string& reason);
    static std::string NewerSchema(const std::string& db, int found, int known);
    // The database has no tables of the archive and the role may not create them.
    static std::string NoSchema(const std::string& db, const std::string& user);
    static std::string NotUtf8(const std::string& db, const std::string& encoding);
    // A text holds a NUL byte, which the database cannot hold.
    static std::string NulByte();
    static std::string NulByteOnLine(int line);
    // An exported archive could not be written to `path` (native).
    static std::string NotWritten(const std::string& path, const std::string& reason);
    // An import into an archive that holds records already, without being told to add.
    static std::string NotEmpty(long long records);

    // The questions about a record someone else changed or removed since it was opened: who,
    // on which computer and when (seconds since the epoch, shown in local time).
    static std::string ChangedMeanwhile(const std::string& user, const std::string& host,
                                        std::int64_t time);
    // The question before removing a record someone else changed since this copy read it.
    static std::string ChangedBeforeRemoval(const std::string& user, const std::string& host,
                                            std::int64_t time);
    static std::string RemovedMeanwhile(const std::string& user, const std::string& host,
                                        std::int64_t time);
};

}  // namespace vexa
