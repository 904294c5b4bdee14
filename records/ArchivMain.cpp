// vexa-archiv: moves an office's archive between Archive.db and its PostgreSQL database.
//
//   vexa-archiv [--databaze SPOJENÍ] init                    creates the tables
//   vexa-archiv schema                                       prints the script that does
//   vexa-archiv [--databaze SPOJENÍ] import [--pridat] SOUBOR  Archive.db into the database
//   vexa-archiv [--databaze SPOJENÍ] export SOUBOR           the live records as Archive.db
//
// Without --databaze the connection string is the value "databaze" of
// HKEY_LOCAL_MACHINE\SOFTWARE\Lomar\Vexa. Exit status: 0 done, 1 refused or failed, 2 a wrong
// command line.
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Cp1250.h"
#include "platform/Registry.h"
#include "platform/TextFiles.h"
#include "platform/XdgDirs.h"
#include "records/ArchiveMessages.h"
#include "records/DatabaseSchema.h"
#include "records/DatabaseSetting.h"
#include "records/DatabaseStore.h"

namespace {

using vexa::Cp1250;
using vexa::Cs;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Usage() {
    std::fputs(
        "použití: vexa-archiv [--databaze SPOJENÍ] init\n"
        "         vexa-archiv schema\n"
        "         vexa-archiv [--databaze SPOJENÍ] import [--pridat] SOUBOR\n"
        "         vexa-archiv [--databaze SPOJENÍ] export SOUBOR\n"
        "  init    vytvoří v prázdné databázi tabulky archivu\n"
        "  schema  vypíše skript SQL, který je vytvoří\n"
        "  import  načte Archive.db do databáze (do archivu se záznamy jen s --pridat)\n"
        "  export  zapíše záznamy databáze jako Archive.db\n"
        "Bez --databaze platí hodnota \"databaze\" klíče "
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa.\n",
        stderr);
    return kUsage;
}

// A message of the program (Windows-1250) on the standard error output.
int Fail(const std::string& message) {
    std::fprintf(stderr, "vexa-archiv: %s\n", Cp1250::ToUtf8(message).c_str());
    return kFailed;
}

void Say(const std::string& message) {
    std::printf("%s\n", Cp1250::ToUtf8(message).c_str());
}

// A bar on a terminal; nothing when the output goes elsewhere.
void ShowProgress(std::size_t done, std::size_t total) {
    constexpr int kWidth = 40;
    const int filled = total ? static_cast<int>(done * kWidth / total) : kWidth;
    std::fprintf(stderr, "\r[%s%s] %3d %% (%zu/%zu)", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(),
                 total ? static_cast<int>(done * 100 / total) : 100, done, total);
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::string> conninfo;
    bool add = false;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--databaze" && i + 1 < argc) {
            conninfo = argv[++i];
        } else if (arg.rfind("--databaze=", 0) == 0) {
            conninfo = std::string(arg.substr(11));
        } else if (arg == "--pridat") {
            add = true;
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (arg == "--version") {
            std::printf("vexa-archiv %s\n", VEXA_VERSION);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage();
        } else {
            words.emplace_back(arg);
        }
    }
    if (words.empty())
        return Usage();
    const std::string command = words[0];
    const bool withFile = command == "import" || command == "export";
    if ((command != "init" && command != "schema" && !withFile) ||
        words.size() != (withFile ? 2u : 1u) || (add && command != "import"))
        return Usage();
    if (command == "schema") {
        std::fputs(vexa::DatabaseSchema::Script().c_str(), stdout);
        return 0;
    }

    if (!conninfo) {
        vexa::RegistryRoot registry(vexa::XdgDirs::FromEnvironment());
        if (registry.Problem("HKEY_LOCAL_MACHINE"))
            return Fail(vexa::ArchiveMessages::LocationUnknown());
        conninfo = vexa::DatabaseSetting::Read(registry);
        if (!conninfo)
            return Fail(
                Cs("není zadána databáze: chybí volba --databaze i hodnota \"databaze\" "
                   "klíče HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa"));
    }
    vexa::DatabaseStore store(*conninfo);

    if (command == "init") {
        bool created = false;
        if (auto done = store.CreateSchema(&created); !done.ok)
            return Fail(done.Error);
        Say(created ? Cs("Tabulky archivu jsou vytvořeny.") : Cs("Tabulky archivu už existují."));
        return 0;
    }
    const std::string& file = words[1];
    if (command == "import") {
        std::string bytes;
        if (auto read = vexa::TextFiles::ReadAll(file, bytes); !read.ok)
            return Fail(Cs("soubor ") + Cp1250::FromUtf8Lossy(file) +
                        Cs(" se nepodařilo přečíst: ") + read.error);
        std::size_t records = 0;
        vexa::TextFiles::ForEachLine(
            bytes, [&](std::string_view line) { records += line.empty() ? 0 : 1; });
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        auto done = store.Import(bytes, add,
                                 terminal ? vexa::DatabaseStore::Progress(ShowProgress)
                                          : vexa::DatabaseStore::Progress());
        if (!done.ok)
            return Fail(done.Error);
        Say(Cs("Načteno záznamů: ") + std::to_string(records));
        return 0;
    }
    if (auto done = store.Export(file); !done.ok)
        return Fail(done.Error);
    return 0;
}
