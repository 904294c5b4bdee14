#include "printing/DataPageJob.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

std::string Seq(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes) {
        out += static_cast<char>(b);
    }
    return out;
}

class DataPageJobTest : public PrintTest {
  protected:
    DataPageJobTest() {
        record.CisloPasu = "40123456";
        record.Prijmeni = W("ŠŤASTNÁ");
        record.Jmeno = W("ŽOFIE");
        record.rc = "855612/1234";
        record.MistoNarozeni = W("TŘEBÍČ");
        record.DatumVydani = "01.02.2020";
        record.Platnost = "01.02.2030";
        record.Vydavatel = W("MÚ ŠUMPERK");  // 10 characters
    }

    bool Print() { return DataPageJob(config, port, notes).PrintDataPage(record); }

    // Where every item of the normal layout lands.
    std::vector<PlacedText> Normal(int v, int h, int h1, int h2, int authority) const {
        return {
            {v + 30, h2, 0, false, "40123456"},
            {v + 90, h, 0, false,
             "\xA9\xAB"
             "ASTN\xC1"},
            {v + 180, h, 0, false,
             "\xAE"
             "OFIE"},
            {v + 360, h, 0, false, "12.06.1985"},
            {v + 360, h2, 0, false, "855612/1234"},
            {v + 450, h, 0, false, "F"},
            {v + 450, h1, 0, false,
             "T\xD8"
             "EB\xCD\xC8"},
            {v + 540, h, 0, false, "01.02.2020"},
            {v + 540, authority, 0, false, authoritySent},
            {v + 630, h, 0, false, "01.02.2030"},
        };
    }
    // Where every item of the reverse layout lands (10 cpi selected).
    std::vector<PlacedText> Reverse(int v, int h, int h1, int h2, bool wrapped) const {
        return {
            {v, h2, 10, wrapped, "01.02.2030"},
            {v + 90, h, 10, wrapped, authoritySent},
            {v + 90, h2, 10, wrapped, "01.02.2020"},
            {v + 180, h1, 10, wrapped,
             "T\xD8"
             "EB\xCD\xC8"},
            {v + 180, h2, 10, wrapped, "F"},
            {v + 270, h, 10, wrapped, "855612/1234"},
            {v + 270, h2, 10, wrapped, "12.06.1985"},
            {v + 450, h2, 10, wrapped,
             "\xAE"
             "OFIE"},
            {v + 540, h2, 10, wrapped,
             "\xA9\xAB"
             "ASTN\xC1"},
            {v + 630, h, 10, wrapped, "40123456"},
        };
    }
    void ExpectPrinted(const std::vector<PlacedText>& expected) {
        const EscpPage page = Page();
        EXPECT_TRUE(page.Errors.empty());
        EXPECT_EQ(page.FormFeeds, 1);
        EXPECT_TRUE(page.EndsWithFormFeed);
        EXPECT_EQ(page.Printed(), expected);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_TRUE(notes.Messages.empty());
    }

    ClientsDataCls record;
    std::string authoritySent = "M\xDA \xA9UMPERK";  // as ISO 8859-2
};

// Whole streams for the factory settings, byte for byte.

TEST_F(DataPageJobTest, NormalStreamWithDefaults) {
    ASSERT_TRUE(Print());
    const std::string surname =
        "\xA9\xAB"
        "ASTN\xC1";
    const std::string expected =
        InitSeries() +  //
        Seq({0x1B, 0x28, 0x56, 0x02, 0x00, 0x80, 0x05, 0x1B, 0x24, 0xCE, 0x00}) + "40123456\r\n" +
        Seq({0x1B, 0x28, 0x56, 0x02, 0x00, 0x62, 0x05}) + "\r\n" +  //
        Seq({0x1B, 0x24, 0x68, 0x00}) + surname + "\r\n" +          //
        Seq({0x1B, 0x24, 0x68, 0x00}) +
        "\xAE"
        "OFIE\r\n\r\n" +  //
        Seq({0x1B, 0x24, 0x68, 0x00}) +
        "12.06.1985" +                                       //
        Seq({0x1B, 0x24, 0xCE, 0x00}) + "855612/1234\r\n" +  //
        Seq({0x1B, 0x24, 0x68, 0x00}) + "F" +                //
        Seq({0x1B, 0x24, 0x86, 0x00}) +
        "T\xD8"
        "EB\xCD\xC8\r\n" +  //
        Seq({0x1B, 0x24, 0x68, 0x00}) +
        "01.02.2020" +                                            //
        Seq({0x1B, 0x24, 0xCE, 0x00}) + "M\xDA \xA9UMPERK\r\n" +  //
        Seq({0x1B, 0x24, 0x68, 0x00}) + "01.02.2030\r\n" +        //
        "\x0C";
    EXPECT_EQ(port.Bytes(), expected);
    EXPECT_EQ(port.LastPortName(), "lpt1");
}

TEST_F(DataPageJobTest, ReverseStreamWithDefaults) {
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    auto w = [](const std::string& x) { return Seq({0x14, 0x14, 0x1B, 0x52, 0x03}) + x + "\x19"; };
    const std::string expected =
        InitSeries() + Seq({0x1B, 0x50}) +                                         //
        Seq({0x1B, 0x28, 0x56, 0x02, 0x00, 0x80, 0x01, 0x1B, 0x24, 0xAC, 0x00}) +  //
        w("01.02.2030") + "\r\n" +                                                 //
        Seq({0x1B, 0x24, 0x46, 0x00}) + w("M\xDA \xA9UMPERK") +                    //
        Seq({0x1B, 0x24, 0xAC, 0x00}) + w("01.02.2020") + "\r\n" +                 //
        Seq({0x1B, 0x24, 0x8E, 0x00}) +
        w("T\xD8"
          "EB\xCD\xC8") +  //
        Seq({0x1B, 0x24, 0xAC, 0x00}) +
        w("F") + "\r\n" +                                               //
        Seq({0x1B, 0x24, 0x46, 0x00}) + w("855612/1234") +              //
        Seq({0x1B, 0x24, 0xAC, 0x00}) + w("12.06.1985") + "\r\n\r\n" +  //
        Seq({0x1B, 0x24, 0xAC, 0x00}) +
        w("\xAE"
          "OFIE") +
        "\r\n" +  //
        Seq({0x1B, 0x24, 0xAC, 0x00}) +
        w("\xA9\xAB"
          "ASTN\xC1") +
        "\r\n" +                                                  //
        Seq({0x1B, 0x24, 0x46, 0x00}) + w("40123456") + "\r\n" +  //
        "\x0C";
    EXPECT_EQ(port.Bytes(), expected);
}

// Where the items land, read back from the stream.

TEST_F(DataPageJobTest, ItemsLandInTheirBoxes) {
    ASSERT_TRUE(Print());
    ExpectPrinted(Normal(1378, 104, 134, 206, 206));
}

TEST_F(DataPageJobTest, ReverseLayoutWrapsOnlyForSmerTiskuOne) {
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    ExpectPrinted(Reverse(384, 70, 142, 172, true));

    Set(cfg::SmerTisku, "2");  // reverse layout, but the wrapper needs exactly 1
    ASSERT_TRUE(Print());
    ExpectPrinted(Reverse(384, 70, 142, 172, false));
}

TEST_F(DataPageJobTest, LongAuthorityStartsFurtherLeftInNormalLayoutOnly) {
    record.Vydavatel = "ABCDEFGHIJKL";  // 12
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("ABCDEFGHIJKL").Horz, 206);
    record.Vydavatel = "ABCDEFGHIJKLM";  // 13
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("ABCDEFGHIJKLM").Horz, 200);
    record.Vydavatel = W("MĚSTSKÝ ÚŘAD ŠUMPERK");  // 20
    authoritySent =
        "M\xCCSTSK\xDD \xDA\xD8"
        "AD \xA9UMPERK";
    ASSERT_TRUE(Print());
    ExpectPrinted(Normal(1378, 104, 134, 206, 158));

    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    ExpectPrinted(Reverse(384, 70, 142, 172, true));
}

TEST_F(DataPageJobTest, ShiftIsSubtractedNormalAndAddedReverse) {
    Set(cfg::HorzShift, "-4");
    Set(cfg::VertShift, "21");
    ASSERT_TRUE(Print());
    ExpectPrinted(Normal(1357, 108, 138, 210, 210));
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    ExpectPrinted(Reverse(405, 66, 138, 168, true));
}

TEST_F(DataPageJobTest, PositionsRoundHalvesToEven) {
    Set(cfg::GlobVertNS, "1378.5");  // V 1378
    Set(cfg::HorzShift, "0.5");      // H = 103.5 -> 104
    Set(cfg::TabHorz1NS, "30.5");    // 134.5 -> 134
    Set(cfg::TabHorz2NS, "103.5");   // 207.5 -> 208
    ASSERT_TRUE(Print());
    ExpectPrinted(Normal(1378, 104, 134, 208, 208));

    Set(cfg::GlobVertNS, "1379.5");  // 1380
    Set(cfg::HorzShift, "1.5");      // 102.5 -> 102
    Set(cfg::TabHorz1NS, "31.5");    // 133.5 -> 134
    Set(cfg::TabHorz2NS, "102.5");   // 204.5 -> 204
    ASSERT_TRUE(Print());
    ExpectPrinted(Normal(1380, 102, 134, 204, 204));

    Set(cfg::SmerTisku, "1");
    Set(cfg::GlobVertOS, "384");
    Set(cfg::VertShift, "0.5");     // 384.5 -> 384
    Set(cfg::HorzShift, "-0.5");    // 69.5 -> 70
    Set(cfg::TabHorz1OS, "72.5");   // 142.5 -> 142
    Set(cfg::TabHorz2OS, "101.5");  // 171.5 -> 172
    ASSERT_TRUE(Print());
    ExpectPrinted(Reverse(384, 70, 142, 172, true));
}

TEST_F(DataPageJobTest, SexLetterAndUnconvertedFields) {
    record.rc = "850612/123";
    record.Prijmeni = W("ČERNÝ");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("M").Vert, 1378 + 450);
    EXPECT_EQ(Page().Find("12.06.1985").Horz, 104);
    EXPECT_EQ(Page()
                  .Find("\xC8"
                        "ERN\xDD")
                  .Vert,
              1378 + 90);  // Č, Ý: same codes in both
}

TEST_F(DataPageJobTest, EmptyFieldsKeepEveryMovement) {
    record = ClientsDataCls();
    record.rc = "855612/1234";
    ASSERT_TRUE(Print());
    const EscpPage page = Page();
    EXPECT_EQ(page.Printed(), (std::vector<PlacedText>{{1378 + 360, 104, 0, false, "12.06.1985"},
                                                       {1378 + 360, 206, 0, false, "855612/1234"},
                                                       {1378 + 450, 104, 0, false, "F"}}));
    // Every positioning command and line end is still there.
    int positions = 0;
    int lineFeeds = 0;
    for (const auto& c : page.Commands) {
        positions += c.rfind("ESC $", 0) == 0 || c.rfind("ESC ( V", 0) == 0;
        lineFeeds += c == "LF";
    }
    EXPECT_EQ(positions, 12);
    EXPECT_EQ(lineFeeds, 9);

    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Texts.size(), 10u);  // empty items still wrapped
}

// Refusals: nothing reaches the printer.

TEST_F(DataPageJobTest, UnderivableBirthDateStopsBeforeAnythingIsSent) {
    for (const char* rc : {"", "8556121234", "851312/1234", "85x612/1234"}) {
        SCOPED_TRACE(rc);
        notes.Messages.clear();
        record.rc = rc;
        EXPECT_FALSE(Print());
        ExpectNothingSent();
        EXPECT_NE(Warning().find(W("datum narození")), std::string::npos);
        EXPECT_NE(Warning().find(std::string(rc)), std::string::npos);
    }
}

TEST_F(DataPageJobTest, PositionOutsidePrinterRangeNamesTheSetting) {
    struct Case {
        cfg::Setting setting;
        const char* value;
        const char* named;
    };
    const Case cases[] = {
        {cfg::GlobVertNS, "-1", "GlobVertNS"},     // V below 0
        {cfg::GlobVertNS, "32738", "GlobVertNS"},  // V + 30 above 32767
        {cfg::VertShift, "1e9", "VertShift"},      // beyond 16 bits
        {cfg::GlobHorzNS, "40000", "GlobHorzNS"},  //
        {cfg::HorzShift, "105", "HorzShift"},      // H = -1
        {cfg::TabHorz1NS, "-105", "TabHorz1NS"},   //
        {cfg::TabHorz2NS, "32700", "TabHorz2NS"},  //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        Config fresh(registry);
        config.Settings = fresh.Settings;
        notes.Messages.clear();
        Set(c.setting, c.value);
        EXPECT_FALSE(Print());
        ExpectNothingSent();
        EXPECT_NE(Warning().find(c.named), std::string::npos);
        EXPECT_NE(Warning().find("32767"), std::string::npos);
    }
}

TEST_F(DataPageJobTest, ReversePositionsAreCheckedToo) {
    Set(cfg::SmerTisku, "1");
    Set(cfg::VertShift, "-385");
    EXPECT_FALSE(Print());
    ExpectNothingSent();
    EXPECT_NE(Warning().find("GlobVertOS"), std::string::npos);
}

TEST_F(DataPageJobTest, LongAuthorityThatWouldStartLeftOfTheMarginIsRefused) {
    Set(cfg::GlobHorzNS, "0");
    Set(cfg::TabHorz2NS, "40");
    record.Vydavatel = std::string(20, 'A');  // 40 - 48 < 0
    EXPECT_FALSE(Print());
    ExpectNothingSent();
    EXPECT_NE(Warning().find("vydavatele"), std::string::npos);
}

TEST_F(DataPageJobTest, LargestPositionIsPrinted) {
    Set(cfg::GlobVertNS, "32737");  // document number row at 32767
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find("40123456").Vert, 32767);
}

// Port failures.

TEST_F(DataPageJobTest, PortThatCannotBeOpenedIsReported) {
    port.FailOpen("No such device");
    EXPECT_FALSE(Print());
    EXPECT_NE(Warning().find("lpt1"), std::string::npos);
    EXPECT_NE(Warning().find("No such device"), std::string::npos);
}

TEST_F(DataPageJobTest, WriteFailureEndsTheJobWithThePortClosed) {
    port.FailWriteAfter(60, "No space left on device");
    EXPECT_FALSE(Print());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Bytes().size(), 60u);
    EXPECT_NE(Warning().find("No space left on device"), std::string::npos);
}

}  // namespace
}  // namespace vexa::test
