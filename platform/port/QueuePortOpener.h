#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/DeviceSink.h"
#include "platform/port/PortOpener.h"

namespace vexa {

// The print queues of the system's print service (CUPS, as libcups finds it: CUPS_SERVER,
// client.conf, or the local service) as printer ports. A queue's port name is "tiskárna:" and
// the queue's name, e.g. "tiskárna:EPSON_LQ"; no built-in port name and no path starts so.
// Every other name goes to the wrapped opener.
//
// Each print is one raw job (application/vnd.cups-raw) holding exactly the bytes a device
// would get, under the job title (never the holder: anyone on the network may list a queue).
// The bytes are kept until the port is closed, so a job that fails halfway reaches no queue;
// closing sends them and waits until the service has printed the job, at most the stall
// timeout. A job that is not printed by then, or is held, stopped or aborted before, is
// cancelled, so it can never print later onto another booklet; the failure's words tell the
// state of the job and of the queue. Opening fails at once when no service runs or the queue
// does not exist.
class QueuePortOpener : public PortOpener {
  public:
    // "tiskárna:" in Windows-1250.
    static constexpr std::string_view kPrefix{"tisk\xE1rna:"};

    explicit QueuePortOpener(PortOpener& devices);

    PortOpening Open(std::string_view portName, std::string_view jobTitle) override;

    // How long the jobs sent from now on may take to print.
    void SetStallTimeout(std::chrono::milliseconds timeout) { m_stallTimeout = timeout; }

    // True for a port name that starts with the prefix (letter case ignored).
    static bool IsQueue(std::string_view portName);
    // The port names of the queues the service knows, in its order (queues whose names
    // Windows-1250 cannot hold left out); none when it knows none or does not run.
    static std::vector<std::string> QueuePorts();

  private:
    PortOpener& m_devices;
    std::chrono::milliseconds m_stallTimeout = DeviceSink::kStallTimeout;
};

}  // namespace vexa
