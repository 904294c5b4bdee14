#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/port/MemoryPortOpener.h"
#include "printing/EscpReader.h"
#include "printing/Notifier.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"
#include "support/TestSupport.h"

namespace vexa::test {

// Keeps every warning a job gives.
class CollectingNotifier : public Notifier {
  public:
    void Warn(const std::string& message) override { Messages.push_back(message); }
    std::vector<std::string> Messages;
};

// The 25 bytes every job starts with, written out from the printer's manual.
inline std::string InitSeries() {
    return std::string(
        "\x14\x14\x1B\x59\x01"
        "\x14\x14\x1B\x53\x02\x1B\x52\x00"
        "\x1B\x78\x01"
        "\x1B\x6B\x01"
        "\x1B\x6C\x00"
        "\x1B\x2B\x5A",
        25);
}

// Factory settings, an in-memory port and a notifier; no registry file is touched.
class PrintTest : public ::testing::Test {
  protected:
    PrintTest() : registry(std::map<std::string, std::string>{}), config(registry) {}

    void Set(cfg::Setting s, const std::string& value) { config.Set(s, value); }
    EscpPage Page() const { return EscpReader::Read(port.Bytes()); }
    // The single warning given, "" when none (a second one fails the test).
    std::string Warning() const {
        EXPECT_LE(notes.Messages.size(), 1u);
        return notes.Messages.empty() ? std::string() : notes.Messages.front();
    }
    // Nothing reached the printer: the port was never asked for.
    void ExpectNothingSent() const {
        EXPECT_EQ(port.OpenCount(), 0);
        EXPECT_EQ(port.Bytes(), "");
        EXPECT_EQ(notes.Messages.size(), 1u);
    }

    RegistryRoot registry;
    Config config;
    MemoryPortOpener port;
    CollectingNotifier notes;
};

}  // namespace vexa::test
