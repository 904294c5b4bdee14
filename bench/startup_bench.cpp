// How long the window takes to come up with an archive of 100,000 records (shaped like an
// office's, bench/BenchArchive.h), to its first frame painted, with its peak memory, and to
// sort its list by a clicked column. On a display (DISPLAY set, e.g. under
// xvfb-run) it uses the X server; without one, the offscreen platform:
//   xvfb-run -a build/bench/startup_bench [records [start|nosort] [db]]
// With "db" the archive is in a database instead of Archive.db: the same records imported into
// a PostgreSQL server of the benchmark's own (a temporary directory, a Unix socket, flushed to
// the disk at each commit as a real server is).
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/frmVexa.h"
#include "bench/BenchArchive.h"
#include "platform/TextFiles.h"
#include "platform/XdgDirs.h"
#include "platform/port/MemoryPortOpener.h"
#include "records/DatabaseStore.h"
#include "support/PgServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The process's peak memory (VmHWM of /proc/self/status), in MB.
double PeakMb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("VmHWM:"))
            return std::atof(line.c_str() + 6) * 1024.0 / 1e6;
    }
    return -1;
}

// Notes the window's first paint.
class PaintWatch : public QObject {
  public:
    bool seen = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    // "start" after the count: only the start is timed (for a profiler).
    const bool startOnly = argc > 2 && std::string(argv[2]) == "start";
    // "nosort": the sorts by each column are left out (for a profile of saving and searching).
    const bool sorts = !(argc > 2 && std::string(argv[2]) == "nosort");
    const bool inDatabase = argc > 2 && std::string(argv[argc - 1]) == "db";
    if (getenv("QT_QPA_PLATFORM") == nullptr && getenv("DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    std::string tmpl = (std::filesystem::temp_directory_path() / "vexa-bench-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr)
        return 1;
    vexa::XdgDirs dirs{tmpl + "/config", tmpl + "/system", tmpl + "/data"};
    const std::string archiveDir = dirs.userData + "/Lomar/Vexa";
    std::filesystem::create_directories(archiveDir);
    if (vexa::bench::BenchArchive::Write(archiveDir + "/Archive.db", count) < 0)
        return 1;
    std::unique_ptr<vexa::test::PgServer> server;
    if (inDatabase) {
        server = std::make_unique<vexa::test::PgServer>(true);
        const std::string db = server->NewDatabase();
        std::string bytes;
        vexa::DatabaseStore store(server->ConnInfo(db));
        if (!vexa::TextFiles::ReadAll(archiveDir + "/Archive.db", bytes).ok || !store.Open().ok ||
            !store.Import(bytes, false).ok)
            return 1;
        // A server at rest, as a clerk finds it: the import's writes are out of its way.
        server->Sql(db, "CHECKPOINT");
        std::filesystem::remove(archiveDir + "/Archive.db");
        std::filesystem::create_directories(dirs.systemConfig + "/Lomar");
        std::ofstream(dirs.systemConfig + "/Lomar/HKEY_LOCAL_MACHINE.reg")
            << "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lomar\\Vexa]\r\n"
            << "\"databaze\"=\"" << server->ConnInfo(db) << "\"\r\n";
    }

    // A machine at rest, as a clerk finds it: what was just written is on the disk, and the
    // writing is over, in both forms of the archive.
    ::sync();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // The directory goes when main returns, after the window and the application.
    struct RemoveAtEnd {
        std::string dir;
        ~RemoveAtEnd() { std::filesystem::remove_all(dir); }
    } removeAtEnd{tmpl};

    const Clock::time_point start = Clock::now();
    int result = 0;
    {
        QApplication app(argc, argv);
        const Clock::time_point appUp = Clock::now();
        vexa::RegistryRoot registry(dirs);
        vexa::Config config(registry);
        vexa::MessageBox messages;
        messages.AnswerByItself();
        vexa::MemoryPortOpener ports;
        vexa::frmVexa window(config, archiveDir, messages, ports);
        const Clock::time_point built = Clock::now();
        PaintWatch painted;
        window.installEventFilter(&painted);
        window.show();
        while (!painted.seen || window.windowHandle() == nullptr ||
               !window.windowHandle()->isExposed()) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QApplication::processEvents();
        const Clock::time_point shown = Clock::now();
        // A database's records come in after the first frame, while the clerk may type.
        while (!window.RecordsIn())
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        const Clock::time_point recordsIn = Clock::now();
        std::printf("platform:               %s\n", qPrintable(QGuiApplication::platformName()));
        std::printf("records:                %d\n", window.Archive().Pocet());
        std::printf("start to application:   %.1f ms\n", Ms(start, appUp));
        std::printf("start to window built:  %.1f ms\n", Ms(start, built));
        std::printf("start to first frame:   %.1f ms\n", Ms(start, shown));
        std::printf("start to records in:    %.1f ms\n", Ms(start, recordsIn));
        std::printf("memory (VmHWM):         %.1f MB\n", PeakMb());

        if (startOnly)
            return 0;
        auto* tabs = window.findChild<vexa::TabControl*>(QStringLiteral("VexaMainTab"));
        auto* list = window.findChild<vexa::ListView*>(QStringLiteral("ArchiveList"));
        tabs->SetTab(1);
        QApplication::processEvents();
        const char* names[] = {"Číslo pasu", "Příjmení", "Jméno", "Rodné číslo"};
        for (int column : sorts ? std::vector<int>{1, 2, 3, 0} : std::vector<int>{}) {
            const Clock::time_point before = Clock::now();
            emit list->header()->sectionClicked(column);  // as a click on the header
            list->viewport()->repaint();
            QApplication::processEvents();
            std::printf("sort by column %d:      %.1f ms  (%s)\n", column + 1,
                        Ms(before, Clock::now()), names[column]);
            if (list->SortKey() != column)
                result = 1;
        }
        // One "Uložit" of a new holder, as the clerk gives it: the record checked, added,
        // journalled and flushed, its row added; the median of 21.
        tabs->SetTab(0);
        QApplication::processEvents();
        auto box = [&](const char* name) {
            return window.findChild<vexa::TextBox*>(QString::fromLatin1(name));
        };
        const std::pair<const char*, std::string> fields[] = {{"edPrijmeni", vexa::Cs("ŘEHOŘOVÁ")},
                                                              {"edJmeno", vexa::Cs("BOŽENA")},
                                                              {"edRC_date", "855612"},
                                                              {"edRC_rest", "1233"},
                                                              {"edDN_Den", "12"},
                                                              {"edDN_Mesic", "06"},
                                                              {"edDN_Rok", "1985"},
                                                              {"edMistoNarozeni", "BRNO"},
                                                              {"edPasVydal", vexa::Cs("MÚ BRNO")}};
        for (const auto& [name, text] : fields)
            box(name)->SetText(text);
        window.findChild<vexa::ComboBox*>(QStringLiteral("comSex"))->SetText("F");
        auto* save = window.findChild<vexa::Button*>(QStringLiteral("cmdUlozit"));
        std::vector<double> saves;
        for (int i = 0; i < 21; ++i) {
            box("edCisloPasu")->SetText("ZZ" + std::to_string(1000000 + i));
            const Clock::time_point before = Clock::now();
            emit save->Click();
            saves.push_back(Ms(before, Clock::now()));
        }
        std::sort(saves.begin(), saves.end());
        std::printf("one Uložit (median):    %.1f ms  (slowest %.1f ms)\n", saves[10],
                    saves.back());
        if (window.Archive().Pocet() != count + 21)
            result = 1;

        // Keystrokes in "Hledat:", each until the list has its new rows: typing on, then
        // taking the letters back one by one.
        tabs->SetTab(1);
        QApplication::processEvents();
        vexa::TextBox* search = box("edHledat");
        search->setFocus();
        const struct {
            int key;
            const char* text;
        } keys[] = {{Qt::Key_N, "n"},        {Qt::Key_O, "o"},        {Qt::Key_V, "v"},
                    {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""}};
        for (const auto& k : keys) {
            QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier, QString::fromLatin1(k.text));
            const Clock::time_point before = Clock::now();
            QApplication::sendEvent(search, &press);
            list->viewport()->repaint();
            QApplication::processEvents();
            std::printf("key in Hledat \"%s\": %8.1f ms  (%d rows shown)\n",
                        qPrintable(search->text()), Ms(before, Clock::now()), list->ListCount());
        }
        return result;
    }
}
