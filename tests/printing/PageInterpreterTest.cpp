#include "printing/PageInterpreter.h"

#include <gtest/gtest.h>

#include <random>

#include "printing/Printer.h"
#include "support/TestSupport.h"

namespace vexa::test {
namespace {

using Kind = StreamProblem::Kind;

TEST(PageInterpreterTest, CzechLettersComeBackFromLatin2) {
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
TEST(PageInterpreterTest, StreamCutInsideASequenceIsReportedWhereItStarts) {
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
TEST(PageInterpreterTest, UnknownBytesAreReportedWithTheirOffset) {
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
TEST(PageInterpreterTest, TextLineEndsMarginAndFormFeedMoveTheHead) {
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

TEST(PageInterpreterTest, RunsBeyondTheBookletAreListed) {
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
TEST(PageInterpreterTest, RandomStreamsEndWithoutACrash) {
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
