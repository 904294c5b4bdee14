#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/port/ByteSink.h"

namespace vexa {

// What opening a printer port gave: the open sink, or the reason it could not be opened.
struct PortOpening {
    std::unique_ptr<ByteSink> Sink;  // null when the port could not be opened
    std::string Device;              // the device or file the port name stood for ("" if none)
    std::string Reason;              // the system's words for the failure (Windows-1250)
};

// Opens a printer port by its name from the settings ("lpt1", "com1", a path, ...).
class PortOpener {
  public:
    virtual ~PortOpener() = default;
    virtual PortOpening Open(std::string_view portName) = 0;
};

}  // namespace vexa
