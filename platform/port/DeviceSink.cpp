#include "platform/port/DeviceSink.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "platform/SystemError.h"

namespace vexa {
namespace {

// A device without a wait of its own (the parallel printer driver) may say it is ready while it
// is not; it is then asked again after this pause instead of at once.
constexpr std::chrono::milliseconds kRetryPause{10};

// Keeps SIGPIPE away while it lives: the signal is blocked for this thread, and one raised by a
// write to a pipe without a reader is taken back before the old mask returns. A SIGPIPE that
// was pending before is left alone.
class SigpipeBlock {
  public:
    SigpipeBlock() {
        ::sigemptyset(&m_pipe);
        ::sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        ::sigemptyset(&pending);
        ::sigpending(&pending);
        m_wasPending = ::sigismember(&pending, SIGPIPE) == 1;
        ::pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~SigpipeBlock() {
        const int saved = errno;
        if (m_raised && !m_wasPending) {
            const timespec none{};
            while (::sigtimedwait(&m_pipe, nullptr, &none) < 0 && errno == EINTR) {
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
        errno = saved;
    }
    SigpipeBlock(const SigpipeBlock&) = delete;
    SigpipeBlock& operator=(const SigpipeBlock&) = delete;

    void Raised() { m_raised = true; }

  private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
    bool m_raised = false;
};

}  // namespace

DeviceSink::DeviceSink(int fd, Kind kind, std::chrono::milliseconds stallTimeout)
    : m_fd(fd), m_kind(kind), m_stallTimeout(stallTimeout) {}

DeviceSink::~DeviceSink() {
    if (m_fd >= 0) {
        if (m_kind == Kind::Serial) {
            ::tcflush(m_fd, TCOFLUSH);  // an abandoned job: closing waits for nothing queued
        }
        ::close(m_fd);
    }
}

void DeviceSink::Fail(int err) {
    m_failed = true;
    m_error = SystemError::Text(err);
}

void DeviceSink::Stall() {
    Fail(ETIMEDOUT);
    m_notTakingData = true;
}

bool DeviceSink::WaitForRoom(Clock::time_point deadline, bool pause) {
    if (pause) {
        std::this_thread::sleep_for(
            std::min<Clock::duration>(kRetryPause, deadline - Clock::now()));
    }
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return false;
    }
    pollfd p{m_fd, POLLOUT, 0};
    ::poll(&p, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
    return true;  // the next write tells whether there was room, or what went wrong
}

bool DeviceSink::Write(std::string_view bytes) {
    if (m_failed || m_fd < 0) {
        return false;
    }
    SigpipeBlock sigpipe;
    Clock::time_point deadline = Clock::now() + m_stallTimeout;
    bool waited = false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            deadline = Clock::now() + m_stallTimeout;
            waited = false;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitForRoom(deadline, waited)) {
                Stall();
                return false;
            }
            waited = true;
            continue;
        }
        if (n < 0 && errno == EPIPE) {
            sigpipe.Raised();
        }
        Fail(n < 0 ? errno : EIO);
        return false;
    }
    return true;
}

// The job is over only when the last byte has left the line. The queue is watched rather than
// waited on, so a line held up by its flow control is given up on after the stall timeout
// without a byte leaving; the final wait only covers the last bytes in the hardware.
void DeviceSink::Drain() {
    Clock::time_point deadline = Clock::now() + m_stallTimeout;
    int last = -1;
    for (;;) {
        int queued = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
            return;
        }
        if (queued <= 0) {
            break;
        }
        const Clock::time_point now = Clock::now();
        if (last < 0 || queued < last) {
            deadline = now + m_stallTimeout;
            last = queued;
        } else if (now >= deadline) {
            Stall();
            return;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(kRetryPause, deadline - now));
    }
    while (::tcdrain(m_fd) != 0) {
        if (errno != EINTR) {
            Fail(errno);
            return;
        }
    }
}

bool DeviceSink::Close() {
    if (m_fd < 0) {
        return !m_failed;
    }
    if (!m_failed) {
        if (m_kind == Kind::Serial) {
            Drain();
        } else if (m_kind == Kind::File) {
            if (::fsync(m_fd) != 0 && errno != EINVAL) {
                Fail(errno);
            }
        }
    }
    if (m_failed && m_kind == Kind::Serial) {
        // What a failed job left queued is dropped, so closing does not wait for a line that
        // stopped.
        ::tcflush(m_fd, TCOFLUSH);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && !m_failed && errno != EINTR) {
        Fail(errno);
    }
    return !m_failed;
}

}  // namespace vexa
