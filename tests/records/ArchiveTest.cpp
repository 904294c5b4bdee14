#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <cerrno>

#include "platform/SystemError.h"
#include "records/ArchiveCls.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

class ArchiveTest : public ::testing::Test {
  protected:
    ArchiveTest()
        : reg(std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / "lm.reg"}}) {}

    std::string DataDir() const { return dir / "data/Lomar/Vexa"; }
    ArchiveCls Make() { return ArchiveCls(reg, DataDir()); }

    static ClientsDataCls Rec(std::string number, std::string surname = "X") {
        ClientsDataCls r;
        r.CisloPasu = std::move(number);
        r.Prijmeni = std::move(surname);
        return r;
    }

    test::TempDir dir;
    RegistryRoot reg;
};

TEST_F(ArchiveTest, FileNameComesFromThePathValueOrTheDataDirectory) {
    EXPECT_EQ(Make().FileName, DataDir() + "/Archive.db");
    test::WriteFile(dir / "lm.reg",
                    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n"
                    "\"Path\"=\"/wrong/case\"\r\n\"path\"=\"/first\"\r\n\"path2\"=\"/x\"\r\n"
                    "\"path\"=\"/srv/pasy/\"\r\n");
    RegistryRoot withPath(
        std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / "lm.reg"}});
    // Names are unique in a key ignoring case, so the file keeps the last "path" line; the
    // value named "Path" is not the exact name.
    ArchiveCls a(withPath, DataDir());
    EXPECT_EQ(a.FileName, "/srv/pasy/Archive.db");
}

// The installation's hive may name a shared archive: when it is there but cannot be read, no
// archive file is read or written in that run. A missing hive names none.
TEST_F(ArchiveTest, AnUnreadableMachineHiveLeavesTheArchiveLocationUnknown) {
    const std::string record = "A;;;;;;;\r\n";
    std::filesystem::create_directories(DataDir());
    test::WriteFile(DataDir() + "/Archive.db", record);
    const struct {
        const char* name;
        const char* hive;  // nullptr: a directory stands there; "": no hive file
    } cases[] = {
        {"unreadable", nullptr}, {"not a registry file", "path=/srv/pasy\r\n"}, {"missing", ""}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir / "lm.reg");
        if (c.hive == nullptr) {
            std::filesystem::create_directory(dir / "lm.reg");
        } else if (*c.hive != '\0') {
            test::WriteFile(dir / "lm.reg", c.hive);
        }
        const bool unknown = c.hive == nullptr || *c.hive != '\0';
        RegistryRoot machine(
            std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / "lm.reg"}});
        ArchiveCls a(machine, DataDir());
        EXPECT_EQ(a.LocationUnknown(), unknown) << c.name;
        EXPECT_TRUE(a.Load().ok) << c.name;
        EXPECT_EQ(a.Pocet(), unknown ? 0 : 1) << c.name;
        a.Add(Rec("B"));
        FileResult saved = a.Save();
        EXPECT_EQ(saved.ok, !unknown) << c.name;
        if (unknown) {
            EXPECT_EQ(saved.error, W("nastavení instalace se nepodařilo načíst, a proto není "
                                     "známo, kde archiv je; v tomto běhu se archiv neukládá"));
            EXPECT_EQ(test::ReadFile(DataDir() + "/Archive.db"), record) << c.name;
        }
    }
}

TEST_F(ArchiveTest, SlotsSurviveRemoval) {
    ArchiveCls a = Make();
    a.Add(Rec("A"));
    a.Add(Rec("B"));
    a.Add(Rec("C"));
    a.Remove(1);
    EXPECT_EQ(a.Pocet(), 3);
    EXPECT_EQ(a.GetItem(1), nullptr);
    EXPECT_FALSE(a.Item(1).has_value());
    EXPECT_EQ(a.FindItem(Rec("B")), nullptr);
    EXPECT_EQ(a.FindItem(Rec("C")), a.GetItem(2));
    a.Add(Rec("D"));
    EXPECT_EQ(a.Pocet(), 4);
    EXPECT_EQ(a.GetItem(3)->CisloPasu, "D");
    a.Remove(7);  // beyond the slots in use: nothing happens
    a.Remove(-1);
    EXPECT_EQ(a.Pocet(), 4);
    EXPECT_EQ(a.GetItem(4), nullptr);
}

TEST_F(ArchiveTest, FindItemKeysOnTheExactDocumentNumber) {
    ArchiveCls a = Make();
    a.Add(Rec("ab1", "first"));
    a.Add(Rec("AB1", "other"));
    a.Add(Rec("ab1", "second"));
    EXPECT_EQ(a.FindItem(Rec("ab1"))->Prijmeni, "first");
    EXPECT_EQ(a.FindItem(Rec("AB1"))->Prijmeni, "other");
    EXPECT_EQ(a.FindItem(Rec("ab1"), 1), nullptr);
    EXPECT_EQ(a.FindItem(Rec("Ab1")), nullptr);

    ClientsDataCls changed = Rec("ab1", "changed");
    changed.DetiAdd("K", "1", "F");
    a.Update(changed);
    EXPECT_TRUE(a.GetItem(0)->Comp(changed));
    EXPECT_EQ(a.GetItem(2)->Prijmeni, "second");
    a.Update(Rec("zz", "nobody"));
    EXPECT_EQ(a.Pocet(), 3);
}

TEST_F(ArchiveTest, ItemCopiesWhileGetItemHandsOutTheRecord) {
    ArchiveCls a = Make();
    ClientsDataCls r = Rec("A");
    r.DetiAdd("K", "1", "M");
    a.Add(r);
    r.Prijmeni = "changed after Add";
    EXPECT_EQ(a.GetItem(0)->Prijmeni, "X");

    auto copy = a.Item(0);
    ASSERT_TRUE(copy);
    copy->Prijmeni = "copy";
    copy->ClearDeti();
    EXPECT_EQ(a.GetItem(0)->Prijmeni, "X");
    EXPECT_EQ(a.GetItem(0)->PocetDeti(), 1);
    a.GetItem(0)->Prijmeni = "direct";
    EXPECT_EQ(a.Item(0)->Prijmeni, "direct");
}

TEST_F(ArchiveTest, CapacityGrowsInHundredsAndPastSixteenBits) {
    ArchiveCls a = Make();
    EXPECT_EQ(a.Capacity(), 100);
    for (int i = 0; i < 250; ++i)
        a.Add(Rec(std::to_string(i)));
    EXPECT_EQ(a.Capacity(), 300);
    EXPECT_EQ(a.GetItem(100)->CisloPasu, "100");
    EXPECT_EQ(a.GetItem(249)->CisloPasu, "249");
    for (int i = 250; i < 40000; ++i)
        a.Add(Rec(std::to_string(i)));
    EXPECT_EQ(a.Pocet(), 40000);
    EXPECT_EQ(a.GetItem(39999)->CisloPasu, "39999");
    a.Remove(33000);
    EXPECT_EQ(a.GetItem(33000), nullptr);
    // A file of many pieces reads back whole.
    ASSERT_TRUE(a.Save().ok);
    ArchiveCls back = Make();
    ASSERT_TRUE(back.Load().ok);
    EXPECT_EQ(back.Pocet(), 39999);
    EXPECT_EQ(back.GetItem(32999)->CisloPasu, "32999");
    EXPECT_EQ(back.GetItem(33000)->CisloPasu, "33001");
    EXPECT_EQ(back.GetItem(39998)->CisloPasu, "39999");
}

TEST_F(ArchiveTest, SavedFileHoldsOneCrLfLinePerRecordInWindows1250) {
    ArchiveCls a = Make();
    ClientsDataCls r = Rec("1", W("ŠŤASTNÝ"));
    r.DetiAdd(W("ŽOFIE ŠŤASTNÁ"), "01.01.2020", "F");
    a.Add(r);
    a.Add(Rec("2"));
    a.Add(Rec("3"));
    a.Remove(1);
    FileResult saved = a.Save();
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(test::ReadFile(a.FileName),
              W("1;ŠŤASTNÝ;;;;;;;ŽOFIE ŠŤASTNÁ;01.01.2020;F\r\n3;X;;;;;;\r\n"));
}

TEST_F(ArchiveTest, LoadKeepsFileOrderAndSavesTheSameBytes) {
    // No file yet: an empty archive, saved as an empty file in a new data directory.
    ArchiveCls none = Make();
    EXPECT_TRUE(none.Load().ok);
    EXPECT_EQ(none.Pocet(), 0);
    ASSERT_TRUE(none.Save().ok);
    EXPECT_EQ(test::ReadFile(none.FileName), "");

    std::string bytes = W("A;Č;;;;;;\r\nB;Ř;;;;;;;dítě;01.01.2020;M\r\nC;;;;;;;\r\n");
    test::WriteFile(DataDir() + "/Archive.db", bytes);
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    ASSERT_EQ(a.Pocet(), 3);
    EXPECT_EQ(a.GetItem(0)->CisloPasu, "A");
    EXPECT_EQ(a.GetItem(1)->DetiGet(0)[0], W("dítě"));
    EXPECT_EQ(a.GetItem(2)->CisloPasu, "C");
    ASSERT_TRUE(a.Save().ok);
    EXPECT_EQ(test::ReadFile(a.FileName), bytes);
}

// The archive knows whether it holds changes its file does not: loading is none, saving ends
// them, and only operations that change a record make one.
TEST_F(ArchiveTest, ChangedUntilSaved) {
    std::filesystem::create_directories(DataDir());
    test::WriteFile(DataDir() + "/Archive.db", "A;;;;;;;\r\n");
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

TEST_F(ArchiveTest, LoadSkipsEmptyLinesAndReadsShortOnes) {
    std::filesystem::create_directories(DataDir());
    test::WriteFile(DataDir() + "/Archive.db", "A;1\r\n\r\n\nB;2;3;4;5;6;7;8;kid\nC");
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    ASSERT_EQ(a.Pocet(), 3);
    ASSERT_TRUE(a.Save().ok);
    EXPECT_EQ(test::ReadFile(a.FileName), "A;1;;;;;;\r\nB;2;3;4;5;6;7;8;kid;;\r\nC;;;;;;;\r\n");
}

TEST_F(ArchiveTest, FailedSaveReportsAndLeavesTheOldFile) {
    test::WriteFile(dir / "lm.reg",
                    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n\"path\"=\"" +
                        dir.Path() + "/missing\"\r\n");
    RegistryRoot withPath(
        std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / "lm.reg"}});
    ArchiveCls a(withPath, DataDir());
    a.Add(Rec("A"));
    FileResult r = a.Save();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, SystemError::Text(ENOENT));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(ArchiveTest, AFileThatCannotBeReadIsNeverOverwritten) {
    std::filesystem::create_directories(DataDir() + "/Archive.db");  // there, but no text file
    ArchiveCls a = Make();
    FileResult r = a.Load();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(a.LoadFailed());
    a.Add(Rec("A"));
    EXPECT_FALSE(a.Save().ok);
    EXPECT_TRUE(std::filesystem::is_directory(a.FileName));
}

TEST_F(ArchiveTest, ALineWithTooManyChildrenBlocksSaving) {
    std::filesystem::create_directories(DataDir());
    std::string line = "A;;;;;;;";
    for (int i = 0; i < 256; ++i)
        line += ";k;1;M";
    test::WriteFile(DataDir() + "/Archive.db", "B;;;;;;;\r\n" + line + "\r\n");
    ArchiveCls a = Make();
    FileResult r = a.Load();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, test::W("řádek 2 obsahuje více než 255 dětí"));
    EXPECT_EQ(a.Pocet(), 2);
    EXPECT_FALSE(a.Save().ok);
}

}  // namespace
}  // namespace vexa
