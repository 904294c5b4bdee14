#include "printing/Printer.h"

#include <fcntl.h>
#include <grp.h>
#include <iconv.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/SystemError.h"
#include "platform/port/DevicePortOpener.h"
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

// Every character both code pages hold gets its ISO 8859-2 code, as the system's converter
// gives it; the others have none.
TEST_F(PrinterTest, Latin2CodesAreTheSystemConvertersForAll256Bytes) {
    const iconv_t cd = ::iconv_open("ISO-8859-2", "CP1250");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b), out = 0;
        char *inp = &in, *outp = &out;
        std::size_t inLeft = 1, outLeft = 1;
        const bool converted = ::iconv(cd, &inp, &inLeft, &outp, &outLeft) == 0;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const auto expected = converted
                                  ? std::optional<unsigned char>(static_cast<unsigned char>(out))
                                  : std::nullopt;
        EXPECT_EQ(Printer::Latin2Of(static_cast<unsigned char>(b)), expected) << "byte " << b;
    }
    ::iconv_close(cd);
    EXPECT_EQ(Printer::ToLatin2(W("ŠŤŽšťžČŘÁĽĄ„")),
              "\xA9\xAB\xAE\xB9\xBB\xBE\xC8\xD8\xC1\xA5\xA1?");
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

// A device the user may not write to (root is made nobody first, as root may write anywhere):
// the message names the device's group and what helps.
TEST_F(PrinterTest, ADeviceWithoutRightsNamesItsGroupAndWhatHelps) {
    TempDir dev;
    const std::string lp0 = dev / "lp0";
    WriteFile(lp0, "");
    ::chmod(dev.Path().c_str(), 0755);
    ::chmod(lp0.c_str(), ::geteuid() == 0 ? 0660 : 0);
    struct stat st {};
    ASSERT_EQ(::stat(lp0.c_str(), &st), 0);
    const std::string expected =
        W("Tiskárnu na portu „lpt1“ (") + lp0 +
        W(") nelze otevřít: program nemá právo do zařízení zapisovat. Pomůže, když správce "
          "počítače přidá uživatele do skupiny „") +
        ::getgrgid(st.st_gid)->gr_name +
        W("“, které zařízení patří (platí od příštího přihlášení), nebo tisk přes tiskovou "
          "frontu systému (port „tiskárna:…“ v nastavení). Nic nebylo vytištěno.");
    DevicePortOpener opener(nullptr, dev.Path());
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(2);
            Printer printer(config, opener);
            const bool opened = printer.OpenPort();
            std::fprintf(stderr, "%s\n", printer.ErrorMessage().c_str());
            std::_Exit(!opened && printer.ErrorMessage() == expected ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// On real ports: a printer that takes no bytes is given up on after the stall timeout, and a
// reader that goes away is an ordinary write failure; neither hangs nor ends the program.
TEST_F(PrinterTest, ADeadPrinterOrAVanishedReaderStopsTheJobWithAMessage) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        GTEST_SKIP() << "no pseudo-terminals here";
    }
    // A serial line whose other end never reads, as a printer that is off-line.
    const std::string line = ::ptsname(master);
    Set(cfg::Port, line);
    DevicePortOpener opener;
    opener.SetStallTimeout(std::chrono::milliseconds(200));
    Printer stalled(config, opener);
    ASSERT_TRUE(stalled.OpenPort());
    stalled.PutString(std::string(1 << 20, 'x'));  // far more than the line holds
    EXPECT_FALSE(stalled.IsOpen());
    EXPECT_FALSE(stalled.ClosePort());
    EXPECT_EQ(stalled.ErrorMessage(),
              W("Tiskárna na portu „") + line +
                  W("“ nepřijímá data (je vypnutá, není ve stavu on-line nebo v ní došel papír). "
                    "Tisk byl zastaven; stránka nemusí být vytištěna celá."));
    ::close(master);

    // A pipe whose reader closes in the middle of the job, with SIGPIPE as the system leaves it.
    const auto oldAction = ::signal(SIGPIPE, SIG_DFL);
    TempDir dir;
    const std::string fifo = dir / "printer";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Set(cfg::Port, fifo);
    Printer orphaned(config, opener);
    ASSERT_TRUE(orphaned.OpenPort());
    ::close(reader);
    orphaned.PutString("x");
    EXPECT_FALSE(orphaned.ClosePort());
    EXPECT_EQ(orphaned.ErrorMessage(), W("Tisk na tiskárnu na portu „") + fifo + W("“ selhal: ") +
                                           SystemError::Text(EPIPE) +
                                           W(". Stránka nemusí být vytištěna celá."));
    sigset_t pending;
    ::sigpending(&pending);
    EXPECT_FALSE(::sigismember(&pending, SIGPIPE));
    ::signal(SIGPIPE, oldAction);
}

}  // namespace
}  // namespace vexa::test
