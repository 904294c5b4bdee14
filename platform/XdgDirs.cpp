#include "platform/XdgDirs.h"

#include <cstdlib>

namespace vexa {
namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace

XdgDirs XdgDirs::FromEnvironment() {
    XdgDirs dirs;
    std::string home = Env("HOME");
    // Relative paths in these variables are invalid and ignored.
    auto absolute = [](const std::string& p) { return !p.empty() && p[0] == '/'; };
    std::string config = Env("XDG_CONFIG_HOME");
    dirs.userConfig = absolute(config) ? config : home + "/.config";
    std::string data = Env("XDG_DATA_HOME");
    dirs.userData = absolute(data) ? data : home + "/.local/share";
    std::string sys = Env("XDG_CONFIG_DIRS");
    sys = sys.substr(0, sys.find(':'));
    dirs.systemConfig = absolute(sys) ? sys : "/etc/xdg";
    return dirs;
}

}  // namespace vexa
