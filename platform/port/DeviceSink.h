#pragma once

#include <string>
#include <string_view>

#include "platform/port/ByteSink.h"

namespace vexa {

// A sink over an open file descriptor: a printer device, a serial line or a plain file. A
// serial line is drained before it is closed, a plain file is flushed to disk, so a failure
// that only shows at the end (a full disk, a line that stopped) is still reported.
class DeviceSink : public ByteSink {
  public:
    enum class Kind { Device, Serial, File };

    DeviceSink(int fd, Kind kind);
    ~DeviceSink() override;
    DeviceSink(const DeviceSink&) = delete;
    DeviceSink& operator=(const DeviceSink&) = delete;

    bool Write(std::string_view bytes) override;
    bool Close() override;
    const std::string& Error() const override { return m_error; }

    Kind SinkKind() const { return m_kind; }

  private:
    void Fail(int err);

    int m_fd;
    Kind m_kind;
    bool m_failed = false;
    std::string m_error;
};

}  // namespace vexa
