#include <gtest/gtest.h>

#include "settings/Misc.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using namespace std::chrono;
constexpr Dates::Date kToday = 2026y / December / 6d;

// The number "date/rest" as the clerk types it into its two boxes.
bool Valid(std::string_view rc, Dates::Date today = kToday) {
    const std::size_t slash = rc.find('/');
    return Misc::IsValidRC(rc.substr(0, slash), rc.substr(slash + 1), today);
}

TEST(BirthNumberTest, ValidNumbers) {
    // The check character is the remainder mod 11 (855612123 leaves 3, 850612123 9), or 0 or
    // "A" in either case for 10 (045101000; numbers given out until 1985). Nine characters need
    // a year below 54 and no +20 on the month, which did not exist then; ten take +20 for a man
    // and +70 for a woman (042201000 leaves 6, 047201000 0). The date is a real day, not after
    // today (261206000 leaves 0).
    for (const char* rc :
         {"855612/1233", "850612/1239", "045101/0000", "045101/000A", "045101/000a", "530101/123",
          "535101/123", "042201/0006", "047201/0000", "261206/0000"}) {
        EXPECT_TRUE(Valid(rc)) << rc;
    }
    // Other check characters; not digits only; not nine or ten characters; year 54 or +20 or
    // +70 with nine; month 42 (044201000 leaves 8); 29.02.1990 (900229000 leaves 0); 01.01.2027
    // (270101000 leaves 4) and tomorrow (261207000 leaves 10).
    for (const char* rc :
         {"045101/0001", "85561x/1233", "85 612/1233", "855612/1x33", "+55612/1233", "530101/12a",
          "855612/12", "855612/12330", "85561/1233", "/", "540101/123", "532101/123", "537101/123",
          "044201/0008", "900229/0000", "270101/0004", "261207/0000"}) {
        EXPECT_FALSE(Valid(rc)) << rc;
    }
    for (char c : std::string("0124567891Aa X"))
        EXPECT_FALSE(Valid(std::string("855612/123") + c)) << c;
    EXPECT_TRUE(Valid("270101/0004", 2027y / January / 1d));
}

TEST(BirthNumberTest, BirthDateAndSex) {
    const std::pair<const char*, const char*> dates[] = {
        {"855612/1233", "12.06.1985"}, {"853012/1233", "12.10.1985"},
        {"042201/0003", "01.02.2004"}, {"047201/0003", "01.02.2004"},
        {"510101/0000", "01.01.2051"}, {"520101/0000", "01.01.1952"},
        {"050101/123", "01.01.1905"},  {"855612", ""},
        {"851312/1233", ""},
    };
    for (const auto& [rc, born] : dates)
        EXPECT_EQ(Misc::GetBirthDateFromRC(rc), born) << rc;
    const std::pair<const char*, bool> male[] = {
        {"850612", true},  {"855612", false}, {"042201", true},  {"043201", true},
        {"047201", false}, {"048201", false}, {"045201", false}, {"", true}};
    for (auto [part, expected] : male)
        EXPECT_EQ(Misc::IsMaleRC(part), expected) << part;
    const std::pair<const char*, const char*> normal[] = {
        {"042201", "040201"}, {"047201", "040201"}, {"045201", "040201"}, {"041201", "041201"}};
    for (auto [part, expected] : normal)
        EXPECT_EQ(Misc::NormalizeBirthDatePart(part), expected) << part;
    const std::pair<const char*, bool> valid[] = {
        {"000229", true}, {"010229", false}, {"851312", false}, {"850632", false}, {"8506", false}};
    for (auto [part, expected] : valid)
        EXPECT_EQ(Misc::IsValidBirthDatePart(part), expected) << part;
}

// The expiry date shown for a new record: the issue date plus the validity period's leading
// number of days, or nothing for the clerk to fill when either cannot be read.
TEST(ExpiryDateTest, IssueDatePlusTheValidityPeriod) {
    const struct {
        const char *issued, *period, *expires;
    } cases[] = {{"05.12.2026", "365", "05.12.2027"},
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
                 {"02.01.0001", "-2", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(Misc::ExpiryDate(c.issued, test::W(c.period)), c.expires)
            << c.issued << " + " << c.period;
}

}  // namespace
}  // namespace vexa
