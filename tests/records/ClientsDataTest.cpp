#include <gtest/gtest.h>

#include <algorithm>

#include "records/ClientsDataCls.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

ClientsDataCls Sample() {
    ClientsDataCls r;
    r.CisloPasu = "12345678";
    r.Prijmeni = W("NOVÁK");
    r.Jmeno = W("JIŘÍ");
    r.rc = "850612/1239";
    r.MistoNarozeni = W("ŽĎÁR NAD SÁZAVOU");
    r.DatumVydani = "05.12.2026";
    r.Platnost = "05.12.2027";
    r.Vydavatel = W("MěÚ Žďár");
    return r;
}

TEST(ClientsDataTest, LineFormJoinsFieldsAndChildren) {
    ClientsDataCls empty;
    EXPECT_EQ(empty.GetDataAsLine(), ";;;;;;;");
    EXPECT_EQ(empty.PocetDeti(), 0);

    ClientsDataCls r = Sample();
    r.DetiAdd(W("PETR NOVÁK"), "01.02.2010", "M");
    r.DetiAdd("", "", "F");
    EXPECT_EQ(r.GetDataAsLine(),
              W("12345678;NOVÁK;JIŘÍ;850612/1239;ŽĎÁR NAD SÁZAVOU;05.12.2026;05.12.2027;MěÚ "
                "Žďár;PETR NOVÁK;01.02.2010;M;;;F"));
    std::string line = r.GetDataAsLine();
    EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 13);
}

TEST(ClientsDataTest, LineFormRoundTripsEmptyValuesAndCzechLetters) {
    ClientsDataCls r = Sample();
    r.Jmeno.clear();
    r.Platnost.clear();
    r.DetiAdd("", W("ěščřžýáíé"), "");
    r.DetiAdd(W("ŮŤŇ"), "", "M");
    ClientsDataCls back;
    EXPECT_TRUE(back.LoadFromLine(r.GetDataAsLine()));
    EXPECT_TRUE(back.Comp(r));
    EXPECT_EQ(back.PocetDeti(), 2);
    EXPECT_EQ(back.DetiGet(0), (std::array<std::string, 3>{"", W("ěščřžýáíé"), ""}));
    EXPECT_EQ(back.Jmeno, "");
}

TEST(ClientsDataTest, LoadFromLineAppendsChildren) {
    ClientsDataCls r = Sample();
    r.DetiAdd("A", "1", "M");
    r.DetiAdd("B", "2", "F");
    r.LoadFromLine("x;;;;;;;;C;3;M");
    EXPECT_EQ(r.PocetDeti(), 3);
    EXPECT_EQ(r.DetiGet(2)[0], "C");
    EXPECT_EQ(r.CisloPasu, "x");
    EXPECT_EQ(r.Prijmeni, "");

    ClientsDataCls eight;
    eight.LoadFromLine("1;2;3;4;5;6;7;8");
    EXPECT_EQ(eight.PocetDeti(), 0);
    EXPECT_EQ(eight.Vydavatel, "8");
}

TEST(ClientsDataTest, ShortOrCutLinesLoseNothing) {
    ClientsDataCls few;
    few.LoadFromLine("1;2;3");
    EXPECT_EQ(few.GetDataAsLine(), "1;2;3;;;;;");
    ClientsDataCls empty;
    empty.LoadFromLine("");
    EXPECT_EQ(empty.GetDataAsLine(), ";;;;;;;");
    // A child group cut short is completed with empty values.
    ClientsDataCls one;
    one.LoadFromLine("1;2;3;4;5;6;7;8;Jan");
    ASSERT_EQ(one.PocetDeti(), 1);
    EXPECT_EQ(one.GetDataAsLine(), "1;2;3;4;5;6;7;8;Jan;;");
    ClientsDataCls two;
    two.LoadFromLine("1;2;3;4;5;6;7;8;A;1;M;Jan;01.01.2020");
    ASSERT_EQ(two.PocetDeti(), 2);
    EXPECT_EQ(two.DetiGet(1), (std::array<std::string, 3>{"Jan", "01.01.2020", ""}));
}

TEST(ClientsDataTest, CompIsExact) {
    ClientsDataCls a = Sample(), b = Sample();
    EXPECT_TRUE(a.Comp(b));
    b.Prijmeni = W("Novák");
    EXPECT_FALSE(a.Comp(b));
    ClientsDataCls c = Sample(), d = Sample();
    c.DetiAdd("A", "1", "M");
    c.DetiAdd("B", "2", "F");
    d.DetiAdd("B", "2", "F");
    d.DetiAdd("A", "1", "M");
    EXPECT_FALSE(c.Comp(d));

    c.ClearDeti();
    EXPECT_EQ(c.PocetDeti(), 0);
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
    EXPECT_EQ(r.PocetDeti(), 255);
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
