#include <QApplication>

#include "app/frmVexa.h"
#include "platform/Registry.h"
#include "platform/XdgDirs.h"
#include "platform/ui/MessageBox.h"
#include "settings/Config.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexa"));

    // Everything the program keeps is created here and handed down.
    const vexa::XdgDirs dirs = vexa::XdgDirs::FromEnvironment();
    vexa::RegistryRoot registry(dirs);
    vexa::Config config(registry);
    vexa::MessageBox messages;
    vexa::frmVexa window(config, dirs.userData + "/Lomar/Vexa", messages);
    window.show();
    return app.exec();
}
