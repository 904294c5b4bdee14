#include "platform/ui/CollationKey.h"

#include <array>
#include <cstdint>

#include "platform/Cp1250.h"

namespace vexa {

namespace {

// Letters in alphabetical order; the characters of one group share their place.
constexpr const char32_t* kLetterGroups[] = {
    U"AÁÄĄÂĂ", U"B", U"CĆÇ",  U"Č",     U"DĎĐ", U"EÉĚËĘ", U"F", U"G",  U"H",   U"IÍÎ",
    U"J",      U"K", U"LĹĽŁ", U"M",     U"NŇŃ", U"OÓÔÖŐ", U"P", U"Q",  U"RŔ",  U"Ř",
    U"SŚŞ",    U"Š", U"TŤŢ",  U"UÚŮÜŰ", U"V",   U"W",     U"X", U"YÝ", U"ZŹŻ", U"Ž"};

// Primary weight of each byte, from 1 up: other characters in byte order, then digits, then
// the letter groups.
struct Weights {
    std::array<std::uint16_t, 256> primary{};

    Weights() {
        std::array<int, 256> group{};
        group.fill(-1);
        for (int b = 0; b < 256; ++b) {
            char32_t upper = Cp1250::CharOf(Cp1250::ToUpper(static_cast<unsigned char>(b)));
            for (int g = 0; g < static_cast<int>(std::size(kLetterGroups)); ++g) {
                for (const char32_t* c = kLetterGroups[g]; *c != 0; ++c) {
                    if (*c == upper)
                        group[static_cast<std::size_t>(b)] = g;
                }
            }
        }
        std::uint16_t next = 1;
        for (int b = 0; b < 256; ++b) {
            bool digit = b >= '0' && b <= '9';
            if (group[static_cast<std::size_t>(b)] < 0 && !digit)
                primary[std::size_t(b)] = next++;
        }
        for (int b = '0'; b <= '9'; ++b)
            primary[std::size_t(b)] = next++;
        for (int g = 0; g < static_cast<int>(std::size(kLetterGroups)); ++g) {
            for (int b = 0; b < 256; ++b) {
                if (group[static_cast<std::size_t>(b)] == g)
                    primary[std::size_t(b)] = next;
            }
            ++next;
        }
    }
};

const Weights& TheWeights() {
    static const Weights weights;  // immutable once built
    return weights;
}

}  // namespace

void CollationKey::Append(std::string& out, std::string_view cp1250) {
    const Weights& w = TheWeights();
    for (char c : cp1250) {
        std::uint16_t weight = w.primary[static_cast<unsigned char>(c)];
        out.push_back(static_cast<char>(weight >> 8));
        out.push_back(static_cast<char>(weight & 0xFF));
    }
    // The end of the text sorts before any character; then the bytes break ties.
    out.push_back('\0');
    out.push_back('\0');
    out.append(cp1250);
}

std::string CollationKey::Make(std::string_view cp1250) {
    std::string key;
    key.reserve(cp1250.size() * 3 + 2);
    Append(key, cp1250);
    return key;
}

}  // namespace vexa
