// vyla --autostart: the XDG autostart entry that runs the idle watcher at
// each login ($XDG_CONFIG_HOME/autostart/vyla.desktop).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vyla::linux {

// The entry's file: autostart/vyla.desktop in the directory the settings
// file is in ($XDG_CONFIG_HOME, else ~/.config).
std::filesystem::path AutostartFile();

// The entry's text, running program with --watch-idle for seconds.
std::string AutostartEntry(const std::string& program, int seconds);

// Writes the entry (replacing one that is there) or, for nullopt, removes
// it. The one line that says what was done, or why not (false).
bool SetAutostart(const std::filesystem::path& file, const std::string& program, std::optional<int> seconds,
                  std::string* line);

}  // namespace vyla::linux
