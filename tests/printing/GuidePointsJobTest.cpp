#include "printing/GuidePointsJob.h"

#include <gtest/gtest.h>

#include <string>

#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

class GuidePointsJobTest : public PrintTest {
  protected:
    bool Print() { return GuidePointsJob(config, port, notes).PrintGuidePoints(); }
};

TEST_F(GuidePointsJobTest, NormalStreamWithDefaults) {
    ASSERT_TRUE(Print());
    EXPECT_EQ(port.Bytes(), InitSeries() + std::string("\x1B\x28\x56\x02\x00\xA7\x05", 7) +
                                std::string("\x1B\x24\x35\x00", 4) + "\x2D" +
                                std::string("\x1B\x28\x56\x02\x00\x89\x07", 7) +
                                std::string("\x1B\x24\x37\x00", 4) + "\x7C\x0C");
}

TEST_F(GuidePointsJobTest, ReverseStreamWithDefaults) {
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    // Plain marks: no wrapper even though SmerTisku is 1.
    EXPECT_EQ(port.Bytes(), InitSeries() + std::string("\x1B\x28\x56\x02\x00\xE2\x01", 7) +
                                std::string("\x1B\x24\xD4\x00", 4) + "\x7C" +
                                std::string("\x1B\x28\x56\x02\x00\xB8\x03", 7) +
                                std::string("\x1B\x24\xD7\x00", 4) + "\x5F\x0C");
}

TEST_F(GuidePointsJobTest, OnlySmerTiskuOneIsReverse) {
    Set(cfg::SmerTisku, "2");
    ASSERT_TRUE(Print());
    const EscpPage page = Page();
    EXPECT_EQ(page.Texts,
              (std::vector<PlacedText>{{1447, 53, 0, false, "-"}, {1929, 55, 0, false, "|"}}));
}

TEST_F(GuidePointsJobTest, ShiftMovesTheMarks) {
    Set(cfg::HorzShift, "-4");
    Set(cfg::VertShift, "21");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Texts,
              (std::vector<PlacedText>{{1426, 57, 0, false, "-"}, {1908, 59, 0, false, "|"}}));
    Set(cfg::SmerTisku, "1");
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Texts,
              (std::vector<PlacedText>{{503, 208, 0, false, "|"}, {973, 211, 0, false, "_"}}));
}

TEST_F(GuidePointsJobTest, PositionsRoundHalvesToEven) {
    Set(cfg::NVVertTabNS, "69.5");   // 1447.5 -> 1448
    Set(cfg::NVHorzTabNS, "-50.5");  // 53.5 -> 54
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Texts,
              (std::vector<PlacedText>{{1448, 54, 0, false, "-"}, {1930, 56, 0, false, "|"}}));
    Set(cfg::NVVertTabNS, "68.5");   // 1446.5 -> 1446
    Set(cfg::NVHorzTabNS, "-51.5");  // 52.5 -> 52
    ASSERT_TRUE(Print());
    EXPECT_EQ(Page().Texts,
              (std::vector<PlacedText>{{1446, 52, 0, false, "-"}, {1928, 54, 0, false, "|"}}));
}

TEST_F(GuidePointsJobTest, MarkOutsideRangeIsRefused) {
    Set(cfg::NVHorzTabNS, "-200");
    EXPECT_FALSE(Print());
    ExpectNothingSent();
    EXPECT_NE(Warning().find("NVHorzTabNS"), std::string::npos);

    notes.Messages.clear();
    Set(cfg::SmerTisku, "1");
    Set(cfg::GlobVertOS, "32300");  // second mark 470 lower: beyond 32767
    EXPECT_FALSE(Print());
    ExpectNothingSent();
    EXPECT_NE(Warning().find("GlobVertOS"), std::string::npos);
}

TEST_F(GuidePointsJobTest, PortFailureIsReported) {
    Set(cfg::Port, "com1");
    port.FailOpen("Device or resource busy");
    EXPECT_FALSE(Print());
    EXPECT_NE(Warning().find(W("„com1“")), std::string::npos);
    EXPECT_NE(Warning().find("Device or resource busy"), std::string::npos);
}

}  // namespace
}  // namespace vexa::test
