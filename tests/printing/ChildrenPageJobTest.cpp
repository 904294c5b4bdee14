#include "printing/ChildrenPageJob.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

class ChildrenPageJobTest : public PrintTest {
  protected:
    bool Print() { return ChildrenPageJob(config, port, notes).PrintChildrenPage(record); }
    void Add(const std::string& name, const std::string& born = "01.01.2010",
             const std::string& sex = "M") {
        ASSERT_TRUE(record.DetiAdd(name, born, sex));
    }
    void ExpectPrinted(const std::vector<PlacedText>& expected) {
        const EscpPage page = Page();
        EXPECT_TRUE(page.Errors.empty());
        EXPECT_EQ(page.FormFeeds, 1);
        EXPECT_TRUE(page.EndsWithFormFeed);
        EXPECT_EQ(page.Texts, expected);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_TRUE(notes.Messages.empty());
    }

    ClientsDataCls record;
};

TEST_F(ChildrenPageJobTest, NormalStreamWithDefaults) {
    Add(W("PETR NOVÁK"), "03.04.2012", "M");
    Add(W("ŽOFIE NOVÁKOVÁ"), "05.06.2015", "F");
    ASSERT_TRUE(Print());
    const std::string expected = InitSeries() + "\x1B\x50" +                       //
                                 std::string("\x1B\x28\x56\x02\x00\x06\x06", 7) +  //
                                 std::string("\x1B\x24\x04\x00", 4) + "1. PETR NOV\xC1K" +
                                 std::string("\x1B\x24\x84\x00", 4) + "03.04.2012" +  //
                                 std::string("\x1B\x24\xD9\x00", 4) + "M" +           //
                                 std::string("\x1B\x28\x56\x02\x00\x60\x06", 7) +     //
                                 std::string("\x1B\x24\x04\x00", 4) +
                                 "2. \xAE"
                                 "OFIE NOV\xC1KOV\xC1" +
                                 std::string("\x1B\x24\x84\x00", 4) + "05.06.2015" +  //
                                 std::string("\x1B\x24\xD9\x00", 4) + "F" + "\x0C";
    EXPECT_EQ(port.Bytes(), expected);
}

TEST_F(ChildrenPageJobTest, NoChildrenStillInitialisesAndEjects) {
    ASSERT_TRUE(Print());
    EXPECT_EQ(port.Bytes(), InitSeries() + "\x1B\x50\x0C");
}

TEST_F(ChildrenPageJobTest, EveryPitchHasItsRowDistance) {
    struct Case {
        const char* fontSize;
        int pitch;
        int step;
    };
    for (const Case c : {Case{"10 cpi", 10, 90}, Case{"12 cpi", 12, 75}, Case{"15 cpi", 15, 60}}) {
        SCOPED_TRACE(c.fontSize);
        record.ClearDeti();
        Add("A B", "01.01.2010", "M");
        Add("C D", "02.02.2012", "F");
        Add("E F", "03.03.2014", "M");
        Set(cfg::FontSize, c.fontSize);
        ASSERT_TRUE(Print());
        std::vector<PlacedText> expected;
        const char* names[] = {"1. A B", "2. C D", "3. E F"};
        const char* dates[] = {"01.01.2010", "02.02.2012", "03.03.2014"};
        const char* sexes[] = {"M", "F", "M"};
        for (int i = 0; i < 3; ++i) {
            const int row = 1542 + i * c.step;
            expected.push_back({row, 4, c.pitch, false, names[i]});
            expected.push_back({row, 132, c.pitch, false, dates[i]});
            expected.push_back({row, 217, c.pitch, false, sexes[i]});
        }
        ExpectPrinted(expected);
    }
}

TEST_F(ChildrenPageJobTest, ReverseRowsRunUpWithMirroredColumns) {
    Set(cfg::SmerTisku, "1");
    Add(W("JAN ŠŤASTNÝ"), "01.01.2010", "M");
    Add("EVA", "02.02.2012", "F");
    ASSERT_TRUE(Print());
    ExpectPrinted({
        {850, 274, 10, true,
         "1. JAN \xA9\xAB"
         "ASTN\xDD"},
        {850, 146, 10, true, "01.01.2010"},
        {850, 61, 10, true, "M"},
        {760, 274, 10, true, "2. EVA"},
        {760, 146, 10, true, "02.02.2012"},
        {760, 61, 10, true, "F"},
    });

    Set(cfg::SmerTisku, "2");  // reverse layout without the wrapper
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("2. EVA"), (PlacedText{760, 274, 10, false, "2. EVA"}));
}

TEST_F(ChildrenPageJobTest, LongNamesSplitAtTheLastSpace) {
    Add("ABCDEFG HIJKLMNO");                       // 16: one row
    Add("ABCDEFGH IJK LMNOP", "02.02.2012", "F");  // 18: split before LMNOP
    Add("KAREL");
    ASSERT_TRUE(Print());
    ExpectPrinted({
        {1542, 4, 10, false, "1. ABCDEFG HIJKLMNO"},
        {1542, 132, 10, false, "01.01.2010"},
        {1542, 217, 10, false, "M"},
        {1632, 4, 10, false, "2. ABCDEFGH IJK"},
        {1722, 4, 10, false, "   LMNOP"},
        {1722, 132, 10, false, "02.02.2012"},  // date and sex on the last row of the child
        {1722, 217, 10, false, "F"},
        {1812, 4, 10, false, "3. KAREL"},
        {1812, 132, 10, false, "01.01.2010"},
        {1812, 217, 10, false, "M"},
    });
}

TEST_F(ChildrenPageJobTest, SplitLimitFollowsThePitch) {
    const std::string name19 = "ABCDEFGHIJ KLMNOPQR";        // 19
    const std::string name20 = "ABCDEFGHIJ KLMNOPQRS";       // 20
    const std::string name25 = "ABCDEFGHIJ KLMNOPQRSTUVWX";  // 25
    Set(cfg::FontSize, "12 cpi");
    Add(name19);
    Add(name20);
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("1. " + name19).Vert, 1542);
    EXPECT_EQ(Page().Find("2. ABCDEFGHIJ").Vert, 1617);
    EXPECT_EQ(Page().Find("   KLMNOPQRS").Vert, 1692);

    record.ClearDeti();
    Set(cfg::FontSize, "15 cpi");
    Add(name25.substr(0, 24));
    Add(name25);
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("1. " + name25.substr(0, 24)).Vert, 1542);
    EXPECT_EQ(Page().Find("   KLMNOPQRSTUVWX").Vert, 1662);
}

TEST_F(ChildrenPageJobTest, NamesThatCannotBeSplitNicely) {
    Add(" ABCDEFGHIJKLMNOPQ");           // only space first: number alone, then the whole name
    Add("ABCDEFGHIJKLMNOPQRSTUVWXYZ");   // no space: whole on one row
    Add("A BCDEFGHIJKLMNOPQRSTUVWXYZ");  // continuation longer than the limit stays whole
    ASSERT_TRUE(Print());
    const EscpPage page = Page();
    EXPECT_EQ(page.Find("1. "), (PlacedText{1542, 4, 10, false, "1. "}));
    EXPECT_EQ(page.Find("   ABCDEFGHIJKLMNOPQ"),
              (PlacedText{1632, 4, 10, false, "   ABCDEFGHIJKLMNOPQ"}));
    EXPECT_EQ(page.Find("2. ABCDEFGHIJKLMNOPQRSTUVWXYZ").Vert, 1722);
    EXPECT_EQ(page.Find("3. A").Vert, 1812);
    EXPECT_EQ(page.Find("   BCDEFGHIJKLMNOPQRSTUVWXYZ").Vert, 1902);
    EXPECT_EQ(page.Printed().size(), 3u * 3u + 2u);
}

TEST_F(ChildrenPageJobTest, UnknownFontSizeSelectsNoPitchAndSplitsEveryName) {
    Set(cfg::FontSize, "10 CPI");
    Add("JAN NOVAK");
    Add("EVA");
    ASSERT_TRUE(Print());
    EXPECT_EQ(port.Bytes().substr(25, 2), std::string("\x1B\x28", 2));  // no pitch command
    const EscpPage page = Page();
    EXPECT_EQ(page.Find("1. JAN"), (PlacedText{1542, 4, 0, false, "1. JAN"}));
    EXPECT_EQ(page.Find("   NOVAK").Vert, 1632);
    EXPECT_EQ(page.Find("2. EVA").Vert, 1722);
}

TEST_F(ChildrenPageJobTest, NegativeFirstRowStartsAtTheTop) {
    Set(cfg::DetiVertNS, "-20");
    Add("EVA");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("1. EVA").Vert, 0);
}

TEST_F(ChildrenPageJobTest, PositionsAndRowDistanceRoundHalvesToEven) {
    Set(cfg::DetiVertNS, "1542.5");     // 1542
    Set(cfg::DetiHorzNS, "4.5");        // 4
    Set(cfg::DetiHorzTab1NS, "128.5");  // 132.5 -> 132
    Set(cfg::DetiHorzTab2NS, "212.5");  // 216.5 -> 216
    Set(cfg::TabVert, "90.5");          // 90
    Add("A");
    Add("B");
    ASSERT_TRUE(Print());
    ExpectPrinted({{1542, 4, 10, false, "1. A"},
                   {1542, 132, 10, false, "01.01.2010"},
                   {1542, 216, 10, false, "M"},
                   {1632, 4, 10, false, "2. B"},
                   {1632, 132, 10, false, "01.01.2010"},
                   {1632, 216, 10, false, "M"}});

    // 3 / 1.2 = 2.5 -> 2 and 9 / 1.2 = 7.5 -> 8 at 12 cpi.
    Set(cfg::FontSize, "12 cpi");
    Set(cfg::DetiVertNS, "1543.5");  // 1544
    Set(cfg::TabVert, "3");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("1. A").Vert, 1544);
    EXPECT_EQ(Page().Find("2. B").Vert, 1546);
    Set(cfg::TabVert, "9");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("2. B").Vert, 1552);
}

TEST_F(ChildrenPageJobTest, ShiftDoesNotApply) {
    Set(cfg::HorzShift, "-4");
    Set(cfg::VertShift, "21");
    Add("EVA");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("1. EVA"), (PlacedText{1542, 4, 10, false, "1. EVA"}));
}

// Lists that do not fit: nothing is sent and the user learns how many children.

TEST_F(ChildrenPageJobTest, ReverseListRunningAboveTheTopIsRefused) {
    Set(cfg::SmerTisku, "1");
    for (int i = 0; i < 10; ++i) {
        Add("DITE " + std::to_string(i));
    }
    ASSERT_TRUE(Print());  // ten rows: 850 down to 40
    EXPECT_EQ(Page().Find("10. DITE 9").Vert, 40);

    Add("DITE 10");  // the eleventh row would be at -50
    notes.Messages.clear();
    const int opened = port.OpenCount();
    EXPECT_FALSE(Print());
    EXPECT_EQ(port.OpenCount(), opened);
    EXPECT_NE(Warning().find(W("Počet dětí 11")), std::string::npos);
    EXPECT_NE(Warning().find("-50"), std::string::npos);
    EXPECT_NE(Warning().find("DetiVertOS"), std::string::npos);
}

TEST_F(ChildrenPageJobTest, SplitRowsCountTowardsThePage) {
    Set(cfg::SmerTisku, "1");
    Set(cfg::DetiVertOS, "90");
    Add("ABCDEFGHI JKLMNOPQ");  // two rows: 90 and 0
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("   JKLMNOPQ").Vert, 0);

    Add("EVA");
    notes.Messages.clear();
    EXPECT_FALSE(Print());
    EXPECT_NE(Warning().find(W("počet řádků 3")), std::string::npos);
}

TEST_F(ChildrenPageJobTest, FullListBelowThePrinterRangeIsRefused) {
    for (int i = 0; i < ClientsDataCls::kMaxChildren; ++i) {
        Add("JMENO DITETE PRILIS DLOUHE");  // two rows each: 510 rows of 90
    }
    EXPECT_FALSE(Print());
    ExpectNothingSent();
    EXPECT_NE(Warning().find(W("Počet dětí 255")), std::string::npos);
}

TEST_F(ChildrenPageJobTest, ColumnOutsideRangeNamesTheSetting) {
    Set(cfg::DetiHorzTab2NS, "40000");
    Add("EVA");
    EXPECT_FALSE(Print());
    ExpectNothingSent();
    EXPECT_NE(Warning().find("DetiHorzTab2NS"), std::string::npos);

    notes.Messages.clear();
    Set(cfg::SmerTisku, "1");
    Set(cfg::DetiHorzOS, "-62");
    EXPECT_FALSE(Print());
    ExpectNothingSent();
    EXPECT_NE(Warning().find("DetiHorzOS"), std::string::npos);
}

TEST_F(ChildrenPageJobTest, WriteFailureIsReported) {
    Add("EVA");
    port.FailWriteAfter(30, "Input/output error");
    EXPECT_FALSE(Print());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NE(Warning().find("Input/output error"), std::string::npos);
}

}  // namespace
}  // namespace vexa::test
