#pragma once

#include <string>
#include <string_view>

namespace vexa {

// What kind of failure a port met. The words that go with it (Error(), PortOpening::Reason)
// are the system's or the print service's, in Windows-1250.
enum class PortFault {
    None,
    System,         // an open, write or close failed; the words are the system's reason
    NoRights,       // the device exists but may not be opened by this user
    NotTakingData,  // the device took no bytes for the stall timeout (off, off-line, no paper)
    QueueMissing,   // the print service knows no queue of that name
    ServiceDown,    // the print service cannot be reached
    Refused,        // the print service refused the job; the words say why
    NotPrinted,     // the queue did not print the job in time, so it was cancelled; the words
                    // tell the state of the job and of the queue
};

// A raw byte sink a print job writes to: the printer port, a file, a print queue, or memory in
// tests. Bytes go out exactly as given, with no line-end translation.
class ByteSink {
  public:
    virtual ~ByteSink() = default;

    // Writes every byte or fails. After a failure the sink takes nothing more.
    virtual bool Write(std::string_view bytes) = 0;
    // Waits until the bytes have left (a serial line is drained, a file is flushed to disk, a
    // queue has printed the job) and releases the device. False when that failed. Calling it
    // again does nothing.
    virtual bool Close() = 0;
    // The words for the last failure (Windows-1250), "" when nothing failed.
    virtual const std::string& Error() const = 0;
    // What kind of failure it was; None when nothing failed.
    virtual PortFault Fault() const {
        return Error().empty() ? PortFault::None : PortFault::System;
    }
};

}  // namespace vexa
