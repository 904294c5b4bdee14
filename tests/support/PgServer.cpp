#include "support/PgServer.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vexa::test {
namespace {

std::string ReadLog(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

PgServer::PgServer(bool durable) {
    // A short path: the socket's full name must fit in 107 bytes.
    std::string tmpl = "/tmp/vexa-pg-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_dir = tmpl;
    m_data = m_dir + "/data";
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("vexa-test");
        if (!pw)
            pw = ::getpwnam("nobody");
        if (!pw)
            throw std::runtime_error(
                "no unprivileged user (vexa-test or nobody) to run the server");
        m_uid = pw->pw_uid;
        m_gid = pw->pw_gid;
        m_dropPrivileges = true;
        if (::chown(m_dir.c_str(), m_uid, m_gid) != 0)
            throw std::runtime_error("chown of " + m_dir + " failed");
    }
    RunTool("initdb", {"-D", m_data, "-U", kSuperuser, "-A", "trust", "-E", "UTF8", "--locale=C",
                       "--no-sync"});
    std::ofstream conf(m_data + "/postgresql.conf", std::ios::app);
    conf << "listen_addresses = ''\n"
         << "unix_socket_directories = '" << m_dir
         << "'\n"
         // A commit is in the log before it is reported (a stop -m immediate loses none of
         // them); only the flushes to the disk are spared.
         << (durable ? "" : "fsync = off\nfull_page_writes = off\n")
         << "max_connections = 40\nshared_buffers = 16MB\n";
    conf.close();
    Start();
}

PgServer::~PgServer() {
    try {
        if (m_pid > 0)
            Stop(false);
    } catch (...) {
    }
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

void PgServer::InChild(const std::string& log, int append) const {
    if (m_dropPrivileges &&
        (::setgroups(0, nullptr) != 0 || ::setgid(m_gid) != 0 || ::setuid(m_uid) != 0))
        ::_exit(126);
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | append | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
    }
}

void PgServer::RunTool(const std::string& tool, std::vector<std::string> args) {
    const std::string path = std::string(kBinDir) + "/" + tool;
    const std::string log = m_dir + "/" + tool + ".log";
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        InChild(log, O_TRUNC);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw std::runtime_error(tool + " failed: " + ReadLog(log));
}

void PgServer::Start() {
    const std::string path = std::string(kBinDir) + "/postgres";
    const std::string log = m_dir + "/server.log";
    std::string data = m_data;
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("-D"), data.data(), nullptr};
    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == 0) {
        InChild(log, O_APPEND);
        // Set after the change of user, which clears it: a test program that dies takes its
        // server along.
        ::prctl(PR_SET_PDEATHSIG, SIGQUIT);
        if (::getppid() != parent)
            ::_exit(1);
        ::execv(path.c_str(), argv);
        ::_exit(127);
    }
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    const std::string conninfo = ConnInfo("postgres");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (PQping(conninfo.c_str()) != PQPING_OK) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            throw std::runtime_error("the test server ended: " + ReadLog(log));
        }
        if (std::chrono::steady_clock::now() > until)
            throw std::runtime_error("the test server did not start: " + ReadLog(log));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PgServer::Stop(bool immediate) {
    if (m_pid <= 0)
        return;
    try {
        RunTool("pg_ctl", {"stop", "-D", m_data, "-w", "-m", immediate ? "immediate" : "fast"});
    } catch (const std::exception&) {
        ::kill(m_pid, SIGQUIT);
    }
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}

std::string PgServer::ConnInfo(const std::string& db, const std::string& user) const {
    return "host=" + m_dir + " dbname=" + db + " user=" + user;
}

std::string PgServer::NewDatabase(const std::string& owner) {
    const std::string name = "archiv" + std::to_string(++m_databases);
    Sql("postgres", "CREATE DATABASE " + name + " OWNER " + owner + " ENCODING 'UTF8'");
    return name;
}

std::string PgServer::Sql(const std::string& db, const std::string& sql) const {
    PGconn* conn = PQconnectdb(ConnInfo(db).c_str());
    std::string error;
    std::string value;
    if (PQstatus(conn) != CONNECTION_OK) {
        error = PQerrorMessage(conn);
    } else {
        PGresult* result = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            error = PQresultErrorMessage(result);
        else if (PQntuples(result) > 0 && PQnfields(result) > 0)
            value = PQgetvalue(result, 0, 0);
        PQclear(result);
    }
    PQfinish(conn);
    if (!error.empty())
        throw std::runtime_error(sql + ": " + error);
    return value;
}

}  // namespace vexa::test
