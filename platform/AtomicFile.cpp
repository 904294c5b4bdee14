#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SystemError.h"

namespace vexa {
namespace {

std::string DirOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

AtomicFile::~AtomicFile() {
    if (m_fd >= 0)
        Abandon(0);
}

FileResult AtomicFile::Abandon(int err) {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    ::unlink(m_tmp.c_str());
    return FileResult::Fail(SystemError::Text(err));
}

FileResult AtomicFile::Open(const std::string& path) {
    m_path = path;
    m_tmp = path + ".tmp-XXXXXX";
    m_fd = ::mkstemp(m_tmp.data());
    if (m_fd < 0)
        return FileResult::Fail(SystemError::Text(errno));
    // The new file gets the old file's permissions, or the usual ones for a new file.
    struct stat old {};
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(m_fd, mode) != 0)
        return Abandon(errno);
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

FileResult AtomicFile::Commit() {
    if (m_fd < 0)
        return FileResult::Fail(SystemError::Text(EBADF));
    if (::fsync(m_fd) != 0)
        return Abandon(errno);
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_tmp.c_str(), m_path.c_str()) != 0) {
        int err = errno;
        ::unlink(m_tmp.c_str());
        return FileResult::Fail(SystemError::Text(err));
    }
    // Make the rename itself durable.
    int dfd = ::open(DirOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return FileResult::Ok();
}

}  // namespace vexa
