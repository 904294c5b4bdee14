#include "printing/DataPageJob.h"

#include "printing/PrintTestSupport.h"
#include "printing/Printer.h"
#include "records/ArchiveCls.h"

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

    // The sample's page as the printer gets it: the texts in Latin-2.
    static std::vector<PlacedText> Sent(std::vector<PlacedText> texts) {
        for (PlacedText& t : texts)
            t.Text = Printer::ToLatin2(t.Text);
        return texts;
    }

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
    // Reverse insertion without the shift, and the wrapper, are in the page interpreter's worked
    // streams.
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
        ExpectPage(Print(), Sent(expected));
    }
}

TEST_F(DataPageJobTest, LongAuthorityStartsFurtherLeftInNormalLayoutOnly) {
    // One character (6/60 inch) further left for every character beyond the twelfth.
    for (const auto& [authority, column] : {std::pair<std::string, int>{"ABCDEFGHIJKL", 206},
                                            {"ABCDEFGHIJKLM", 200},
                                            {W("MĚSTSKÝ ÚŘAD ŠUMPERK"), 158}}) {
        record.Vydavatel = authority;
        ASSERT_TRUE(Print());
        EXPECT_EQ(Page().Find(Printer::ToLatin2(authority)).Horz, column) << authority;
    }
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Find(Printer::ToLatin2(record.Vydavatel)).Horz, 70);
}

// Every field the page prints, in both layouts: each letter on its own ISO 8859-2 code, and no
// text byte the printer could take as a control code.
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
        for (const PlacedText& t : Page().Printed())
            letters += t.Text == kCentralEuropeanLatin2;
        EXPECT_EQ(letters, 7) << insertion;
        EXPECT_TRUE(NoC1Codes(Page())) << insertion;
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
    EXPECT_EQ(Page().Texts.size(), 10u);  // empty items are still sent wrapped
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
    // An archive edited by hand: the escape character comes with the record.
    TempDir dir;
    WriteFile(dir / "Archive.db", "P1;NOV\x1B;JAN;855612/1234;BRNO;01.02.2020;01.02.2030;MU\r\n");
    ArchiveCls archive(registry, dir.Path());
    ASSERT_TRUE(archive.Load().ok);
    record = archive.Item(0).value();
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
    EXPECT_EQ(Page().Find("40123456").Vert, 32767);
    Reset();
    port.FailWriteAfter(60, "No space left on device");  // a port that fails is told too
    EXPECT_FALSE(Print());
    EXPECT_NE(Warning().find("No space left on device"), std::string::npos);
}

}  // namespace
}  // namespace vexa::test
