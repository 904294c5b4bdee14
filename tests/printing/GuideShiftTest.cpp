#include "printing/GuideShift.h"

#include "platform/Numbers.h"
#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

TEST(GuideShiftTest, ScrollValuesAndStoredShift) {
    RegistryRoot registry(std::map<std::string, std::string>{});
    Config config(registry);
    GuideShift::StoreShift(config, 15, 15);  // the opposite of the move asked for
    EXPECT_EQ(config.Text(cfg::HorzShift), "-4");
    EXPECT_EQ(config.Text(cfg::VertShift), "-21");
    EXPECT_EQ(GuideShift::ScrollXFromSettings(config), 17);  // floor, not the exact inverse
    EXPECT_EQ(GuideShift::ScrollYFromSettings(config), 15);
    GuideShift::StoreShift(config, 1, -1);  // rounds to nothing: "0", never "-0"
    EXPECT_EQ(config.Text(cfg::HorzShift), "0");
    EXPECT_EQ(config.Text(cfg::VertShift), "1");
    EXPECT_EQ(GuideShift::HorzShiftFromScroll(-100), 24);
    EXPECT_EQ(GuideShift::VertShiftFromScroll(-100), 142);
    EXPECT_EQ(GuideShift::ScrollXFromShift(4), -16);
    EXPECT_EQ(GuideShift::ScrollXFromShift(-1000), 100);  // held to -100..100
    EXPECT_EQ(GuideShift::ScrollYFromShift(1e9), -100);
    EXPECT_EQ(GuideShift::ScrollValueToText(-3, LocaleDecimal(',')), "-0,3 mm");
    EXPECT_EQ(GuideShift::ScrollValueToText(15, LocaleDecimal('.')), "1.5 mm");
}

// What becomes of a typed text: "parsed|scroll value|shown", or "refused" when ParseMm refuses
// it and leaves it as it was.
std::string Outcome(std::string text, char separator) {
    const LocaleDecimal locale(separator);
    const std::string typed = text;
    if (!GuideShift::ParseMm(text, locale)) {
        return text == typed ? "refused" : "refused, yet changed to " + text;
    }
    const std::string parsed = text;
    const int value = GuideShift::MmToScrollValue(text, locale);
    return parsed + "|" + std::to_string(value) + "|" + text;
}

TEST(GuideShiftTest, MillimetreInputUnderCzechCommaAndUnderDot) {
    // Typed, then the outcome under a comma and under a dot; the last two round halves to even.
    const char* const cases[][3] = {
        {"2,5", "2,5|25|2,5", "refused"},
        {"2.5", "refused", "2.5|25|2.5"},
        {"3 mm", "3|30|3", "3|30|3"},
        {"3mm", "3|30|3", "3|30|3"},
        {" 3 mm ", " 3|30|3", " 3|30|3"},
        {"0,5 cm", "5|50|5", "refused"},
        {"0.5 cm", "refused", "5|50|5"},
        {"mm", "0|0|0", "0|0|0"},
        {"cm", "0|0|0", "0|0|0"},
        {"12 mm", "12|100|10", "12|100|10"},
        {"-12", "-12|-100|-10", "-12|-100|-10"},
        {"abc", "refused", "refused"},
        {"", "refused", "refused"},
        {"3 MM", "refused", "refused"},
        {"1a2 mm", "refused", "refused"},
        {"-0.3 mm", "refused", "-0.3|-3|-0.3"},
        {"0,25", "0,25|2|0,2", "refused"},
        {"0,75", "0,75|8|0,8", "refused"},
    };
    for (const auto& [typed, comma, dot] : cases) {
        EXPECT_EQ(Outcome(typed, ','), comma) << '"' << typed << '"';
        EXPECT_EQ(Outcome(typed, '.'), dot) << '"' << typed << '"';
    }
}

}  // namespace
}  // namespace vexa::test
