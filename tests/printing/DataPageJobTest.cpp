#include "printing/DataPageJob.h"

#include <algorithm>

#include "printing/GuidePointsJob.h"
#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

// Items as sent: Š Ť Ž in ISO 8859-2, birth date and sex derived from the birth number.
const std::string kSurname = std::string("\xA9\xAB") + "ASTN\xC1";
const std::string kFirstName = std::string("\xAE") + "OFIE";
const std::string kPlace = std::string("T\xD8") + "EB\xCD\xC8";
const std::string kAuthority = "M\xDA \xA9UMPERK";

class DataPageJobTest : public PrintTest {
  protected:
    DataPageJobTest() { record = test::SampleHolder(); }
    bool Print() { return DataPageJob(config, port, notes).PrintDataPage(record); }

    ClientsDataCls record;
};

TEST_F(DataPageJobTest, StreamsWithFactorySettingsByteForByte) {
    ASSERT_TRUE(Print());
    const std::string h = B("\x1B$\x68\x00"), h1 = B("\x1B$\x86\x00"), h2 = B("\x1B$\xCE\x00");
    EXPECT_EQ(port.Bytes(), InitSeries() + B("\x1B(V\x02\x00\x80\x05") + h2 + "40123456\r\n" +
                                B("\x1B(V\x02\x00\x62\x05") + "\r\n" + h + kSurname + "\r\n" + h +
                                kFirstName + "\r\n\r\n" + h + "12.06.1985" + h2 +
                                "855612/1234\r\n" + h + "F" + h1 + kPlace + "\r\n" + h +
                                "01.02.2020" + h2 + kAuthority + "\r\n" + h + "01.02.2030\r\n\x0C");
    EXPECT_EQ(port.LastPortName(), "lpt1");
    EXPECT_EQ(port.LastTitle(), W("Vexa: datová strana"));

    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    const std::string rh = B("\x1B$\x46\x00"), rh1 = B("\x1B$\x8E\x00"), rh2 = B("\x1B$\xAC\x00");
    const auto w = [](const std::string& text) { return "\x14\x14\x1BR\x03" + text + "\x19"; };
    EXPECT_EQ(port.Bytes(), InitSeries() + "\x1BP" + B("\x1B(V\x02\x00\x80\x01") + rh2 +
                                w("01.02.2030") + "\r\n" + rh + w(kAuthority) + rh2 +
                                w("01.02.2020") + "\r\n" + rh1 + w(kPlace) + rh2 + w("F") + "\r\n" +
                                rh + w("855612/1234") + rh2 + w("12.06.1985") + "\r\n\r\n" + rh2 +
                                w(kFirstName) + "\r\n" + rh2 + w(kSurname) + "\r\n" + rh +
                                w("40123456") + "\r\n\x0C");
}

TEST_F(DataPageJobTest, ItemsLandInTheirBoxes) {
    const std::pair<const char*, std::vector<PlacedText>> cases[] = {
        // The shift is subtracted under normal insertion and added under reverse.
        {"HorzShift=-4 VertShift=21", SampleNormal(1357, 108, 138, 210)},
        {"SmerTisku=2 HorzShift=-4 VertShift=21", SampleReverse(405, 66, 138, 168, false)},
        // Halves to even: 1378.5, 103.5, 134.5, 207.5; 1379.5, 102.5, 133.5, 204.5; ...
        {"GlobVertNS=1378.5 HorzShift=0.5 TabHorz1NS=30.5 TabHorz2NS=103.5",
         SampleNormal(1378, 104, 134, 208)},
        {"GlobVertNS=1379.5 HorzShift=1.5 TabHorz1NS=31.5 TabHorz2NS=102.5",
         SampleNormal(1380, 102, 134, 204)},
        {"SmerTisku=1 VertShift=0.5 HorzShift=-0.5 TabHorz1OS=72.5 TabHorz2OS=101.5",
         SampleReverse(384, 70, 142, 172, true)},
    };
    for (const auto& [changes, expected] : cases) {
        Apply(changes);
        ExpectPage(Print(), expected);
    }
}

TEST_F(DataPageJobTest, LongAuthorityStartsFurtherLeftInNormalLayoutOnly) {
    // One character (6/60 inch) further left for every character beyond the twelfth.
    for (const auto& [authority, column] : {std::pair<std::string, int>{"ABCDEFGHIJKL", 206},
                                            {"ABCDEFGHIJKLM", 200},
                                            {W("MĚSTSKÝ ÚŘAD ŠUMPERK"), 158}}) {
        record.Vydavatel = authority;
        ASSERT_TRUE(Print());
        EXPECT_EQ(Find(authority).Horz, column) << authority;
    }
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Find(record.Vydavatel).Horz, 70);
}

// Every field the page prints, in both layouts: each letter on its own ISO 8859-2 code (the
// printer reads it back as itself), and no text byte the printer could take as a control code.
TEST_F(DataPageJobTest, CentralEuropeanLettersInEveryFieldPrintAsThemselves) {
    for (std::string ClientsDataCls::*field :
         {&ClientsDataCls::CisloPasu, &ClientsDataCls::Prijmeni, &ClientsDataCls::Jmeno,
          &ClientsDataCls::MistoNarozeni, &ClientsDataCls::DatumVydani, &ClientsDataCls::Vydavatel,
          &ClientsDataCls::Platnost})
        record.*field = CentralEuropean();
    for (const char* insertion : {"0", "1"}) {
        Set(cfg::SmerTisku, insertion);
        ASSERT_TRUE(Print()) << Warning();
        int letters = 0;
        for (const PlacedText& t : Page())
            letters += t.Text == CentralEuropean();
        EXPECT_EQ(letters, 7) << insertion;
    }
}

TEST_F(DataPageJobTest, EmptyFieldsKeepEveryMovementAndMaleBirthNumberGivesM) {
    record = ClientsDataCls();
    record.rc = "850612/123";
    ExpectPage(Print(), {{1738, 104, 0, false, "12.06.1985"},
                         {1738, 206, 0, false, "850612/123"},
                         {1828, 104, 0, false, "M"}});
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    // Empty items are still sent, wrapped: ten wrappers around the three texts.
    const std::string bytes = port.Bytes();
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\x19'), 10);
    EXPECT_EQ(Page().size(), 3u);
}

TEST_F(DataPageJobTest, RefusalsSendNothingAndNameTheCause) {
    for (const char* rc : {"", "8556121234", "851312/1234", "85x612/1234"}) {
        Reset();
        record.rc = rc;
        ExpectRefused(Print(), W("„") + rc + W("“ nelze odvodit datum narození"));
    }
    Reset();
    record.rc = "855612/1234";
    // A character ISO 8859-2 lacks, and a control character only an edited archive can hold.
    record.Vydavatel = W("MÚ „BRNO“");
    ExpectRefused(Print(), W("Tisk nelze provést: pole „Pas vydal“ obsahuje znak „„“, který "
                             "tiskárna nemá. Nic nebylo vytištěno."));
    Reset();
    record.Prijmeni = "NOV\x1B";  // as only an archive edited by hand can hold it
    ExpectRefused(Print(), W("Tisk nelze provést: pole „Příjmení“ obsahuje řídicí znak (kód 1B), "
                             "který by tiskárna provedla jako příkaz. Nic nebylo vytištěno."));
    record = test::SampleHolder();
    record.Vydavatel = std::string(20, 'A');  // 48/60 inch left of TabHorz2NS
    const std::pair<const char*, std::string> cases[] = {
        {"GlobVertNS=-1", "GlobVertNS a VertShift"},
        {"GlobVertNS=32738", W("VertShift (číslo pasu)")},  // the top row at 32768
        {"VertShift=1e9", "VertShift"},                     // beyond 16 bits
        {"GlobHorzNS=40000", "GlobHorzNS"},
        {"HorzShift=105", "HorzShift"},
        {"TabHorz1NS=-105", "TabHorz1NS"},
        {"TabHorz2NS=32700", "TabHorz2NS"},
        {"GlobHorzNS=0 TabHorz2NS=40", "vydavatele (20"},
        {"SmerTisku=1 VertShift=-385", "GlobVertOS a VertShift"},
    };
    for (const auto& [changes, cause] : cases) {
        Apply(changes);
        ExpectRefused(Print(), cause);
        EXPECT_NE(Warning().find("32767"), std::string::npos);
    }
    Apply("GlobVertNS=32737");  // the top row at 32767, the largest
    ASSERT_TRUE(Print());
    EXPECT_EQ(Find("40123456").Vert, 32767);
    Reset();
    port.FailWriteAfter(60, "No space left on device");  // a port that fails is told too
    EXPECT_FALSE(Print());
    EXPECT_NE(Warning().find("No space left on device"), std::string::npos);
}

class GuidePointsJobTest : public PrintTest {
  protected:
    bool Print() { return GuidePointsJob(config, port, notes).PrintGuidePoints(); }
};

TEST_F(GuidePointsJobTest, StreamsWithFactorySettingsByteForByte) {
    ASSERT_TRUE(Print());
    EXPECT_EQ(port.Bytes(), InitSeries() + B("\x1B(V\x02\x00\xA7\x05\x1B$\x35\x00-") +
                                B("\x1B(V\x02\x00\x89\x07\x1B$\x37\x00|\x0C"));
    EXPECT_EQ(port.LastTitle(), W("Vexa: naváděcí body"));
    Set(cfg::SmerTisku, "1");  // plain marks: no wrapper even though SmerTisku is 1
    ASSERT_TRUE(Print());
    EXPECT_EQ(port.Bytes(), InitSeries() + B("\x1B(V\x02\x00\xE2\x01\x1B$\xD4\x00|") +
                                B("\x1B(V\x02\x00\xB8\x03\x1B$\xD7\x00_\x0C"));
}

TEST_F(GuidePointsJobTest, MarksFollowInsertionShiftAndRoundHalvesToEven) {
    const std::pair<const char*, std::vector<PlacedText>> cases[] = {
        {"SmerTisku=2", {{1447, 53, 0, false, "-"}, {1929, 55, 0, false, "|"}}},
        {"HorzShift=-4 VertShift=21", {{1426, 57, 0, false, "-"}, {1908, 59, 0, false, "|"}}},
        {"SmerTisku=1 HorzShift=-4 VertShift=21",
         {{503, 208, 0, false, "|"}, {973, 211, 0, false, "_"}}},
        {"NVVertTabNS=69.5 NVHorzTabNS=-50.5",  // 1447.5, 53.5
         {{1448, 54, 0, false, "-"}, {1930, 56, 0, false, "|"}}},
        {"NVVertTabNS=68.5 NVHorzTabNS=-51.5",  // 1446.5, 52.5
         {{1446, 52, 0, false, "-"}, {1928, 54, 0, false, "|"}}},
    };
    for (const auto& [changes, expected] : cases) {
        Apply(changes);
        ExpectPage(Print(), expected);
    }
}

TEST_F(GuidePointsJobTest, MarksBeyondTheRangeAreRefused) {
    Apply("NVHorzTabNS=-200");
    ExpectRefused(Print(), "GlobHorzNS, HorzShift a NVHorzTabNS");
    Apply("SmerTisku=1 GlobVertOS=32300");  // the second mark 470 lower: beyond 32767
    ExpectRefused(Print(), "GlobVertOS, VertShift a NVVertTabOS");
}

}  // namespace
}  // namespace vexa::test
