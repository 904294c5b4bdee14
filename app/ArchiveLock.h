#pragma once

#include <QLockFile>
#include <memory>
#include <string>

namespace vexa {

// The lock beside the archive file that keeps a second running copy of the program from
// overwriting the first one's records: "<archive>.lock", holding the process, the host and
// the program. A lock left by a copy that crashed on this host is taken over; one held by a
// running copy (here or on another host sharing the directory) is not.
class ArchiveLock {
  public:
    enum class State { Held, HeldByOther, Impossible };

    // Takes the lock for the archive file `archivePath` (native path), making its directory
    // first when it is missing.
    explicit ArchiveLock(const std::string& archivePath);

    State Result() const { return m_state; }
    // The lock file's native path.
    const std::string& File() const { return m_file; }
    // Who holds the lock (HeldByOther), as Windows-1250 texts for the clerk.
    const std::string& User() const { return m_user; }
    const std::string& Host() const { return m_host; }
    const std::string& Since() const { return m_since; }  // "dd.mm.yyyy hh:mm"
    // Why no lock could be made (Impossible), Windows-1250.
    const std::string& Reason() const { return m_reason; }

  private:
    std::string m_file;
    std::unique_ptr<QLockFile> m_lock;
    State m_state = State::Impossible;
    std::string m_user, m_host, m_since, m_reason;
};

}  // namespace vexa
