#include "printing/ChildrenPageJob.h"

#include <sstream>

#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

class ChildrenPageJobTest : public PrintTest {
  protected:
    bool Print() { return ChildrenPageJob(config, port, notes).PrintChildrenPage(record); }
    void Add(const std::string& name, const std::string& born = "01.01.2010") {
        ASSERT_TRUE(record.DetiAdd(name, born, "M"));
    }

    ClientsDataCls record;
};

TEST_F(ChildrenPageJobTest, StreamWithFactorySettingsByteForByte) {
    ASSERT_TRUE(Print());  // no children: the page is still set up and ejected
    EXPECT_EQ(port.Bytes(), InitSeries() + "\x1BP\x0C");

    Add(W("PETR NOVÁK"), "03.04.2012");
    ASSERT_TRUE(record.DetiAdd(W("ŽOFIE NOVÁKOVÁ"), "05.06.2015", "F"));
    ASSERT_TRUE(Print());
    const std::string name = B("\x1B$\x04\x00"), born = B("\x1B$\x84\x00"),
                      sex = B("\x1B$\xD9\x00");
    EXPECT_EQ(port.Bytes(), InitSeries() + "\x1BP" + B("\x1B(V\x02\x00\x06\x06") + name +
                                "1. PETR NOV\xC1K" + born + "03.04.2012" + sex + "M" +
                                B("\x1B(V\x02\x00\x60\x06") + name + "2. \xAE" +
                                "OFIE NOV\xC1KOV\xC1" + born + "05.06.2015" + sex + "F\x0C");
}

TEST_F(ChildrenPageJobTest, CentralEuropeanLettersInANamePrintAsThemselves) {
    Set(cfg::FontSize, "15 cpi");  // the 22 letters on one row
    Add(CentralEuropean());
    ASSERT_TRUE(Print());
    EXPECT_EQ(Find("1. " + CentralEuropean()).Horz, 4);
    EXPECT_EQ(port.LastTitle(), W("Vexa: strana dětí"));
    Reset();
    record.ClearDeti();
    Add(W("EVA – MARIE"));
    ExpectRefused(Print(), W("pole „Jméno 1. dítěte“ obsahuje znak „–“"));
}

// Names are split once at the last space when longer than the pitch allows (16, 19, 24); each
// row lies one row distance (90, 75, 60) below the last; date and sex go on a child's last row.
TEST_F(ChildrenPageJobTest, EveryPitchSplitsLongNamesAndHasItsRowDistance) {
    struct Case {
        const char* fontSize;
        int pitch;
        int step;
        const char* names;  // separated by '|'
        const char* rows;   // the name column's rows, separated by '|'
    };
    const Case cases[] = {
        {"10 cpi", 10, 90, "ABCDEFG HIJKLMNO|ABCDEFGH IJK LMNOP|KAREL",
         "1. ABCDEFG HIJKLMNO|2. ABCDEFGH IJK|   LMNOP|3. KAREL"},
        {"12 cpi", 12, 75, "ABCDEFGHIJ KLMNOPQR|ABCDEFGHIJ KLMNOPQRS",
         "1. ABCDEFGHIJ KLMNOPQR|2. ABCDEFGHIJ|   KLMNOPQRS"},
        {"15 cpi", 15, 60, "ABCDEFGHIJ KLMNOPQRSTUVW|ABCDEFGHIJ KLMNOPQRSTUVWX",
         "1. ABCDEFGHIJ KLMNOPQRSTUVW|2. ABCDEFGHIJ|   KLMNOPQRSTUVWX"},
        // Space first: the number alone; no space: whole; a long continuation stays whole.
        {"10 cpi", 10, 90, " ABCDEFGHIJKLMNOPQ|ABCDEFGHIJKLMNOPQRSTUVWXYZ|A BCDEFGHIJKLMNOPQRSTU",
         "1. |   ABCDEFGHIJKLMNOPQ|2. ABCDEFGHIJKLMNOPQRSTUVWXYZ|3. A|   BCDEFGHIJKLMNOPQRSTU"},
        // An unknown font size selects no pitch and splits every name with a space.
        {"10 CPI", 0, 90, "JAN NOVAK|EVA", "1. JAN|   NOVAK|2. EVA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        Reset();
        record.ClearDeti();
        Set(cfg::FontSize, c.fontSize);
        std::istringstream names(c.names);
        for (std::string name; std::getline(names, name, '|');) {
            Add(name);
        }
        ASSERT_TRUE(Print());
        std::string rows;
        int row = -1;
        for (const PlacedText& t : Page()) {
            EXPECT_EQ(t.Pitch, c.pitch) << t;
            if (t.Horz == 4) {
                rows += (++row ? "|" : "") + t.Text;
            }
            EXPECT_EQ(t.Vert, 1542 + row * c.step) << t;
            EXPECT_EQ(t.Horz, t.Text == "M" ? 217 : t.Text == "01.01.2010" ? 132 : 4) << t;
        }
        EXPECT_EQ(rows, c.rows);
    }
}

// A booklet inserted reversed: rows up from DetiVertOS by TabVert, the sex at DetiHorzOS, the
// birth date and the name DetiHorzTab1OS and DetiHorzTab2OS right of it; every text reversed.
TEST_F(ChildrenPageJobTest, ReverseInsertionGoesUpWithTheColumnsMirrored) {
    Set(cfg::SmerTisku, "1");
    Add(W("PETR NOVÁK"), "03.04.2012");
    Add(W("ALEXANDRA MARIE NOVÁKOVÁ"), "05.06.2015");
    ExpectPage(Print(), {{850, 274, 10, true, W("1. PETR NOVÁK")},
                         {850, 146, 10, true, "03.04.2012"},
                         {850, 61, 10, true, "M"},
                         {760, 274, 10, true, W("2. ALEXANDRA MARIE")},
                         {670, 274, 10, true, W("   NOVÁKOVÁ")},
                         {670, 146, 10, true, "05.06.2015"},
                         {670, 61, 10, true, "M"}});
}

TEST_F(ChildrenPageJobTest, PositionsRoundHalvesToEvenWithoutTheShift) {
    // 1542.5, 4.5, 4 + 128.5, 4 + 213.5 and 90.5; the shift does not apply to this page.
    Apply(
        "DetiVertNS=1542.5 DetiHorzNS=4.5 DetiHorzTab1NS=128.5 DetiHorzTab2NS=213.5 "
        "TabVert=90.5 HorzShift=-4 VertShift=21");
    Add("A");
    Add("B");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Find("2. B"), (PlacedText{1632, 4, 10, false, "2. B"}));
    EXPECT_EQ(Find("01.01.2010").Horz, 132);
    EXPECT_EQ(Find("M").Horz, 218);
    // At 12 cpi 3 / 1.2 = 2.5 -> 2 and 9 / 1.2 = 7.5 -> 8; a first row above 0 is held at 0.
    Set(cfg::FontSize, "12 cpi");
    for (const auto& [tabVert, second] : {std::pair{"3", 2}, std::pair{"9", 8}}) {
        Set(cfg::DetiVertNS, "-20");
        Set(cfg::TabVert, tabVert);
        ASSERT_TRUE(Print());
        EXPECT_EQ(Find("1. A").Vert, 0);
        EXPECT_EQ(Find("2. B").Vert, second);
    }
}

TEST_F(ChildrenPageJobTest, ListsAndColumnsThatDoNotFitAreRefused) {
    struct Case {
        const char* changes;
        int children;
        const char* name;
        std::string cause;  // "" when the list fits
    };
    const Case cases[] = {
        {"SmerTisku=1", 10, "EVA", ""},  // rows 850 up to 40
        {"SmerTisku=1", 11, "EVA",
         W("Počet dětí 11 (počet řádků 11) při nastavení DetiVertOS a TabVert dává pro 11. "
           "řádek polohu -50")},
        {"SmerTisku=1 DetiVertOS=180", 2, "ABCDEFGHI JKLMNOPQ", W("(počet řádků 4)")},
        {"", ClientsDataCls::kMaxChildren, "JMENO DITETE PRILIS DLOUHE", W("Počet dětí 255")},
        {"DetiHorzTab2NS=40000", 1, "EVA", "DetiHorzNS a DetiHorzTab2NS"},
        {"SmerTisku=1 DetiHorzOS=-62", 1, "EVA", W("z nastavení DetiHorzOS vychází -62")},
    };
    for (const Case& c : cases) {
        Apply(c.changes);
        record.ClearDeti();
        for (int i = 0; i < c.children; ++i) {
            Add(c.name);
        }
        if (c.cause.empty()) {
            EXPECT_TRUE(Print()) << Warning();
        } else {
            ExpectRefused(Print(), c.cause);
        }
    }
}

}  // namespace
}  // namespace vexa::test
