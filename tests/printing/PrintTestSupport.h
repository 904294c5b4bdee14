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

// The sample holder's data page where the settings place it, texts in Windows-1250: normal
// insertion from the row `v` in the columns h, h1 and h2, a row per 90; reverse insertion upside
// down at 10 cpi (wrapped or not), the items in the opposite order and the columns mirrored.
inline std::vector<PlacedText> SampleNormal(int v, int h, int h1, int h2) {
    return {{v + 30, h2, 0, false, "40123456"},       {v + 90, h, 0, false, W("ŠŤASTNÁ")},
            {v + 180, h, 0, false, W("ŽOFIE")},       {v + 360, h, 0, false, "12.06.1985"},
            {v + 360, h2, 0, false, "855612/1234"},   {v + 450, h, 0, false, "F"},
            {v + 450, h1, 0, false, W("TŘEBÍČ")},     {v + 540, h, 0, false, "01.02.2020"},
            {v + 540, h2, 0, false, W("MÚ ŠUMPERK")}, {v + 630, h, 0, false, "01.02.2030"}};
}
inline std::vector<PlacedText> SampleReverse(int v, int h, int h1, int h2, bool w) {
    return {{v, h2, 10, w, "01.02.2030"},       {v + 90, h, 10, w, W("MÚ ŠUMPERK")},
            {v + 90, h2, 10, w, "01.02.2020"},  {v + 180, h1, 10, w, W("TŘEBÍČ")},
            {v + 180, h2, 10, w, "F"},          {v + 270, h, 10, w, "855612/1234"},
            {v + 270, h2, 10, w, "12.06.1985"}, {v + 450, h2, 10, w, W("ŽOFIE")},
            {v + 540, h2, 10, w, W("ŠŤASTNÁ")}, {v + 630, h, 10, w, "40123456"}};
}

// The Slovak, Polish and Hungarian letters Windows-1250 and ISO 8859-2 code differently or at
// 80..9F, and their ISO 8859-2 bytes.
inline std::string CentralEuropean() {
    return W("ĽľĹĺŔŕĄąŚśŹźŻżŁłŃńŐőŰű");
}
const std::string kCentralEuropeanLatin2 =
    "\xA5\xB5\xC5\xE5\xC0\xE0\xA1\xB1\xA6\xB6\xAC\xBC\xAF\xBF\xA3\xB3\xD1\xF1\xD5\xF5\xDB\xFB";

// True when no text of the page holds a byte from 80 to 9F, which ISO 8859-2 leaves to control
// codes (the printer may take 8C as a form feed, 9B as ESC).
inline bool NoC1Codes(const EscpPage& page) {
    for (const PlacedText& t : page.Texts) {
        for (const char c : t.Text) {
            if (static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) <= 0x9F)
                return false;
        }
    }
    return page.Errors.empty();
}

// Reads a stream the way the target printer does, for the commands the program uses. Written on
// its own from the printer's command reference, so it checks the encoder instead of repeating it.
EscpPage ReadEscp(std::string_view bytes);

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
