#include "children/DetiRules.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;
using Strings = std::vector<std::string>;

// The n-th repeat of a key.
std::string Repeat(const std::string& key, int n) {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", n);
    return key + '\0' + number;
}

Dates::Date Day(int y, unsigned m, unsigned d) {
    return *Dates::Make(y, m, d);
}

TEST(DetiRulesTest, KeysOfLoadedAndAddedRows) {
    const std::pair<std::string, std::string> cases[] = {
        {DetiRules::LoadedKey("05.03.2001"), "a20010305"},
        {DetiRules::LoadedKey("5.3.2001"), "a20010305"},
        // A stored text that is no date keeps its row, under a key of its own text.
        {DetiRules::LoadedKey("31.02.2001"), "a31.02.2001"},
        {DetiRules::LoadedKey(""), "a"},
        {DetiRules::AddedKey("X", Day(2001, 3, 5)), "X20010305"},
        {DetiRules::AddedKey("", Day(2001, 3, 5)), "20010305"},
        {DetiRules::AddedKey(W("Čeněk"), Day(1999, 12, 31)), W("Čeněk19991231")},
    };
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(key, expected);

    // A key already in the list gets the next repeat number; a longer key or another letter
    // case is another key.
    const std::string k = "a20010305";
    const std::pair<Strings, std::string> unique[] = {
        {{}, k},
        {{"a200103051", "A20010305", "X20010305"}, k},
        {{k}, Repeat(k, 1)},
        {{Repeat(k, 1), k, "b"}, Repeat(k, 2)},
        {{Repeat(k, 1)}, Repeat(k, 2)},  // the plain row was removed: still after the repeat
    };
    for (const auto& [keys, expected] : unique)
        EXPECT_EQ(DetiRules::UniqueKey(k, keys), expected);
}

TEST(DetiRulesTest, StoreChildrenWritesEveryRowInKeyOrder) {
    // Rows as the dialog lists a record stored out of birth-date order, with two children born
    // on the same day, and three added children. Keys compare byte by byte: a capital before the
    // loaded rows ("a" and the date), a small letter after them, an accented capital last.
    ClientsDataCls stored;
    for (auto [name, born] : {std::pair{"C", "12.06.2015"}, std::pair{"A", "05.03.2001"},
                              std::pair{"B", "24.12.2010"}, std::pair{"A2", "05.03.2001"}}) {
        stored.DetiAdd(name, born, "M");
    }
    std::vector<DetiRow> rows;
    Strings keys;
    for (int i = 0; i < stored.PocetDeti(); ++i) {
        auto child = stored.DetiGet(i);
        keys.push_back(DetiRules::UniqueKey(DetiRules::LoadedKey(child[1]), keys));
        rows.push_back({keys.back(), child[0], child[1], child[2]});
    }
    rows.push_back({"x20200101", "x Y", "01.01.2020", "F"});
    rows.push_back({"X20200101", "X Y", "01.01.2020", "F"});
    rows.push_back({W("Č20200101"), W("Č Y"), "01.01.2020", "F"});

    ClientsDataCls record = stored;
    DetiRules::StoreChildren(record, rows);
    Strings names;
    for (int i = 0; i < record.PocetDeti(); ++i)
        names.push_back(record.Child(i).Jmeno + "/" + record.Child(i).rok);
    EXPECT_EQ(names, (Strings{"X Y/01.01.2020", "A/05.03.2001", "A2/05.03.2001", "B/24.12.2010",
                              "C/12.06.2015", "x Y/01.01.2020", W("Č Y/01.01.2020")}));

    // More than the 20 a child can be added to, and rows that share a key: all are written.
    rows.assign(25, DetiRow{"a20010305", "SAME", "05.03.2001", "M"});
    DetiRules::StoreChildren(record, rows);
    EXPECT_EQ(record.PocetDeti(), 25);
}

TEST(DetiRulesTest, FieldChecks) {
    // Day and month: a number in the user's notation, at most 31 or 12, no lower bound; an
    // empty or non-numeric text leaves the entry as it was (nothing).
    const LocaleDecimal point('.'), comma(',');
    using B = std::optional<bool>;
    const struct {
        const char* text;
        B dayPoint, dayComma, monthPoint;
    } dates[] = {{"31", true, true, false}, {"32", false, false, false}, {"0", true, true, true},
                 {"12", true, true, true},  {"13", true, true, false},   {"-5", true, true, true},
                 {"", {}, {}, {}},          {"ab", {}, {}, {}},          {"1.5", true, {}, true},
                 {"31,5", {}, true, {}},    {"31.5", false, {}, false},  {" 7 ", true, true, true}};
    for (const auto& c : dates) {
        EXPECT_EQ(DetiRules::DayValid(c.text, point), c.dayPoint) << c.text;
        EXPECT_EQ(DetiRules::DayValid(c.text, comma), c.dayComma) << c.text;
        EXPECT_EQ(DetiRules::MonthValid(c.text, point), c.monthPoint) << c.text;
    }
    for (auto [text, valid] : {std::pair{"2001", true}, std::pair{"1", true}, std::pair{"", false},
                               std::pair{"ab", false}}) {
        EXPECT_EQ(DetiRules::YearValid(text, point), valid) << text;
    }

    // Sex: chosen from the list it must be "M" or "F" exactly; left typed, it must equal an
    // item before the first empty one.
    for (auto [text, chosen] : {std::pair{"M", true}, std::pair{"F", true}, std::pair{"m", false},
                                std::pair{"", false}, std::pair{"MF", false}}) {
        EXPECT_EQ(DetiRules::SexChosen(text), chosen) << text;
    }
    const Strings items = {"M", "F"}, gap = {"M", "", "F"};
    EXPECT_TRUE(DetiRules::SexIsItem("F", items));
    EXPECT_FALSE(DetiRules::SexIsItem("X", items));
    EXPECT_FALSE(DetiRules::SexIsItem("F", gap));

    // The whole-word look-up: the row's text is the first name, or starts with it and a blank;
    // letter case does not count.
    const std::tuple<const char*, const char*, bool> lookups[] = {
        {"JAN NOVÁK", "JAN", true},
        {"JAN NOVÁK", "jan", true},
        {"JAN PAVEL NOVÁK", "JAN PAVEL", true},
        {"JAN", "JAN", true},
        {"ŽOFIE NOVÁ", "žofie", true},
        {" NOVÁK", "", true},
        {"JANA NOVÁ", "JAN", false},
        {"JAN NOVÁK", "NOVÁK", false},
        {"JAN NOVÁK", "", false},
        {"JAN", "JAN NOVÁK", false}};
    for (auto [row, name, found] : lookups)
        EXPECT_EQ(DetiRules::FoundByName(W(row), W(name)), found) << row << "|" << name;
}

}  // namespace
}  // namespace vexa
