// A running copy of the program for the session tests: the real window on the offscreen
// platform over the directories under argv[1], with the session end wired as the program
// wires it. It does what the words after the directory say, writes what its boxes showed and
// then "ready" on its standard output, and runs until it is ended:
//   save NUMBER SURNAME   types a complete holder and presses "Uložit"
//   type SURNAME          types a surname over the one on screen, and leaves it unsaved
#include <QApplication>
#include <cstdio>
#include <string>

#include "WindowRun.h"
#include "app/SessionEnd.h"

using namespace vexa;

int main(int argc, char* argv[]) {
    if (argc < 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SessionEnd sessionEnd;
    test::Run run(argv[1]);
    frmVexa& form = run.Start();
    auto report = [&run] {
        for (const std::string& shown : run.Shown())
            std::printf("%s\n", Cp1250::ToUtf8(shown).c_str());
        run.messages.ClearShown();
    };
    if (form.Refused()) {
        report();
        return 3;
    }
    QObject::connect(&sessionEnd, &SessionEnd::Ending, &form, &frmVexa::EndSession);
    for (int i = 2; i < argc; ++i) {
        const std::string action = argv[i];
        if (action == "save" && i + 2 < argc) {
            run.FillRecord(argv[i + 1], argv[i + 2]);
            run.Click("cmdUlozit");
            i += 2;
        } else if (action == "type" && i + 1 < argc) {
            run.Type("edPrijmeni", argv[++i]);
        } else {
            return 2;
        }
    }
    report();
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
