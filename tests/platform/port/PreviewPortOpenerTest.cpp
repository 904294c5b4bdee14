#include "platform/port/PreviewPortOpener.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vexa::test {
namespace {

TEST(PreviewPortOpenerTest, NahledKeepsTheBytesUntilCloseOtherNamesGoToTheDevices) {
    MemoryPortOpener devices;
    std::vector<std::string> shown;
    PreviewPortOpener opener(devices, [&](std::string bytes) { shown.push_back(bytes); });

    for (const char* name : {"náhled", "NÁHLED", "Náhled", "nÁhLeD"}) {
        shown.clear();
        PortOpening opening = opener.Open(W(name), {});
        ASSERT_TRUE(opening.Sink) << name;
        EXPECT_TRUE(opening.Sink->Write("AB"));
        EXPECT_TRUE(opening.Sink->Write(std::string("\0\x0C", 2)));
        EXPECT_TRUE(shown.empty());
        EXPECT_TRUE(opening.Sink->Close());
        EXPECT_TRUE(opening.Sink->Close());  // once only
        EXPECT_FALSE(opening.Sink->Write("C"));
        EXPECT_EQ(shown, std::vector<std::string>{std::string("AB\0\x0C", 4)}) << name;
    }
    EXPECT_EQ(devices.OpenCount(), 0);

    // Anything else is a device: "nahled" without the accent, spaces, UTF-8 bytes.
    for (const std::string& name :
         {std::string("lpt1"), std::string("nahled"), W(" náhled"), std::string("n\xC3\xA1hled")}) {
        PortOpening opening = opener.Open(name, {});
        ASSERT_TRUE(opening.Sink);
        EXPECT_EQ(devices.LastPortName(), name);
        opening.Sink->Write("X");
        opening.Sink->Close();
        EXPECT_EQ(devices.Bytes(), "X");
    }
    EXPECT_EQ(devices.OpenCount(), 4);
    EXPECT_EQ(shown.size(), 1u);

    // A job that never closes the port shows nothing.
    opener.Open(W("náhled"), {}).Sink->Write("partial");
    EXPECT_EQ(shown.size(), 1u);
}

}  // namespace
}  // namespace vexa::test
