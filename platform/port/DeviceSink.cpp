#include "platform/port/DeviceSink.h"

#include <termios.h>
#include <unistd.h>
#include <cerrno>

#include "platform/SystemError.h"

namespace vexa {

DeviceSink::DeviceSink(int fd, Kind kind) : m_fd(fd), m_kind(kind) {}

DeviceSink::~DeviceSink() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void DeviceSink::Fail(int err) {
    m_failed = true;
    m_error = SystemError::Text(err);
}

bool DeviceSink::Write(std::string_view bytes) {
    if (m_failed || m_fd < 0) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
            return false;
        }
        if (n == 0) {
            Fail(EIO);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool DeviceSink::Close() {
    if (m_fd < 0) {
        return !m_failed;
    }
    if (!m_failed) {
        if (m_kind == Kind::Serial) {
            // The job is over only when the last byte has left the line.
            while (::tcdrain(m_fd) != 0) {
                if (errno != EINTR) {
                    Fail(errno);
                    break;
                }
            }
        } else if (m_kind == Kind::File) {
            if (::fsync(m_fd) != 0 && errno != EINVAL) {
                Fail(errno);
            }
        }
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && !m_failed && errno != EINTR) {
        Fail(errno);
    }
    return !m_failed;
}

}  // namespace vexa
