#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/SystemError.h"

namespace vexa {
namespace {

std::string BaseOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the temporary files of `path` that a save cut short left behind (a crash or a kill in
// the middle of writing). A writer holds a lock on its temporary file until it has renamed it,
// so a file whose lock can be taken belongs to no running save.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string dirName = TextFiles::DirOf(path);
    const std::string prefix = BaseOf(path) + ".tmp-";
    DIR* dir = ::opendir(dirName.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        // Only names mkstemp makes: the prefix and six letters or digits.
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix) ||
            !std::all_of(name.begin() + prefix.size(), name.end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            })) {
            continue;
        }
        const std::string tmp = dirName + "/" + std::string(name);
        const int fd = ::open(tmp.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat held {};
        struct stat there {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(tmp.c_str(), &there) == 0 &&
            there.st_dev == held.st_dev && there.st_ino == held.st_ino) {
            ::unlink(tmp.c_str());
        }
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

AtomicFile::~AtomicFile() {
    if (m_fd >= 0)
        Abandon(0);
}

FileResult AtomicFile::Abandon(int err) {
    if (m_fd >= 0) {
        ::unlink(m_tmp.c_str());
        ::close(m_fd);
    }
    m_fd = -1;
    return FileResult::Fail(SystemError::Text(err));
}

FileResult AtomicFile::Open(const std::string& path, const NewFiles& how) {
    m_path = path;
    // The temporary file is locked while it is written, so that another save of the same file
    // knows it is no leftover. One that such a save removed between its creation and the lock
    // is given up for a new one.
    for (;;) {
        m_tmp = path + ".tmp-XXXXXX";
        m_fd = ::mkostemp(m_tmp.data(), O_CLOEXEC);
        if (m_fd < 0)
            return FileResult::Fail(SystemError::Text(errno));
        struct stat st {};
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR)
                return Abandon(errno);
        }
        if (::fstat(m_fd, &st) != 0)
            return Abandon(errno);
        if (st.st_nlink > 0)
            break;
        ::close(m_fd);
        m_fd = -1;
    }
    // The new file gets the old file's permissions and group, or those `how` gives a new file.
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0) {
        FileResult set = TextFiles::SetUpNewFile(m_fd, path, how);
        if (!set.ok)
            Abandon(0);
        return set;
    }
    if (::fchmod(m_fd, old.st_mode & 07777) != 0)
        return Abandon(errno);
    // Only a member of the group (or root) may give it; the mode still holds.
    const int given = ::fchown(m_fd, static_cast<uid_t>(-1), old.st_gid);
    static_cast<void>(given);
    return FileResult::Ok();
}

FileResult AtomicFile::Write(std::string_view bytes) {
    if (m_fd < 0)
        return FileResult::Fail(SystemError::Text(EBADF));
    while (!bytes.empty()) {
        ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Abandon(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return FileResult::Ok();
}

FileResult AtomicFile::Flush() {
    if (m_fd < 0)
        return FileResult::Fail(SystemError::Text(EBADF));
    if (::fsync(m_fd) != 0)
        return Abandon(errno);
    return FileResult::Ok();
}

FileResult AtomicFile::Commit() {
    if (m_fd < 0)
        return FileResult::Fail(SystemError::Text(EBADF));
    // Renamed while still open and locked: an unlocked temporary file is a leftover.
    if (::fsync(m_fd) != 0 || ::rename(m_tmp.c_str(), m_path.c_str()) != 0)
        return Abandon(errno);
    ::close(m_fd);  // the data is on the disk already
    m_fd = -1;
    // Make the rename itself durable.
    int dfd = ::open(TextFiles::DirOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    RemoveStaleTemporaries(m_path);
    return FileResult::Ok();
}

}  // namespace vexa
