#include "platform/port/MemorySink.h"

#include <utility>

namespace vexa {

MemorySink::MemorySink(std::shared_ptr<Channel> channel) : m_channel(std::move(channel)) {}

MemorySink::~MemorySink() {
    m_channel->Open = false;
}

bool MemorySink::Write(std::string_view bytes) {
    if (m_failed || !m_channel->Open) {
        return false;
    }
    Channel& ch = *m_channel;
    if (ch.FailAfter && ch.Bytes.size() + bytes.size() > *ch.FailAfter) {
        // Like a device that stops mid-write: what fitted is gone, the rest is lost.
        const std::size_t room =
            *ch.FailAfter > ch.Bytes.size() ? *ch.FailAfter - ch.Bytes.size() : 0;
        ch.Bytes.append(bytes.substr(0, room));
        m_failed = true;
        m_error = ch.WriteFailure;
        return false;
    }
    ch.Bytes.append(bytes);
    return true;
}

bool MemorySink::Close() {
    if (!m_channel->Open) {
        return !m_failed;
    }
    m_channel->Open = false;
    if (m_channel->CloseFailure) {
        m_failed = true;
        m_error = *m_channel->CloseFailure;
        return false;
    }
    return !m_failed;
}

}  // namespace vexa
