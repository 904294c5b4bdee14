#pragma once

#include <cstdint>
#include <string>

namespace vexa {

class Config;
class LocaleDecimal;

// The arithmetic of the guide-point dialog, apart from its widgets. The dialog holds the shift
// as two scroll values in tenths of a millimetre, -100..100; the settings hold it as HorzShift
// (1/60 inch) and VertShift (1/360 inch). Texts are in the user's locale (a Czech user types
// 2,5).
class GuideShift {
  public:
    static constexpr int kMinScroll = -100;
    static constexpr int kMaxScroll = 100;

    // Scroll values to the stored shift. The shift is the opposite of the move the user asks
    // for: x = 15 (1.5 mm) gives HorzShift -4, y = 15 gives VertShift -21.
    static int HorzShiftFromScroll(int x);
    static int VertShiftFromScroll(int y);
    // Writes both shifts into the current settings as decimal text.
    static void StoreShift(Config& config, int x, int y);

    // Scroll values shown for a stored shift: -floor(shift in tenths of a mm), within
    // -100..100. Not the exact inverse of the above (HorzShift -4 shows as 17).
    static int ScrollXFromShift(double horzShift);
    static int ScrollYFromShift(double vertShift);
    static int ScrollXFromSettings(const Config& config);
    static int ScrollYFromSettings(const Config& config);

    // Checks what the user typed into a millimetre box. A number is taken as it is; a number
    // followed by "mm" loses the unit; one followed by "cm" becomes millimetres; an empty
    // result becomes "0". Anything else (no number, another unit, a unit after something that
    // is not a number) is refused and the text left as it was.
    static bool ParseMm(std::string& text, const LocaleDecimal& locale);
    // The scroll value of an accepted text: tenths of a millimetre rounded halves to even and
    // held to -100..100; the text is rewritten as that value in millimetres. A text that is
    // not a number counts as 0.
    static std::int16_t MmToScrollValue(std::string& text, const LocaleDecimal& locale);
    // What a millimetre box shows for a scroll value: "1,5 mm", "-0,3 mm", "0 mm".
    static std::string ScrollValueToText(int value, const LocaleDecimal& locale);
};

}  // namespace vexa
