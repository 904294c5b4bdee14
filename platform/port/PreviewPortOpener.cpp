#include "platform/port/PreviewPortOpener.h"

#include <memory>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/port/ByteSink.h"

namespace vexa {

namespace {

// Keeps the bytes; the first Close hands them on. A job that never closes the port (it failed
// before) shows nothing.
class PreviewSink : public ByteSink {
  public:
    explicit PreviewSink(PreviewPortOpener::Show show) : m_show(std::move(show)) {}

    bool Write(std::string_view bytes) override {
        if (m_closed) {
            return false;
        }
        m_bytes.append(bytes);
        return true;
    }
    bool Close() override {
        if (!m_closed) {
            m_closed = true;
            if (m_show) {
                m_show(std::move(m_bytes));
            }
            m_bytes.clear();
        }
        return true;
    }
    const std::string& Error() const override { return m_error; }

  private:
    PreviewPortOpener::Show m_show;
    std::string m_bytes;
    std::string m_error;
    bool m_closed = false;
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
