#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/port/PortOpener.h"

namespace vexa {

// The port name "náhled" (letter case ignored) is the preview: the job's bytes are kept in
// memory and, when the job closes the port, handed to `show` instead of going to a device.
// Every other name is opened by the wrapped opener.
class PreviewPortOpener : public PortOpener {
  public:
    // "náhled" in Windows-1250.
    static constexpr std::string_view kPortName{"n\xE1hled"};
    using Show = std::function<void(std::string bytes)>;

    PreviewPortOpener(PortOpener& devices, Show show);

    PortOpening Open(std::string_view portName, std::string_view jobTitle) override;

    static bool IsPreview(std::string_view portName);

  private:
    PortOpener& m_devices;
    Show m_show;
};

}  // namespace vexa
