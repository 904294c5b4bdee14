#include "platform/port/DevicePortOpener.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/Registry.h"
#include "platform/SystemError.h"
#include "platform/port/DeviceSink.h"
#include "platform/port/PreviewPortOpener.h"
#include "support/TestSupport.h"

namespace vexa::test {
namespace {

TEST(DevicePortOpenerTest, PortNamesMapToDevicesOrTheMachineHive) {
    TempDir dev;
    std::filesystem::create_directories(dev / "usb");
    WriteFile(dev / "lp0", "");
    WriteFile(dev / "usb/lp1", "");
    DevicePortOpener opener(nullptr, dev.Path());
    EXPECT_EQ(opener.DeviceFor("LPT1"), dev / "lp0");
    EXPECT_EQ(opener.DeviceFor("lpt2"), dev / "usb/lp1");  // only the USB printer exists
    EXPECT_EQ(opener.DeviceFor("lpt3"), dev / "lp2");      // neither: the parallel name
    EXPECT_EQ(opener.DeviceFor("com2"), dev / "ttyS1");
    EXPECT_EQ(opener.DeviceFor("/tmp/out.prn"), "/tmp/out.prn");
    EXPECT_EQ(opener.DeviceFor("com3") + opener.DeviceFor("lpt4") + opener.DeviceFor("x"), "");

    TempDir hives;
    WriteFile(hives / "lm.reg",
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa\\Ports]\r\n"
              "\"LPT1\"=\"/dev/usb/lp3\"\r\n\"com1\"=\"lpt2\"\r\n\"lpt2\"=\"\"\r\n");
    RegistryRoot registry(
        std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", hives / "lm.reg"}});
    DevicePortOpener mapped(&registry, dev.Path());
    EXPECT_EQ(mapped.DeviceFor("lpt1"), "/dev/usb/lp3");   // names compare ignoring case
    EXPECT_EQ(mapped.DeviceFor("com1"), dev / "usb/lp1");  // mapped to another port name
    EXPECT_EQ(mapped.DeviceFor("lpt2"), dev / "usb/lp1");  // an empty value maps nothing
}

TEST(DevicePortOpenerTest, FileGetsTheExactBytesAndMissingDeviceIsNotCreated) {
    TempDir dev;
    DevicePortOpener opener(nullptr, dev.Path());
    const std::string file = dev.Path() + "-out.prn";  // outside the device directory
    PortOpening first = opener.Open(file, {});
    ASSERT_TRUE(first.Sink) << first.Reason;
    ASSERT_TRUE(first.Sink->Write(AllBytes()));
    ASSERT_TRUE(first.Sink->Close());
    EXPECT_EQ(ReadFile(file), AllBytes());
    PortOpening second = opener.Open(file, {});  // the next job replaces the file
    ASSERT_TRUE(second.Sink && second.Sink->Write("\x0A"));
    second.Sink.reset();  // released without Close: still closed
    EXPECT_EQ(ReadFile(file), "\x0A");
    std::filesystem::remove(file);

    PortOpening missing = opener.Open("lpt1", {});
    EXPECT_FALSE(missing.Sink);
    EXPECT_EQ(missing.Device, dev / "lp0");
    EXPECT_EQ(missing.Reason, SystemError::Text(ENOENT));
    EXPECT_FALSE(std::filesystem::exists(dev / "lp0"));
    EXPECT_EQ(opener.Open("lpt9", {}).Reason, W("neznámý název portu"));
}

TEST(DevicePortOpenerTest, FailedWriteGivesTheSystemReason) {
    PortOpening full = DevicePortOpener().Open("/dev/full", {});
    if (!full.Sink) {
        GTEST_SKIP() << "no /dev/full here";
    }
    EXPECT_FALSE(full.Sink->Write("data"));
    EXPECT_EQ(full.Sink->Error(), SystemError::Text(ENOSPC));
}

// A pseudo-terminal stands in for the serial line: its slave side is opened like a port and
// the master side shows what left the line.
TEST(DevicePortOpenerTest, SerialLineIsRawSoEveryByteLeavesUnchanged) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        GTEST_SKIP() << "no pseudo-terminals here";
    }
    DevicePortOpener opener;
    PortOpening opening = opener.Open(::ptsname(master), {});
    ASSERT_TRUE(opening.Sink) << opening.Reason;
    const std::string bytes = AllBytes();
    ASSERT_TRUE(opening.Sink->Write(bytes));
    ASSERT_TRUE(opening.Sink->Close());  // drained

    std::string arrived;
    char buf[512];
    pollfd p{master, POLLIN, 0};
    while (arrived.size() < bytes.size() && ::poll(&p, 1, 2000) > 0) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        arrived.append(buf, static_cast<std::size_t>(n));
    }
    ::close(master);
    EXPECT_EQ(arrived, bytes);  // 0A arrives as 0A, not 0D 0A
}

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
