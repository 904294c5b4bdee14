#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/MemorySink.h"
#include "platform/port/PortOpener.h"

namespace vexa {

// Hands out in-memory sinks instead of devices, for tests of the jobs and of the windows. Each
// Open makes a new channel; the bytes of every job stay readable. Failures can be arranged in
// advance: the open, a write after some bytes, or the close.
class MemoryPortOpener : public PortOpener {
  public:
    PortOpening Open(std::string_view portName, std::string_view jobTitle) override;

    void FailOpen(std::string reason) { m_openFailure = std::move(reason); }
    void FailWriteAfter(std::size_t bytes, std::string reason = "Input/output error");
    void FailClose(std::string reason) { m_closeFailure = std::move(reason); }

    // How many times a port was asked for (failed opens included).
    int OpenCount() const { return m_openCount; }
    // True while a sink handed out has not been closed or released.
    bool IsOpen() const;
    // The port name of the last Open, "" before any.
    const std::string& LastPortName() const { return m_lastPortName; }
    // The job title of the last Open.
    const std::string& LastTitle() const { return m_lastTitle; }
    // The bytes of the last opened sink ("" before any), and of every sink in order.
    std::string Bytes() const;
    std::vector<std::string> AllBytes() const;

  private:
    int m_openCount = 0;
    std::string m_lastPortName;
    std::string m_lastTitle;
    std::optional<std::string> m_openFailure;
    std::optional<std::size_t> m_failAfter;
    std::string m_writeFailure;
    std::optional<std::string> m_closeFailure;
    std::vector<std::shared_ptr<MemorySink::Channel>> m_channels;
};

}  // namespace vexa
