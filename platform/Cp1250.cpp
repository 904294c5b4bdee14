#include "platform/Cp1250.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <array>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {
namespace {

// Code point of every Windows-1250 byte. The five unassigned bytes (81 83 88 90 98) keep the
// C1 code point of the same value, so the mapping is a bijection on all 256 bytes.
constexpr std::array<char16_t, 256> kToUnicode = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B,
    0x000C, 0x000D, 0x000E, 0x000F, 0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017,
    0x0018, 0x0019, 0x001A, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x007F, 0x20AC, 0x0081, 0x201A, 0x0083,
    0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0161, 0x203A,
    0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB,
    0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103,
    0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171,
    0x00FC, 0x00FD, 0x0163, 0x02D9,

};

// Small letter -> capital for the bytes outside ASCII (Š Ś Ť Ž Ź Ł Ą Ş Ľ Ż and the Latin
// letters of C0..DE). ß, ÿ-like dot above and µ have no single-byte capital and stay.
constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = static_cast<unsigned char>(b);
    for (int b = 'a'; b <= 'z'; ++b)
        t[b] = static_cast<unsigned char>(b - 32);
    constexpr unsigned char pairs[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E},
                                          {0x9F, 0x8F}, {0xB3, 0xA3}, {0xB9, 0xA5}, {0xBA, 0xAA},
                                          {0xBE, 0xBC}, {0xBF, 0xAF}};
    for (const auto& p : pairs)
        t[p[0]] = p[1];
    for (int b = 0xE0; b <= 0xFE; ++b) {
        if (b != 0xF7)
            t[b] = static_cast<unsigned char>(b - 0x20);  // F7 is the division sign
    }
    return t;
}
constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; nothing for a malformed one.
std::optional<char32_t> DecodeUtf8(std::string_view s, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(pos);
    int extra;
    char32_t cp;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        return std::nullopt;
    }
    if (pos + static_cast<std::size_t>(extra) >= s.size())
        return std::nullopt;
    for (int i = 1; i <= extra; ++i) {
        unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    pos += static_cast<std::size_t>(extra) + 1;
    return cp;
}

}  // namespace

char32_t Cp1250::CharOf(unsigned char byte) {
    return kToUnicode[byte];
}

std::optional<unsigned char> Cp1250::ByteOf(char32_t cp) {
    if (cp < 0x80)
        return static_cast<unsigned char>(cp);
    // Every code point of the upper half lies below U+2123; 0 marks one the code page lacks.
    static const std::array<unsigned char, 0x2123> kFromUnicode = [] {
        std::array<unsigned char, 0x2123> t{};
        for (int b = 0x80; b < 256; ++b)
            t[kToUnicode[b]] = static_cast<unsigned char>(b);
        return t;
    }();
    if (cp >= kFromUnicode.size() || kFromUnicode[cp] == 0)
        return std::nullopt;
    return kFromUnicode[cp];
}

std::string Cp1250::ToUtf8(std::string_view cp1250) {
    std::string out;
    out.reserve(cp1250.size() * 2);
    for (char c : cp1250)
        AppendUtf8(out, kToUnicode[static_cast<unsigned char>(c)]);
    return out;
}

std::optional<std::string> Cp1250::FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        auto cp = DecodeUtf8(utf8, pos);
        if (!cp)
            return std::nullopt;
        auto b = ByteOf(*cp);
        if (!b)
            return std::nullopt;
        out += static_cast<char>(*b);
    }
    return out;
}

std::string Cp1250::FromUtf8Lossy(std::string_view utf8) {
    std::string out;
    FromUtf8Lossy(utf8, out);
    return out;
}

void Cp1250::FromUtf8Lossy(std::string_view utf8, std::string& out) {
    // Never longer than the UTF-8; written in place, then cut to size. ASCII, most of every
    // record, is copied sixteen bytes at a time up to the next letter beyond it, and the
    // two-byte letters are decoded here.
    out.resize(utf8.size());
    char* to = out.data();
    const char* const begin = utf8.data();
    const char* const end = begin + utf8.size();
    const char* from = begin;
    while (from < end) {
#if defined(__SSE2__)
        // `to` never runs ahead of `from`, so sixteen bytes always fit where they are stored.
        while (end - from >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
            const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
            const int ascii = high == 0 ? 16 : std::countr_zero(high);
            from += ascii;
            to += ascii;
            if (high != 0)
                break;
        }
#endif
        if (from == end)
            break;
        const auto lead = static_cast<unsigned char>(*from);
        if (lead < 0x80) {
            *to++ = *from++;
            continue;
        }
        std::optional<unsigned char> b;
        const auto next = end - from >= 2 ? static_cast<unsigned char>(from[1]) : 0;
        if (lead >= 0xC2 && lead < 0xE0 && (next & 0xC0) == 0x80) {
            b = ByteOf(static_cast<char32_t>((lead & 0x1F) << 6 | (next & 0x3F)));
            from += 2;
        } else {
            std::size_t pos = static_cast<std::size_t>(from - begin);
            const auto cp = DecodeUtf8(utf8, pos);
            b = cp ? ByteOf(*cp) : std::nullopt;
            from = cp ? begin + pos : from + 1;
        }
        *to++ = b ? static_cast<char>(*b) : '?';
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

std::string Cs(std::string_view utf8) {
    std::string out = Cp1250::FromUtf8Lossy(utf8);
#ifndef NDEBUG
    if (!Cp1250::FromUtf8(utf8)) {
        std::fprintf(stderr, "vexa: a text of the program does not fit Windows-1250: %.*s\n",
                     static_cast<int>(utf8.size()), utf8.data());
        std::abort();
    }
#endif
    return out;
}

unsigned char Cp1250::ToUpper(unsigned char byte) {
    return kUpper[byte];
}

std::string Cp1250::ToUpper(std::string_view cp1250) {
    std::string out(cp1250);
    for (char& c : out)
        c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace vexa
