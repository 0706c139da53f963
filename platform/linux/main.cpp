// The program on Linux: its options, the display system it runs on
// (Wayland where the compositor offers layer-shell, else X11), the host
// for them under the portable runtime (on X11 the standalone saver or a hack
// of the X screen-saver daemon; on Wayland a process per output), then the
// program's entry as the system would call it.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "portable/runtime.h"
#include "linux/autostart.h"
#include "linux/command_options.h"
#include "linux/dialog_host.h"
#include "linux/gnome_idle.h"
#include "linux/idle_watch.h"
#include "wayland/idle_source.h"
#include "wayland/output_children.h"
#include "wayland/output_host.h"
#include "wayland/saver_claim.h"
// After the framework: Xlib defines macros such as None and Bool.
#include "x11/hack_host.h"
#include "x11/idle_source.h"
#include "x11/standalone_host.h"

namespace {

constexpr int kUsageError = 2;

int UsageError(const std::string& program, const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    std::fputs(vyla::linux::UsageText(program).c_str(), stderr);
    return kUsageError;
}

// The window to draw in for --root: the daemon's, else the root (nullopt).
bool RootTarget(const char* daemonWindow, std::optional<::Window>* target, std::string* error)
{
    if (!daemonWindow || !*daemonWindow) {
        *target = std::nullopt;
        return true;
    }
    auto id = vyla::linux::ParseWindowId(daemonWindow);
    if (!id) {
        *error = std::string("XSCREENSAVER_WINDOW is not a window id: \"") + daemonWindow + "\"";
        return false;
    }
    *target = static_cast<::Window>(*id);
    return true;
}

// One run of the program on host, as the system would start it.
int RunProgram(vyla::portable::Host& host, const std::vector<std::string>& arguments,
               const vyla::linux::CommandOptions& options)
{
    vyla::portable::Runtime runtime(host);
    runtime.SetArguments(arguments);
    for (const auto& s : options.settings)
        runtime.profileOverrides.push_back({"vyla.ini", "options", s.key, std::to_string(s.value)});
    // The command line is what is left after the options, as Windows gives it.
    std::string commandLine = options.commandLine;
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
}

bool IsSettingsDialog(const std::string& commandLine)
{
    return commandLine == "/c" || commandLine == "-c";
}

// The saver on one output, in a process the first one started for it.
int RunOnOutput(const std::vector<std::string>& arguments, const vyla::linux::CommandOptions& options)
{
    std::string error;
    auto connection = vyla::wayland::Connection::Open(&error);
    std::unique_ptr<vyla::wayland::OutputHost> host;
    if (connection)
        host = vyla::wayland::OutputHost::Open(std::move(connection), *options.waylandOutput, &error);
    if (!host) {
        std::fprintf(stderr, "vyla: %s\n", error.c_str());
        return 1;
    }
    if (options.startAtNs)
        vyla::wayland::SleepUntil(*options.startAtNs);
    int status = 0;
    do {
        // A run per size of the output: the scene is built for one.
        status = RunProgram(*host, arguments, options);
    } while (!host->LostByError() && host->PrepareRerun());
    return host->LostByError() ? 1 : status;
}

// The Wayland saver when it can run: its exit code; nullopt (with *error)
// when the compositor is not there or offers no layer-shell.
std::optional<int> RunOnWayland(const std::vector<std::string>& arguments, const vyla::linux::CommandOptions& options,
                                std::string* error)
{
    auto connection = vyla::wayland::Connection::Open(error);
    if (!connection)
        return std::nullopt;
    // Without layer-shell (mutter): a fullscreen window on each output.
    if (!connection->LayerShell() && !connection->WmBase()) {
        *error = "the Wayland compositor offers neither zwlr_layer_shell_v1 nor xdg_wm_base";
        return std::nullopt;
    }
    if (IsSettingsDialog(options.commandLine)) {
        connection.reset();
        vyla::linux::DialogHost host;
        return RunProgram(host, arguments, options);
    }
    if (connection->Outputs().empty()) {
        *error = "the Wayland compositor has no outputs";
        return std::nullopt;
    }
    // A saver started while another runs on this display stands down, as on X11.
    auto claim = vyla::wayland::SaverClaim::Take(std::getenv("XDG_RUNTIME_DIR"), std::getenv("WAYLAND_DISPLAY"));
    if (!claim)
        return 0;
    return vyla::wayland::RunOnEveryOutput(arguments, std::move(connection));
}

// The best idle source the session offers: GNOME's idle monitor, the
// Wayland compositor's idle protocol, the X server's extension.
int RunWatcher(const vyla::linux::CommandOptions& options)
{
    using Backend = vyla::linux::CommandOptions::Backend;
    const int seconds = *options.watchIdleSeconds;
    std::string why;
    std::unique_ptr<vyla::linux::IdleSource> source = vyla::linux::OpenGnomeIdleSource(seconds, &why);
    std::string reasons = why;
    const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
    if (!source && options.backend != Backend::X11 && waylandDisplay && *waylandDisplay) {
        source = vyla::wayland::OpenWaylandIdleSource(seconds, &why);
        reasons += "; " + why;
    }
    if (!source && options.backend != Backend::Wayland) {
        source = vyla::x11::OpenXIdleSource(seconds, &why);
        reasons += "; " + why;
    }
    if (!source) {
        std::fprintf(stderr, "vyla: cannot watch idle: %s\n", reasons.c_str());
        return 1;
    }
    return vyla::linux::WatchIdle(*source, vyla::linux::SaverCommand(options.saverOptions));
}

int SetAutostart(const vyla::linux::CommandOptions& options)
{
    std::string line;
    bool done = vyla::linux::SetAutostart(vyla::linux::AutostartFile(), vyla::linux::SaverCommand({})[0],
                                          options.autostartSeconds, &line);
    std::fprintf(done ? stdout : stderr, "vyla: %s\n", line.c_str());
    return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program = "vyla";
    std::vector<std::string> arguments(argv, argv + argc);
    std::vector<std::string> optionWords(arguments.begin() + (argc > 0 ? 1 : 0), arguments.end());
    auto parsed = vyla::linux::ParseCommandLine(optionWords);
    if (!parsed.options)
        return UsageError(program, parsed.error);
    const vyla::linux::CommandOptions& options = *parsed.options;
    if (options.action == vyla::linux::CommandOptions::Action::ShowHelp) {
        std::fputs(vyla::linux::UsageText(program).c_str(), stdout);
        return 0;
    }
    if (options.action == vyla::linux::CommandOptions::Action::ShowVersion) {
        std::printf("%s %s\n", program.c_str(), VYLA_VERSION);
        return 0;
    }

    // A server that goes away must show as a lost connection (see
    // XConnection), not as a write that kills the process.
    std::signal(SIGPIPE, SIG_IGN);

    if (options.autostartSeconds || options.autostartOff)
        return SetAutostart(options);
    if (options.watchIdleSeconds)
        return RunWatcher(options);

    using Backend = vyla::linux::CommandOptions::Backend;
    if (options.waylandOutput)
        return RunOnOutput(arguments, options);
    const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
    if (options.backend == Backend::Wayland ||
        (options.backend == Backend::Automatic && !options.HackMode() && waylandDisplay && *waylandDisplay)) {
        std::string error;
        if (auto status = RunOnWayland(arguments, options, &error))
            return *status;
        if (options.backend == Backend::Wayland) {
            std::fprintf(stderr, "vyla: cannot run on Wayland: %s\n", error.c_str());
            return 1;
        }
    }
    auto connection = vyla::x11::XConnection::Open(nullptr);
    if (!connection) {
        const char* name = XDisplayName(nullptr);
        if (name && *name)
            std::fprintf(stderr, "vyla: cannot open the X display \"%s\"\n", name);
        else
            std::fputs("vyla: cannot open the X display: DISPLAY is not set\n", stderr);
        return 1;
    }
    if (!options.HackMode()) {
        vyla::x11::StandaloneHost host(std::move(connection));
        int status = RunProgram(host, arguments, options);
        // A run cut short by the display going away is not a normal end.
        return host.DisplayLost() ? 1 : status;
    }

    std::optional<::Window> target;
    std::string error;
    if (options.windowId)
        target = static_cast<::Window>(*options.windowId);
    else if (!RootTarget(std::getenv("XSCREENSAVER_WINDOW"), &target, &error))
        return UsageError(program, error);
    auto host = vyla::x11::HackHost::Attach(std::move(connection), target, &error);
    if (!host) {
        std::fprintf(stderr, "vyla: %s\n", error.c_str());
        return 1;
    }
    int status = 0;
    do {
        // A run per size of the window drawn in: the scene is built for one.
        status = RunProgram(*host, arguments, options);
    } while (!host->DisplayLost() && host->PrepareRerun());
    return host->DisplayLost() ? 1 : status;
}
