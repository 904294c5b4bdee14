#include "printing/Printer.h"

#include <gtest/gtest.h>

#include <string>

#include "printing/PrintTestSupport.h"

namespace vexa::test {
namespace {

using Bytes = std::string;

class PrinterTest : public PrintTest {
  protected:
    // The bytes one operation writes between OpenPort and ClosePort.
    template <typename F>
    Bytes Written(F operation) {
        Printer printer(config, port);
        EXPECT_TRUE(printer.OpenPort());
        operation(printer);
        EXPECT_TRUE(printer.ClosePort());
        const Bytes all = port.Bytes();
        EXPECT_EQ(all.substr(0, 25), InitSeries());
        EXPECT_EQ(all.back(), '\x0C');
        return all.substr(25, all.size() - 26);
    }
};

TEST_F(PrinterTest, OpenAndCloseWriteTheSeriesAndFormFeedOnly) {
    Set(cfg::Port, "com2");
    Printer printer(config, port);
    ASSERT_TRUE(printer.OpenPort());
    EXPECT_EQ(port.LastPortName(), "com2");
    EXPECT_EQ(port.Bytes(), InitSeries());
    EXPECT_TRUE(port.IsOpen());
    ASSERT_TRUE(printer.ClosePort());
    EXPECT_EQ(port.Bytes(), InitSeries() + "\x0C");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(printer.ErrorMessage().empty());
}

TEST_F(PrinterTest, CommandBytes) {
    EXPECT_EQ(Written([](Printer& p) { p.SetVertPos(0); }),
              Bytes("\x1B\x28\x56\x02\x00\x00\x00", 7));
    EXPECT_EQ(Written([](Printer& p) { p.SetVertPos(1378); }),
              Bytes("\x1B\x28\x56\x02\x00\x62\x05", 7));
    EXPECT_EQ(Written([](Printer& p) { p.SetVertPos(32767); }),
              Bytes("\x1B\x28\x56\x02\x00\xFF\x7F", 7));
    EXPECT_EQ(Written([](Printer& p) { p.SetHorzPos(256); }), Bytes("\x1B\x24\x00\x01", 4));
    EXPECT_EQ(Written([](Printer& p) { p.SetHorzPos(53); }), Bytes("\x1B\x24\x35\x00", 4));
    EXPECT_EQ(Written([](Printer& p) { p.Select10Cpi(); }), "\x1B\x50");
    EXPECT_EQ(Written([](Printer& p) { p.Select12Cpi(); }), "\x1B\x4D");
    EXPECT_EQ(Written([](Printer& p) { p.Select15Cpi(); }), "\x1B\x67");
    EXPECT_EQ(Written([](Printer& p) { p.PutString("A\r\nB"); }), "A\r\nB");
}

TEST_F(PrinterTest, PrintTextIsWrappedOnlyForSmerTiskuOne) {
    const Bytes wrapped(
        "\x14\x14\x1B\x52\x03"
        "ABC\x19");
    Set(cfg::SmerTisku, "0");
    EXPECT_EQ(Written([](Printer& p) { p.PrintText("ABC"); }), "ABC");
    Set(cfg::SmerTisku, "1");
    EXPECT_EQ(Written([](Printer& p) { p.PrintText("ABC"); }), wrapped);
    EXPECT_EQ(Written([](Printer& p) { p.PrintText(""); }), "\x14\x14\x1B\x52\x03\x19");
    // PutString never wraps.
    EXPECT_EQ(Written([](Printer& p) { p.PutString("ABC"); }), "ABC");
    Set(cfg::SmerTisku, "2");
    EXPECT_EQ(Written([](Printer& p) { p.PrintText("ABC"); }), "ABC");
}

TEST_F(PrinterTest, ToLatin2MovesExactlySixLetters) {
    EXPECT_EQ(Printer::ToLatin2(W("ŠŤŽšťž")), "\xA9\xAB\xAE\xB9\xBB\xBE");
    EXPECT_EQ(Printer::ToLatin2(W("ČŘÁ")), "\xC8\xD8\xC1");
    const std::string czech = W("Příliš žluťoučký kůň úpěl ďábelské ódy ŇĚŮ");
    EXPECT_EQ(Printer::ToLatin2(czech).size(), czech.size());
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string out = Printer::ToLatin2(one);
        ASSERT_EQ(out.size(), 1u);
        const bool moved =
            b == 0x8A || b == 0x8D || b == 0x8E || b == 0x9A || b == 0x9D || b == 0x9E;
        EXPECT_EQ(out != one, moved) << "byte " << b;
        EXPECT_EQ(Printer::ToLatin2(out), out) << "byte " << b;  // twice is once
    }
}

TEST_F(PrinterTest, FailedOpenNamesPortAndReason) {
    Set(cfg::Port, "lpt2");
    port.FailOpen("Permission denied");
    Printer printer(config, port);
    EXPECT_FALSE(printer.OpenPort());
    EXPECT_TRUE(printer.Failed());
    EXPECT_NE(printer.ErrorMessage().find(W("„lpt2“")), std::string::npos);
    EXPECT_NE(printer.ErrorMessage().find("Permission denied"), std::string::npos);
    EXPECT_FALSE(printer.ClosePort());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(PrinterTest, FailedWriteClosesThePortAndStopsSending) {
    port.FailWriteAfter(30, "No space left on device");
    Printer printer(config, port);
    ASSERT_TRUE(printer.OpenPort());
    printer.SetVertPos(100);  // bytes 25..31: the write fails here
    EXPECT_TRUE(printer.Failed());
    EXPECT_FALSE(port.IsOpen());
    printer.PutString("more");
    EXPECT_FALSE(printer.ClosePort());
    EXPECT_EQ(port.Bytes().size(), 30u);  // nothing after the failure, no form feed
    EXPECT_NE(printer.ErrorMessage().find("No space left on device"), std::string::npos);
    EXPECT_NE(printer.ErrorMessage().find("lpt1"), std::string::npos);
}

TEST_F(PrinterTest, FailedCloseIsReported) {
    port.FailClose("Input/output error");
    Printer printer(config, port);
    ASSERT_TRUE(printer.OpenPort());
    EXPECT_FALSE(printer.ClosePort());
    EXPECT_NE(printer.ErrorMessage().find("Input/output error"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(PrinterTest, PositionOutsideRangeIsNeverEncoded) {
    Printer printer(config, port);
    ASSERT_TRUE(printer.OpenPort());
    printer.SetVertPos(-1);
    EXPECT_TRUE(printer.Failed());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Bytes(), InitSeries());
    EXPECT_FALSE(printer.ClosePort());

    Printer second(config, port);
    ASSERT_TRUE(second.OpenPort());
    second.SetHorzPos(32768);
    EXPECT_FALSE(second.ClosePort());
    EXPECT_EQ(port.Bytes(), InitSeries());
}

TEST_F(PrinterTest, PortIsReleasedWhenAJobIsAbandoned) {
    {
        Printer printer(config, port);
        ASSERT_TRUE(printer.OpenPort());
        EXPECT_TRUE(port.IsOpen());
    }
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace vexa::test
