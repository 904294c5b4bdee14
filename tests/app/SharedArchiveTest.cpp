// The main window over an archive in a PostgreSQL database: two real windows (two clerks) and
// a second client meeting on one private server.
#include <libpq-fe.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "WindowRun.h"
#include "records/DatabaseMessages.h"
#include "records/DatabaseStore.h"
#include "support/PgServer.h"

using namespace vexa;
using test::Run;
using test::Strings;
using test::W;
using Answer = MessageBox::Answer;

namespace {

test::PgServer* server = nullptr;

// A run of the program whose installation names the database.
void UseDatabase(Run& run, const std::string& conninfo) {
    std::filesystem::create_directories(run.dirs.systemConfig + "/Lomar");
    test::WriteFile(run.dirs.systemConfig + "/Lomar/HKEY_LOCAL_MACHINE.reg",
                    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n"
                    "\"databaze\"=\"" +
                        conninfo + "\"\r\n");
}

ClientsDataCls Holder(const std::string& number, const std::string& surname) {
    ClientsDataCls record;
    std::string line = test::Line(number, surname, test::kManRc);
    record.LoadFromLine(line.substr(0, line.size() - 2));
    return record;
}

// The question about the one record as another clerk (this process's user and host) changed
// or removed it: `column` holds the time.
using Question = std::string (*)(const std::string&, const std::string&, std::int64_t);
std::string Asked(const std::string& db, Question question, const std::string& column) {
    const DatabaseStore::Clerk clerk = DatabaseStore::Clerk::ThisOne();
    const std::string time =
        server->Sql(db, "SELECT floor(extract(epoch FROM " + column + "))::bigint FROM zaznamy");
    return W("Varování: ") + question(clerk.User, clerk.Host, std::stoll(time));
}

}  // namespace

class SharedArchiveTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { server = new test::PgServer(); }
    void cleanupTestCase() { delete server; }
    void twoClerksOnOneRecord();
    void anotherCopysChangesReachTheList();
    void savedBeforeTheRecordsCameIn();
    void serverAway();
};

// Clerk B changes the record clerk A has open; A's save is asked about, and No keeps B's
// version in the database and A's text on A's screen. A record removed meanwhile is asked
// about too.
void SharedArchiveTest::twoClerksOnOneRecord() {
    const std::string db = server->NewDatabase();
    Run a, b;
    UseDatabase(a, server->ConnInfo(db));
    UseDatabase(b, server->ConnInfo(db));
    a.Start();
    b.Start();
    a.FillRecord("P1", "NOVAK");
    a.Click("cmdUlozit");
    QCOMPARE(a.Shown(), (Strings{"Info: " + W("Záznam byl úspěšně uložen")}));
    QTRY_COMPARE_WITH_TIMEOUT(b.ListColumn(1), (Strings{"NOVAK"}), 2000);

    b.Open("P1");
    b.Type("edPrijmeni", W("NOVÁKOVÁ"));
    b.messages.AnswerNext(Answer::Yes);
    b.Click("cmdUlozit");
    QCOMPARE(b.Shown().back(), "Info: " + W("Záznam byl uložen"));
    QTRY_COMPARE_WITH_TIMEOUT(a.ListColumn(1), (Strings{W("NOVÁKOVÁ")}), 2000);

    const std::string exists =
        W("Varování: Pas s číslem P1 již existuje. Chcete přesto změny uložit?");
    // B's change, as asked about: read now, before A's Yes gives the row A's own time.
    const std::string changed = Asked(db, DatabaseMessages::ChangedMeanwhile, "zmeneno");
    a.messages.ClearShown();
    a.Type("edPrijmeni", W("NOVOTNÝ"));
    a.messages.AnswerNext(Answer::Yes);
    a.messages.AnswerNext(Answer::No);
    a.Click("cmdUlozit");
    QCOMPARE(a.Shown(), (Strings{exists, changed}));
    QCOMPARE(server->Sql(db, "SELECT prijmeni FROM zaznamy"), std::string("NOVÁKOVÁ"));
    QCOMPARE(a.Text("edPrijmeni"), W("NOVOTNÝ"));

    // Asked again, Yes overwrites B's version.
    a.messages.ClearShown();
    a.messages.AnswerNext(Answer::Yes);
    a.messages.AnswerNext(Answer::Yes);
    a.Click("cmdUlozit");
    QCOMPARE(a.Shown(), (Strings{exists, changed, "Info: " + W("Záznam byl uložen")}));
    QCOMPARE(server->Sql(db, "SELECT prijmeni || ' ' || verze FROM zaznamy"),
             std::string("NOVOTNÝ 3"));

    // B removes it while A has it open: A's next save is a question, not a silent return.
    QTRY_COMPARE_WITH_TIMEOUT(b.ListColumn(1), (Strings{W("NOVOTNÝ")}), 2000);
    b.ClickTab(1);
    b.ClickRowOf("P1");
    b.Click("cmdOdebrat");
    QTRY_COMPARE_WITH_TIMEOUT(a.List()->TotalCount(), 0, 2000);
    const std::string removed = Asked(db, DatabaseMessages::RemovedMeanwhile, "odebrano");
    a.Type("edJmeno", "PETR");
    for (Answer answer : {Answer::No, Answer::Yes}) {
        a.messages.ClearShown();
        a.messages.AnswerNext(answer);
        a.Click("cmdUlozit");
        QCOMPARE(a.Shown().front(), removed);
    }
    QCOMPARE(a.Shown().back(), "Info: " + W("Záznam byl uložen"));
    QCOMPARE(server->Sql(db, "SELECT jmeno || ' ' || (odebrano IS NULL) FROM zaznamy"),
             std::string("PETR true"));
    QTRY_COMPARE_WITH_TIMEOUT(b.ListColumn(2), (Strings{"PETR"}), 2000);

    // Vrátit brings B's own removal back, for A too.
    b.ClickRowOf("P1");
    b.Click("cmdOdebrat");
    b.Click("cmdVratit");
    QCOMPARE(server->Sql(db, "SELECT (odebrano IS NULL) || ' ' || verze FROM zaznamy"),
             std::string("true 7"));
    QCOMPARE(b.ListColumn(2), (Strings{"PETR"}));
    QCOMPARE(a.messages.Unanswered() + b.messages.Unanswered(), 0);
}

// Records another copy adds, changes and removes reach a running window's list within 2 s;
// the list keeps its sort, its filter and its chosen row.
void SharedArchiveTest::anotherCopysChangesReachTheList() {
    const std::string db = server->NewDatabase();
    DatabaseStore other(server->ConnInfo(db));
    QVERIFY(other.Open().ok);
    for (const char* surname : {"NOVAK", "DVORAK", "NOVOTNY", "NOVY"})
        QCOMPARE(other.Add(Holder(surname, surname)).What, DatabaseStore::Outcome::Done);
    Run run;
    UseDatabase(run, server->ConnInfo(db));
    run.Start();
    run.ClickTab(1);
    QHeaderView* header = run.List()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    run.Type("edHledat", "NOV");
    run.ClickRowOf("NOVY");
    QCOMPARE(run.ListColumn(1), (Strings{"NOVAK", "NOVOTNY", "NOVY"}));

    DatabaseStore::Write novotny = other.Add(Holder("X", "NOVOTNA"));
    other.Update(novotny.Now.Id, novotny.Now.Version, Holder("X", W("NOVÁČEK")));
    other.Add(Holder("Y", "HORAK"));
    other.Remove(1, 1);  // NOVAK
    QTRY_COMPARE_WITH_TIMEOUT(run.ListColumn(1), (Strings{W("NOVÁČEK"), "NOVOTNY", "NOVY"}), 2000);
    QCOMPARE(run.C<Label>("lPocet")->Caption(), std::string("3 z 5"));
    auto chosen = run.List()->SelectedItem();
    QVERIFY(chosen.has_value());
    QCOMPARE(run.List()->Text(*chosen, 0), std::string("NOVY"));
}

// The window is usable while its records are on their way: a record typed and saved then
// waits for them, and is saved once, beside them.
void SharedArchiveTest::savedBeforeTheRecordsCameIn() {
    const std::string db = server->NewDatabase();
    DatabaseStore other(server->ConnInfo(db));
    QVERIFY(other.Open().ok);
    QCOMPARE(other.Add(Holder("P1", "NOVAK")).What, DatabaseStore::Outcome::Done);
    // The table held, so the start's read waits until well after the click.
    PGconn* holder = PQconnectdb(server->ConnInfo(db).c_str());
    PQclear(PQexec(holder, "BEGIN; LOCK TABLE zaznamy"));
    std::atomic<bool> clicking = false;
    std::thread release([&] {
        while (!clicking)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        PQclear(PQexec(holder, "COMMIT"));
    });
    Run run;
    UseDatabase(run, server->ConnInfo(db));
    run.Start(false);
    run.FillRecord("P2", "DVORAK");
    QVERIFY(!run.form->RecordsIn());
    clicking = true;
    run.Click("cmdUlozit");
    release.join();
    PQfinish(holder);
    QCOMPARE(run.Shown(), (Strings{"Info: " + W("Záznam byl úspěšně uložen")}));
    QCOMPARE(run.ListColumn(1), (Strings{"NOVAK", "DVORAK"}));
    QCOMPARE(server->Sql(db, "SELECT count(*) FROM zaznamy"), std::string("2"));
}

// No server at start: the archive is empty, nothing is saved and no file is written in the
// database's place. The server lost while running: the save fails with the message and the
// record stays; once the server is back, the same save succeeds.
void SharedArchiveTest::serverAway() {
    {
        Run run;
        UseDatabase(run, "host=" + (run.tmp / "no-server") + " dbname=vexa");
        run.Start();
        const Strings shown = run.Shown();
        QCOMPARE(shown.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(shown[0]).startsWith(
            QString::fromStdString(W("Warning: Databáze archivu „vexa“ na serveru "))));
        QVERIFY(QString::fromStdString(shown[0]).endsWith(QString::fromStdString(
            W(". Program poběží s prázdným archivem a záznamy v tomto běhu neuloží; až bude "
              "databáze dostupná, spusťte jej znovu."))));
        run.messages.ClearShown();
        run.FillRecord("P1", "NOVAK");
        run.Click("cmdUlozit");
        QCOMPARE(run.Shown(), (Strings{"Warning: " + W("Záznam nebyl uložen: databáze archivu "
                                                       "nebyla při spuštění programu dostupná.")}));
        run.form->close();
        QVERIFY(!std::filesystem::exists(run.dirs.userData + "/Lomar/Vexa/Archive.db"));
    }
    const std::string db = server->NewDatabase();
    Run run;
    UseDatabase(run, server->ConnInfo(db));
    run.Start();
    run.FillRecord("P1", "NOVAK");
    server->Stop(true);
    run.Click("cmdUlozit");
    const Strings shown = run.Shown();
    QCOMPARE(shown.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(shown[0]).startsWith(QString::fromStdString(
        W("Warning: Záznam nebyl uložen. Databáze archivu „") + db + W("“ na serveru "))));
    QCOMPARE(run.Text("edPrijmeni"), std::string("NOVAK"));
    server->Start();
    run.messages.ClearShown();
    run.Click("cmdUlozit");
    QCOMPARE(run.Shown(), (Strings{"Info: " + W("Záznam byl úspěšně uložen")}));
    QCOMPARE(server->Sql(db, "SELECT count(*) FROM zaznamy"), std::string("1"));
    QCOMPARE(run.ListColumn(0), (Strings{"P1"}));
}

QTEST_MAIN(SharedArchiveTest)
#include "SharedArchiveTest.moc"
