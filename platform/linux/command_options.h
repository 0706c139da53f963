// The Linux program's command line: where to draw (its own window, or a
// window it is given as an X screen-saver daemon's "hack"), settings that
// hold for one run only, and the arguments the saver itself sees ("/c").
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vyla::linux {

// One settings-file value that a run uses instead of the file's.
struct SettingOverride {
    std::string key;  // "color", "speed", "girls" or "interval"
    int value = 0;    // as the settings file would hold it

    bool operator==(const SettingOverride&) const = default;
};

struct CommandOptions {
    enum class Action { Run, ShowHelp, ShowVersion };
    Action action = Action::Run;

    // --backend: the display system to run on; by default Wayland where
    // the compositor offers layer-shell, else X11.
    enum class Backend { Automatic, Wayland, X11 };
    Backend backend = Backend::Automatic;

    // Not listed: how the Wayland saver's first process starts one process
    // per output. The output's registry name, and when every output's
    // program starts (nanoseconds on the monotonic clock).
    std::optional<std::uint32_t> waylandOutput;
    std::optional<std::int64_t> startAtNs;

    // --root: the root window, or $XSCREENSAVER_WINDOW when it is set.
    bool root = false;
    // --window-id: draw into this window, --root or not (a settings
    // program's preview runs the daemon's command with this added).
    std::optional<std::uint32_t> windowId;

    // In the order given; a later one for the same key wins.
    std::vector<SettingOverride> settings;

    // --watch-idle: keep running and start the saver each time the session
    // has been idle this many seconds.
    std::optional<int> watchIdleSeconds;
    // --autostart: write the login entry running --watch-idle with this
    // many seconds; autostartOff: remove it.
    std::optional<int> autostartSeconds;
    bool autostartOff = false;
    // The options given other than --watch-idle, as given: the saver the
    // watcher starts gets them.
    std::vector<std::string> saverOptions;

    // What is left, joined by spaces: the command line the saver sees, so
    // "/c" and "-c" still choose the settings dialog.
    std::string commandLine;

    bool HackMode() const { return root || windowId.has_value(); }
};

struct ParsedCommandLine {
    std::optional<CommandOptions> options;  // nullopt: error says why
    std::string error;                      // one line, without the program's name
};

// args: the arguments after the program's name. Options take "--name",
// "-name" and "--name=value"; a value may also be the next argument.
ParsedCommandLine ParseCommandLine(std::span<const std::string> args);

// A duration as --watch-idle takes it: "10m", "90s" or bare seconds, from
// 1 second to a day; nullopt for anything else.
std::optional<int> ParseDuration(std::string_view text);
// The shortest text ParseDuration reads back as seconds ("10m", "90s").
std::string DurationText(int seconds);

// A window id as X tools print it: "0x" and hexadecimal digits, or decimal.
// nullopt for anything else, for 0 and for values beyond 32 bits.
std::optional<std::uint32_t> ParseWindowId(std::string_view text);

// The usage text, several lines, each ending in a newline. Each option it
// lists has its paragraph in the manual page, platform/linux/vyla.1.in.
std::string UsageText(std::string_view program);

}  // namespace vyla::linux
