#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vexa {

// CRC-32 (the polynomial of zip and PNG, 0xEDB88320 reflected) of some bytes; the check of a
// journal entry. `crc`: the CRC of the bytes before these, to go on from.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// A 64-bit hash of a stream of bytes (four lanes of 64-bit multiply-rotate rounds over 32-byte
// stripes, in the manner of xxHash64, then an avalanche), fast enough to identify a file of
// a hundred megabytes as it is read or written. Not a cryptographic hash.
class Hash64 {
  public:
    void Update(const char* data, std::size_t size) {
        if (size == 0)
            return;
        m_total += size;
        if (m_buffered != 0) {
            const std::size_t take = std::min(size, kStripe - m_buffered);
            std::memcpy(m_buffer + m_buffered, data, take);
            m_buffered += take;
            data += take;
            size -= take;
            if (m_buffered < kStripe)
                return;
            Stripe(m_buffer);
            m_buffered = 0;
        }
        for (; size >= kStripe; data += kStripe, size -= kStripe)
            Stripe(data);
        std::memcpy(m_buffer, data, size);
        m_buffered = size;
    }
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    std::uint64_t Final() const;

    static std::uint64_t Of(std::string_view bytes) {
        Hash64 h;
        h.Update(bytes);
        return h.Final();
    }

  private:
    static constexpr std::size_t kStripe = 32;
    static constexpr std::uint64_t kP1 = 0x9E3779B185EBCA87ull;
    static constexpr std::uint64_t kP2 = 0xC2B2AE3D27D4EB4Full;

    static std::uint64_t Rotl(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }
    // Little-endian on every machine, so that a file has one hash wherever it is read.
    static std::uint64_t Read64(const char* p) {
        std::uint64_t v;
        std::memcpy(&v, p, sizeof v);
        if constexpr (std::endian::native == std::endian::big) {
            std::uint64_t r = 0;
            for (int i = 0; i < 8; ++i)
                r = (r << 8) | ((v >> (8 * i)) & 0xFF);
            v = r;
        }
        return v;
    }
    static std::uint64_t Round(std::uint64_t acc, std::uint64_t input) {
        return Rotl(acc + input * kP2, 31) * kP1;
    }
    void Stripe(const char* p) {
        m_lane[0] = Round(m_lane[0], Read64(p));
        m_lane[1] = Round(m_lane[1], Read64(p + 8));
        m_lane[2] = Round(m_lane[2], Read64(p + 16));
        m_lane[3] = Round(m_lane[3], Read64(p + 24));
    }

    std::uint64_t m_lane[4] = {kP1 + kP2, kP2, 0, 0 - kP1};
    std::uint64_t m_total = 0;
    char m_buffer[kStripe] = {};
    std::size_t m_buffered = 0;
};

}  // namespace vexa
