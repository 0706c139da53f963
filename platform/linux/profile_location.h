// Where the settings file lives on Linux: the user's configuration
// directory, as the XDG base-directory rules name it.
#pragma once

#include <filesystem>

namespace vyla::linux {

// $XDG_CONFIG_HOME when it is set and absolute (the rules say relative
// values are to be ignored), else $HOME/.config, else home/.config from the
// user database (passwdHome), else the current directory. Null pointers
// stand for unset variables.
std::filesystem::path ProfileDirectoryFrom(const char* xdgConfigHome, const char* home, const char* passwdHome);

// The same, from this process's environment.
std::filesystem::path UserProfileDirectory();

}  // namespace vyla::linux
