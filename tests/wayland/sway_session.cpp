#include "sway_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "support/text_files.h"

namespace vyla::wayland::testing {

namespace {

constexpr int kStartMs = 10000;

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

std::unique_ptr<SwaySession> SwaySession::Start(const std::string& config, std::string* why)
{
    std::unique_ptr<SwaySession> session(new SwaySession);
    session->user_ = vyla::testing::UnprivilegedUser::Choose();
    if (session->user_.uid == 0) {
        *why = "sway refuses to run as root and no unprivileged user was found";
        return nullptr;
    }
    const auto& home = session->Home();
    vyla::testing::WriteText(home / "sway.conf", config);
    // The runtime directory is the user's alone, as sway wants it.
    if (chmod(home.c_str(), 0700) != 0 || !session->OwnHome()) {
        *why = "cannot hand the sway session's directory to the unprivileged user";
        return nullptr;
    }
    std::vector<std::string> argv = session->user_.prefix;
    for (std::string word : {"env", "-i"})
        argv.push_back(word);
    argv.insert(argv.end(), {"HOME=" + home.string(), "XDG_RUNTIME_DIR=" + home.string(), "WLR_BACKENDS=headless",
                             "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1", "PATH=/usr/bin:/bin", "sway", "-c",
                             (home / "sway.conf").string()});
    session->sway_ = std::make_unique<x11::testing::ChildProcess>(argv, std::vector<std::string>{});
    if (!session->sway_->Started()) {
        *why = "sway could not be started";
        return nullptr;
    }
    bool up = WaitFor(
        [&] {
            session->waylandDisplay_ = FindSocket(home, "wayland-");
            session->swaySocket_ = FindSocket(home, "sway-ipc.");
            return (!session->waylandDisplay_.empty() && !session->swaySocket_.empty()) || !session->sway_->Running();
        },
        kStartMs);
    if (!up || !session->sway_->Running()) {
        *why = "headless sway did not start (no compositor socket)";
        return nullptr;
    }
    // It answers commands once its outputs are up.
    if (!WaitFor([&] { return session->Run({"swaymsg", "-t", "get_outputs"}) == 0; }, kStartMs)) {
        *why = "headless sway did not answer swaymsg";
        return nullptr;
    }
    return session;
}

SwaySession::~SwaySession()
{
    if (sway_ && sway_->Running()) {
        Run({"swaymsg", "exit"});
        sway_->Wait(3000);
    }
}

std::vector<std::string> SwaySession::AsUser(const std::vector<std::string>& argv) const
{
    std::vector<std::string> result = user_.prefix;
    for (std::string word : {"env", "-i"})
        result.push_back(word);
    const std::string home = Home().string();
    result.insert(result.end(), {"HOME=" + home, "XDG_RUNTIME_DIR=" + home, "WAYLAND_DISPLAY=" + waylandDisplay_,
                                 "SWAYSOCK=" + home + "/" + swaySocket_, "PATH=/usr/bin:/bin"});
    result.insert(result.end(), argv.begin(), argv.end());
    return result;
}

int SwaySession::Run(const std::vector<std::string>& argv, int timeoutMs) const
{
    return x11::testing::RunCommand(AsUser(argv), {}, timeoutMs);
}

std::optional<raster::Surface> SwaySession::Screenshot(const std::string& output) const
{
    const auto file = Home() / "shot.ppm";
    std::filesystem::remove(file);
    if (Run({"grim", "-t", "ppm", "-o", output, file.string()}) != 0)
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
