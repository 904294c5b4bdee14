#include "platform/port/PreviewPortOpener.h"

#include <memory>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/port/HeldSink.h"

namespace vexa {

namespace {

// Hands the job's bytes to the preview when the job closes the port.
class PreviewSink : public HeldSink {
  public:
    explicit PreviewSink(PreviewPortOpener::Show show) : m_show(std::move(show)) {}
    const std::string& Error() const override { return m_error; }

  private:
    bool Deliver(std::string bytes) override {
        if (m_show)
            m_show(std::move(bytes));
        return true;
    }

    PreviewPortOpener::Show m_show;
    std::string m_error;
};

}  // namespace

PreviewPortOpener::PreviewPortOpener(PortOpener& devices, Show show)
    : m_devices(devices), m_show(std::move(show)) {}

bool PreviewPortOpener::IsPreview(std::string_view portName) {
    return Cp1250::ToUpper(portName) == Cp1250::ToUpper(kPortName);
}

PortOpening PreviewPortOpener::Open(std::string_view portName, std::string_view jobTitle) {
    if (!IsPreview(portName)) {
        return m_devices.Open(portName, jobTitle);
    }
    PortOpening opening;
    opening.Device = std::string(portName);
    opening.Sink = std::make_unique<PreviewSink>(m_show);
    return opening;
}

}  // namespace vexa
