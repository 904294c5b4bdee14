#include "platform/port/DeviceSink.h"

#include <locale.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/Cp1250.h"

namespace vexa {

DeviceSink::DeviceSink(int fd, Kind kind) : m_fd(fd), m_kind(kind) {}

DeviceSink::~DeviceSink() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::string DeviceSink::SystemReason(int err) {
    if (const char* text = std::strerror(err)) {
        if (auto converted = Cp1250::FromUtf8(text)) {
            return *converted;
        }
    }
    // The translated words do not fit the code page: fall back to the untranslated ones.
    if (locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0))) {
        std::string text = ::strerror_l(err, c);
        ::freelocale(c);
        return text;
    }
    return "errno " + std::to_string(err);
}

void DeviceSink::Fail(int err) {
    m_failed = true;
    m_error = SystemReason(err);
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
