// The database store against a real PostgreSQL server of this test program's own (one for the
// whole program, a fresh database per test).
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <functional>
#include <vector>

#include "records/DatabaseMessages.h"
#include "records/DatabaseSchema.h"
#include "records/DatabaseSetting.h"
#include "records/DatabaseStore.h"
#include "records/SharedArchive.h"
#include "support/PgServer.h"
#include "support/TestSupport.h"

namespace vexa {

// The server of this test program, started at first use and stopped at its end.
test::PgServer& Server() {
    static test::PgServer server;
    return server;
}

namespace {

using test::W;
using Outcome = DatabaseStore::Outcome;
using Kind = DatabaseStore::Change::Kind;

ClientsDataCls Holder(const std::string& number, const std::string& surname = W("NOVÁK")) {
    ClientsDataCls r = test::SampleHolder();
    r.CisloPasu = number;
    r.Prijmeni = surname;
    return r;
}

DatabaseStore::Clerk Clerk(const char* user, const char* host) {
    return {user, host};
}

struct Loaded {
    std::int64_t id;
    int version;
    std::string line;
};

std::vector<Loaded> LoadAll(DatabaseStore& store) {
    std::vector<Loaded> rows;
    auto status = store.Load([&](std::int64_t id, int version, std::string_view line) {
        rows.push_back({id, version, std::string(line)});
    });
    EXPECT_TRUE(status.ok) << status.Error;
    return rows;
}

std::vector<Loaded> LoadFresh(const std::string& conninfo) {
    DatabaseStore store(conninfo);
    return LoadAll(store);
}

// Runs body(i) in `n` processes that start together; their exit codes.
std::vector<int> InProcesses(int n, const std::function<int(int)>& body) {
    int gate[2];
    EXPECT_EQ(::pipe(gate), 0);
    std::vector<pid_t> pids;
    for (int i = 0; i < n; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char c;
            (void)!::read(gate[0], &c, 1);  // returns when the parent closes its end
            ::_exit(body(i));
        }
        pids.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    std::vector<int> codes;
    for (pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return codes;
}

// Waits up to 2 s for the store's socket to have something, then reads it.
DatabaseStore::Changes Notified(DatabaseStore& store) {
    pollfd p{store.Socket(), POLLIN, 0};
    ::poll(&p, 1, 2000);
    return store.ReadNotifications();
}

class DatabaseStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db = Server().NewDatabase();
        conninfo = Server().ConnInfo(db);
    }
    std::string db;
    std::string conninfo;
};

TEST(DatabaseSettingTest, TheMachineHiveNamesTheDatabase) {
    const struct {
        const char* values;
        std::optional<std::string> conninfo;
    } cases[] = {
        {"", std::nullopt},
        {"\"databaze\"=\"\"\r\n", std::nullopt},
        {"\"Databaze\"=\"host=a\"\r\n", std::nullopt},
        {"\"databaze\"=\"host=a\"\r\n\"databaze\"=\"postgresql://b/vexa\"\r\n",
         "postgresql://b/vexa"},
        {"\"databaze\"=\"host=s\xE1l dbname=vexa\"\r\n", "host=sál dbname=vexa"},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        test::WriteFile(
            dir / "lm.reg",
            std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n") +
                c.values);
        RegistryRoot registry(test::Hives(dir));
        EXPECT_EQ(DatabaseSetting::Read(registry), c.conninfo) << c.values;
    }
}

// Every text reaches the server as a parameter and comes back byte for byte: a hostile
// surname, every byte of the code page but the separator, control characters in a child.
TEST_F(DatabaseStoreTest, EveryTextRoundTripsThroughAddReloadAndExport) {
    ClientsDataCls r = Holder("X1", "O'BRIEN\"; DROP TABLE x; --");
    for (int b = 0x20; b < 0x100; ++b)
        if (b != ';')
            r.MistoNarozeni += static_cast<char>(b);
    r.DetiAdd(std::string("\x01\t\\\"\x1F", 5), "01.02.2010", "M");
    r.DetiAdd(W("ŽOFIE ŠŤASTNÁ"), "", "F");
    DatabaseStore store(conninfo, Clerk("alena", "prepazka1"));
    ASSERT_TRUE(store.Open().ok);
    auto added = store.Add(r);
    ASSERT_EQ(added.What, Outcome::Done) << added.Error;
    EXPECT_EQ(added.Now.Line, r.GetDataAsLine());
    EXPECT_EQ(added.Now.Version, 1);

    auto rows = LoadFresh(conninfo);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].line, r.GetDataAsLine());
    EXPECT_EQ(rows[0].id, added.Now.Id);
    test::TempDir dir;
    ASSERT_TRUE(store.Export(dir / "Archive.db").ok);
    EXPECT_EQ(test::ReadFile(dir / "Archive.db"), r.GetDataAsLine() + "\r\n");
    // The office can read its own data: UTF-8 columns, the children as JSON.
    EXPECT_EQ(Server().Sql(db,
                           "SELECT prijmeni || '|' || (deti->1->>'jmeno') || '|' || "
                           "zmenil_uzivatel || '@' || zmenil_pocitac FROM zaznamy"),
              "O'BRIEN\"; DROP TABLE x; --|ŽOFIE ŠŤASTNÁ|alena@prepazka1");
    // A text the database cannot hold is refused, nothing is written.
    ClientsDataCls nul = Holder("X2");
    nul.Jmeno = std::string("A\0B", 3);
    EXPECT_EQ(store.Add(nul).Error, DatabaseMessages::NulByte());
    EXPECT_EQ(LoadAll(store).size(), 1u);
}

// A child's name given a line end by hand in SQL stays one record, and the records after it
// keep their own slots.
TEST_F(DatabaseStoreTest, ARowEditedByHandKeepsTheSlotsInStep) {
    DatabaseStore store(conninfo);
    ASSERT_TRUE(store.Open().ok);
    for (const char* number : {"X1", "X2", "X3"})
        ASSERT_EQ(store.Add(Holder(number)).What, Outcome::Done);
    Server().Sql(db,
                 "UPDATE zaznamy SET deti = '[{\"jmeno\": \"A\\nB\\r\", \"rok\": \"\", "
                 "\"sex\": \"M\"}]' WHERE cislo_pasu = 'X2'");
    DatabaseStore fresh(conninfo);
    ArchiveCls records{ArchiveCls::HeldElsewhere{}};
    ASSERT_TRUE(SharedArchive(fresh, records).Load().ok);
    ASSERT_EQ(records.Pocet(), 3);
    EXPECT_EQ(records.FindNumber("X3"), 2);
    EXPECT_EQ(records.Item(1)->Child(0).Jmeno, "A\nB\r");
}

TEST_F(DatabaseStoreTest, TwoProcessesAddingAtOnceLoseNothing) {
    auto codes = InProcesses(2, [&](int p) {
        DatabaseStore store(conninfo);
        for (int i = 0; i < 1000; ++i) {
            auto w = store.Add(Holder(std::to_string(p) + "-" + std::to_string(i)));
            if (w.What != Outcome::Done) {
                std::fprintf(stderr, "%s\n", w.Error.c_str());
                return 1;
            }
        }
        return 0;
    });
    EXPECT_EQ(codes, (std::vector<int>{0, 0}));
    auto rows = LoadFresh(conninfo);
    ASSERT_EQ(rows.size(), 2000u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_LT(rows[i - 1].id, rows[i].id);
}

TEST_F(DatabaseStoreTest, TheSameNewNumberFromTwoProcessesAtOnceIsAddedOnce) {
    for (int round = 0; round < 5; ++round) {
        const std::string number = "S" + std::to_string(round);
        auto codes = InProcesses(2, [&](int p) {
            DatabaseStore store(conninfo);
            auto w = store.Add(Holder(number, p == 0 ? "A" : "B"));
            // The one told "exists" is shown the other's record.
            if (w.What == Outcome::Exists)
                return w.Now.Line == Holder(number, p == 0 ? "B" : "A").GetDataAsLine() ? 2 : 3;
            return w.What == Outcome::Done ? 0 : 1;
        });
        std::sort(codes.begin(), codes.end());
        EXPECT_EQ(codes, (std::vector<int>{0, 2})) << round;
    }
    EXPECT_EQ(LoadFresh(conninfo).size(), 5u);
}

// Clerk A opened a record; clerk B did something to it; then A acts on the version A has: A
// is told who did what, A's No leaves B's version, A's Yes overwrites that version only.
TEST_F(DatabaseStoreTest, AChangeMeanwhileIsAskedAboutAndAYesOverwritesOnlyThatVersion) {
    const struct {
        bool bRemoves;
        bool aRemoves;
        Outcome told;
    } cases[] = {
        {false, false, Outcome::ChangedMeanwhile},
        {false, true, Outcome::ChangedMeanwhile},
        {true, false, Outcome::RemovedMeanwhile},
        {true, true, Outcome::RemovedMeanwhile},
    };
    DatabaseStore a(conninfo, Clerk("alena", "okno1"));
    DatabaseStore b(conninfo, Clerk("bohous", "okno3"));
    for (const auto& c : cases) {
        const std::string number = "C" + std::to_string(&c - cases);
        SCOPED_TRACE(number);
        const auto mine = a.Add(Holder(number)).Now;
        const auto byB =
            c.bRemoves ? b.Remove(mine.Id, 1) : b.Update(mine.Id, 1, Holder(number, "B"));
        ASSERT_EQ(byB.What, Outcome::Done);
        auto act = [&](int expected) {
            return c.aRemoves ? a.Remove(mine.Id, expected)
                              : a.Update(mine.Id, expected, Holder(number, "A"));
        };
        const auto told = act(1);
        EXPECT_EQ(told.What, c.told);
        EXPECT_EQ(told.Now.Version, 2);
        EXPECT_EQ(told.Now.Line, byB.Now.Line);
        EXPECT_EQ(told.Now.User + "@" + told.Now.Host, "bohous@okno3");
        EXPECT_LE(std::abs(told.Now.Time - std::time(nullptr)), 60);
        // No: nothing was written, B's version is the one in the database.
        auto rows = LoadFresh(conninfo);
        EXPECT_EQ(rows.back().line == byB.Now.Line, !c.bRemoves);
        // B changes it once more before A's Yes: a question again, never a silent overwrite.
        ASSERT_EQ(
            (c.bRemoves ? b.Restore(mine.Id, 2) : b.Update(mine.Id, 2, Holder(number, "BB"))).What,
            Outcome::Done);
        EXPECT_EQ(act(2).What, Outcome::ChangedMeanwhile);
        const auto yes = act(3);
        ASSERT_EQ(yes.What, Outcome::Done) << yes.Error;
        EXPECT_EQ(yes.Now.Version, 4);
        EXPECT_EQ(yes.Now.User, "alena");
        rows = LoadFresh(conninfo);
        EXPECT_EQ(!rows.empty() && rows.back().line == Holder(number, "A").GetDataAsLine(),
                  !c.aRemoves);
    }
}

TEST(DatabaseMessagesTest, TheQuestionsNameWhoAndWhen) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(DatabaseMessages::ChangedMeanwhile("bohous", "okno3", 1706782830),
              W("Záznam mezitím změnil uživatel bohous na počítači okno3 (01.02.2024 10:20:30). "
                "Chcete jej přesto přepsat?"));
    EXPECT_EQ(DatabaseMessages::RemovedMeanwhile("bohous", "okno3", 1706782830),
              W("Záznam mezitím odebral uživatel bohous na počítači okno3 (01.02.2024 10:20:30). "
                "Chcete jej přesto uložit?"));
    EXPECT_EQ(DatabaseMessages::ChangedBeforeRemoval("bohous", "okno3", 1706782830),
              W("Záznam mezitím změnil uživatel bohous na počítači okno3 (01.02.2024 10:20:30). "
                "Chcete jej přesto odebrat?"));
}

TEST_F(DatabaseStoreTest, AnotherCopysChangesArriveWithinTwoSecondsAndOwnOnesAreNotRepeated) {
    DatabaseStore a(conninfo);
    DatabaseStore b(conninfo, Clerk("bohous", "okno3"));
    int watched = -2;
    a.SetSocketWatch([&](int fd) { watched = fd; });
    ASSERT_TRUE(a.Open().ok);
    EXPECT_GE(watched, 0);
    EXPECT_EQ(watched, a.Socket());
    LoadAll(a);
    const auto own = a.Add(Holder("A1")).Now;
    EXPECT_TRUE(a.ReadNotifications().List.empty());

    std::int64_t other = 0;
    const struct {
        std::function<DatabaseStore::Write()> byB;
        Kind seen;
    } steps[] = {
        {[&] { return b.Add(Holder("B1")); }, Kind::Added},
        {[&] { return b.Update(other, 1, Holder("B1", "ZMĚNA")); }, Kind::Changed},
        {[&] { return b.Remove(other, 2); }, Kind::Removed},
        {[&] { return b.Restore(other, 3); }, Kind::Added},
        {[&] { return b.Update(own.Id, 1, Holder("A1", "JINAK")); }, Kind::Changed},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        const auto written = step.byB();
        ASSERT_EQ(written.What, Outcome::Done) << written.Error;
        other = other ? other : written.Now.Id;
        const auto start = std::chrono::steady_clock::now();
        const auto changes = Notified(a);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ASSERT_TRUE(changes.ok) << changes.Error;
        ASSERT_EQ(changes.List.size(), 1u);
        EXPECT_EQ(changes.List[0].What, step.seen);
        EXPECT_EQ(changes.List[0].Now.Id, written.Now.Id);
        EXPECT_EQ(changes.List[0].Now.Version, written.Now.Version);
        EXPECT_EQ(changes.List[0].Now.Line, written.Now.Line);
    }
}

TEST_F(DatabaseStoreTest, TheServerStoppedMidRunFailsTheSaveAndAfterARestartTheSameSaveSucceeds) {
    DatabaseStore a(conninfo);
    int watched = -2;
    a.SetSocketWatch([&](int fd) { watched = fd; });
    ASSERT_TRUE(a.Open().ok);
    ASSERT_EQ(a.Add(Holder("K1")).What, Outcome::Done);

    Server().Stop(true);
    // The event loop sees the socket readable: the loss is reported, the socket unwatched.
    const auto lost = Notified(a);
    EXPECT_FALSE(lost.ok);
    EXPECT_EQ(watched, -1);
    const auto failed = a.Add(Holder("K2"));
    EXPECT_EQ(failed.What, Outcome::Failed);
    const std::string prefix = DatabaseMessages::Unreachable(db, Server().SocketDir(), "");
    EXPECT_EQ(failed.Error.substr(0, prefix.size()), prefix);
    EXPECT_GT(failed.Error.size(), prefix.size());
    EXPECT_EQ(watched, -1);
    EXPECT_FALSE(a.Connected());

    Server().Start();
    DatabaseStore b(conninfo);
    const auto meanwhile = b.Add(Holder("K3"));
    ASSERT_EQ(meanwhile.What, Outcome::Done);
    const auto again = a.Add(Holder("K2"));
    ASSERT_EQ(again.What, Outcome::Done) << again.Error;
    EXPECT_GE(watched, 0);
    // What changed while the connection was away is reported by the next read.
    const auto changes = a.ReadNotifications();
    ASSERT_EQ(changes.List.size(), 1u);
    EXPECT_EQ(changes.List[0].Now.Line, meanwhile.Now.Line);
    const auto rows = LoadFresh(conninfo);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].line, Holder("K2").GetDataAsLine());
}

// The administrator's set-up of the README: the clerks' role reads and writes records and
// nothing else.
constexpr const char* kClerkGrants =
    "GRANT SELECT ON schema_version TO vexa_urednici; "
    "GRANT SELECT, INSERT, UPDATE ON zaznamy TO vexa_urednici; "
    "GRANT USAGE ON SEQUENCE zaznamy_zmena TO vexa_urednici";

TEST_F(DatabaseStoreTest, TheTablesAreTheProgramsAndANewerVersionIsRefused) {
    Server().Sql("postgres",
                 "CREATE ROLE vexa_urednici NOLOGIN; "
                 "CREATE ROLE novakova LOGIN IN ROLE vexa_urednici");
    const std::string clerk = Server().ConnInfo(db, "novakova");
    EXPECT_EQ(DatabaseStore(clerk).Open().Error, DatabaseMessages::NoSchema(db, "novakova"));
    DatabaseStore owner(conninfo);
    bool created = false;
    ASSERT_TRUE(owner.CreateSchema(&created).ok);
    EXPECT_TRUE(created);
    Server().Sql(db, kClerkGrants);

    DatabaseStore store(clerk);
    ASSERT_TRUE(store.Open().ok);
    const auto added = store.Add(Holder("R1"));
    ASSERT_EQ(added.What, Outcome::Done) << added.Error;
    EXPECT_EQ(store.Update(added.Now.Id, 1, Holder("R1", "JINAK")).What, Outcome::Done);
    EXPECT_EQ(store.Remove(added.Now.Id, 2).What, Outcome::Done);
    EXPECT_EQ(store.Restore(added.Now.Id, 3).What, Outcome::Done);
    EXPECT_EQ(LoadAll(store).size(), 1u);

    Server().Sql(
        db, "UPDATE schema_version SET verze = " + std::to_string(DatabaseSchema::kVersion + 1));
    const std::string newer =
        DatabaseMessages::NewerSchema(db, DatabaseSchema::kVersion + 1, DatabaseSchema::kVersion);
    EXPECT_EQ(DatabaseStore(clerk).Open().Error, newer);
    EXPECT_EQ(DatabaseStore(clerk).Add(Holder("R2")).Error, newer);
}

}  // namespace
}  // namespace vexa
