#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/port/ByteSink.h"

namespace vexa {

// A sink that keeps the bytes in memory, for tests. The bytes live in a channel shared with
// whoever created the sink, so they can be read after the job has released the sink. A channel
// can be told to fail a write (after a number of bytes, as a printer unplugged mid-page) or
// the close.
class MemorySink : public ByteSink {
  public:
    struct Channel {
        std::string Bytes;
        bool Open = true;
        std::optional<std::size_t> FailAfter;  // bytes accepted before writes fail
        std::string WriteFailure = "Input/output error";
        std::optional<std::string> CloseFailure;
    };

    explicit MemorySink(std::shared_ptr<Channel> channel = std::make_shared<Channel>());
    ~MemorySink() override;

    bool Write(std::string_view bytes) override;
    bool Close() override;
    const std::string& Error() const override { return m_error; }

    const std::shared_ptr<Channel>& Data() const { return m_channel; }

  private:
    std::shared_ptr<Channel> m_channel;
    bool m_failed = false;
    std::string m_error;
};

}  // namespace vexa
