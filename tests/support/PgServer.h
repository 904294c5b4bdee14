#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vexa::test {

// A PostgreSQL 15 server of the test's own: a cluster made by initdb in a temporary directory,
// listening on a Unix socket in that directory only (no TCP port), trust authentication for
// its superuser. As root (the server refuses root) it runs as the unprivileged system user
// vexa-test, or nobody where that user does not exist. The machine's own clusters are never
// touched. The server dies with the test program (it gets SIGQUIT when its parent ends).
// Start it once per test program: initdb takes a second or two.
class PgServer {
  public:
    static constexpr const char* kSuperuser = "vexa";
    static constexpr const char* kBinDir = "/usr/lib/postgresql/15/bin";

    // initdb, then Start. Throws std::runtime_error with the tool's output on a failure.
    // `durable`: the server flushes its log to the disk at each commit, as a real one does
    // (the benchmarks); tests spare the disk.
    explicit PgServer(bool durable = false);
    // Stops the server (fast) and removes its directory.
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Starts the server and waits until it takes connections.
    void Start();
    // pg_ctl stop -m immediate (the server is gone at once, as in a crash) or -m fast.
    void Stop(bool immediate);

    const std::string& SocketDir() const { return m_dir; }
    // A libpq connection string to `db` as `user`.
    std::string ConnInfo(const std::string& db, const std::string& user = kSuperuser) const;
    // A new empty database (UTF8), owned by `owner`; its name.
    std::string NewDatabase(const std::string& owner = kSuperuser);
    // Runs SQL as the superuser; the first value of the last result ("" when none). Throws
    // with the server's words on a failure.
    std::string Sql(const std::string& db, const std::string& sql) const;

  private:
    void RunTool(const std::string& tool, std::vector<std::string> args);
    // In a forked child: the server's user, and the output into `log` (O_TRUNC or O_APPEND).
    void InChild(const std::string& log, int append) const;

    std::string m_dir;
    std::string m_data;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    bool m_dropPrivileges = false;
    pid_t m_pid = -1;
    int m_databases = 0;
};

}  // namespace vexa::test
