#include "platform/Checksums.h"

#include <array>

namespace vexa {
namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint64_t Hash64::Final() const {
    constexpr std::uint64_t kP3 = 0x165667B19E3779F9ull;
    constexpr std::uint64_t kP4 = 0x85EBCA77C2B2AE63ull;
    constexpr std::uint64_t kP5 = 0x27D4EB2F165667C5ull;
    std::uint64_t h;
    if (m_total >= kStripe) {
        h = Rotl(m_lane[0], 1) + Rotl(m_lane[1], 7) + Rotl(m_lane[2], 12) + Rotl(m_lane[3], 18);
        for (std::uint64_t lane : m_lane)
            h = (h ^ Round(0, lane)) * kP1 + kP4;
    } else {
        h = kP5;
    }
    h += m_total;
    const char* p = m_buffer;
    std::size_t left = m_buffered;
    for (; left >= 8; p += 8, left -= 8)
        h = Rotl(h ^ Round(0, Read64(p)), 27) * kP1 + kP4;
    for (; left > 0; ++p, --left)
        h = Rotl(h ^ (static_cast<unsigned char>(*p) * kP5), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}

}  // namespace vexa
