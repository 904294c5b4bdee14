// How long the window takes to come up with an archive of 100,000 records (shaped like an
// office's, bench/BenchArchive.h), to its first frame painted, with its peak memory, and to
// sort its list by a clicked column. On a display (DISPLAY set, e.g. under
// xvfb-run) it uses the X server; without one, the offscreen platform:
//   xvfb-run -a build/bench/startup_bench [records]
//   build/bench/startup_bench [records [start]]
#include <stdlib.h>

#include <QApplication>
#include <QHeaderView>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/frmVexa.h"
#include "bench/BenchArchive.h"
#include "platform/XdgDirs.h"
#include "platform/port/MemoryPortOpener.h"

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
        std::printf("platform:               %s\n", qPrintable(QGuiApplication::platformName()));
        std::printf("records:                %d\n", window.Archive().Pocet());
        std::printf("start to application:   %.1f ms\n", Ms(start, appUp));
        std::printf("start to window built:  %.1f ms\n", Ms(start, built));
        std::printf("start to first frame:   %.1f ms\n", Ms(start, shown));
        std::printf("memory (VmHWM):         %.1f MB\n", PeakMb());

        if (startOnly)
            return 0;
        auto* tabs = window.findChild<vexa::TabControl*>(QStringLiteral("VexaMainTab"));
        auto* list = window.findChild<vexa::ListView*>(QStringLiteral("ArchiveList"));
        tabs->SetTab(1);
        QApplication::processEvents();
        const char* names[] = {"Číslo pasu", "Příjmení", "Jméno", "Rodné číslo"};
        for (int column : {1, 2, 3, 0}) {
            const Clock::time_point before = Clock::now();
            emit list->header()->sectionClicked(column);  // as a click on the header
            list->viewport()->repaint();
            QApplication::processEvents();
            std::printf("sort by column %d:      %.1f ms  (%s)\n", column + 1,
                        Ms(before, Clock::now()), names[column]);
            if (list->SortKey() != column)
                result = 1;
        }
    }
    return result;
}
