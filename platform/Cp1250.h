#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// Windows-1250 text helpers. Every text the program holds is a std::string of Windows-1250
// bytes (one byte, one character); UTF-8 appears only at the toolkit boundary.
//
// The table is exact in both directions for all 256 bytes: the five bytes Windows-1250 leaves
// unassigned (81 83 88 90 98) map to the C1 code points of the same value, so any byte
// sequence survives ToUtf8 followed by FromUtf8.
class Cp1250 {
  public:
    // The Unicode code point of one Windows-1250 byte.
    static char32_t CharOf(unsigned char byte);
    // The Windows-1250 byte of a code point, or nothing when the code page cannot hold it.
    static std::optional<unsigned char> ByteOf(char32_t cp);

    static std::string ToUtf8(std::string_view cp1250);
    // Converts UTF-8 to Windows-1250. Nothing when the text holds a character the code page
    // cannot hold, or is not valid UTF-8.
    static std::optional<std::string> FromUtf8(std::string_view utf8);
    // Converts UTF-8 to Windows-1250, with "?" for each character the code page cannot hold
    // and each byte that is not valid UTF-8 (for texts from outside, such as a database).
    static std::string FromUtf8Lossy(std::string_view utf8);
    // The same into `out` (emptied first), whose room is used again.
    static void FromUtf8Lossy(std::string_view utf8, std::string& out);

    // Upper case over Windows-1250: every small letter (accented Czech letters included) becomes
    // its capital; other bytes stay.
    static unsigned char ToUpper(unsigned char byte);
    static std::string ToUpper(std::string_view cp1250);
};

// The one way a text written in the sources (UTF-8) becomes a text of the program
// (Windows-1250). Every such text must fit the code page; one that does not is a mistake in the
// program: a debug build (the tests) stops at once naming it, a release build shows "?" for
// each character that does not fit.
std::string Cs(std::string_view utf8);

}  // namespace vexa
