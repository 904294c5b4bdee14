#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "platform/SystemError.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

using test::Hives;

TEST(RegistryTest, KeysAndValuesPersistInRegeditFormatAndNamesIgnoreLetterCase) {
    test::TempDir dir;
    {
        RegistryRoot reg(Hives(dir));
        auto root = reg.OpenKey("\\HKEY_CURRENT_USER");
        ASSERT_TRUE(root);
        ASSERT_TRUE(root->AddSubkey("Software"));
        EXPECT_FALSE(root->AddSubkey("SOFTWARE"));
        auto sw = reg.OpenKey("\\hkey_current_user\\Software\\");
        ASSERT_TRUE(sw);
        EXPECT_TRUE(sw->AddValue("Cesta", W("C:\\Pasy \"nové\" Žďár")));
        EXPECT_FALSE(sw->AddValue("CESTA", "x"));
        EXPECT_TRUE(sw->AddSubkey(W("Prázdný")));
        EXPECT_FALSE(reg.OpenKey("\\HKEY_CURRENT_USER\\Missing"));
        EXPECT_FALSE(reg.OpenKey("\\HKEY_NOWHERE"));
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

    // A line end would break the value's line in the file.
    RegistryRoot writable(Hives(dir));
    auto cu = writable.OpenKey("\\HKEY_CURRENT_USER");
    EXPECT_FALSE(cu->AddValue("a", "one\ntwo"));
    EXPECT_FALSE(cu->AddSubkey("a\rb"));
    EXPECT_FALSE(std::filesystem::exists(dir / "cu.reg"));
}

// Windows-1250 text as UTF-16LE with a byte-order mark, as Windows' registry editor saves.
std::string Utf16(std::string_view cp1250) {
    std::string out = "\xFF\xFE";
    for (char c : cp1250) {
        const char32_t u = Cp1250::CharOf(static_cast<unsigned char>(c));
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string WithLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}

// The program's values next to another program's key and values of other kinds, whatever form
// the file came in (a comment, a value continued on the next line, the default value, a key
// of another root); the first change writes it back in the program's own form, every key and
// value kept.
TEST(RegistryTest, ReadsWindowsExportsAndAnyLineEndsAndKeepsOtherPrograms) {
    const std::string body = W(
        "\n; comment\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Jiný "
        "program]\n\"Velikost\"=dword:00000010\n\"Cesta\"=hex(2):25,00,54,00,\\\n  45,00,00,00\n"
        "@=\"výchozí\"\n\n[HKEY_CURRENT_USER\\Software\\Lomar\\Vexa]\n\"Port\"=\"lpt2\"\n"
        "\"Vydejce\"=\"Úřad \\\"Žďár\\\" C:\\\\\"\n[HKEY_LOCAL_MACHINE\\Elsewhere]\n\"x\"=\"y\"\n");
    const struct {
        const char* form;
        std::string bytes;
    } cases[] = {
        {"UTF-16LE export",
         Utf16(WithLineEnds("Windows Registry Editor Version 5.00\n" + body, "\r\n"))},
        {"CR only", WithLineEnds("REGEDIT4\n" + body, "\r")},
        {"LF only", "REGEDIT4\n" + body},
        {"CR LF", WithLineEnds("REGEDIT4\n" + body, "\r\n")},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        test::WriteFile(dir / "cu.reg", c.bytes);
        RegistryRoot reg(Hives(dir));
        auto vexa = reg.OpenKey("\\HKEY_CURRENT_USER\\Software\\Lomar\\Vexa");
        ASSERT_TRUE(vexa) << c.form;
        ASSERT_EQ(vexa->ValueCount(), 2) << c.form;
        EXPECT_EQ(vexa->ValueData(1), W("Úřad \"Žďár\" C:\\")) << c.form;
        EXPECT_TRUE(reg.Problems().empty()) << c.form;
        auto other = reg.OpenKey(W("\\HKEY_CURRENT_USER\\Software\\Jiný program"));
        ASSERT_TRUE(other && other->ValueCount() == 3) << c.form;
        EXPECT_EQ(other->ValueData(1), "hex(2):25,00,54,00,45,00,00,00") << c.form;
        EXPECT_EQ(other->ValueName(2), "") << c.form;
        EXPECT_FALSE(reg.OpenKey("\\HKEY_LOCAL_MACHINE\\Elsewhere")) << c.form;
        ASSERT_TRUE(vexa->SetValueData(0, "lpt1")) << c.form;
        EXPECT_EQ(test::ReadFile(dir / "cu.reg"),
                  W("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Jiný program]\r\n"
                    "\"Velikost\"=dword:00000010\r\n\"Cesta\"=hex(2):25,00,54,00,45,00,00,00\r\n"
                    "@=\"výchozí\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Lomar\\Vexa]\r\n"
                    "\"Port\"=\"lpt1\"\r\n\"Vydejce\"=\"Úřad \\\"Žďár\\\" C:\\\\\"\r\n\r\n"
                    "[HKEY_LOCAL_MACHINE\\Elsewhere]\r\n\"x\"=\"y\"\r\n\r\n"))
            << c.form;
    }
}

TEST(RegistryTest, AHiveNotUnderstoodIsNeverOverwrittenAndSaysWhy) {
    std::string deep = "REGEDIT4\r\n[HKEY_CURRENT_USER";
    for (int i = 0; i < 100000; ++i)
        deep += "\\k";
    deep += "]\r\n";
    const std::string noHeader =
        W("soubor nezačíná řádkem REGEDIT4 ani Windows Registry Editor Version 5.00");
    const struct {
        const char* name;
        std::optional<std::string> bytes;  // nothing: a directory stands there
        std::string reason;
        bool valuesRead;
    } cases[] = {
        {"directory", std::nullopt, SystemError::Text(EISDIR), false},
        {"no header", "[HKEY_CURRENT_USER\\A]\r\n", noHeader, false},
        {"cut UTF-16", std::string("\xFF\xFER\0E\0G", 7), noHeader, false},
        {"stray line", "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\nnonsense\r\n",
         W("řádek 3 nemá tvar zápisu registru"), false},
        {"open quote", "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"b\n",
         W("řádek 4 nemá tvar zápisu registru"), false},
        {"value outside a key", "REGEDIT4\r\n\"a\"=\"b\"\r\n",
         W("řádek 2 nemá tvar zápisu registru"), false},
        {"100,000 levels", deep, W("klíč na řádku 2 je vnořen hlouběji než 512 úrovní"), false},
        {"Cyrillic",
         Utf16(W("REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"")) +
             std::string("\x16\x04\"\0", 4),
         W("obsahuje znaky, které kódování Windows-1250 neumí zapsat; hodnoty byly načteny, "
           "ale soubor se nepřepisuje"),
         true},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        if (c.bytes) {
            test::WriteFile(dir / "cu.reg", *c.bytes);
        } else {
            std::filesystem::create_directory(dir / "cu.reg");
        }
        RegistryRoot reg(Hives(dir));
        auto root = reg.OpenKey("\\HKEY_CURRENT_USER");
        ASSERT_TRUE(root) << c.name;
        EXPECT_EQ(root->SubkeyNames().size(), c.valuesRead ? 1u : 0u) << c.name;
        EXPECT_FALSE(root->AddSubkey("Software")) << c.name;
        if (c.bytes) {
            EXPECT_EQ(test::ReadFile(dir / "cu.reg"), *c.bytes) << c.name;
        }
        auto problems = reg.Problems();
        ASSERT_EQ(problems.size(), 1u) << c.name;
        EXPECT_EQ(problems[0].Root, "HKEY_CURRENT_USER");
        EXPECT_EQ(problems[0].File, dir / "cu.reg");
        EXPECT_EQ(problems[0].Reason, c.reason) << c.name;
        EXPECT_EQ(problems[0].ValuesRead, c.valuesRead) << c.name;
    }
}

TEST(RegistryTest, AKeyAtTheDepthLimitIsReadAndWrittenBack) {
    test::TempDir dir;
    std::string path = "HKEY_USERS";
    for (int i = 0; i < RegistryHive::kMaxDepth; ++i)
        path += "\\k";
    const std::string text = "REGEDIT4\r\n\r\n[" + path + "]\r\n\"a\"=\"b\"\r\n\r\n";
    test::WriteFile(dir / "users.reg", text);
    RegistryRoot reg(Hives(dir));
    auto key = reg.OpenKey(path);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetValueData(0, "b"));
    EXPECT_EQ(test::ReadFile(dir / "users.reg"), text);
}

}  // namespace
}  // namespace vexa
