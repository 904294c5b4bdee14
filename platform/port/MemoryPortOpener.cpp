#include "platform/port/MemoryPortOpener.h"

#include <utility>

namespace vexa {

PortOpening MemoryPortOpener::Open(std::string_view portName, std::string_view jobTitle) {
    ++m_openCount;
    m_lastPortName = std::string(portName);
    m_lastTitle = std::string(jobTitle);
    PortOpening result;
    result.Device = "memory:" + m_lastPortName;
    if (m_openFailure) {
        result.Reason = *m_openFailure;
        return result;
    }
    auto channel = std::make_shared<MemorySink::Channel>();
    channel->FailAfter = m_failAfter;
    if (m_failAfter) {
        channel->WriteFailure = m_writeFailure;
    }
    channel->CloseFailure = m_closeFailure;
    m_channels.push_back(channel);
    result.Sink = std::make_unique<MemorySink>(std::move(channel));
    return result;
}

void MemoryPortOpener::FailWriteAfter(std::size_t bytes, std::string reason) {
    m_failAfter = bytes;
    m_writeFailure = std::move(reason);
}

bool MemoryPortOpener::IsOpen() const {
    for (const auto& channel : m_channels) {
        if (channel->Open) {
            return true;
        }
    }
    return false;
}

std::string MemoryPortOpener::Bytes() const {
    return m_channels.empty() ? std::string() : m_channels.back()->Bytes;
}

std::vector<std::string> MemoryPortOpener::AllBytes() const {
    std::vector<std::string> all;
    all.reserve(m_channels.size());
    for (const auto& channel : m_channels) {
        all.push_back(channel->Bytes);
    }
    return all;
}

}  // namespace vexa
