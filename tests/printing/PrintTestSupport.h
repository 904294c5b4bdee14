#pragma once

#include <gtest/gtest.h>

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
#include "printing/PageInterpreter.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"
#include "support/TestSupport.h"

namespace vexa::test {

// One run of text as the printer lays it down, as the settings speak of it.
struct PlacedText {
    int Vert = 0;          // 1/360 inch below the top of the form
    int Horz = 0;          // 1/60 inch right of the left margin
    int Pitch = 0;         // 10, 12, 15 characters per inch; 0 when none was selected
    bool Wrapped = false;  // inside the printer's reverse-text wrapper
    std::string Text;      // Windows-1250, read back from the printer's Latin-2

    bool operator==(const PlacedText&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const PlacedText& t) {
    return out << "{v=" << t.Vert << " h=" << t.Horz << " cpi=" << t.Pitch
               << (t.Wrapped ? " wrapped" : "") << " \"" << t.Text << "\"}";
}

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
// 80..9F.
inline std::string CentralEuropean() {
    return W("ĽľĹĺŔŕĄąŚśŹźŻżŁłŃńŐőŰű");
}

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
    // The texts of the one sheet the port's bytes print, read as the printer reads them: every
    // byte understood, the sheet ejected.
    std::vector<PlacedText> Page() const {
        const PrintedJob job = PageInterpreter::Read(port.Bytes());
        EXPECT_TRUE(job.Readable()) << job.Problems.front().Message;
        EXPECT_EQ(job.Pages.size(), 1u);
        std::vector<PlacedText> texts;
        for (const TextRun& r : job.Pages.at(0).Runs)
            texts.push_back({r.Vert, r.Horz, r.Pitch, r.Reversed, r.Text});
        return texts;
    }
    // The run of that text, Text "<missing>" when none is.
    PlacedText Find(std::string_view text) const {
        for (const PlacedText& t : Page()) {
            if (t.Text == text)
                return t;
        }
        return {0, 0, 0, false, "<missing>"};
    }
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
        EXPECT_EQ(Page(), expected);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_TRUE(notes.Messages.empty());
    }

    RegistryRoot registry;
    Config config;
    MemoryPortOpener port;
    CollectingNotifier notes;
};

}  // namespace vexa::test
