#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/port/ByteSink.h"

namespace vexa {

// A sink for a port that takes a whole job at once (the preview, a print queue): it holds the
// bytes, and the first Close hands them to Deliver; writes after that fail. A job that never
// closes its port (it failed before) delivers nothing.
class HeldSink : public ByteSink {
  public:
    bool Write(std::string_view bytes) final {
        if (m_closed)
            return false;
        m_bytes.append(bytes);
        return true;
    }
    bool Close() final {
        if (!m_closed) {
            m_closed = true;
            m_delivered = Deliver(std::exchange(m_bytes, std::string()));
        }
        return m_delivered;
    }

  protected:
    // The job's bytes; true when they reached their place.
    virtual bool Deliver(std::string bytes) = 0;

  private:
    std::string m_bytes;
    bool m_closed = false;
    bool m_delivered = false;
};

}  // namespace vexa
