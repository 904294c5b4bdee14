#include "printing/GuideShift.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Numbers.h"
#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

TEST(GuideShiftTest, ScrollValuesToStoredShift) {
    EXPECT_EQ(GuideShift::HorzShiftFromScroll(15), -4);
    EXPECT_EQ(GuideShift::VertShiftFromScroll(15), -21);
    EXPECT_EQ(GuideShift::HorzShiftFromScroll(-15), 4);
    EXPECT_EQ(GuideShift::HorzShiftFromScroll(100), -24);
    EXPECT_EQ(GuideShift::VertShiftFromScroll(-100), 142);
    EXPECT_EQ(GuideShift::VertShiftFromScroll(0), 0);

    RegistryRoot registry(std::map<std::string, std::string>{});
    Config config(registry);
    GuideShift::StoreShift(config, 15, 15);
    EXPECT_EQ(config.Text(cfg::HorzShift), "-4");
    EXPECT_EQ(config.Text(cfg::VertShift), "-21");
    GuideShift::StoreShift(config, 1, -1);  // rounds to nothing: "0", never "-0"
    EXPECT_EQ(config.Text(cfg::HorzShift), "0");
    EXPECT_EQ(config.Text(cfg::VertShift), "1");
}

TEST(GuideShiftTest, StoredShiftToScrollValues) {
    EXPECT_EQ(GuideShift::ScrollXFromShift(-4), 17);
    EXPECT_EQ(GuideShift::ScrollXFromShift(4), -16);
    EXPECT_EQ(GuideShift::ScrollYFromShift(-21), 15);
    EXPECT_EQ(GuideShift::ScrollXFromShift(0), 0);
    EXPECT_EQ(GuideShift::ScrollXFromShift(-1000), 100);
    EXPECT_EQ(GuideShift::ScrollYFromShift(1e9), -100);

    RegistryRoot registry(std::map<std::string, std::string>{});
    Config config(registry);
    config.Set(cfg::HorzShift, "-4");
    config.Set(cfg::VertShift, "-21 ");
    EXPECT_EQ(GuideShift::ScrollXFromSettings(config), 17);
    EXPECT_EQ(GuideShift::ScrollYFromSettings(config), 15);
}

struct MmCase {
    const char* typed;
    bool accepted;
    const char* parsed;  // text after ParseMm
    int value;           // MmToScrollValue of it
    const char* shown;   // text after MmToScrollValue
};

void CheckMm(const LocaleDecimal& locale, const MmCase& c) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\" with separator " + locale.Separator());
    std::string text = c.typed;
    ASSERT_EQ(GuideShift::ParseMm(text, locale), c.accepted);
    EXPECT_EQ(text, c.parsed);
    if (c.accepted) {
        EXPECT_EQ(GuideShift::MmToScrollValue(text, locale), c.value);
        EXPECT_EQ(text, c.shown);
    }
}

TEST(GuideShiftTest, MillimetreInputUnderCzechComma) {
    const LocaleDecimal czech(',');
    const MmCase cases[] = {
        {"2,5", true, "2,5", 25, "2,5"},      {"3 mm", true, "3", 30, "3"},
        {"3mm", true, "3", 30, "3"},          {" 3 mm ", true, " 3", 30, "3"},
        {"0,5 cm", true, "5", 50, "5"},       {"mm", true, "0", 0, "0"},
        {"12 mm", true, "12", 100, "10"},     {"-12", true, "-12", -100, "-10"},
        {"abc", false, "abc", 0, ""},         {"", false, "", 0, ""},
        {"2.5", false, "2.5", 0, ""},         {"1a2 mm", false, "1a2 mm", 0, ""},
        {"3 MM", false, "3 MM", 0, ""},       {"3 in", false, "3 in", 0, ""},
        {"0,25", true, "0,25", 2, "0,2"},     {"0,75", true, "0,75", 8, "0,8"},
        {"-0,25", true, "-0,25", -2, "-0,2"}, {"-0,3 mm", true, "-0,3", -3, "-0,3"},
        {"1,5 cm", true, "15", 100, "10"},    {"cm", true, "0", 0, "0"},
    };
    for (const MmCase& c : cases) {
        CheckMm(czech, c);
    }
}

TEST(GuideShiftTest, MillimetreInputUnderDot) {
    const LocaleDecimal dot('.');
    const MmCase cases[] = {
        {"2,5", false, "2,5", 0, ""},       {"2.5", true, "2.5", 25, "2.5"},
        {"3 mm", true, "3", 30, "3"},       {"3mm", true, "3", 30, "3"},
        {" 3 mm ", true, " 3", 30, "3"},    {"0,5 cm", false, "0,5 cm", 0, ""},
        {"0.5 cm", true, "5", 50, "5"},     {"mm", true, "0", 0, "0"},
        {"12 mm", true, "12", 100, "10"},   {"-12", true, "-12", -100, "-10"},
        {"abc", false, "abc", 0, ""},       {"", false, "", 0, ""},
        {"-0.3", true, "-0.3", -3, "-0.3"},
    };
    for (const MmCase& c : cases) {
        CheckMm(dot, c);
    }
}

TEST(GuideShiftTest, ScrollValueAsText) {
    const LocaleDecimal czech(',');
    EXPECT_EQ(GuideShift::ScrollValueToText(15, czech), "1,5 mm");
    EXPECT_EQ(GuideShift::ScrollValueToText(10, czech), "1 mm");
    EXPECT_EQ(GuideShift::ScrollValueToText(-3, czech), "-0,3 mm");
    EXPECT_EQ(GuideShift::ScrollValueToText(0, czech), "0 mm");
    EXPECT_EQ(GuideShift::ScrollValueToText(-100, czech), "-10 mm");
    EXPECT_EQ(GuideShift::ScrollValueToText(15, LocaleDecimal('.')), "1.5 mm");
}

}  // namespace
}  // namespace vexa::test
