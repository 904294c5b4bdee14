#include <gtest/gtest.h>

#include "records/ClientsDataCls.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

using test::SampleHolder;

TEST(ClientsDataTest, LineFormJoinsFieldsAndChildrenAndReadsBack) {
    EXPECT_EQ(ClientsDataCls().GetDataAsLine(), ";;;;;;;");
    ClientsDataCls r = SampleHolder();
    r.DetiAdd(W("PETR NOVÁK"), "01.02.2010", "M");
    r.DetiAdd("", "", "F");
    EXPECT_EQ(r.GetDataAsLine(),
              W("40123456;ŠŤASTNÁ;ŽOFIE;855612/1234;TŘEBÍČ;01.02.2020;01.02.2030;MÚ ŠUMPERK;"
                "PETR NOVÁK;01.02.2010;M;;;F"));
    r.Jmeno.clear();
    r.DetiAdd("", W("ěščřžýáíé"), "");
    ClientsDataCls back;
    EXPECT_TRUE(back.LoadFromLine(r.GetDataAsLine()));
    EXPECT_TRUE(back.Comp(r));
    EXPECT_EQ(back.DetiGet(2), (std::array<std::string, 3>{"", W("ěščřžýáíé"), ""}));
}

// Short lines and child groups cut short are completed with empty values; the children of a
// line are added to those the record has.
TEST(ClientsDataTest, ShortOrCutLinesLoseNothing) {
    const struct {
        const char* line;
        const char* written;
        int children;
    } cases[] = {
        {"", ";;;;;;;", 0},
        {"1;2;3", "1;2;3;;;;;", 0},
        {"1;2;3;4;5;6;7;8", "1;2;3;4;5;6;7;8", 0},
        {"1;2;3;4;5;6;7;8;Jan", "1;2;3;4;5;6;7;8;Jan;;", 1},
        {"1;2;3;4;5;6;7;8;A;1;M;Jan;01.01.2020", "1;2;3;4;5;6;7;8;A;1;M;Jan;01.01.2020;", 2},
    };
    for (const auto& c : cases) {
        ClientsDataCls r;
        EXPECT_TRUE(r.LoadFromLine(c.line)) << c.line;
        EXPECT_EQ(r.GetDataAsLine(), c.written);
        EXPECT_EQ(r.PocetDeti(), c.children) << c.line;
    }
    ClientsDataCls r = SampleHolder();
    r.DetiAdd("A", "1", "M");
    r.LoadFromLine("x;;;;;;;;C;3;M");
    EXPECT_EQ(r.GetDataAsLine(), "x;;;;;;;;A;1;M;C;3;M");
}

TEST(ClientsDataTest, CompIsExactAndClearEmptiesAll) {
    ClientsDataCls a = SampleHolder(), b = SampleHolder();
    EXPECT_TRUE(a.Comp(b));
    b.Prijmeni = W("Šťastná");
    EXPECT_FALSE(a.Comp(b));
    ClientsDataCls c = SampleHolder(), d = SampleHolder();
    c.DetiAdd("A", "1", "M");
    c.DetiAdd("B", "2", "F");
    d.DetiAdd("B", "2", "F");
    d.DetiAdd("A", "1", "M");
    EXPECT_FALSE(c.Comp(d));
    c.ClearDeti();
    EXPECT_TRUE(c.Comp(a));
    c.DetiAdd("B", "2", "F");
    c.Clear();
    EXPECT_EQ(c.GetDataAsLine(), ";;;;;;;");
}

TEST(ClientsDataTest, TheTwoHundredFiftySixthChildIsRefused) {
    ClientsDataCls r;
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(r.DetiAdd(std::to_string(i), "", ""));
    EXPECT_FALSE(r.DetiAdd("overflow", "", ""));
    EXPECT_EQ(r.DetiGet(254)[0], "254");
    std::string line = ";;;;;;;";
    for (int i = 0; i < 256; ++i)
        line += ";c;d;M";
    ClientsDataCls full;
    EXPECT_FALSE(full.LoadFromLine(line));
    EXPECT_EQ(full.PocetDeti(), 255);
}

}  // namespace
}  // namespace vexa
