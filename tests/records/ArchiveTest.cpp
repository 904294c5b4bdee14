#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <optional>

#include "platform/Checksums.h"
#include "platform/SystemError.h"
#include "records/ArchiveCls.h"
#include "records/ArchiveJournal.h"
#include "records/ClientsDataCls.h"
#include "records/IdMap.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

using test::W;

// A record's line: the eight fields, then three per child, empty ones too. Short lines and child
// groups cut short are completed with empty values; the children of a line are added to those
// the record has. (Lines with Czech letters: the archive's file, byte for byte.)
TEST(ClientsDataTest, ShortOrCutLinesLoseNothing) {
    const struct {
        const char* line;
        const char* written;
        int children;
    } cases[] = {
        {"", ";;;;;;;", 0},
        {"1;2;3", "1;2;3;;;;;", 0},
        {"1;2;3;4;5;6;7;8", "1;2;3;4;5;6;7;8", 0},
        {"1;2;3;4;5;6;7;8;Jan", "1;2;3;4;5;6;7;8;Jan;;", 1},
        {"1;2;3;4;5;6;7;8;;;F;;;", "1;2;3;4;5;6;7;8;;;F;;;", 2},
        {"1;2;3;4;5;6;7;8;A;1;M;Jan;01.01.2020", "1;2;3;4;5;6;7;8;A;1;M;Jan;01.01.2020;", 2},
    };
    for (const auto& c : cases) {
        ClientsDataCls r;
        EXPECT_TRUE(r.LoadFromLine(c.line)) << c.line;
        EXPECT_EQ(r.GetDataAsLine(), c.written);
        EXPECT_EQ(r.PocetDeti(), c.children) << c.line;
    }
    ClientsDataCls r = test::SampleHolder();
    r.DetiAdd("A", "1", "M");
    r.LoadFromLine("x;;;;;;;;C;3;M");
    EXPECT_EQ(r.GetDataAsLine(), "x;;;;;;;;A;1;M;C;3;M");
}

TEST(ClientsDataTest, CompIsExactAndClearEmptiesAll) {
    ClientsDataCls a = test::SampleHolder(), b = test::SampleHolder();
    EXPECT_TRUE(a.Comp(b));
    b.Prijmeni = W("Šťastná");
    EXPECT_FALSE(a.Comp(b));
    ClientsDataCls c = test::SampleHolder(), d = test::SampleHolder();
    c.DetiAdd("A", "1", "M");
    c.DetiAdd("B", "2", "F");
    d.DetiAdd("B", "2", "F");
    d.DetiAdd("A", "1", "M");
    EXPECT_FALSE(c.Comp(d));
    c.ClearDeti();
    EXPECT_TRUE(c.Comp(a));
    c.DetiAdd("B", "2", "F");
    c.Clear();
    EXPECT_EQ(c.GetDataAsLine(), ";;;;;;;");
}

TEST(ClientsDataTest, TheTwoHundredFiftySixthChildIsRefused) {
    ClientsDataCls r;
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(r.DetiAdd(std::to_string(i), "", ""));
    EXPECT_FALSE(r.DetiAdd("overflow", "", ""));
    EXPECT_EQ(r.DetiGet(254)[0], "254");
    std::string line = ";;;;;;;";
    for (int i = 0; i < 256; ++i)
        line += ";c;d;M";
    ClientsDataCls full;
    EXPECT_FALSE(full.LoadFromLine(line));
    EXPECT_EQ(full.PocetDeti(), 255);
}

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
    static ClientsDataCls Holder() {
        ClientsDataCls r = test::SampleHolder();
        r.DetiAdd(W("PETR ŠŤASTNÝ"), "01.02.2010", "M");
        r.DetiAdd(W("ŽOFIE ŠŤASTNÁ"), "03.04.2012", "F");
        return r;
    }
    // Every slot's line, "-" for a removed one.
    static std::string Slots(const ArchiveCls& a) {
        std::string out;
        for (int i = 0; i < a.Pocet(); ++i)
            out += (a.Holds(i) ? std::string(a.Line(i)) : "-") + "|";
        return out;
    }
    std::string Archive() const { return DataDir() + "/Archive.db"; }
    std::string Journal() const { return DataDir() + "/Archive.db.journal"; }

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
    int slot = 0;
    for (const char* number : {"ab1", "AB1", "ab1", "C"}) {
        EXPECT_EQ(a.Add(Rec(number, number + std::string("#") + std::to_string(slot))), slot);
        ++slot;
    }
    a.Remove(1);
    a.Remove(7);  // beyond the slots in use: nothing happens
    a.Remove(-1);
    EXPECT_EQ(a.Pocet(), 4);
    EXPECT_FALSE(a.Holds(1));
    EXPECT_FALSE(a.Item(1).has_value());
    EXPECT_EQ(a.Line(1), "");
    EXPECT_EQ(a.FindItem(Rec("AB1")), -1);
    EXPECT_EQ(a.FindItem(Rec("C")), 3);
    EXPECT_EQ(a.FindItem(Rec("ab1"), 1), -1);
    EXPECT_EQ(a.FindItem(Rec("Ab1")), -1);
    EXPECT_EQ(a.Field(a.FindItem(Rec("ab1")), 1), "ab1#0");
    a.Add(Rec("D"));
    EXPECT_EQ(a.Field(4, 0), "D");

    // Update overwrites the first record of the number, children included; an unknown number
    // changes nothing. Removing that record leaves the next one of its number to be found,
    // and bringing it back finds it again.
    ClientsDataCls changed = Rec("ab1", "changed");
    changed.DetiAdd("K", "1", "F");
    EXPECT_EQ(a.Update(changed), 0);
    EXPECT_EQ(a.Update(Rec("zz", "nobody")), -1);
    EXPECT_TRUE(a.Item(0)->Comp(changed));
    EXPECT_EQ(a.Field(0, 7), "");
    EXPECT_EQ(a.Field(2, 1), "ab1#2");
    a.Remove(0);
    EXPECT_EQ(a.FindNumber("ab1"), 2);
    EXPECT_FALSE(a.Restore(2));
    EXPECT_FALSE(a.Restore(5));
    EXPECT_TRUE(a.Restore(0));
    EXPECT_EQ(a.FindNumber("ab1"), 0);
    EXPECT_EQ(a.Line(0), "ab1;changed;;;;;;;K;1;F");

    // Item hands out a copy; Add keeps a copy of its own.
    ClientsDataCls r = Rec("E");
    a.Add(r);
    r.Prijmeni = "changed after Add";
    auto copy = a.Item(0);
    ASSERT_TRUE(copy);
    copy->ClearDeti();
    EXPECT_EQ(a.Item(0)->PocetDeti(), 1);
    EXPECT_EQ(a.Field(5, 1), "X");
}

TEST_F(ArchiveTest, CapacityGrowsInHundredsAndPastSixteenBits) {
    ArchiveCls a = Make();
    EXPECT_EQ(a.Capacity(), 100);
    for (int i = 0; i < 250; ++i)
        a.Add(Rec(std::to_string(i)));
    EXPECT_EQ(a.Capacity(), 300);
    for (int i = 250; i < 40000; ++i)
        a.Add(Rec(std::to_string(i)));
    EXPECT_EQ(a.Field(39999, 0), "39999");
    a.Remove(33000);
    // A file of many pieces reads back whole.
    ASSERT_TRUE(a.Save().ok);
    ArchiveCls back = Make();
    ASSERT_TRUE(back.Load().ok);
    EXPECT_EQ(back.Pocet(), 39999);
    EXPECT_EQ(back.Field(32999, 0), "32999");
    EXPECT_EQ(back.Field(33000, 0), "33001");
    EXPECT_EQ(back.FindNumber("39999"), 39998);
}

// The file holds one line per record in Windows-1250, CR LF after each; loading keeps the
// file's order, skips empty lines and completes short ones; a removed slot is not written.
TEST_F(ArchiveTest, FileHoldsALinePerRecordInFileOrder) {
    // No file yet: an empty archive, written whole as an empty file in a new data directory.
    ArchiveCls none = Make();
    EXPECT_TRUE(none.Load().ok);
    EXPECT_EQ(none.Pocet(), 0);
    ASSERT_TRUE(none.SaveWhole().ok);
    EXPECT_EQ(test::ReadFile(none.FileName), "");

    // Lines as a record writes them are kept byte for byte; others (short, a child group cut
    // short, a CR that ends no line) are written as a record reads them.
    const std::string czech =
        W("A;Č;;;;;;\r\nB;Ř;;;;;;;dítě;01.01.2020;M\r\nC;ŠŤÁVA;ŽOFIE;855612/1234;TŘEBÍČ;;;MěÚ;"
          "PETR ŠŤÁVA;01.02.2010;M;ŽOFIE ŠŤÁVOVÁ;03.04.2012;F\r\n");
    const std::pair<std::string, std::string> files[] = {
        {czech, czech},
        {"A;1\r\n\r\n\nB;2;3;4;5;6;7;8;kid\nC\r",
         "A;1;;;;;;\r\nB;2;3;4;5;6;7;8;kid;;\r\nC\r;;;;;;;\r\n"},
    };
    for (const auto& [read, written] : files) {
        WriteArchive(read);
        ArchiveCls a = Make();
        ASSERT_TRUE(a.Load().ok);
        ASSERT_EQ(a.Pocet(), 3);
        EXPECT_EQ(a.Field(2, 0).substr(0, 1), "C");
        ASSERT_TRUE(a.SaveWhole().ok);
        EXPECT_EQ(test::ReadFile(a.FileName), written);
    }
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    EXPECT_EQ(a.Item(1)->DetiGet(0)[0], "kid");
    EXPECT_EQ(a.Field(1, 7), "8");
    a.Remove(1);
    ASSERT_TRUE(a.SaveWhole().ok);
    EXPECT_EQ(test::ReadFile(a.FileName), "A;1;;;;;;\r\nC\r;;;;;;;\r\n");
    EXPECT_FALSE(std::filesystem::exists(a.JournalName()));
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

// Each save appends its changes to the journal and leaves Archive.db as it was; a load replays
// them over it into the same slots, and goes on appending where the journal ends.
TEST_F(ArchiveTest, SavesGoToTheJournalAndALoadReplaysThem) {
    const std::string before = "A;;;;;;;\r\nB;;;;;;;\r\nC;;;;;;;\r\n";
    WriteArchive(before);
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    a.Add(Holder());
    a.Remove(0);
    a.Update(Rec("B", W("ŘEHOŘ")));
    ASSERT_TRUE(a.Save().ok);
    a.Remove(1);
    a.Restore(0);
    a.Add(Rec("D"));
    a.Remove(4);
    ASSERT_TRUE(a.Save().ok);
    EXPECT_EQ(test::ReadFile(Archive()), before);
    std::string kinds;
    TextFiles::ForEachLine(test::ReadFile(Journal()), [&](std::string_view line) {
        kinds += std::string(line.substr(0, line.find(' '))) + " ";
    });
    EXPECT_EQ(kinds, "# -0 =1 +3 =0 -1 +4 -4 ");
    EXPECT_NE(test::ReadFile(Journal()).find(Holder().GetDataAsLine() + "\r\n"), std::string::npos);

    ArchiveCls b = Make();
    ASSERT_TRUE(b.Load().ok);
    EXPECT_EQ(Slots(b), Slots(a));
    EXPECT_FALSE(b.Changed());
    b.Update(Rec("A", "again"));
    b.Add(Rec("E"));
    ASSERT_TRUE(b.Save().ok);
    ArchiveCls c = Make();
    ASSERT_TRUE(c.Load().ok);
    EXPECT_EQ(Slots(c), Slots(b));
    EXPECT_EQ(Slots(c), "A;again;;;;;;|-|C;;;;;;;|" + Holder().GetDataAsLine() + "|-|E;X;;;;;;|");
}

// A crash may cut the last entry anywhere, or leave bytes after it: the record is then there
// whole or not at all, and the next save goes on from the last whole entry.
TEST_F(ArchiveTest, AnEntryCutAnywhereIsWhollyThereOrNot) {
    WriteArchive("A;;;;;;;\r\n");
    {
        ArchiveCls a = Make();
        ASSERT_TRUE(a.Load().ok);
        a.Add(Rec("B"));
        ASSERT_TRUE(a.Save().ok);
        a.Add(Holder());
        ASSERT_TRUE(a.Save().ok);
    }
    const std::string full = test::ReadFile(Journal());
    const std::size_t last = full.rfind("\r\n", full.size() - 3) + 2;
    const std::string tails[] = {"", std::string(5, '\0'), "=0 00000000 Z;;;;;;;\r\n"};
    for (std::size_t cut = last; cut <= full.size(); ++cut) {
        for (const std::string& tail : tails) {
            test::WriteFile(Journal(), full.substr(0, cut) + tail);
            ArchiveCls b = Make();
            ASSERT_TRUE(b.Load().ok) << cut;
            const std::string whole = cut == full.size() ? Holder().GetDataAsLine() + "|" : "";
            EXPECT_EQ(Slots(b), "A;;;;;;;|B;X;;;;;;|" + whole) << cut;
            b.Add(Rec("C"));
            ASSERT_TRUE(b.Save().ok) << cut;
            ArchiveCls c = Make();
            ASSERT_TRUE(c.Load().ok) << cut;
            EXPECT_EQ(Slots(c), Slots(b)) << cut;
        }
    }
}

// A copy killed at once after a save it was told succeeded loses nothing of it.
TEST_F(ArchiveTest, AKillRightAfterASaveLosesNothing) {
    WriteArchive("A;;;;;;;\r\n");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ArchiveCls a = Make();
        const char saved = a.Load().ok && a.Add(Holder()) == 1 && a.Save().ok ? 'y' : 'n';
        if (::write(ready[1], &saved, 1) == 1)
            ::pause();
        ::_exit(1);
    }
    char saved = 0;
    EXPECT_EQ(::read(ready[0], &saved, 1), 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(saved, 'y');
    ArchiveCls b = Make();
    ASSERT_TRUE(b.Load().ok);
    EXPECT_EQ(Slots(b), "A;;;;;;;|" + Holder().GetDataAsLine() + "|");
}

// The journal is replayed only over the Archive.db it continues. One whose records went into
// the present file already (the rewrite got as far as the rename) is ignored; one that
// continues another file (an Archive.db restored from a backup) is refused and kept, and
// nothing is written over either file.
TEST_F(ArchiveTest, AJournalIsReplayedOnlyOverTheFileItContinues) {
    const std::string old = "A;;;;;;;\r\nB;;;;;;;\r\n";
    const std::string rewritten = "B;;;;;;;\r\nC;X;;;;;;\r\n";
    WriteArchive(old);
    {
        ArchiveCls a = Make();
        ASSERT_TRUE(a.Load().ok);
        a.Add(Rec("C"));
        a.Remove(0);
        ASSERT_TRUE(a.Save().ok);
    }
    const std::string journal = test::ReadFile(Journal());
    std::string folded = journal;
    ArchiveJournal::AppendFolded(folded, {rewritten.size(), Hash64::Of(rewritten)});
    const std::string foreign =
        W("deník Archive.db.journal navazuje na jiný obsah tohoto souboru (například před jeho "
          "obnovením ze zálohy), a proto se nepoužije ani nesmaže");
    const struct {
        const char* name;
        std::string archive, journal;
        std::string error;  // "" when it loads
        std::string slots;
    } cases[] = {
        {"continues", old, journal, "", "-|B;;;;;;;|C;X;;;;;;|"},
        {"rewritten, not yet renamed", old, folded, "", "-|B;;;;;;;|C;X;;;;;;|"},
        {"rewritten and renamed", rewritten, folded, "", "B;;;;;;;|C;X;;;;;;|"},
        {"first line cut short", old, journal.substr(0, 20), "", "A;;;;;;;|B;;;;;;;|"},
        {"another file", old + "Z;;;;;;;\r\n", journal, foreign, "A;;;;;;;|B;;;;;;;|Z;;;;;;;|"},
        {"no journal of this program", old, "hello\r\n" + journal, foreign, "A;;;;;;;|B;;;;;;;|"},
    };
    for (const auto& c : cases) {
        WriteArchive(c.archive);
        test::WriteFile(Journal(), c.journal);
        ArchiveCls a = Make();
        const FileResult loaded = a.Load();
        EXPECT_EQ(loaded.error, c.error) << c.name;
        EXPECT_EQ(a.LoadFailed(), !c.error.empty()) << c.name;
        EXPECT_EQ(Slots(a), c.slots) << c.name;
        a.Add(Rec("D"));
        EXPECT_EQ(a.Save().ok, c.error.empty()) << c.name;
        if (!c.error.empty()) {
            EXPECT_FALSE(a.SaveWhole().ok) << c.name;
            EXPECT_EQ(test::ReadFile(Archive()), c.archive) << c.name;
            EXPECT_EQ(test::ReadFile(Journal()), c.journal) << c.name;
            continue;
        }
        ArchiveCls b = Make();
        ASSERT_TRUE(b.Load().ok) << c.name;
        EXPECT_EQ(Slots(b), c.slots + "D;X;;;;;;|") << c.name;
    }
}

// A record brought back returns to its own slot, and Archive.db written whole has it in its
// place, also when the file was rewritten without it in between; a run that replays that
// journal has every record.
TEST_F(ArchiveTest, ARecordBroughtBackIsWrittenInItsPlace) {
    WriteArchive("A;;;;;;;\r\nB;;;;;;;\r\nC;;;;;;;\r\n");
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    a.Remove(1);
    ASSERT_TRUE(a.Save().ok);
    ASSERT_TRUE(a.Restore(1));
    ASSERT_TRUE(a.SaveWhole().ok);
    EXPECT_EQ(test::ReadFile(Archive()), "A;;;;;;;\r\nB;;;;;;;\r\nC;;;;;;;\r\n");
    EXPECT_FALSE(std::filesystem::exists(Journal()));

    a.Remove(1);
    ASSERT_TRUE(a.SaveWhole().ok);  // Archive.db without B
    ASSERT_TRUE(a.Restore(1));
    ASSERT_TRUE(a.Save().ok);
    a.Add(Rec("D"));
    a.Update(Rec("C", "changed"));
    a.Remove(0);
    ASSERT_TRUE(a.Save().ok);
    ArchiveCls replayed = Make();
    ASSERT_TRUE(replayed.Load().ok);
    EXPECT_EQ(Slots(replayed), "-|C;changed;;;;;;|B;;;;;;;|D;X;;;;;;|");
    ASSERT_TRUE(a.SaveWhole().ok);
    EXPECT_EQ(test::ReadFile(Archive()), "B;;;;;;;\r\nC;changed;;;;;;\r\nD;X;;;;;;\r\n");
}

// Past its bound (a megabyte for a small archive) the journal goes into Archive.db.
TEST_F(ArchiveTest, AGrownJournalIsWrittenIntoTheFile) {
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    ClientsDataCls big = Rec("0", std::string(20000, 'x'));
    for (int i = 0; i < 60; ++i) {
        big.CisloPasu = std::to_string(i);
        a.Add(big);
        ASSERT_TRUE(a.Save().ok);
        if (std::filesystem::exists(Journal())) {
            EXPECT_LT(std::filesystem::file_size(Journal()), (1u << 20) + 30000) << i;
        }
    }
    EXPECT_GT(std::filesystem::file_size(Archive()), 1u << 20);
    ArchiveCls b = Make();
    ASSERT_TRUE(b.Load().ok);
    EXPECT_EQ(Slots(b), Slots(a));
}

// New files in the user's own directory are the user's alone, and so are the folders made
// for them; in an installation's directory they are for that directory's group. A file that
// is there keeps its mode and group.
TEST_F(ArchiveTest, NewFilesArePrivateOrForTheDirectorysGroup) {
    const bool root = ::geteuid() == 0;
    std::filesystem::create_directories(dir / "shared");
    if (root) {
        ASSERT_EQ(::chown((dir / "shared").c_str(), static_cast<uid_t>(-1), 65534), 0);
    }
    struct stat shared {};
    ::stat((dir / "shared").c_str(), &shared);
    test::WriteFile(dir / "shared.reg",
                    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n\"path\"=\"" +
                        dir.Path() + "/shared\"\r\n");
    const struct {
        const char* name;
        const char* hive;
        unsigned mode;
        gid_t group;
    } cases[] = {{"the user's", "lm.reg", 0600, ::getegid()},
                 {"the installation's", "shared.reg", 0660, shared.st_gid}};
    for (const auto& c : cases) {
        RegistryRoot machine(
            std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / c.hive}});
        ArchiveCls a(machine, DataDir());
        ASSERT_TRUE(a.Load().ok) << c.name;
        a.Add(Rec("A"));
        ASSERT_TRUE(a.Save().ok) << c.name;
        struct stat journal {};
        ::stat(a.JournalName().c_str(), &journal);
        ASSERT_TRUE(a.SaveWhole().ok) << c.name;
        struct stat file {};
        ::stat(a.FileName.c_str(), &file);
        for (const struct stat& st : {journal, file}) {
            EXPECT_EQ(st.st_mode & 07777, c.mode) << c.name;
            EXPECT_EQ(st.st_gid, c.group) << c.name;
        }
    }
    for (const char* folder : {"data", "data/Lomar", "data/Lomar/Vexa"}) {
        struct stat st {};
        ::stat((dir / folder).c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0700u) << folder;
    }
    // An existing file keeps its mode and group.
    ::chmod(Archive().c_str(), 0640);
    if (root) {
        ASSERT_EQ(::chown(Archive().c_str(), static_cast<uid_t>(-1), 65534), 0);
    }
    ArchiveCls a = Make();
    ASSERT_TRUE(a.Load().ok);
    ASSERT_TRUE(a.SaveWhole().ok);
    struct stat st {};
    ::stat(Archive().c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_gid, root ? 65534 : ::getegid());
}

// Row ids read in order, new ones above them and one that arrived late: each keeps its value.
TEST(IdMapTest, IdsInAndOutOfOrderKeepTheirValues) {
    IdMap<int> map;
    for (std::int64_t id : {1, 2, 5, 9, 3, 7})
        map.Put(id, static_cast<int>(id) * 10);
    map.Put(3, 31);
    map.Put(9, 91);
    for (auto [id, value] : {std::pair{1, 10}, {2, 20}, {3, 31}, {5, 50}, {7, 70}, {9, 91}})
        EXPECT_EQ(map.Find(id) ? *map.Find(id) : -1, value) << id;
    for (std::int64_t id : {0, 4, 6, 8, 10})
        EXPECT_EQ(map.Find(id), nullptr) << id;
}

}  // namespace
}  // namespace vexa
