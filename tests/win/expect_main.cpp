// The native side of the saver tests under Wine.
//
//   vyla_wine_expect desktop OUT.bmp WIDTH HEIGHT
//       writes the desktop picture the tests set as the wallpaper;
//   vyla_wine_expect bare SHOT.ppm
//       exit 0 when the screenshot shows exactly the desktop picture: the
//       screen has settled after the previous run;
//   vyla_wine_expect match SHOT.ppm [--color N] [--speed N] [--diff OUT.ppm] [--desktop PICTURE.ppm]
//       runs the program in saver mode on the headless backend over the same
//       desktop picture and settings, and compares the screenshot with every
//       screen it shows in one full turn of the flowers (the screenshot may
//       catch any of them). Exit 0 when one matches. --desktop: over that
//       picture instead of the test desktop.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include <unistd.h>

#include "desktop_picture.h"
#include "headless/headless_host.h"
#include "framework/framework.h"
#include "screen_match.h"

namespace {

using vyla::Size;
using vyla::headless::HeadlessHost;
using vyla::raster::Surface;
using vyla::wintest::Compare;
using vyla::wintest::Match;

// Screens are compared in full; a few off pixels are allowed where an edge
// of the desktop's blocks meets an edge of a stretched picture.
constexpr double kOffBudget = 0.001;

int Usage()
{
    std::fprintf(stderr, "usage: vyla_wine_expect desktop OUT.bmp WIDTH HEIGHT\n"
                         "       vyla_wine_expect bare SHOT.ppm\n"
                         "       vyla_wine_expect match SHOT.ppm [--color N] [--speed N] [--diff OUT.ppm] [--desktop PICTURE.ppm]\n");
    return 2;
}

struct MatchOptions {
    int color = 0;
    int speed = 0;
    const char* diff = nullptr;
    const char* desktop = nullptr;
};

int MatchShot(const char* shotFile, const MatchOptions& options)
{
    auto shot = vyla::wintest::ReadPpm(shotFile);
    if (!shot) {
        std::fprintf(stderr, "cannot read %s\n", shotFile);
        return 2;
    }
    const Size size = shot->GetSize();
    const auto settings = std::filesystem::temp_directory_path() / ("vyla-expect-" + std::to_string(::getpid()));
    std::filesystem::create_directories(settings);
    std::ofstream(settings / "vyla.ini") << "[options]\ncolor=" << options.color << "\nspeed=" << options.speed
                                         << "\ngirls=0\ninterval=0\n";

    std::optional<Surface> desktop = options.desktop ? vyla::wintest::ReadPpm(options.desktop)
                                                     : std::optional<Surface>(vyla::wintest::DesktopPicture(size));
    if (!desktop || desktop->GetSize() != size) {
        std::fprintf(stderr, "no desktop picture of the screenshot's size\n");
        return 2;
    }
    HeadlessHost host(size, vyla::BuiltinResources());
    host.SetDesktop(*desktop);
    host.SetProfileDirectory(settings);
    host.SetTick(100000);
    host.SetCursorPos(vyla::Point{size.width / 2, size.height / 2});
    vyla::portable::Runtime runtime(host);

    // A turn of the flowers is 16 frames; the 17th screen is the first again.
    const long long budget = static_cast<long long>(kOffBudget * size.width * size.height);
    Match best{static_cast<long long>(size.width) * size.height, 0};
    int bestFrame = 0, frames = 0;
    Surface bestDiff;
    host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        if (h.TakeDamage().IsEmpty() || frames > 16)
            return;
        ++frames;
        Surface diff;
        Match m = Compare(*shot, h.Screen(), options.diff ? &diff : nullptr);
        if (m.offPixels < best.offPixels) {
            best = m;
            bestFrame = frames;
            bestDiff = std::move(diff);
        }
        if (frames > 16)
            h.Inject(WM_LBUTTONDOWN);
    });
    host.SetPollLimit(200000);
    std::string cmd = "/s";
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, cmd.data(), SW_SHOWNORMAL);
    std::filesystem::remove_all(settings);
    if (exitCode != 0 || frames <= 16) {
        std::fprintf(stderr, "the headless run did not complete a turn (exit %d, %d frames)\n", exitCode, frames);
        return 2;
    }
    if (options.diff)
        vyla::wintest::WritePpm(bestDiff, options.diff);
    const long long total = static_cast<long long>(size.width) * size.height;
    std::printf("best: frame %d, %lld of %lld pixels exact, %lld off (budget %lld)\n", bestFrame, best.exactPixels, total,
                best.offPixels, budget);
    return best.offPixels <= budget ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "desktop") == 0) {
        Size size{std::atoi(argv[3]), std::atoi(argv[4])};
        if (size.IsEmpty())
            return Usage();
        return vyla::wintest::WriteBmp(vyla::wintest::DesktopPicture(size), argv[2]) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "bare") == 0) {
        auto shot = vyla::wintest::ReadPpm(argv[2]);
        if (!shot)
            return 2;
        const Surface desktop = vyla::wintest::DesktopPicture(shot->GetSize());
        const Match m = Compare(*shot, desktop);
        return m.exactPixels == static_cast<long long>(shot->Width()) * shot->Height() ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "match") == 0) {
        MatchOptions options;
        for (int i = 3; i + 1 < argc; i += 2) {
            if (std::strcmp(argv[i], "--color") == 0)
                options.color = std::atoi(argv[i + 1]);
            else if (std::strcmp(argv[i], "--speed") == 0)
                options.speed = std::atoi(argv[i + 1]);
            else if (std::strcmp(argv[i], "--diff") == 0)
                options.diff = argv[i + 1];
            else if (std::strcmp(argv[i], "--desktop") == 0)
                options.desktop = argv[i + 1];
            else
                return Usage();
        }
        return MatchShot(argv[2], options);
    }
    return Usage();
}
