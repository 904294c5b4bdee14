#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "platform/port/MemoryPortOpener.h"
#include "printing/Notifier.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"
#include "support/TestSupport.h"

namespace vexa::test {

// One run of text as the printer places it.
struct PlacedText {
    int Vert = 0;          // 1/360 inch below the top of the form
    int Horz = 0;          // 1/60 inch right of the left margin
    int Pitch = 0;         // 10, 12, 15 characters per inch; 0 when none was selected
    bool Wrapped = false;  // inside the printer's reverse-text wrapper
    std::string Text;

    bool operator==(const PlacedText&) const = default;
};
std::ostream& operator<<(std::ostream& out, const PlacedText& t);

// What a byte stream does to the printer.
struct EscpPage {
    std::vector<PlacedText> Texts;    // an empty wrapped text counts: the job sent it
    std::vector<std::string> Errors;  // bytes the printer would not understand
    int FormFeeds = 0;
    bool EndsWithFormFeed = false;

    std::vector<PlacedText> Printed() const;       // the texts that are not empty
    PlacedText Find(std::string_view text) const;  // Text "<missing>" when none matches
};

// Reads a stream the way the target printer does, for the commands the program uses. Written on
// its own from the printer's command reference, so it checks the encoder instead of repeating it.
EscpPage ReadEscp(std::string_view bytes);

// A literal with its NUL bytes.
template <std::size_t N>
std::string B(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

// The 25 bytes every job starts with, written out from the printer's manual.
inline std::string InitSeries() {
    return B("\x14\x14\x1BY\x01\x14\x14\x1BS\x02\x1BR\x00\x1Bx\x01\x1Bk\x01\x1Bl\x00\x1B+\x5A");
}

class CollectingNotifier : public Notifier {
  public:
    void Warn(const std::string& message) override { Messages.push_back(message); }
    std::vector<std::string> Messages;
};

// Factory settings, an in-memory port and a notifier; no registry file is touched.
class PrintTest : public ::testing::Test {
  protected:
    PrintTest() : registry(std::map<std::string, std::string>{}), config(registry) {}

    void Set(cfg::Setting s, const std::string& value) { config.Set(s, value); }
    // Factory settings, a fresh port and no warnings.
    void Reset() {
        config.ResetSettings();
        notes.Messages.clear();
        port = MemoryPortOpener();
    }
    // Reset, then the changes "Name=value Name=value" (names as in the registry).
    void Apply(const std::string& changes) {
        Reset();
        std::istringstream in(changes);
        for (std::string change; in >> change;) {
            const std::size_t eq = change.find('=');
            int s = 0;
            while (s < Config::kCount && config.Name(cfg::Setting(s)) != change.substr(0, eq))
                ++s;
            ASSERT_LT(s, Config::kCount) << change;
            Set(cfg::Setting(s), change.substr(eq + 1));
        }
    }
    EscpPage Page() const { return ReadEscp(port.Bytes()); }
    // The single warning given, "" when none.
    std::string Warning() const {
        EXPECT_LE(notes.Messages.size(), 1u);
        return notes.Messages.empty() ? std::string() : notes.Messages.front();
    }
    // Refused before the port was asked for, with one warning naming `cause`.
    void ExpectRefused(bool printed, const std::string& cause) {
        EXPECT_FALSE(printed);
        EXPECT_EQ(port.OpenCount(), 0);
        EXPECT_EQ(notes.Messages.size(), 1u);
        EXPECT_NE(Warning().find(cause), std::string::npos) << Warning();
    }
    // A whole page printed without a warning.
    void ExpectPage(bool printed, const std::vector<PlacedText>& expected) {
        SCOPED_TRACE(testing::PrintToString(expected.front()));
        EXPECT_TRUE(printed);
        const EscpPage page = Page();
        EXPECT_TRUE(page.Errors.empty());
        EXPECT_EQ(page.FormFeeds, 1);
        EXPECT_TRUE(page.EndsWithFormFeed);
        EXPECT_EQ(page.Printed(), expected);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_TRUE(notes.Messages.empty());
    }

    RegistryRoot registry;
    Config config;
    MemoryPortOpener port;
    CollectingNotifier notes;
};

}  // namespace vexa::test
