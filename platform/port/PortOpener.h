#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/port/ByteSink.h"

namespace vexa {

// What opening a printer port gave: the open sink, or the reason it could not be opened.
struct PortOpening {
    std::unique_ptr<ByteSink> Sink;  // null when the port could not be opened
    std::string Device;              // the device, file or queue the port name stood for
    std::string Reason;              // the words for the failure (Windows-1250)
    PortFault Fault = PortFault::System;
    std::string Group;  // NoRights: the group that owns the device ("" when unknown)
};

// Opens a printer port by its name from the settings ("lpt1", "com1", a path, a queue, ...).
// `jobTitle` (Windows-1250) names the job where the port shows jobs to others: a print queue.
class PortOpener {
  public:
    virtual ~PortOpener() = default;
    virtual PortOpening Open(std::string_view portName, std::string_view jobTitle) = 0;
};

}  // namespace vexa
