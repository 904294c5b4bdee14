#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "platform/port/DeviceSink.h"
#include "platform/port/PortOpener.h"

namespace vexa {

class RegistryRoot;

// Opens the printer port on Linux.
//
// Port names (letter case ignored): lpt1..lpt3 are the parallel printers /dev/lp0../dev/lp2,
// or the USB printers /dev/usb/lp0.. when the parallel device does not exist; com1 and com2 are
// the serial lines /dev/ttyS0 and /dev/ttyS1; an absolute path is that file or device. The
// machine hive may map a name to a device of its own: a value named like the port under
// HKEY_LOCAL_MACHINE\SOFTWARE\Lomar\Vexa\Ports holding a path (or another of the names above).
//
// Any terminal (a serial line, also one reached by a path or a mapping) is put in raw mode, so
// every byte, 0A included, leaves as it was written; its speed stays as the system set it. A
// path outside the device directory is created when missing and its old content replaced; a
// device must exist. Nothing waits without bound: the device is opened and written without
// blocking, and a device that stops taking bytes is given up on after the stall timeout (see
// DeviceSink).
class DevicePortOpener : public PortOpener {
  public:
    static constexpr const char* kMappingKey = "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa\\Ports";

    // `registry` may be null (no mapping). `devRoot` is where the device nodes live; tests pass
    // a directory of their own.
    explicit DevicePortOpener(RegistryRoot* registry = nullptr, std::string devRoot = "/dev");

    PortOpening Open(std::string_view portName, std::string_view jobTitle) override;

    // How long the sinks opened from now on wait for a device that takes no bytes.
    void SetStallTimeout(std::chrono::milliseconds timeout) { m_stallTimeout = timeout; }

    // The device or file a port name stands for; "" for a name that stands for nothing.
    std::string DeviceFor(std::string_view portName);

  private:
    std::string BuiltInDevice(std::string_view portName) const;
    bool UnderDevRoot(const std::string& path) const;

    RegistryRoot* m_registry;
    std::string m_devRoot;
    std::chrono::milliseconds m_stallTimeout = DeviceSink::kStallTimeout;
};

}  // namespace vexa
