#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/ClientsDataCls.h"
#include "records/IdMap.h"

struct pg_conn;

namespace vexa {

// The archive in a PostgreSQL database, reached through libpq: one row per record (the eight
// texts as UTF-8 columns, the children as a jsonb array), a row id that stays the record's for
// good, a version that every change raises, who changed it last, and a removal that marks the
// row instead of deleting it. Texts go in and come out as Windows-1250, every one as a query
// parameter.
//
// Each change is one transaction. All changes of all copies take one lock of the database in
// turn (an advisory lock held to the commit), so a check and the write that follows it cannot
// be overtaken, and every change gets the next number of one sequence in commit order: a copy
// learns what others did by asking for the rows past the last number it saw. Such a question
// is prompted by a notification on the connection (LISTEN/NOTIFY, payload "id version"), and
// also follows a reconnection and any conflict.
//
// A lost connection fails the operation with a message (nothing is reported done that was not
// committed); the next operation connects again by itself.
class DatabaseStore {
  public:
    // The notification channel.
    static constexpr const char* kChannel = "vexa_archiv";

    // Who is working: stored with every change (Windows-1250).
    struct Clerk {
        std::string User;
        std::string Host;
        // The login name of this process and the machine's host name.
        static Clerk ThisOne();
    };

    // One row as the database holds it now.
    struct Row {
        std::int64_t Id = 0;
        int Version = 0;  // 0: there is no such row (deleted from the database by hand)
        bool Removed = false;
        std::string Line;  // the record's line form (Windows-1250)
        // Who changed the row last, or who removed it when Removed, and when (seconds since
        // the epoch, by the server's clock).
        std::string User;
        std::string Host;
        std::int64_t Time = 0;
    };

    enum class Outcome {
        Done,              // committed: Now is the row as written
        Exists,            // Add: a live record has that document number; Now is it
        ChangedMeanwhile,  // the row's version is not the one expected; Now is the row
        RemovedMeanwhile,  // the row was removed (or deleted) since; Now is the row
        Failed,            // nothing was written; Error says why
    };
    struct Write {
        Outcome What = Outcome::Failed;
        Row Now;
        std::string Error;
    };

    struct Change {
        enum class Kind { Added, Changed, Removed };
        Kind What = Kind::Added;
        Row Now;
    };

    struct Status {
        bool ok = true;
        std::string Error;  // Czech, Windows-1250
    };
    struct Changes {
        bool ok = true;
        std::string Error;
        std::vector<Change> List;
    };

    // `conninfo`: a libpq connection string or URI (UTF-8). Nothing is connected yet.
    explicit DatabaseStore(std::string conninfo, Clerk clerk = Clerk::ThisOne());
    ~DatabaseStore();
    DatabaseStore(const DatabaseStore&) = delete;
    DatabaseStore& operator=(const DatabaseStore&) = delete;

    // Connects and checks the database: UTF8, the program's tables (created when missing and
    // the role may create them), a schema version this program knows. Operations connect by
    // themselves too; Open tells at start why they would fail.
    Status Open();
    bool Connected() const { return m_conn != nullptr; }
    // The database and the server, as the messages name them.
    const std::string& DatabaseName() const { return m_db; }
    const std::string& ServerName() const { return m_server; }

    // Every live record in the order of its row id (the order it was added), in one query:
    // row(id, version, line form). The line is valid during the call only.
    using RowSink = std::function<void(std::int64_t id, int version, std::string_view line)>;
    Status Load(const RowSink& row);

    // Adds the record unless a live record has its document number (the archive may hold
    // several from an imported file, but a copy never adds a second one by itself): then
    // Exists, with that record.
    Write Add(const ClientsDataCls& record);
    // Overwrites the row when its version is still `expected`, a removed row too (it comes
    // back). Otherwise ChangedMeanwhile or RemovedMeanwhile with the row as it is: the clerk's
    // Yes is an Update with that row's version, so a third change in between is asked about
    // again. A row deleted from the database (Version 0) is added anew on an Update expecting
    // 0, with a new id.
    Write Update(std::int64_t id, int expected, const ClientsDataCls& record);
    // Marks the row removed (by this clerk, now) when its version is `expected`; a row already
    // removed at that version stays so (Done).
    Write Remove(std::int64_t id, int expected);
    // Takes the mark away when the row is removed at version `expected`.
    Write Restore(std::int64_t id, int expected);

    // The connection's socket, for the event loop to watch (-1 without a connection), and a
    // hook told the socket whenever it changes (a new connection, or -1 when lost).
    int Socket() const;
    void SetSocketWatch(std::function<void(int fd)> watch);
    // Reads what has arrived on the socket and, when another copy changed anything this copy
    // does not know yet (or after a reconnection or a conflict), fetches the rows changed since
    // and returns them as changes: added (also a row that came back), changed, removed. Own
    // changes are not repeated. A connection found lost is reported (and the watch told -1);
    // without a connection it connects first. Call it when the socket is readable and after
    // each operation (an operation may read notifications off the socket while it waits for
    // its own answers).
    Changes ReadNotifications();

    // Creates the program's tables when the database has none (`created` tells whether it
    // did). vexa-archiv init.
    Status CreateSchema(bool* created = nullptr);
    // Adds the records of an Archive.db's bytes (empty lines skipped, each line read as the
    // file archive reads it) in one transaction, through COPY, in file order, duplicates of a
    // number as they are. Refuses an archive that holds live records unless `addToRecords`.
    // progress(lines done, lines in all) is called as the rows go out.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;
    Status Import(std::string_view archive, bool addToRecords, const Progress& progress = {});
    // Writes the live records as Archive.db to `path` (line forms, CR LF, in row id order),
    // atomically. A file that cannot be written is named with the system's reason.
    Status Export(const std::string& path);
    // The number of live records.
    Status CountRecords(long long& count);

  private:
    struct Known {
        int Version = 0;
        bool Removed = false;
    };
    enum class Op { Update, Remove, Restore };
    class Result;

    bool Connect(std::string& error);
    bool EnsureConnected(std::string& error);
    bool ReadSocket();
    void Drop();
    std::string Reason() const;
    std::string FailureText(const Result& result);
    bool Begin(std::string& error);
    void Rollback();
    Write Change(Op op, std::int64_t id, int expected, const ClientsDataCls* record);
    Write WriteFailed(std::string error);
    Status CopyOut(const char* query, const RowSink& row);
    void Learn(const Row& row);

    std::string m_conninfo;
    Clerk m_clerk;
    pg_conn* m_conn = nullptr;
    std::string m_db;
    std::string m_server;
    std::function<void(int)> m_watch;
    bool m_opened = false;     // connected once: a later connection is a reconnection
    bool m_announced = false;  // the watch was told the socket of this connection
    bool m_created = false;    // this connection created the tables
    bool m_fetch = false;      // rows may have changed that this copy has not fetched
    std::int64_t m_seen = 0;   // the highest change number fetched
    IdMap<Known> m_known;
};

}  // namespace vexa
