#pragma once

// A print service of the test's own: Debian's cupsd run in the foreground, with its
// configuration, spool, cache, state and logs in a temporary directory, listening only on a
// Unix socket there, which this process reaches through CUPS_SERVER. Its queues are raw queues
// whose device is a backend of the test's own ("vexatest:<file>"): it appends each job's bytes
// to the file. The machine's own print service is never touched.
#include <cups/cups.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/TestSupport.h"


namespace vexa::test {

class CupsServer {
  public:
    CupsServer() {
        namespace fs = std::filesystem;
        const std::string& d = m_dir.Path();
        for (const char* sub : {"etc", "spool/tmp", "cache", "state", "log", "bin/backend"})
            fs::create_directories(d + "/" + sub);
        // cupsd keeps the filters and notifiers in ServerBin beside the backends.
        for (const char* sub : {"daemon", "notifier"})
            fs::create_symlink(std::string("/usr/lib/cups/") + sub, d + "/bin/" + sub);
        // A backend of mode 0700 runs as root (as the user when not root); it lists nothing
        // when asked for devices.
        const std::string backend = d + "/bin/backend/vexatest";
        WriteFile(backend,
                  "#!/bin/sh\n[ $# -eq 0 ] && exit 0\nif [ $# -ge 6 ]; then cat \"$6\"; "
                  "else cat; fi >>\"${DEVICE_URI#vexatest:}\"\n");
        ::chmod(backend.c_str(), 0700);
        // Root runs the service as the print system's user, as Debian does; anyone else as
        // themselves.
        const std::string users = ::geteuid() == 0 ? "User lp\nGroup lp\nSystemGroup root\n" : "";
        WriteFile(d + "/etc/cups-files.conf",
                  users + "ServerRoot " + d + "/etc\nRequestRoot " + d + "/spool\nTempDir " + d +
                      "/spool/tmp\nCacheDir " + d + "/cache\nStateDir " + d + "/state\nServerBin " +
                      d + "/bin\nAccessLog " + d + "/log/access_log\nErrorLog " + d +
                      "/log/error_log\nPageLog " + d + "/log/page_log\n");
        WriteFile(d + "/etc/cupsd.conf",
                  "Listen " + Socket() +
                      "\nBrowsing No\nWebInterface No\nDefaultAuthType None\n<Location />\n"
                      "Order allow,deny\nAllow all\n</Location>\n<Policy default>\n<Limit All>\n"
                      "Order deny,allow\n</Limit>\n</Policy>\n");
        std::string conf = d + "/etc/cupsd.conf", files = d + "/etc/cups-files.conf";
        char* argv[] = {const_cast<char*>("cupsd"),
                        const_cast<char*>("-f"),
                        const_cast<char*>("-c"),
                        conf.data(),
                        const_cast<char*>("-s"),
                        files.data(),
                        nullptr};
        const pid_t parent = ::getpid();
        m_pid = ::fork();
        if (m_pid == 0) {
            // A test program that dies takes its print service along.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() == parent)
                ::execvp("cupsd", argv);
            ::_exit(127);
        }
        if (m_pid < 0)
            throw std::runtime_error("cupsd cannot be started");
        ::setenv("CUPS_SERVER", Socket().c_str(), 1);
        cupsSetServer(nullptr);  // libcups reads CUPS_SERVER again
        for (int i = 0; Run("LC_ALL=C lpstat -r") != "scheduler is running\n"; ++i) {
            if (i == 200 || ::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                throw std::runtime_error("cupsd did not start: " + ReadFile(d + "/log/error_log"));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~CupsServer() { Stop(); }
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    void Stop() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

    std::string Socket() const { return m_dir / "cups.sock"; }
    // The file the queue `name` prints into.
    std::string Output(const std::string& name) const { return m_dir / (name + ".prn"); }
    // An enabled raw queue that prints into Output(name).
    void AddQueue(const std::string& name) {
        Run("lpadmin -p " + name + " -E -v vexatest:" + Output(name) + " -m raw");
    }
    // What a command of the print system (lpadmin, lpstat, cupsdisable, ...) run against this
    // service writes.
    std::string Run(const std::string& command) const {
        std::string out;
        if (FILE* p = ::popen(("CUPS_SERVER=" + Socket() + " " + command + " 2>&1").c_str(), "r")) {
            char buf[256];
            for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
                out.append(buf, n);
            ::pclose(p);
        }
        return out;
    }

  private:
    TempDir m_dir;
    pid_t m_pid = -1;
};

}  // namespace vexa::test
