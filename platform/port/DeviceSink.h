#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "platform/port/ByteSink.h"

namespace vexa {

// A sink over an open file descriptor: a printer device, a serial line or a plain file. A
// serial line is drained before it is closed, a plain file is flushed to disk, so a failure
// that only shows at the end (a full disk, a line that stopped) is still reported.
//
// The descriptor is non-blocking: a device that stops taking bytes (a printer switched off,
// off-line or out of paper) is waited for, while writing and while a serial line drains, at
// most the stall timeout without a byte leaving; then the sink fails with PortFault::NotTakingData.
// A reader that goes away (a pipe closed at the other end) is an ordinary write failure: SIGPIPE
// never reaches the program from here, whatever the program does with that signal.
class DeviceSink : public ByteSink {
  public:
    enum class Kind { Device, Serial, File };
    static constexpr std::chrono::milliseconds kStallTimeout{30'000};

    DeviceSink(int fd, Kind kind, std::chrono::milliseconds stallTimeout = kStallTimeout);
    ~DeviceSink() override;
    DeviceSink(const DeviceSink&) = delete;
    DeviceSink& operator=(const DeviceSink&) = delete;

    bool Write(std::string_view bytes) override;
    bool Close() override;
    const std::string& Error() const override { return m_error; }
    PortFault Fault() const override {
        return m_notTakingData ? PortFault::NotTakingData
               : m_failed      ? PortFault::System
                               : PortFault::None;
    }

    Kind SinkKind() const { return m_kind; }

  private:
    using Clock = std::chrono::steady_clock;

    void Fail(int err);
    void Stall();
    // Waits until the device may take more bytes or `deadline` has passed (false then).
    // `pause` first: the device said it was ready and then took nothing.
    bool WaitForRoom(Clock::time_point deadline, bool pause);
    void Drain();

    int m_fd;
    Kind m_kind;
    std::chrono::milliseconds m_stallTimeout;
    bool m_failed = false;
    bool m_notTakingData = false;
    std::string m_error;
};

}  // namespace vexa
