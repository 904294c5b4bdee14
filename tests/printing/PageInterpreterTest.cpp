#include "printing/PageInterpreter.h"

#include <random>

#include "printing/ChildrenPageJob.h"
#include "printing/DataPageJob.h"
#include "printing/GuidePointsJob.h"
#include "printing/PrintTestSupport.h"
#include "printing/Printer.h"

namespace vexa::test {
namespace {

using Kind = StreamProblem::Kind;

double MmOf360(int units) {
    return units * 25.4 / 360.0;
}
double MmOf60(int units) {
    return units * 25.4 / 60.0;
}

// The runs land where the settings say (vertical in 1/360 inch, horizontal in 1/60 inch, wrapped
// meaning reversed), each on a cell of its pitch.
void ExpectRuns(const PrintedJob& job, const std::vector<PlacedText>& expected) {
    ASSERT_TRUE(job.Readable()) << job.Problems.front().Message;
    ASSERT_EQ(job.Pages.size(), 1u);
    EXPECT_TRUE(job.Pages[0].Ejected);
    const std::vector<TextRun>& runs = job.Pages[0].Runs;
    ASSERT_EQ(runs.size(), expected.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const PlacedText& e = expected[i];
        SCOPED_TRACE(e.Text);
        EXPECT_EQ(runs[i].Text, e.Text);
        EXPECT_NEAR(runs[i].TopMm(), MmOf360(e.Vert), 0.005);
        EXPECT_NEAR(runs[i].LeftMm(), MmOf60(e.Horz), 0.005);
        EXPECT_EQ(runs[i].Pitch, e.Pitch);
        EXPECT_EQ(runs[i].Reversed, e.Wrapped);
        EXPECT_NEAR(runs[i].CellWidthMm(), 25.4 / (e.Pitch ? e.Pitch : 10), 1e-9);
    }
}

class PageInterpreterTest : public PrintTest {
  protected:
    PageInterpreterTest() {
        holder = test::SampleHolder();
        for (const char* name : {"PETR NOVÁK", "ALEXANDRA MARIE NOVÁKOVÁ"}) {
            EXPECT_TRUE(children.DetiAdd(W(name), "03.04.2012", "M"));
        }
    }
    enum Job { kDataPage, kChildrenPage, kGuidePoints };
    // The stream a job sends with the settings "Name=value ...".
    std::string Stream(Job job, const std::string& changes, const char* fontSize = "10 cpi") {
        Apply(changes);
        Set(cfg::FontSize, fontSize);
        EXPECT_TRUE(job == kDataPage ? DataPageJob(config, port, notes).PrintDataPage(holder)
                    : job == kChildrenPage
                        ? ChildrenPageJob(config, port, notes).PrintChildrenPage(children)
                        : GuidePointsJob(config, port, notes).PrintGuidePoints());
        return port.Bytes();
    }

    ClientsDataCls holder;
    ClientsDataCls children;
};

TEST_F(PageInterpreterTest, WorkedStreamsLandWhereTheSettingsSay) {
    const std::string child1 = W("1. PETR NOVÁK"), child2 = W("2. ALEXANDRA MARIE"),
                      child2rest = W("   NOVÁKOVÁ");
    // Data page, normal: V = GlobVertNS 1378, H = GlobHorzNS 104, H1 = H + TabHorz1NS 30,
    // H2 = H + TabHorz2NS 102. Reverse at 10 cpi: V = GlobVertOS 384, H = GlobHorzOS 70,
    // H1 = H + 72, H2 = H + 102; with the shift HorzShift -4, VertShift 21 added: V 405, H 66.
    const auto reverse = [](int v, int h, bool wrapped) {
        return SampleReverse(v, h, h + 72, h + 102, wrapped);
    };
    // Children page, normal: DetiVertNS 1542; name DetiHorzNS 4, birth date 4 + 128, sex
    // 4 + 213; rows TabVert 90 apart at 10 cpi, 90 / 1.2 = 75 at 12, 90 / 1.5 = 60 at 15. The
    // second name is split at 10 and 12 cpi (longer than 16 and 19), not at 15 (24).
    const auto childrenAt = [&](int pitch, int step, bool split) {
        const int vert = 1542, name = 4, born = 4 + 128, sex = 4 + 213;
        std::vector<PlacedText> runs = {{vert, name, pitch, false, child1},
                                        {vert, born, pitch, false, "03.04.2012"},
                                        {vert, sex, pitch, false, "M"}};
        int row = vert + step;
        if (split) {
            runs.push_back({row, name, pitch, false, child2});
            row += step;
            runs.push_back({row, name, pitch, false, child2rest});
        } else {
            runs.push_back({row, name, pitch, false, child2 + W(" NOVÁKOVÁ")});
        }
        runs.push_back({row, born, pitch, false, "03.04.2012"});
        runs.push_back({row, sex, pitch, false, "M"});
        return runs;
    };
    // Children page, reverse: DetiVertOS 850 and up by 90; sex DetiHorzOS 61, birth date
    // 61 + 85, name 61 + 213.
    const std::vector<PlacedText> childrenReverse = {{850, 61 + 213, 10, true, child1},
                                                     {850, 61 + 85, 10, true, "03.04.2012"},
                                                     {850, 61, 10, true, "M"},
                                                     {760, 61 + 213, 10, true, child2},
                                                     {670, 61 + 213, 10, true, child2rest},
                                                     {670, 61 + 85, 10, true, "03.04.2012"},
                                                     {670, 61, 10, true, "M"}};
    // Guide points: GlobVert + NVVertTab and GlobHorz + NVHorzTab, the second mark 482 lower
    // and 2 right (normal), 470 lower and 3 right (reverse); plain, no pitch.
    const std::vector<PlacedText> guideNormal = {{1378 + 69, 104 - 51, 0, false, "-"},
                                                 {1378 + 69 + 482, 104 - 51 + 2, 0, false, "|"}};
    const std::vector<PlacedText> guideReverse = {{384 + 98, 70 + 142, 0, false, "|"},
                                                  {384 + 98 + 470, 70 + 142 + 3, 0, false, "_"}};

    const struct {
        const char* what;
        std::string bytes;
        std::vector<PlacedText> runs;
    } cases[] = {
        {"data page, normal", Stream(kDataPage, ""), SampleNormal(1378, 104, 104 + 30, 104 + 102)},
        {"data page, reverse", Stream(kDataPage, "SmerTisku=1"), reverse(384, 70, true)},
        {"data page, reverse shifted", Stream(kDataPage, "SmerTisku=1 HorzShift=-4 VertShift=21"),
         reverse(384 + 21, 70 - 4, true)},
        {"data page, reverse unwrapped", Stream(kDataPage, "SmerTisku=2"), reverse(384, 70, false)},
        {"children, 10 cpi", Stream(kChildrenPage, ""), childrenAt(10, 90, true)},
        {"children, 12 cpi", Stream(kChildrenPage, "", "12 cpi"), childrenAt(12, 75, true)},
        {"children, 15 cpi", Stream(kChildrenPage, "", "15 cpi"), childrenAt(15, 60, false)},
        {"children, reverse", Stream(kChildrenPage, "SmerTisku=1"), childrenReverse},
        {"guide points, normal", Stream(kGuidePoints, ""), guideNormal},
        {"guide points, reverse", Stream(kGuidePoints, "SmerTisku=1"), guideReverse},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectRuns(PageInterpreter::Read(c.bytes), c.runs);
    }
}

TEST_F(PageInterpreterTest, CzechLettersComeBackFromLatin2) {
    const std::string letters = W("ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽáčďéěíňóřšťúůýž");
    const PrintedJob job =
        PageInterpreter::Read(InitSeries() + Printer::ToLatin2(letters) + "\x0C");
    ASSERT_TRUE(job.Readable());
    EXPECT_EQ(job.Pages[0].Runs[0].Text, letters);
    // Latin-2 codes the encoder leaves alone where Windows-1250 differs read as Latin-2 letters:
    // Windows-1250 ľ (BE) would print as ž.
    EXPECT_EQ(PageInterpreter::FromLatin2("\xA1\xA5\xBE"), W("ĄĽž"));
}

// Every kind of sequence cut short is reported where it starts; what came before still shows.
TEST_F(PageInterpreterTest, StreamCutInsideASequenceIsReportedWhereItStarts) {
    const std::string before = InitSeries() + "\x1BP" + "AB";
    const std::string sequences[] = {B("\x1B(V\x02\x00\x62\x05"),
                                     B("\x1B$\x68\x00"),
                                     "\x1BP",
                                     "\x1B+\x5A",
                                     B("\x1Bl\x00"),
                                     "\x1Bx\x01",
                                     "\x1Bk\x01",
                                     B("\x1BR\x00"),
                                     "\x14\x14\x1BY\x01",
                                     "\x14\x14\x1BS\x02",
                                     "\x14\x14\x1BR\x03",
                                     B("\x1B(U\x01\x00\x0A")};
    for (const std::string& sequence : sequences) {
        for (std::size_t cut = 1; cut < sequence.size(); ++cut) {
            const std::string bytes = before + sequence.substr(0, cut);
            SCOPED_TRACE(bytes.substr(before.size()) + " cut after " + std::to_string(cut));
            const PrintedJob job = PageInterpreter::Read(bytes);
            ASSERT_FALSE(job.Problems.empty());
            const StreamProblem& p = job.Problems.front();
            EXPECT_EQ(p.What, Kind::Truncated);
            EXPECT_EQ(p.Offset, before.size());
            EXPECT_EQ(p.Message.rfind("bajt 29: " + W("tisková data končí uprostřed sekvence ")),
                      0u)
                << p.Message;
            ASSERT_EQ(job.Pages.size(), 1u);
            EXPECT_EQ(job.Pages[0].Runs.at(0).Text, "AB");
        }
    }
    // Cut inside the initialisation series: at the start of the sequence it was cut in; cut
    // between two, the sheet is only not ejected.
    const std::size_t starts[] = {0, 5, 10, 13, 16, 19, 22, 25};
    for (std::size_t k = 0; k + 1 < std::size(starts); ++k) {
        for (std::size_t cut = starts[k] + 1; cut <= starts[k + 1]; ++cut) {
            const PrintedJob job = PageInterpreter::Read(InitSeries().substr(0, cut));
            const bool between = cut == starts[k + 1];
            EXPECT_EQ(job.Problems.front().Offset, between ? cut : starts[k]) << cut;
            EXPECT_EQ(job.Problems.front().What, between ? Kind::Unfinished : Kind::Truncated)
                << cut;
        }
    }
    // A reversed text without its end, a control byte in it, then no form feed: in order.
    const PrintedJob open = PageInterpreter::Read(before + "\x14\x14\x1BR\x03X\rY");
    ASSERT_EQ(open.Problems.size(), 3u);
    EXPECT_EQ(open.Problems[0].Message, "bajt 29: " + W("obrácený text nemá konec (19)"));
    EXPECT_EQ(open.Problems[1].Message,
              "bajt 35: " + W("řídicí znak 0D uvnitř obráceného textu z bajtu 29"));
    EXPECT_EQ(open.Problems[2].Message,
              "bajt 37: " + W("tisková data končí bez vysunutí listu (0C)"));
    EXPECT_TRUE(open.Pages[0].Runs[2].Reversed);
}

// Nothing the printer would not understand passes without a word, and reading goes on: what
// stands between "A" and "B" is reported at byte 26, and "B" still prints on the sheet the form
// feed ejects.
TEST_F(PageInterpreterTest, UnknownBytesAreReportedWithTheirOffset) {
    const std::string init = InitSeries();
    const std::pair<std::string, const char*> unknown[] = {
        {"\x1B@", "neznámá sekvence 1B 40 (ESC @)"},
        {"\x07", "neznámý řídicí znak 07"},
        {"\x8A", "8A není v Latin-2 tisknutelný znak"},
        {"\x19", "konec obráceného textu (19) bez jeho začátku"},
        {B("\x1B(U\x01\x00\x0A"), "neznámá sekvence 1B 28 55 01 00 0A (ESC ( U)"},
        {B("\x1B(V\x02\x00\x00\x80"), "neznámá sekvence 1B 28 56 02 00 00 80 (ESC ( V)"},
        {B("\x1B$\x00\x80"), "neznámá sekvence 1B 24 00 80 (ESC $)"},
        {"\x1Bx\x05", "neznámá sekvence 1B 78 05 (ESC x)"},
        {"\x1BR\x01", "neznámá sekvence 1B 52 01 (ESC R)"},
        {"\x14\x14\x1B"
         "A\x01",
         "neznámá sekvence 14 14 1B 41 01"},
        {"\x14", "neznámý řídicí znak 14"},
    };
    for (const auto& [bytes, message] : unknown) {
        const PrintedJob job = PageInterpreter::Read(init + "A" + bytes + "B\x0C");
        ASSERT_FALSE(job.Readable()) << message;
        EXPECT_EQ(job.Problems.front().Message, "bajt 26: " + W(message));
        EXPECT_EQ(job.Problems.front().What, Kind::Unknown) << message;
        ASSERT_EQ(job.Pages.size(), 1u) << message;
        EXPECT_EQ(job.Pages[0].Runs.back().Text, "B") << message;
    }
    const struct {
        std::string bytes;
        const char* message;
        Kind kind;
    } others[] = {
        {init + "\x14\x14\x1BR\x03" + "A\r\n\x19" + "B\x0C",
         "bajt 31: řídicí znak 0D uvnitř obráceného textu z bajtu 25", Kind::Misplaced},
        {init + "AB", "bajt 27: tisková data končí bez vysunutí listu (0C)", Kind::Unfinished},
        {"", "tisková data jsou prázdná (0 bajtů)", Kind::Empty},
    };
    for (const auto& c : others) {
        const PrintedJob job = PageInterpreter::Read(c.bytes);
        ASSERT_FALSE(job.Readable()) << c.message;
        EXPECT_EQ(job.Problems.front().Message, W(c.message));
        EXPECT_EQ(job.Problems.front().What, c.kind) << c.message;
    }
}

// Movements besides the absolute positions: text advances one cell of its pitch, CR and LF
// go back to the left margin (set in columns of the pitch), LF moves down by the line spacing
// (1/6 inch until ESC + sets it), a form feed starts a new sheet at the top.
TEST_F(PageInterpreterTest, TextLineEndsMarginAndFormFeedMoveTheHead) {
    const PrintedJob job = PageInterpreter::Read(B("AB\r\nC\x1Bg") + "DE" +
                                                 B("\x1BM\x1Bl\x02\x1B+\x4B\r\nF\x0C") + "G\x0C");
    ASSERT_TRUE(job.Readable()) << job.Problems.front().Message;
    ASSERT_EQ(job.Pages.size(), 2u);
    const std::vector<TextRun>& runs = job.Pages[0].Runs;
    ASSERT_EQ(runs.size(), 4u);
    const int expected[][3] = {{0, 0, 0}, {60, 0, 0}, {60, 6, 15}, {60 + 75, 2 * 5, 12}};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].Vert, expected[i][0]) << runs[i].Text;
        EXPECT_EQ(runs[i].Horz, expected[i][1]) << runs[i].Text;
        EXPECT_EQ(runs[i].Pitch, expected[i][2]) << runs[i].Text;
    }
    EXPECT_DOUBLE_EQ(runs[2].WidthMm(), 2 * 25.4 / 15);
    EXPECT_EQ(job.Pages[1].Runs.at(0).Vert, 0);
    EXPECT_EQ(job.Pages[1].Runs.at(0).Horz, 10);  // the margin stays
}

TEST_F(PageInterpreterTest, RunsBeyondTheBookletAreListed) {
    // 125 mm is 295.3/60 inch: four characters from 270 end at 294, ten from 281 at 341. 176 mm
    // is 2494.5/360 inch, and a character 48/360 inch tall: a row at 2448 ends beyond.
    const PrintedJob job = PageInterpreter::Read(
        InitSeries() + "\x1BP" + B("\x1B(V\x02\x00\x00\x00\x1B$\x0E\x01") + "ABCD" +
        B("\x1B$\x19\x01") + "0123456789" + B("\x1B(V\x02\x00\x90\x09") + "X" +
        B("\x1B(V\x02\x00\x00\x7F\x1B$\x00\x00") + "Y\x0C");
    ASSERT_TRUE(job.Readable());
    std::string beyond;
    for (const TextRun& run : job.Pages[0].Beyond()) {
        beyond += run.Text + "|";
    }
    EXPECT_EQ(beyond, "0123456789|X|Y|");
}

// Whatever the bytes, reading ends, and every offset lies inside the stream.
TEST_F(PageInterpreterTest, RandomStreamsEndWithoutACrash) {
    std::mt19937 random(20240611);
    const unsigned char common[] = {0x1B, 0x14, 0x19, 0x0C, 0x0D, 0x0A, '(', 'V',  '$', 'R',
                                    'P',  'l',  '+',  0x02, 0x00, 0x03, 'A', 0xA9, 0xFF};
    std::size_t problems = 0, runs = 0;
    for (int n = 0; n < 10000; ++n) {
        std::string bytes(random() % 48, '\0');
        for (char& c : bytes) {
            const unsigned pick = random() % 64;
            c = static_cast<char>(pick < sizeof common ? common[pick] : random() % 256);
        }
        const PrintedJob job = PageInterpreter::Read(bytes);
        ASSERT_LE(job.Problems.size(), job.ProblemCount);
        for (const StreamProblem& p : job.Problems) {
            ASSERT_LE(p.Offset, bytes.size());
            ASSERT_FALSE(p.Message.empty());
        }
        for (const PrintedPage& page : job.Pages) {
            for (const TextRun& run : page.Runs) {
                ASSERT_LT(run.Offset + run.Text.size(), bytes.size() + 1);
                ASSERT_FALSE(run.Text.empty());
            }
            runs += page.Runs.size();
        }
        problems += job.ProblemCount;
    }
    EXPECT_GT(problems, 10000u);  // the streams did reach the reader's corners
    EXPECT_GT(runs, 10000u);
}

}  // namespace
}  // namespace vexa::test
