#include "compositor_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "support/text_files.h"

namespace vyla::wayland::testing {

namespace {

constexpr int kStartMs = 15000;
constexpr int kEndMs = 5000;
constexpr const char* kKWinSocket = "wayland-vyla";

bool WaitFor(const auto& condition, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The first entry of dir whose name starts with prefix and is a socket.
std::string FindSocket(const std::filesystem::path& dir, const std::string& prefix)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && entry.is_socket(error))
            return name;
    }
    return {};
}

}  // namespace

bool CompositorSession::Prepare(std::string* why)
{
    user_ = vyla::testing::UnprivilegedUser::Choose();
    if (user_.uid == 0) {
        *why = "the compositor refuses to run as root and no unprivileged user was found";
        return false;
    }
    // The runtime directory is the user's alone, as compositors want it.
    if (chmod(Home().c_str(), 0700) != 0 || !OwnHome()) {
        *why = "cannot hand the session's directory to the unprivileged user";
        return false;
    }
    return true;
}

bool CompositorSession::WaitForSocket(std::string* why)
{
    bool up = WaitFor(
        [&] {
            waylandDisplay_ = FindSocket(Home(), privateBus_ ? kKWinSocket : "wayland-");
            if (!privateBus_)
                swaySocket_ = FindSocket(Home(), "sway-ipc.");
            else
                busAddress_ = vyla::testing::ReadText(Home() / "bus");
            while (!busAddress_.empty() && busAddress_.back() == '\n')
                busAddress_.pop_back();
            bool ready = !waylandDisplay_.empty() && (privateBus_ ? !busAddress_.empty() : !swaySocket_.empty());
            return ready || !compositor_->Running();
        },
        kStartMs);
    if (!up || !compositor_->Running()) {
        *why = std::string(kwin_ ? "kwin_wayland" : privateBus_ ? "mutter" : "headless sway") +
               " did not start (no compositor socket)";
        return false;
    }
    return true;
}

std::unique_ptr<CompositorSession> CompositorSession::StartSway(const std::string& config, std::string* why)
{
    std::unique_ptr<CompositorSession> session(new CompositorSession);
    const auto& home = session->Home();
    vyla::testing::WriteText(home / "sway.conf", config);
    if (!session->Prepare(why))
        return nullptr;
    std::vector<std::string> argv = session->user_.prefix;
    argv.insert(argv.end(), {"env", "-i", "HOME=" + home.string(), "XDG_RUNTIME_DIR=" + home.string(),
                             "WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1",
                             "PATH=/usr/bin:/bin", "sway", "-c", (home / "sway.conf").string()});
    session->compositor_ = std::make_unique<x11::testing::ChildProcess>(argv, std::vector<std::string>{});
    if (!session->WaitForSocket(why))
        return nullptr;
    // It answers commands once its outputs are up.
    if (!WaitFor([&] { return session->Run({"swaymsg", "-t", "get_outputs"}) == 0; }, kStartMs)) {
        *why = "headless sway did not answer swaymsg";
        return nullptr;
    }
    return session;
}

std::unique_ptr<CompositorSession> CompositorSession::StartKWin(Size size, const std::string& scale,
                                                                const std::filesystem::path& shot, std::string* why)
{
    const std::filesystem::path installed = "/usr/bin/kwin_wayland";
    if (!std::filesystem::exists(installed)) {
        *why = "kwin_wayland is not installed";
        return nullptr;
    }
    std::unique_ptr<CompositorSession> session(new CompositorSession);
    session->kwin_ = true;
    session->privateBus_ = true;
    const auto& home = session->Home();
    // A plain copy: no file capability for the kernel to refuse.
    std::filesystem::copy_file(installed, home / "kwin_wayland");
    std::filesystem::copy_file(shot, home / "kwin_shot");
    // The session lives until the test asks it to end; it tells the tests its bus.
    vyla::testing::WriteText(home / "session.sh", "#!/bin/sh\n"
                                                  "echo \"$DBUS_SESSION_BUS_ADDRESS\" > " + (home / "bus.new").string() + "\n"
                                                  "mv " + (home / "bus.new").string() + " " + (home / "bus").string() + "\n"
                                                  "while [ ! -e " + (home / "stop").string() + " ]; do sleep 0.2; done\n");
    std::filesystem::permissions(home / "session.sh", std::filesystem::perms::owner_all);
    if (!session->Prepare(why))
        return nullptr;
    std::vector<std::string> argv = session->user_.prefix;
    argv.insert(argv.end(), {"env", "-i", "HOME=" + home.string(), "XDG_RUNTIME_DIR=" + home.string(),
                             "PATH=/usr/bin:/bin", "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1",
                             "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1", "dbus-run-session", "--",
                             (home / "kwin_wayland").string(), "--virtual", "--width", std::to_string(size.width),
                             "--height", std::to_string(size.height), "--scale", scale, "--socket", kKWinSocket, "--no-lockscreen",
                             "--no-global-shortcuts", "--no-kactivities", "--exit-with-session",
                             (home / "session.sh").string()});
    session->compositor_ = std::make_unique<x11::testing::ChildProcess>(argv, std::vector<std::string>{});
    if (!session->WaitForSocket(why))
        return nullptr;
    return session;
}

std::unique_ptr<CompositorSession> CompositorSession::StartMutter(Size size, std::string* why)
{
    if (!std::filesystem::exists("/usr/bin/mutter")) {
        *why = "mutter is not installed";
        return nullptr;
    }
    std::unique_ptr<CompositorSession> session(new CompositorSession);
    session->privateBus_ = true;
    const auto& home = session->Home();
    const std::string h = home.string();
    // GSettings through dconf, its database under HOME/.config for the
    // compositor, dconf-service and the clients alike; the session ends on the stop file.
    vyla::testing::WriteText(home / "session.sh",
                             "#!/bin/sh\n"
                             "echo \"$DBUS_SESSION_BUS_ADDRESS\" > " + h + "/bus.new\n"
                             "mv " + h + "/bus.new " + h + "/bus\n"
                             // PipeWire for its screen-cast interface, where installed.
                             "pids=\n"
                             "if command -v wireplumber >/dev/null; then\n"
                             "  pipewire 2>/dev/null & pids=\"$pids $!\"\n"
                             "  wireplumber 2>/dev/null & pids=\"$pids $!\"\n"
                             "fi\n"
                             "mutter --headless --wayland --no-x11 --virtual-monitor " + std::to_string(size.width) +
                                 "x" + std::to_string(size.height) + " --wayland-display=" + kKWinSocket + " 2>" + h +
                                 "/mutter.log & pids=\"$pids $!\"\n"
                             "while [ ! -e " + h + "/stop ]; do sleep 0.2; done\n"
                             "kill $pids\nwait\n");
    std::filesystem::permissions(home / "session.sh", std::filesystem::perms::owner_all);
    if (!session->Prepare(why))
        return nullptr;
    std::vector<std::string> argv = session->user_.prefix;
    argv.insert(argv.end(), {"env", "-i", "HOME=" + h, "XDG_RUNTIME_DIR=" + h,
                             "PATH=/usr/bin:/bin", "dbus-run-session", "--", h + "/session.sh"});
    session->compositor_ = std::make_unique<x11::testing::ChildProcess>(argv, std::vector<std::string>{});
    if (!session->WaitForSocket(why))
        return nullptr;
    return session;
}

std::vector<pid_t> ProgramProcesses(const std::filesystem::path& program)
{
    std::vector<pid_t> pids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::filesystem::path exe = std::filesystem::read_symlink(entry.path() / "exe", error);
        if (!error && exe == program)
            pids.push_back(std::stoi(name));
    }
    return pids;
}

CompositorSession::~CompositorSession()
{
    if (compositor_ && compositor_->Running()) {
        if (privateBus_)
            vyla::testing::WriteText(Home() / "stop", "");
        else
            Run({"swaymsg", "exit"});
        compositor_->Wait(kEndMs);
    }
}

std::vector<std::string> CompositorSession::AsUser(const std::vector<std::string>& argv) const
{
    std::vector<std::string> result = user_.prefix;
    const std::string home = Home().string();
    result.insert(result.end(), {"env", "-i", "HOME=" + home, "XDG_RUNTIME_DIR=" + home,
                                 "WAYLAND_DISPLAY=" + waylandDisplay_, "PATH=/usr/bin:/bin"});
    if (privateBus_)
        result.push_back("DBUS_SESSION_BUS_ADDRESS=" + busAddress_);
    else
        result.push_back("SWAYSOCK=" + home + "/" + swaySocket_);
    result.insert(result.end(), argv.begin(), argv.end());
    return result;
}

int CompositorSession::Run(const std::vector<std::string>& argv, int timeoutMs) const
{
    return x11::testing::RunCommand(AsUser(argv), {}, timeoutMs);
}

std::optional<raster::Surface> CompositorSession::Screenshot(const std::string& output) const
{
    const auto file = Home() / "shot.ppm";
    std::filesystem::remove(file);
    std::vector<std::string> command{"grim", "-t", "ppm", "-o", output, file.string()};
    if (kwin_)
        command = {(Home() / "kwin_shot").string(), output, file.string()};
    if (Run(command) != 0)
        return std::nullopt;
    return ReadPpm(file);
}

std::optional<raster::Surface> ReadPpm(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    if (!(in >> magic >> width >> height >> maxValue) || magic != "P6" || maxValue != 255)
        return std::nullopt;
    in.get();  // the one white-space character before the pixels
    auto picture = raster::Surface::Create(Size{width, height});
    if (!picture)
        return std::nullopt;
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        if (!in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(row.size())))
            return std::nullopt;
        raster::Pixel* to = picture->Row(y);
        for (int x = 0; x < width; ++x)
            to[x] = raster::Pixel{row[3 * x]} << 16 | raster::Pixel{row[3 * x + 1]} << 8 | row[3 * x + 2];
    }
    return picture;
}

}  // namespace vyla::wayland::testing
