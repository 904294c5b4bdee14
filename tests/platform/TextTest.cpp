#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "platform/Cp1250.h"
#include "platform/Dates.h"
#include "platform/Numbers.h"
#include "platform/TextSearch.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

TEST(Cp1250Test, EveryByteSurvivesTheRoundTripAndCzechLettersHaveTheirCodes) {
    const std::string all = test::AllBytes();
    auto back = Cp1250::FromUtf8(Cp1250::ToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
    // The unassigned bytes keep the C1 code point of the same value.
    for (unsigned char b : {0x81, 0x83, 0x88, 0x90, 0x98})
        EXPECT_EQ(Cp1250::CharOf(b), b);
    EXPECT_EQ(W("ŠžřŮ€"), "\x8A\x9E\xF8\xD9\x80");
    EXPECT_EQ(Cp1250::ToUtf8("\xC8\xE1"), "Čá");
    // What the code page cannot hold, UTF-8 cut short, overlong or a surrogate: refused.
    for (const char* text : {"ø", "漢", "😀", "\xC3", "\xC0\x80", "\xED\xA0\x80"})
        EXPECT_FALSE(Cp1250::FromUtf8(text).has_value()) << text;
}

// What the records arrive in from a database: a "?" for each character the code page lacks
// and for each byte that begins none, wherever the text puts it among plain letters.
TEST(Cp1250Test, LossyConversionKeepsWhatFitsAndMarksTheRest) {
    const struct {
        const char* utf8;
        std::string cp1250;
    } cases[] = {
        {"Čá€;Ž", W("Čá€;Ž")}, {"ø漢😀", "???"},         {"a\xC3", "a?"},
        {"\xC0\x80", "??"},    {"\xED\xA0\x80", "???"},
    };
    for (const auto& c : cases) {
        for (std::size_t before = 0; before <= 33; ++before) {
            const std::string plain(before, 'x');
            EXPECT_EQ(Cp1250::FromUtf8Lossy(plain + c.utf8 + "1234567890123456"),
                      plain + c.cp1250 + "1234567890123456")
                << c.utf8 << " after " << before;
        }
    }
}

TEST(Cp1250Test, UpperCaseCoversCzechLettersOnly) {
    EXPECT_EQ(Cp1250::ToUpper(W("novák žluťoučký kůň úpěl ďábelské ódy")),
              W("NOVÁK ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY"));
    EXPECT_EQ(Cp1250::ToUpper(W("łąśźż ß ÷ 1;a")), W("ŁĄŚŹŻ ß ÷ 1;A"));
}

// What the clerk types finds a row when each word begins a column, or a word in it, letter
// case and accents aside; the birth number is found with or without its "/".
TEST(TextSearchTest, EachWordBeginsAColumnWithoutCaseOrAccents) {
    const std::vector<std::string> row = {"CZ1234", W("DVOŘÁKOVÁ-NOVÁ"), W("Šárka Ľudmila"),
                                          "850612/1234"};
    const struct {
        const char* typed;
        bool found;
    } cases[] = {
        {"dvor", true},       {"DVOŘÁ", true},        {"nova", true},       {"ova", false},
        {"sarka ludm", true}, {"sarka petra", false}, {"8506121234", true}, {"850612/12", true},
        {"06121234", false},  {"cz12 sar", true},     {"  cz12   ", true},  {"1234", false},
        {"žák", false},       {"cz1234x", false},
    };
    for (const auto& c : cases) {
        const TextSearch search(W(c.typed));
        EXPECT_EQ(search.Matches(
                      4, [&](int column) { return std::string_view(row[column]); }, 3, '/'),
                  c.found)
            << c.typed;
    }
    EXPECT_TRUE(TextSearch("  ").Empty());
    EXPECT_EQ(TextSearch::Fold(W("ěščřžýáíéúůďťňóľĺŕäôąęłńśźżőű")),
              "ESCRZYAIEUUDTNOLLRAOAELNSZZOU");
    // Typing on narrows what was found; a changed or removed word does not.
    EXPECT_TRUE(TextSearch("nova ja").Narrows(TextSearch("nov")));
    EXPECT_FALSE(TextSearch("nob").Narrows(TextSearch("nov")));
    EXPECT_FALSE(TextSearch("nov").Narrows(TextSearch("nov ja")));
}

TEST(NumbersTest, LeadingNumberReadsTheStartOfASetting) {
    const std::pair<const char*, double> cases[] = {
        {"365", 365.0}, {"-51", -51.0},  {"10 cpi", 10.0}, {"  2.5mm", 2.5},
        {"2,5", 2.0},   {"1e3", 1000.0}, {"7e", 7.0},      {"abc", 0.0},
        {"", 0.0},      {"-", 0.0},      {"1e999", 0.0}};
    for (auto [text, value] : cases)
        EXPECT_EQ(Numbers::LeadingNumber(text), value) << text;
}

TEST(NumbersTest, RoundsHalvesToEvenWithinSixteenBits) {
    const std::pair<double, std::optional<int>> cases[] = {
        {0.5, 0},      {1.5, 2},       {2.5, 2},          {-2.5, -2},
        {-3.5, -4},    {2.5000001, 3}, {32767.4, 32767},  {-32768.5, -32768},
        {32767.5, {}}, {-32769, {}},   {std::nan(""), {}}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(Numbers::RoundToInt16(value), rounded) << value;
    EXPECT_EQ(Numbers::RoundToInt(100000.5), 100000);
}

TEST(LocaleDecimalTest, ReadsAndWritesWithTheLocaleSeparator) {
    const LocaleDecimal cz(','), en('.');
    const std::pair<const char*, std::optional<double>> czech[] = {
        {"2,5", 2.5},  {"  -0,5 ", -0.5}, {"+3", 3.0}, {",5", 0.5}, {"2.5", {}},
        {"", {}},      {" ", {}},         {",", {}},   {"-", {}},   {"3 mm", {}},
        {"1,2,3", {}}, {"abc", {}},       {"1e3", {}}};
    for (const auto& [text, value] : czech)
        EXPECT_EQ(cz.Parse(text), value) << text;
    EXPECT_EQ(en.Parse("2.5"), 2.5);
    EXPECT_FALSE(en.Parse("2,5").has_value());
    for (auto [value, text] :
         {std::pair{1.5, "1,5"}, {1.0, "1"}, {-0.3, "-0,3"}, {-0.0, "0"}, {10.0, "10"}}) {
        EXPECT_EQ(cz.Format(value), text);
    }
    EXPECT_EQ(en.Format(-12.25), "-12.25");
}

TEST(DatesTest, ReadsOnlyRealDatesInDayMonthYearForm) {
    using namespace std::chrono;
    EXPECT_EQ(Dates::Parse("05.12.2026"), 2026y / December / 5d);
    EXPECT_EQ(Dates::Parse("5.1.2026"), 2026y / January / 5d);
    EXPECT_EQ(Dates::Parse("29.02.2024"), 2024y / February / 29d);
    EXPECT_EQ(Dates::Parse("29.02.2000"), 2000y / February / 29d);
    for (const char* bad :
         {"29.02.2025", "29.02.1900", "31.04.2026", "00.01.2026", "01.13.2026", "05.12.26",
          "05.12.20261", " 05.12.2026", "05.12.2026 ", "05-12-2026", "005.12.2026", "", "a"}) {
        EXPECT_FALSE(Dates::Parse(bad).has_value()) << bad;
    }
}

TEST(DatesTest, FormatsAndAddsDays) {
    using namespace std::chrono;
    EXPECT_EQ(Dates::Format(2026y / January / 5d), "05.01.2026");
    EXPECT_EQ(Dates::Format(Dates::AddDays(2026y / December / 5d, 365)), "05.12.2027");
    EXPECT_EQ(Dates::Format(Dates::AddDays(2024y / February / 29d, 365)), "28.02.2025");
    EXPECT_EQ(Dates::Format(Dates::AddDays(2026y / March / 1d, -1)), "28.02.2026");
    EXPECT_TRUE(Dates::Today().ok());
}

}  // namespace
}  // namespace vexa
