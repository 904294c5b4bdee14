// vexa-archiv, the program itself, against the test program's own server.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/Cp1250.h"
#include "records/ArchiveMessages.h"
#include "records/DatabaseMessages.h"
#include "support/PgServer.h"
#include "support/TestSupport.h"

namespace vexa {

test::PgServer& Server();

namespace {

struct Ran {
    int code;
    std::string out;
    std::string err;
};

// Runs vexa-archiv with `args`, the environment plus `env`.
Ran Archiv(const test::TempDir& dir, std::vector<std::string> args,
           const std::vector<std::string>& env = {}) {
    args.insert(args.begin(), VEXA_ARCHIV);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = dir / "out.txt", err = dir / "err.txt";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        for (const std::string& e : env)
            ::putenv(const_cast<char*>(e.c_str()));
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(out), test::ReadFile(err)};
}

std::string Error(const std::string& message) {
    return "vexa-archiv: " + Cp1250::ToUtf8(message) + "\n";
}

// A hand-made archive: duplicates of a number, children, empty values, every Czech letter.
const std::string kArchive = test::W(
    "40123456;ŠŤASTNÁ;ŽOFIE;855612/1234;TŘEBÍČ;01.02.2020;01.02.2030;MÚ ŠUMPERK\r\n"
    "40123456;NOVÁK;PETR;800101/1234;BRNO;02.03.2021;02.03.2031;MÚ BRNO;JAN NOVÁK;01.01.2010;M;"
    "EVA NOVÁKOVÁ;;F\r\n"
    ";;;;;;;\r\n"
    "X9;áčďéěíňóřšťúůýž;ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ;;;;;;;;\r\n");

TEST(ArchivCommandTest, ImportThenExportGivesTheSameBytesAndAFullArchiveIsNotImportedInto) {
    test::TempDir dir;
    test::WriteFile(dir / "Archive.db", kArchive);
    const std::string db = Server().NewDatabase();
    const std::string conninfo = "--databaze=" + Server().ConnInfo(db);
    const std::string twice = dir / "twice.db";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out;
        std::string err;
    } steps[] = {
        {{conninfo, "init"}, 0, "Tabulky archivu jsou vytvořeny.\n", ""},
        {{conninfo, "init"}, 0, "Tabulky archivu už existují.\n", ""},
        {{conninfo, "import", dir / "Archive.db"}, 0, "Načteno záznamů: 4\n", ""},
        {{conninfo, "export", dir / "back.db"}, 0, "", ""},
        {{conninfo, "import", dir / "Archive.db"}, 1, "", Error(DatabaseMessages::NotEmpty(4))},
        {{conninfo, "import", "--pridat", dir / "Archive.db"}, 0, "Načteno záznamů: 4\n", ""},
        {{conninfo, "export", twice}, 0, "", ""},
        {{"import"}, 2, "", ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.args.back());
        const Ran ran = Archiv(dir, step.args);
        EXPECT_EQ(ran.code, step.code);
        EXPECT_EQ(ran.out, step.out);
        if (step.code != 2) {
            EXPECT_EQ(ran.err, step.err);
        }
    }
    EXPECT_EQ(test::ReadFile(dir / "back.db"), kArchive);
    EXPECT_EQ(test::ReadFile(twice), kArchive + kArchive);
}

// A line with more children than a record holds refuses the whole file; the connection comes
// from the installation's registry value.
TEST(ArchivCommandTest, AFileTheArchiveCannotHoldIsRefusedWhole) {
    test::TempDir dir;
    std::string line = "1;;;;;;;";
    for (int i = 0; i < 256; ++i)
        line += ";D;01.01.2010;F";
    test::WriteFile(dir / "Archive.db", "2;;;;;;;\r\n" + line + "\r\n");
    const std::string db = Server().NewDatabase();
    ::mkdir((dir / "Lomar").c_str(), 0700);
    test::WriteFile(
        dir / "Lomar/HKEY_LOCAL_MACHINE.reg",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n\"databaze\"=\"" +
            Server().ConnInfo(db) + "\"\r\n");
    const std::vector<std::string> env = {"XDG_CONFIG_DIRS=" + dir.Path()};
    const Ran refused = Archiv(dir, {"import", dir / "Archive.db"}, env);
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, Error(ArchiveMessages::TooManyChildren(2, 255)));
    EXPECT_EQ(Archiv(dir, {"export", dir / "back.db"}, env).code, 0);
    EXPECT_EQ(test::ReadFile(dir / "back.db"), "");
}

}  // namespace
}  // namespace vexa
