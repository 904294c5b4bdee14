#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

std::map<std::string, std::string> Hives(const test::TempDir& dir) {
    return {{"HKEY_CURRENT_USER", dir / "cu.reg"},
            {"HKEY_USERS", dir / "users.reg"},
            {"HKEY_LOCAL_MACHINE", dir / "lm.reg"}};
}

TEST(RegistryTest, KeysAndValuesPersistInRegeditFormat) {
    test::TempDir dir;
    {
        RegistryRoot reg(Hives(dir));
        auto root = reg.OpenKey("\\HKEY_CURRENT_USER");
        ASSERT_TRUE(root);
        ASSERT_TRUE(root->AddSubkey("Software"));
        auto sw = reg.OpenKey("\\HKEY_CURRENT_USER\\Software\\");
        ASSERT_TRUE(sw);
        EXPECT_TRUE(sw->AddValue("Cesta", W("C:\\Pasy \"nové\" Žďár")));
        EXPECT_TRUE(sw->AddSubkey(W("Prázdný")));
    }
    EXPECT_EQ(test::ReadFile(dir / "cu.reg"), W("REGEDIT4\r\n\r\n"
                                                "[HKEY_CURRENT_USER\\Software]\r\n"
                                                "\"Cesta\"=\"C:\\\\Pasy \\\"nové\\\" Žďár\"\r\n\r\n"
                                                "[HKEY_CURRENT_USER\\Software\\Prázdný]\r\n\r\n"));
    RegistryRoot again(Hives(dir));
    auto sw = again.OpenKey("HKEY_CURRENT_USER\\software");
    ASSERT_TRUE(sw);
    ASSERT_EQ(sw->ValueCount(), 1);
    EXPECT_EQ(sw->ValueData(0), W("C:\\Pasy \"nové\" Žďár"));
    EXPECT_EQ(sw->SubkeyNames(), std::vector<std::string>{W("Prázdný")});
}

TEST(RegistryTest, NamesIgnoreLetterCase) {
    test::TempDir dir;
    RegistryRoot reg(Hives(dir));
    auto root = reg.OpenKey("\\HKEY_USERS\\");
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->AddSubkey(".DEFAULT"));
    EXPECT_FALSE(root->AddSubkey(".default"));
    auto key = reg.OpenKey("\\hkey_users\\.Default");
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->AddValue("Port", "lpt1"));
    EXPECT_FALSE(key->AddValue("PORT", "lpt2"));
    EXPECT_EQ(key->ValueCount(), 1);
    EXPECT_FALSE(reg.OpenKey("\\HKEY_USERS\\Missing"));
    EXPECT_FALSE(reg.OpenKey("\\HKEY_NOWHERE"));
}

TEST(RegistryTest, ReadsHandWrittenFilesAndKeepsOtherKinds) {
    test::TempDir dir;
    test::WriteFile(dir / "lm.reg",
                    "REGEDIT4\n\n; comment\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\n"
                    "\"path\"=\"/srv/pasy\"\n\"Pocet\"=dword:00000010\n\"Bin\"=hex:01,02,\\\n"
                    "  03\n@=\"default\"\n[HKEY_CURRENT_USER\\Elsewhere]\n\"x\"=\"y\"\n");
    RegistryRoot reg(Hives(dir));
    auto key = reg.OpenKey("\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa");
    ASSERT_TRUE(key);
    ASSERT_EQ(key->ValueCount(), 4);
    EXPECT_EQ(key->ValueData(0), "/srv/pasy");
    EXPECT_EQ(key->ValueData(2), "hex:01,02,03");
    EXPECT_EQ(key->ValueName(3), "");
    EXPECT_FALSE(reg.OpenKey("\\HKEY_LOCAL_MACHINE\\Elsewhere"));
    ASSERT_TRUE(key->SetValueData(0, "/srv/jinde"));
    std::string text = test::ReadFile(dir / "lm.reg");
    EXPECT_NE(text.find("\"Pocet\"=dword:00000010\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"path\"=\"/srv/jinde\"\r\n"), std::string::npos);
}

TEST(RegistryTest, AChangeThatCannotBeWrittenIsUndone) {
    test::TempDir dir;
    test::WriteFile(dir / "blocker", "a file, not a directory");
    RegistryRoot reg(
        std::map<std::string, std::string>{{"HKEY_CURRENT_USER", dir / "blocker/cu.reg"}});
    auto root = reg.OpenKey("\\HKEY_CURRENT_USER");
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->AddSubkey("Software"));
    EXPECT_TRUE(root->SubkeyNames().empty());
    EXPECT_FALSE(root->AddValue("a", "b"));
    EXPECT_EQ(root->ValueCount(), 0);
}

TEST(RegistryTest, AHiveThatCannotBeReadIsNeverOverwritten) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "cu.reg");  // exists, cannot be read as a file
    RegistryRoot reg(Hives(dir));
    auto root = reg.OpenKey("\\HKEY_CURRENT_USER");
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->AddSubkey("Software"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "cu.reg"));
}

}  // namespace
}  // namespace vexa
