#pragma once

#include <string>
#include <string_view>

namespace vexa {

// A raw byte sink a print job writes to: the printer port, a file, or memory in tests. Bytes go
// out exactly as given, with no line-end translation.
class ByteSink {
  public:
    virtual ~ByteSink() = default;

    // Writes every byte or fails. After a failure the sink takes nothing more.
    virtual bool Write(std::string_view bytes) = 0;
    // Waits until the bytes have left (a serial line is drained, a file is flushed to disk) and
    // releases the device. False when that failed. Calling it again does nothing.
    virtual bool Close() = 0;
    // The system's words for the last failure (Windows-1250), "" when nothing failed.
    virtual const std::string& Error() const = 0;
    // True when the failure was a device that stopped taking bytes (off, off-line, out of
    // paper) and was given up on after waiting.
    virtual bool NotTakingData() const { return false; }
};

}  // namespace vexa
