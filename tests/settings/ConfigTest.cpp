#include <gtest/gtest.h>

#include <cerrno>

#include "platform/SystemError.h"
#include "settings/Config.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

class ConfigTest : public ::testing::Test {
  protected:
    std::map<std::string, std::string> Hives() const { return test::Hives(dir); }
    // Writes a hive file with the Vexa key holding the given lines.
    void WriteKey(const std::string& file, const std::string& section, const std::string& values) {
        test::WriteFile(dir / file, "REGEDIT4\r\n\r\n[" + section + "\\Software\\Lomar\\Vexa]\r\n" +
                                        values + "\r\n");
    }
    test::TempDir dir;
};

TEST_F(ConfigTest, FirstStartUsesDefaultsAndSavingWritesThirtyStringValues) {
    {
        RegistryRoot reg(Hives());
        Config config(reg);
        config.InitSettings();
        EXPECT_EQ(config.Text(cfg::FontSize), "10 cpi");
        EXPECT_EQ(config.Number(cfg::NVHorzTabNS), -51);
        EXPECT_EQ(config.Name(cfg::DetiHorzTab2OS), "DetiHorzTab2OS");
        // The templates: P1 to P5 and P6 to P10 in two columns 6/60 inch apart, their rows 21/360
        // inch apart.
        std::string templates;
        for (int k = 1; k <= 10; ++k)
            templates += std::to_string(config.Template(k).Horz) + "/" +
                         std::to_string(config.Template(k).Vert) + " ";
        EXPECT_EQ(templates, "0/42 0/21 0/0 0/-21 0/-42 6/42 6/21 6/0 6/-21 6/-42 ");
        auto cu = reg.OpenKey("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa\\");
        ASSERT_TRUE(cu);
        EXPECT_EQ(cu->ValueCount(), 0);
        EXPECT_TRUE(reg.OpenKey("\\HKEY_USERS\\.DEFAULT\\Software\\Lomar\\Vexa"));
        config.Set(cfg::Vydejce, test::W("MěÚ Žďár"));
        config.SaveSettings();
    }
    std::string text = test::ReadFile(dir / "cu.reg");
    EXPECT_NE(text.find("\"NVHorzTabNS\"=\"-51\"\r\n"), std::string::npos);
    EXPECT_NE(text.find(test::W("\"Vydejce\"=\"MěÚ Žďár\"\r\n")), std::string::npos);
    // A second save overwrites the values in place.
    RegistryRoot reg(Hives());
    auto cu = reg.OpenKey("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa");
    ASSERT_TRUE(cu);
    Config config(reg);
    config.InitSettings();
    EXPECT_EQ(config.Text(cfg::Vydejce), test::W("MěÚ Žďár"));
    config.Set(cfg::Port, "com2");
    config.SaveSettings();
    EXPECT_EQ(cu->ValueCount(), 30);
    EXPECT_EQ(cu->ValueData(cfg::Port), "com2");
}

// The current user's values over the default profile's; the defaults, once reset and saved,
// over the current user's.
TEST_F(ConfigTest, CurrentUserOverridesTheDefaultProfileAndResetOverridesBoth) {
    WriteKey("users.reg", "HKEY_USERS\\.DEFAULT",
             "\"Port\"=\"lpt2\"\r\n\"Platnost\"=\"730\"\r\n\"Unknown\"=\"x\"");
    WriteKey("cu.reg", "HKEY_CURRENT_USER", "\"Port\"=\"com1\"\r\n\"Prevod\"=\"0\"");
    RegistryRoot reg(Hives());
    Config config(reg);
    config.InitSettings();
    EXPECT_EQ(config.Text(cfg::Port), "com1");
    EXPECT_EQ(config.Text(cfg::Platnost), "730");
    EXPECT_EQ(config.Text(cfg::Prevod), "0");
    config.ResetSettings();
    config.SaveSettings();
    RegistryRoot again(Hives());
    Config reread(again);
    reread.InitSettings();
    for (cfg::Setting s : {cfg::Port, cfg::Platnost, cfg::Prevod})
        EXPECT_EQ(reread.Text(s), reread.Default(s));
}

TEST_F(ConfigTest, ValueNamesMustMatchExactly) {
    WriteKey("cu.reg", "HKEY_CURRENT_USER", "\"port\"=\"com2\"");
    RegistryRoot reg(Hives());
    Config config(reg);
    config.InitSettings();
    EXPECT_EQ(config.Text(cfg::Port), "lpt1");
    // The registry refuses to add "Port" beside "port", and the exact-name search finds
    // nothing to overwrite: the odd value stays as it was.
    config.Set(cfg::Port, "lpt3");
    config.SaveSettings();
    auto cu = reg.OpenKey("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa");
    ASSERT_TRUE(cu);
    EXPECT_EQ(cu->ValueCount(), 30);
    EXPECT_EQ(cu->ValueName(0), "port");
    EXPECT_EQ(cu->ValueData(0), "com2");
}

// A failed write is reported with the system's reason and loses nothing in memory; the next
// save that can write brings every value to the file.
TEST_F(ConfigTest, RegistryFailuresAreReportedAndLoseNothing) {
    test::WriteFile(dir / "blocker", "");
    RegistryRoot reg(std::map<std::string, std::string>{
        {"HKEY_CURRENT_USER", dir / "blocker/cu.reg"}, {"HKEY_USERS", dir / "blocker/u.reg"}});
    Config config(reg);
    config.InitSettings();
    config.Set(cfg::Port, "com1");
    const FileResult failed = config.SaveSettings();
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, SystemError::Text(ENOTDIR));
    EXPECT_EQ(config.Text(cfg::Port), "com1");
    EXPECT_EQ(config.Text(cfg::TabVert), "90");

    std::filesystem::remove(dir / "blocker");
    EXPECT_TRUE(config.SaveSettings().ok);
    const std::string saved = test::ReadFile(dir / "blocker/cu.reg");
    EXPECT_NE(saved.find("\"Port\"=\"com1\""), std::string::npos);
    EXPECT_NE(saved.find("\"NVHorzTabOS\"=\"142\""), std::string::npos);
}

}  // namespace
}  // namespace vexa
