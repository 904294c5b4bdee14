#include <gtest/gtest.h>

#include "settings/Misc.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using namespace std::chrono;
constexpr Dates::Date kToday = 2026y / December / 6d;

bool Valid(std::string_view date, std::string_view rest, Dates::Date today = kToday) {
    return Misc::IsValidRC(date, rest, today);
}

TEST(BirthNumberTest, CheckCharacterIsTheRemainderModEleven) {
    // 855612123 leaves 3, 850612123 leaves 9, 045101000 leaves 10: check digit 0 (numbers
    // given out until 1985) or "A" in either case.
    for (auto [date, rest] : {std::pair{"855612", "1233"},
                              {"850612", "1239"},
                              {"045101", "0000"},
                              {"045101", "000A"},
                              {"045101", "000a"}}) {
        EXPECT_TRUE(Valid(date, rest)) << date << "/" << rest;
    }
    for (char c : std::string("0124567891Aa X")) {
        EXPECT_FALSE(Valid("855612", std::string("123") + c)) << c;
    }
    EXPECT_FALSE(Valid("045101", "0001"));
}

TEST(BirthNumberTest, MalformedNumbersFail) {
    // Only digits count, and only nine or ten characters.
    for (auto [date, rest] : {std::pair{"85561x", "1233"},
                              {"85 612", "1233"},
                              {"855612", "1x33"},
                              {"+55612", "1233"},
                              {"530101", "12a"},
                              {"855612", "12"},
                              {"855612", "12330"},
                              {"85561", "1233"},
                              {"", ""}}) {
        EXPECT_FALSE(Valid(date, rest)) << date << "/" << rest;
    }
}

TEST(BirthNumberTest, NineCharacterNumbersNeedAYearBelowFiftyFour) {
    EXPECT_TRUE(Valid("530101", "123"));
    EXPECT_FALSE(Valid("540101", "123"));
    EXPECT_TRUE(Valid("535101", "123"));   // a woman
    EXPECT_FALSE(Valid("532101", "123"));  // +20 did not exist then
    EXPECT_FALSE(Valid("537101", "123"));
    EXPECT_EQ(Misc::GetBirthDateFromRC("050101/123"), "01.01.1905");
}

TEST(BirthNumberTest, MonthOffsetsOfTenCharacterNumbers) {
    // 042201 is a man born 01.02.2004 (+20), 047201 a woman born the same day (+70).
    EXPECT_EQ(Misc::NormalizeBirthDatePart("042201"), "040201");
    EXPECT_EQ(Misc::NormalizeBirthDatePart("047201"), "040201");
    EXPECT_EQ(Misc::NormalizeBirthDatePart("045201"), "040201");
    EXPECT_EQ(Misc::NormalizeBirthDatePart("041201"), "041201");
    EXPECT_EQ(Misc::GetBirthDateFromRC("042201/0003"), "01.02.2004");
    EXPECT_EQ(Misc::GetBirthDateFromRC("047201/0003"), "01.02.2004");
    EXPECT_TRUE(Misc::IsMaleRC("042201"));
    EXPECT_TRUE(Misc::IsMaleRC("043201"));
    EXPECT_FALSE(Misc::IsMaleRC("047201"));
    EXPECT_FALSE(Misc::IsMaleRC("048201"));
    EXPECT_FALSE(Misc::IsMaleRC("045201"));
    EXPECT_TRUE(Misc::IsMaleRC(""));
    // 042201000 leaves 6, 047201000 leaves 0, 044201000 leaves 8.
    EXPECT_TRUE(Valid("042201", "0006"));
    EXPECT_TRUE(Valid("047201", "0000"));
    EXPECT_FALSE(Valid("044201", "0008"));  // month 42 stays out of range
}

TEST(BirthNumberTest, BirthDateAndSex) {
    EXPECT_EQ(Misc::GetBirthDateFromRC("855612/1233"), "12.06.1985");
    EXPECT_FALSE(Misc::IsMaleRC("855612"));
    EXPECT_TRUE(Misc::IsMaleRC("850612"));
    EXPECT_EQ(Misc::GetBirthDateFromRC("510101/0000"), "01.01.2051");
    EXPECT_EQ(Misc::GetBirthDateFromRC("520101/0000"), "01.01.1952");
    EXPECT_EQ(Misc::GetBirthDateFromRC("855612"), "");
    EXPECT_EQ(Misc::GetBirthDateFromRC("851312/1233"), "");
    EXPECT_EQ(Misc::GetBirthDateFromRC("853012/1233"), "12.10.1985");
}

TEST(BirthNumberTest, ABirthDateAfterTodayIsInvalid) {
    // 270101000 leaves 4: it would be 01.01.2027.
    EXPECT_FALSE(Valid("270101", "0004"));
    EXPECT_TRUE(Valid("270101", "0004", 2027y / January / 1d));
    EXPECT_FALSE(Valid("261207", "0000", kToday));  // 261207000 leaves 10; tomorrow
    EXPECT_TRUE(Valid("261206", "0000", kToday));   // 261206000 leaves 0; today
}

TEST(BirthNumberTest, DatePartMustBeARealDay) {
    EXPECT_TRUE(Misc::IsValidBirthDatePart("000229"));   // 29.02.2000
    EXPECT_FALSE(Misc::IsValidBirthDatePart("010229"));  // neither 1901 nor 2001
    EXPECT_FALSE(Misc::IsValidBirthDatePart("851312"));
    EXPECT_FALSE(Misc::IsValidBirthDatePart("850632"));
    EXPECT_FALSE(Misc::IsValidBirthDatePart("8506"));
    // 1990 had no 29 February; 900229000 leaves 0.
    EXPECT_FALSE(Valid("900229", "0000"));
}

// The expiry date shown for a new record: the issue date plus the validity period's leading
// number of days, or nothing for the clerk to fill when either cannot be read.
TEST(ExpiryDateTest, IssueDatePlusTheValidityPeriod) {
    const struct {
        const char *issued, *period, *expires;
    } cases[] = {
        {"05.12.2026", "365", "05.12.2027"},
        {"5.12.2026", " 30 dní", "04.01.2027"},
        {"31.01.2020", "29.5", "01.03.2020"},
        {"31.01.2020", "28.5", "28.02.2020"},
        {"01.01.2020", "-1", "31.12.2019"},
        {"01.01.2020", "0", "01.01.2020"},
        {"31.02.2020", "365", ""},
        {"01.01.2020", "dní 30", ""},
        {"01.01.2020", "", ""},
        {"01.01.2020", "1e300", ""},
        {"31.12.9999", "1", ""},
        {"01.01.0001", "3652058", "31.12.9999"},
        {"02.01.0001", "-2", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Misc::ExpiryDate(c.issued, test::W(c.period)), c.expires)
            << c.issued << " + " << c.period;
}

}  // namespace
}  // namespace vexa
