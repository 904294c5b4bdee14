#include "printing/Printer.h"

#include <string>

#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

using PrinterTest = PrintTest;

TEST_F(PrinterTest, PositionsUseBothBytesUpTo32767AndOthersAreNeverEncoded) {
    Printer printer(config, port);
    ASSERT_TRUE(printer.OpenPort());
    printer.SetVertPos(32767);
    printer.SetHorzPos(256);
    printer.SetHorzPos(32768);  // closes the port instead
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(printer.ClosePort());
    EXPECT_EQ(port.Bytes(), InitSeries() + B("\x1B(V\x02\x00\xFF\x7F\x1B$\x00\x01"));
    ASSERT_TRUE(printer.OpenPort());
    printer.SetVertPos(-1);
    EXPECT_FALSE(printer.ClosePort());
    EXPECT_EQ(port.Bytes(), InitSeries());
}

TEST_F(PrinterTest, ToLatin2MovesExactlySixLettersAndTwiceIsOnce) {
    EXPECT_EQ(Printer::ToLatin2(W("ŠŤŽšťžČŘÁ")), "\xA9\xAB\xAE\xB9\xBB\xBE\xC8\xD8\xC1");
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string out = Printer::ToLatin2(one);
        ASSERT_EQ(out.size(), 1u);
        const bool moved =
            b == 0x8A || b == 0x8D || b == 0x8E || b == 0x9A || b == 0x9D || b == 0x9E;
        EXPECT_EQ(out != one, moved) << "byte " << b;
        EXPECT_EQ(Printer::ToLatin2(out), out) << "byte " << b;
    }
}

TEST_F(PrinterTest, PortFailuresNameThePortAndReasonAndStopSending) {
    Set(cfg::Port, "lpt2");
    port.FailOpen("Permission denied");
    Printer refused(config, port);
    EXPECT_FALSE(refused.OpenPort());
    EXPECT_NE(
        refused.ErrorMessage().find(W("„lpt2“ (memory:lpt2) nelze otevřít: Permission denied")),
        std::string::npos);
    EXPECT_FALSE(refused.ClosePort());

    Reset();
    port.FailWriteAfter(30, "No space left on device");
    Printer broken(config, port);
    ASSERT_TRUE(broken.OpenPort());
    broken.SetVertPos(100);  // bytes 25..31: the write fails here
    EXPECT_FALSE(port.IsOpen());
    broken.PutString("more");
    EXPECT_FALSE(broken.ClosePort());
    EXPECT_EQ(port.Bytes().size(), 30u);  // nothing after the failure, no form feed
    EXPECT_NE(broken.ErrorMessage().find(W("„lpt1“ (memory:lpt1) selhal: No space left on device")),
              std::string::npos);

    Reset();
    port.FailClose("Input/output error");
    Printer unclosed(config, port);
    ASSERT_TRUE(unclosed.OpenPort());
    EXPECT_FALSE(unclosed.ClosePort());
    EXPECT_NE(unclosed.ErrorMessage().find("Input/output error"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());

    Reset();
    {
        Printer abandoned(config, port);
        ASSERT_TRUE(abandoned.OpenPort());
    }
    EXPECT_FALSE(port.IsOpen());  // a job that ends early still releases the port
}

}  // namespace
}  // namespace vexa::test
