#include "platform/Checksums.h"

#include <array>

namespace vexa {
namespace {

// Eight tables: eight bytes at a time ("slicing by eight").
constexpr std::array<std::array<std::uint32_t, 256>, 8> MakeCrcTables() {
    std::array<std::array<std::uint32_t, 256>, 8> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n) {
        for (int k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    }
    return t;
}

constexpr auto kCrc = MakeCrcTables();

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    std::uint32_t c = ~crc;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    for (; left >= 8; p += 8, left -= 8) {
        const std::uint32_t lo = c ^ (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
        c = kCrc[7][lo & 0xFF] ^ kCrc[6][(lo >> 8) & 0xFF] ^ kCrc[5][(lo >> 16) & 0xFF] ^
            kCrc[4][lo >> 24] ^ kCrc[3][p[4]] ^ kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]];
    }
    for (; left > 0; ++p, --left)
        c = kCrc[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return ~c;
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
