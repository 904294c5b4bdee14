#include "platform/port/DevicePortOpener.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "platform/Registry.h"
#include "platform/port/DeviceSink.h"
#include "printing/Printer.h"
#include "settings/Config.h"
#include "support/TestSupport.h"

namespace vexa::test {
namespace {

// A directory standing in for /dev.
class DevicePortOpenerTest : public ::testing::Test {
  protected:
    void Touch(const std::string& name) {
        std::filesystem::create_directories(std::filesystem::path(dev / name).parent_path());
        WriteFile(dev / name, "");
    }
    TempDir dev;
};

TEST_F(DevicePortOpenerTest, PortNamesMapToDevices) {
    DevicePortOpener opener(nullptr, dev.Path());
    Touch("lp0");
    Touch("usb/lp1");
    EXPECT_EQ(opener.DeviceFor("lpt1"), dev / "lp0");
    EXPECT_EQ(opener.DeviceFor("LPT1"), dev / "lp0");
    EXPECT_EQ(opener.DeviceFor("lpt2"), dev / "usb/lp1");  // only the USB printer exists
    EXPECT_EQ(opener.DeviceFor("lpt3"), dev / "lp2");      // neither: the parallel name
    EXPECT_EQ(opener.DeviceFor("com1"), dev / "ttyS0");
    EXPECT_EQ(opener.DeviceFor("com2"), dev / "ttyS1");
    EXPECT_EQ(opener.DeviceFor("/tmp/out.prn"), "/tmp/out.prn");
    EXPECT_EQ(opener.DeviceFor("lpt4"), "");
    EXPECT_EQ(opener.DeviceFor("com3"), "");
    EXPECT_EQ(opener.DeviceFor("printer"), "");
    EXPECT_EQ(opener.DeviceFor(""), "");
}

TEST_F(DevicePortOpenerTest, MachineHiveMayMapAName) {
    TempDir hives;
    WriteFile(hives / "lm.reg",
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa\\Ports]\r\n"
              "\"LPT1\"=\"/dev/usb/lp3\"\r\n\"com1\"=\"lpt2\"\r\n\"lpt2\"=\"\"\r\n");
    RegistryRoot registry(
        std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", hives / "lm.reg"}});
    DevicePortOpener opener(&registry, dev.Path());
    EXPECT_EQ(opener.DeviceFor("lpt1"), "/dev/usb/lp3");  // names compare ignoring case
    EXPECT_EQ(opener.DeviceFor("com1"), dev / "lp1");     // mapped to another port name
    EXPECT_EQ(opener.DeviceFor("lpt2"), dev / "lp1");     // an empty value maps nothing
    EXPECT_EQ(opener.DeviceFor("com2"), dev / "ttyS1");

    DevicePortOpener noHive(nullptr, dev.Path());
    EXPECT_EQ(noHive.DeviceFor("lpt1"), dev / "lp0");
}

TEST_F(DevicePortOpenerTest, FileGetsTheExactBytesAndIsReplacedByTheNextJob) {
    DevicePortOpener opener(nullptr, dev.Path());
    const std::string file = dev.Path() + "-out.prn";  // outside the device directory
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    PortOpening first = opener.Open(file);
    ASSERT_TRUE(first.Sink) << first.Reason;
    EXPECT_EQ(first.Device, file);
    ASSERT_TRUE(first.Sink->Write(all));
    ASSERT_TRUE(first.Sink->Close());
    EXPECT_EQ(ReadFile(file), all);

    PortOpening second = opener.Open(file);
    ASSERT_TRUE(second.Sink);
    ASSERT_TRUE(second.Sink->Write("\x0A"));
    second.Sink.reset();  // released without Close: still closed
    EXPECT_EQ(ReadFile(file), "\x0A");
    std::filesystem::remove(file);
}

TEST_F(DevicePortOpenerTest, MissingDeviceIsNotCreated) {
    DevicePortOpener opener(nullptr, dev.Path());
    PortOpening opening = opener.Open("lpt1");
    EXPECT_FALSE(opening.Sink);
    EXPECT_EQ(opening.Device, dev / "lp0");
    EXPECT_EQ(opening.Reason, DeviceSink::SystemReason(ENOENT));
    EXPECT_FALSE(std::filesystem::exists(dev / "lp0"));

    PortOpening unknown = opener.Open("lpt9");
    EXPECT_FALSE(unknown.Sink);
    EXPECT_EQ(unknown.Reason, W("neznámý název portu"));
}

TEST(DeviceSinkTest, FailedWriteGivesTheSystemReason) {
    DevicePortOpener opener;
    PortOpening opening = opener.Open("/dev/full");
    if (!opening.Sink) {
        GTEST_SKIP() << "no /dev/full here";
    }
    EXPECT_FALSE(opening.Sink->Write("data"));
    EXPECT_EQ(opening.Sink->Error(), DeviceSink::SystemReason(ENOSPC));
    EXPECT_FALSE(opening.Sink->Write("more"));
}

TEST(DeviceSinkTest, PrinterOnAFullDeviceTellsPortAndReason) {
    if (::access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full here";
    }
    RegistryRoot registry(std::map<std::string, std::string>{});
    Config config(registry);
    config.Set(cfg::Port, "/dev/full");
    DevicePortOpener opener;
    Printer printer(config, opener);
    EXPECT_FALSE(printer.OpenPort());
    EXPECT_FALSE(printer.IsOpen());
    EXPECT_NE(printer.ErrorMessage().find("/dev/full"), std::string::npos);
    EXPECT_NE(printer.ErrorMessage().find(DeviceSink::SystemReason(ENOSPC)), std::string::npos);
}

// A pseudo-terminal stands in for the serial line: its slave side is opened like a port, and
// the master side shows what left the line.
class SerialLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            GTEST_SKIP() << "no pseudo-terminals here";
        }
        m_slave = ::ptsname(m_master);
    }
    void TearDown() override {
        if (m_master >= 0) {
            ::close(m_master);
        }
    }
    // Everything that arrives at the master within a short while.
    std::string Arrived(std::size_t expected) {
        std::string got;
        char buf[512];
        while (got.size() < expected) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0) {
                break;
            }
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }

    int m_master = -1;
    std::string m_slave;
};

TEST_F(SerialLineTest, LineIsRawSoEveryByteLeavesUnchanged) {
    DevicePortOpener opener;
    PortOpening opening = opener.Open(m_slave);
    ASSERT_TRUE(opening.Sink) << opening.Reason;
    auto* sink = dynamic_cast<DeviceSink*>(opening.Sink.get());
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(sink->SinkKind(), DeviceSink::Kind::Serial);

    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string bytes = std::string(
                                  "A\x0A"
                                  "B\x0D\x0A",
                                  5) +
                              all;
    ASSERT_TRUE(opening.Sink->Write(bytes));
    ASSERT_TRUE(opening.Sink->Close());       // drained
    EXPECT_EQ(Arrived(bytes.size()), bytes);  // 0A arrives as 0A, not 0D 0A
}

TEST_F(SerialLineTest, MappedSerialPortIsRawToo) {
    TempDir hives;
    WriteFile(hives / "lm.reg",
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa\\Ports]\r\n"
              "\"com1\"=\"" +
                  m_slave + "\"\r\n");
    RegistryRoot registry(
        std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", hives / "lm.reg"}});
    Config config(registry);
    config.Set(cfg::Port, "com1");
    DevicePortOpener opener(&registry);
    Printer printer(config, opener);
    ASSERT_TRUE(printer.OpenPort()) << printer.ErrorMessage();
    printer.PutString("\x0D\x0A");
    ASSERT_TRUE(printer.ClosePort()) << printer.ErrorMessage();
    const std::string arrived = Arrived(28);
    EXPECT_EQ(arrived.size(), 28u);
    EXPECT_EQ(arrived.substr(25), "\x0D\x0A\x0C");
}

}  // namespace
}  // namespace vexa::test
