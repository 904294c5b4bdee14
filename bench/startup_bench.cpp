// How long the window takes to come up with an archive of 100,000 records, to its first frame
// painted, and to sort its list by a clicked column. On a display (DISPLAY set, e.g. under
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
#include "platform/Cp1250.h"
#include "platform/XdgDirs.h"
#include "platform/port/MemoryPortOpener.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// An archive of `count` records with varied Czech names, in the file's own format.
void WriteArchive(const std::string& path, int count) {
    const std::string surnames[] = {vexa::Cs("NOVÁK"),  vexa::Cs("SVOBODA"),   vexa::Cs("DVOŘÁK"),
                                    vexa::Cs("ČERNÝ"),  vexa::Cs("PROCHÁZKA"), vexa::Cs("KUČERA"),
                                    vexa::Cs("VESELÝ"), vexa::Cs("HORÁK"),     vexa::Cs("ŠŤASTNÝ"),
                                    vexa::Cs("ŽÁK"),    vexa::Cs("Řezníček"),  vexa::Cs("bílá")};
    const std::string names[] = {"JAN",   "PETR",           vexa::Cs("JIŘÍ"),  "PAVEL",
                                 "MARIE", vexa::Cs("JANA"), vexa::Cs("ŠÁRKA"), "EVA"};
    std::string out;
    out.reserve(static_cast<std::size_t>(count) * 96);
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    for (int i = 0; i < count; ++i) {
        unsigned r = next();
        char number[16];
        std::snprintf(number, sizeof number, "%08u", r % 100000000u);
        char rc[16];
        std::snprintf(rc, sizeof rc, "%02u%02u%02u/%03u", 30 + r % 20, 1 + r % 12, 1 + r % 28,
                      r % 1000);
        out += number;
        out += ';' + surnames[r % 12] + std::to_string(i % 97) + ';' + names[(r >> 4) % 8] + ';' +
               rc + vexa::Cs(";BRNO;01.02.2020;01.02.2030;MÚ BRNO\r\n");
    }
    std::ofstream(path, std::ios::binary) << out;
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
    WriteArchive(archiveDir + "/Archive.db", count);

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
    std::filesystem::remove_all(tmpl);
    return result;
}
