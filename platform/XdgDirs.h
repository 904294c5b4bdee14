#pragma once

#include <string>

namespace vexa {

// The directories where the program keeps its files, after the XDG base directory rules.
// Tests construct one with directories of their own.
struct XdgDirs {
    std::string userConfig;    // $XDG_CONFIG_HOME, default ~/.config
    std::string systemConfig;  // first entry of $XDG_CONFIG_DIRS, default /etc/xdg
    std::string userData;      // $XDG_DATA_HOME, default ~/.local/share

    static XdgDirs FromEnvironment();
};

}  // namespace vexa
