#include "printing/GuidePointsJob.h"

#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

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
