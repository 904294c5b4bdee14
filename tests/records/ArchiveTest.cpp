#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <optional>

#include "platform/SystemError.h"
#include "records/ArchiveCls.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

class ArchiveTest : public ::testing::Test {
  protected:
    std::string DataDir() const { return dir / "data/Lomar/Vexa"; }
    ArchiveCls Make() { return ArchiveCls(reg, DataDir()); }
    void WriteArchive(const std::string& bytes) {
        std::filesystem::create_directories(DataDir());
        test::WriteFile(DataDir() + "/Archive.db", bytes);
    }

    static ClientsDataCls Rec(std::string number, std::string surname = "X") {
        ClientsDataCls r;
        r.CisloPasu = std::move(number);
        r.Prijmeni = std::move(surname);
        return r;
    }

    test::TempDir dir;
    RegistryRoot reg{std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / "lm.reg"}}};
};

// The installation's hive may name a shared archive in its value "path" (the exact name, the
// last line of it); without a hive the archive is in the data directory. A hive that is there
// but cannot be read leaves the place unknown: no archive file is read or written in that run.
TEST_F(ArchiveTest, TheInstallationsHiveNamesTheArchive) {
    const std::string record = "A;;;;;;;\r\n";
    const std::string unknown =
        W("nastavení instalace se nepodařilo načíst, a proto není známo, kde archiv je; v tomto "
          "běhu se archiv neukládá");
    const struct {
        const char* name;
        std::optional<std::string> hive;  // nothing: a directory stands there; "": no file
        std::string file;                 // "" when the place is unknown
        std::string saveError;            // "" when the save succeeds
    } cases[] = {
        {"no hive", "", DataDir() + "/Archive.db", ""},
        {"path of a directory not made",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n\"Path\"=\"/wrong/"
         "case\"\r\n"
         "\"path\"=\"/first\"\r\n\"path2\"=\"/x\"\r\n\"path\"=\"" +
             dir.Path() + "/shared/\"\r\n",
         dir / "shared/Archive.db", SystemError::Text(ENOENT)},
        {"unreadable", std::nullopt, "", unknown},
        {"not a registry file", "path=/srv/pasy\r\n", "", unknown},
    };
    for (const auto& c : cases) {
        WriteArchive(record);
        std::filesystem::remove_all(dir / "lm.reg");
        if (!c.hive)
            std::filesystem::create_directory(dir / "lm.reg");
        else if (!c.hive->empty())
            test::WriteFile(dir / "lm.reg", *c.hive);
        RegistryRoot machine(
            std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / "lm.reg"}});
        ArchiveCls a(machine, DataDir());
        EXPECT_EQ(a.FileName, c.file) << c.name;
        EXPECT_EQ(a.LocationUnknown(), c.file.empty()) << c.name;
        EXPECT_TRUE(a.Load().ok) << c.name;
        EXPECT_EQ(a.Pocet(), c.file == DataDir() + "/Archive.db" ? 1 : 0) << c.name;
        a.Add(Rec("B"));
        const FileResult saved = a.Save();
        EXPECT_EQ(saved.ok, c.saveError.empty()) << c.name;
        EXPECT_EQ(saved.error, c.saveError) << c.name;
        if (!saved.ok) {
            EXPECT_EQ(test::ReadFile(DataDir() + "/Archive.db"), record) << c.name;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "shared"));
}

TEST_F(ArchiveTest, SlotsSurviveRemovalAndTheKeyIsTheExactDocumentNumber) {
    ArchiveCls a = Make();
    for (const char* number : {"ab1", "AB1", "ab1", "C"})
        a.Add(Rec(number, number + std::string("#") + std::to_string(a.Pocet())));
    a.Remove(1);
    a.Remove(7);  // beyond the slots in use: nothing happens
    a.Remove(-1);
    EXPECT_EQ(a.Pocet(), 4);
    EXPECT_EQ(a.GetItem(1), nullptr);
    EXPECT_FALSE(a.Item(1).has_value());
    EXPECT_EQ(a.FindItem(Rec("AB1")), nullptr);
    EXPECT_EQ(a.FindItem(Rec("ab1"))->Prijmeni, "ab1#0");
    EXPECT_EQ(a.FindItem(Rec("C")), a.GetItem(3));
    EXPECT_EQ(a.FindItem(Rec("ab1"), 1), nullptr);
    EXPECT_EQ(a.FindItem(Rec("Ab1")), nullptr);
    a.Add(Rec("D"));
    EXPECT_EQ(a.GetItem(4)->CisloPasu, "D");

    // Update overwrites the first record of the number, children included; an unknown number
    // changes nothing.
    ClientsDataCls changed = Rec("ab1", "changed");
    changed.DetiAdd("K", "1", "F");
    a.Update(changed);
    a.Update(Rec("zz", "nobody"));
    EXPECT_TRUE(a.GetItem(0)->Comp(changed));
    EXPECT_EQ(a.GetItem(2)->Prijmeni, "ab1#2");
    EXPECT_EQ(a.Pocet(), 5);

    // Item hands out a copy, GetItem the record itself; Add keeps a copy of its own.
    ClientsDataCls r = Rec("E");
    a.Add(r);
    r.Prijmeni = "changed after Add";
    auto copy = a.Item(0);
    ASSERT_TRUE(copy);
    copy->ClearDeti();
    a.GetItem(5)->Prijmeni = "direct";
    EXPECT_EQ(a.GetItem(0)->PocetDeti(), 1);
    EXPECT_EQ(a.Item(5)->Prijmeni, "direct");
}

TEST_F(ArchiveTest, CapacityGrowsInHundredsAndPastSixteenBits) {
    ArchiveCls a = Make();
    EXPECT_EQ(a.Capacity(), 100);
    for (int i = 0; i < 250; ++i)
        a.Add(Rec(std::to_string(i)));
    EXPECT_EQ(a.Capacity(), 300);
    for (int i = 250; i < 40000; ++i)
        a.Add(Rec(std::to_string(i)));
    EXPECT_EQ(a.GetItem(39999)->CisloPasu, "39999");
    a.Remove(33000);
    // A file of many pieces reads back whole.
    ASSERT_TRUE(a.Save().ok);
    ArchiveCls back = Make();
    ASSERT_TRUE(back.Load().ok);
    EXPECT_EQ(back.Pocet(), 39999);
    EXPECT_EQ(back.GetItem(32999)->CisloPasu, "32999");
    EXPECT_EQ(back.GetItem(33000)->CisloPasu, "33001");
    EXPECT_EQ(back.GetItem(39998)->CisloPasu, "39999");
}

// The file holds one line per record in Windows-1250, CR LF after each; loading keeps the
// file's order, skips empty lines and completes short ones; a removed slot is not written.
TEST_F(ArchiveTest, FileHoldsALinePerRecordInFileOrder) {
    // No file yet: an empty archive, saved as an empty file in a new data directory.
    ArchiveCls none = Make();
    EXPECT_TRUE(none.Load().ok);
    EXPECT_EQ(none.Pocet(), 0);
    ASSERT_TRUE(none.Save().ok);
    EXPECT_EQ(test::ReadFile(none.FileName), "");

    const std::string czech = W("A;Č;;;;;;\r\nB;Ř;;;;;;;dítě;01.01.2020;M\r\nC;;;;;;;\r\n");
    const std::pair<std::string, std::string> files[] = {
        {czech, czech},
        {"A;1\r\n\r\n\nB;2;3;4;5;6;7;8;kid\nC",
         "A;1;;;;;;\r\nB;2;3;4;5;6;7;8;kid;;\r\nC;;;;;;;\r\n"},
    };
    for (const auto& [read, written] : files) {
        WriteArchive(read);
        ArchiveCls a = Make();
        ASSERT_TRUE(a.Load().ok);
        ASSERT_EQ(a.Pocet(), 3);
        EXPECT_EQ(a.GetItem(2)->CisloPasu, "C");
        ASSERT_TRUE(a.Save().ok);
        EXPECT_EQ(test::ReadFile(a.FileName), written);
    }
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    EXPECT_EQ(a.GetItem(1)->DetiGet(0)[0], "kid");
    a.Remove(1);
    ASSERT_TRUE(a.Save().ok);
    EXPECT_EQ(test::ReadFile(a.FileName), "A;1;;;;;;\r\nC;;;;;;;\r\n");
}

// The archive knows whether it holds changes its file does not: loading is none, saving ends
// them, and only operations that change a record make one.
TEST_F(ArchiveTest, ChangedUntilSaved) {
    WriteArchive("A;;;;;;;\r\n");
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    const struct {
        const char* step;
        std::function<void()> run;
        bool changed;
    } steps[] = {
        {"loaded", [] {}, false},
        {"update of a number not archived", [&] { a.Update(Rec("Z")); }, false},
        {"removal of an empty slot", [&] { a.Remove(5); }, false},
        {"update", [&] { a.Update(Rec("A")); }, true},
        {"saved", [&] { ASSERT_TRUE(a.Save().ok); }, false},
        {"add", [&] { a.Add(Rec("B")); }, true},
        {"saved again", [&] { ASSERT_TRUE(a.Save().ok); }, false},
        {"removal", [&] { a.Remove(0); }, true},
    };
    for (const auto& s : steps) {
        s.run();
        EXPECT_EQ(a.Changed(), s.changed) << s.step;
    }
}

// A file that is there but cannot be read whole is reported and never overwritten.
TEST_F(ArchiveTest, AFileThatCannotBeReadIsNeverOverwritten) {
    std::string crowded = "A;;;;;;;";
    for (int i = 0; i < 256; ++i)
        crowded += ";k;1;M";
    const struct {
        const char* name;
        std::optional<std::string> bytes;  // nothing: a directory stands there
        std::string error;
        int records;
    } cases[] = {
        {"directory", std::nullopt, SystemError::Text(EISDIR), 0},
        {"too many children", "B;;;;;;;\r\n" + crowded + "\r\n",
         W("řádek 2 obsahuje více než 255 dětí"), 2},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(DataDir());
        if (c.bytes) {
            WriteArchive(*c.bytes);
        } else {
            std::filesystem::create_directories(DataDir() + "/Archive.db");
        }
        ArchiveCls a = Make();
        const FileResult loaded = a.Load();
        EXPECT_FALSE(loaded.ok) << c.name;
        EXPECT_EQ(loaded.error, c.error) << c.name;
        EXPECT_TRUE(a.LoadFailed()) << c.name;
        EXPECT_EQ(a.Pocet(), c.records) << c.name;
        a.Add(Rec("C"));
        EXPECT_FALSE(a.Save().ok) << c.name;
        EXPECT_EQ(c.bytes ? test::ReadFile(a.FileName) : "directory",
                  c.bytes.value_or(std::filesystem::is_directory(a.FileName) ? "directory" : ""))
            << c.name;
    }
}

}  // namespace
}  // namespace vexa
