#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/SessionEnd.h"
#include "app/frmVexa.h"
#include "platform/Registry.h"
#include "platform/XdgDirs.h"
#include "platform/port/DevicePortOpener.h"
#include "platform/port/QueuePortOpener.h"
#include "platform/ui/MessageBox.h"
#include "settings/Config.h"

namespace {

// The options the program knows. Qt's own (-platform, -style, ...) go to QApplication, so a
// word after a single dash is one option and never a run of one-letter options.
void SetUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Fills in, archives and prints travel documents on a dot-matrix printer."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version are answered before anything touches a display, so they work on a
// machine without one; the program then ends. (--help-all waits for QApplication, whose
// options it lists.)
void AnswerHelpOrVersion(int& argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    SetUpParser(parser);
    const QStringList arguments = QCoreApplication::arguments();
    parser.parse(arguments);
    for (const QString& name : {QStringLiteral("version"), QStringLiteral("help")}) {
        if (parser.isSet(name))
            parser.process({arguments.constFirst(), QStringLiteral("--") + name});
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("Vexa"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VEXA_VERSION));
    AnswerHelpOrVersion(argc, argv);

    QApplication app(argc, argv);
    // Wayland matches the window to cz.lomar.Vexa.desktop by this name; X11 by the class
    // "Vexa", the application name (the entry's StartupWMClass).
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.lomar.Vexa"));
    {
        // What Qt left of the command line: --help-all is answered, an unknown option refused.
        QCommandLineParser parser;
        SetUpParser(parser);
        parser.process(app);
    }

    // Everything the program keeps is created here and handed down.
    const vexa::XdgDirs dirs = vexa::XdgDirs::FromEnvironment();
    vexa::RegistryRoot registry(dirs);
    vexa::Config config(registry);
    vexa::MessageBox messages;
    vexa::DevicePortOpener devices(&registry);
    vexa::QueuePortOpener ports(devices);  // the print queues, and the devices
    // From here on a signal or the desktop's end of session closes the window properly.
    vexa::SessionEnd sessionEnd;
    vexa::frmVexa window(config, dirs.userData + "/Lomar/Vexa", messages, ports);
    if (window.Refused())
        return 1;  // another copy holds the archive; nothing was written
    QObject::connect(&sessionEnd, &vexa::SessionEnd::Ending, &window, &vexa::frmVexa::EndSession);
    window.show();
    return app.exec();
}
