// The native side of the saver tests under Wine.
//
//   vyla_wine_expect desktop OUT.bmp WIDTH HEIGHT
//       writes the desktop picture the tests set as the wallpaper;
//   vyla_wine_expect bare SHOT.ppm
//       exit 0 when the screenshot shows exactly the desktop picture: the
//       screen has settled after the previous run;
//   vyla_wine_expect match SHOT.ppm [--color N] [--speed N] [--shrunk] [--diff OUT.ppm] [--desktop PICTURE.ppm]
//       runs the program in saver mode on the headless backend over the same
//       desktop picture and settings, and compares the screenshot with every
//       screen it shows in one full turn of the flowers (the screenshot may
//       catch any of them). Exit 0 when one matches. --desktop: over that
//       picture instead of the test desktop. With --shrunk the
//       screen is a preview pane the scene shrank its pictures into: where
//       it drew them (the border bands and the corner squares) GDI may have
//       combined the pixels it dropped, giving a pixel bitwise below the one
//       the nearest-neighbour rule picks; everywhere else pixels must match.
//   vyla_wine_expect settings-read FILE...
//       for each file a line "COLOR SPEED GIRLS INTERVAL": what Vyla's reader
//       (the portable GetPrivateProfileIntA) gives for the four keys of the
//       settings' section, default 0, as the unsigned numbers it returns;
//   vyla_wine_expect settings-write FILE COLOR SPEED GIRLS INTERVAL [FILE ...]
//       stores the four in each file as the dialog's OK does, and prints a
//       line for each: "written", or "not written" when it could not.
//   (tests/win/profile_diff.py holds both to the system's reader under Wine.)
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
#include "support/scene_probe.h"
#include "screen_match.h"
#include "settings/settings.h"

namespace {

using vyla::Size;
using vyla::headless::HeadlessHost;
using vyla::raster::Surface;
using vyla::wintest::Compare;
using vyla::wintest::Match;

// Screens are compared in full; a few off pixels are allowed where an edge
// of the desktop's blocks meets an edge of a stretched picture.
constexpr double kOffBudget = 0.001;
// A shrunk flower's outline may also reach one pixel further where GDI's
// combined mask is opaque and the sampled one is not.
constexpr double kShrunkOffBudget = 0.003;

int Usage()
{
    std::fprintf(stderr, "usage: vyla_wine_expect desktop OUT.bmp WIDTH HEIGHT\n"
                         "       vyla_wine_expect bare SHOT.ppm\n"
                         "       vyla_wine_expect match SHOT.ppm [--color N] [--speed N] [--shrunk] [--diff OUT.ppm] [--desktop PICTURE.ppm]\n"
                         "       vyla_wine_expect settings-read FILE...\n"
                         "       vyla_wine_expect settings-write FILE COLOR SPEED GIRLS INTERVAL [FILE ...]\n");
    return 2;
}

constexpr const char* kSettingsKeys[] = {Settings::kColor, Settings::kSpeed, Settings::kGirls, Settings::kInterval};

int ReadSettings(int count, char** files)
{
    HeadlessHost host;
    vyla::portable::Runtime runtime(host);
    for (int i = 0; i < count; ++i) {
        const std::string path = std::filesystem::absolute(files[i]).string();
        const char* separator = "";
        for (const char* key : kSettingsKeys) {
            std::printf("%s%u", separator, GetPrivateProfileIntA(Settings::kSection, key, 0, path.c_str()));
            separator = " ";
        }
        std::printf("\n");
    }
    return 0;
}

int WriteSettings(int count, char** args)
{
    HeadlessHost host;
    vyla::portable::Runtime runtime(host);
    for (; count >= 5; count -= 5) {
        const std::string path = std::filesystem::absolute(*args++).string();
        TProfileBatch batch(Settings::kSection, path.c_str());
        for (const char* key : kSettingsKeys)
            batch.WriteInt(key, std::atoi(*args++));
        std::printf("%s\n", batch.Commit() ? "written" : "not written");
    }
    return 0;
}

struct MatchOptions {
    int color = 0;
    int speed = 0;
    bool shrunk = false;
    const char* diff = nullptr;
    const char* desktop = nullptr;
};

// Where the scene drew its stretched pictures: outside the picture area, or
// in a corner square.
struct DrawnAreas {
    vyla::Rect picture;
    int corner = 0;
    vyla::Size screen;

    bool Contains(int x, int y) const
    {
        const bool inCornerColumn = x < corner || x >= screen.width - corner;
        const bool inCornerRow = y < corner || y >= screen.height - corner;
        return !picture.Contains(vyla::Point{x, y}) || (inCornerColumn && inCornerRow);
    }
};

// As Compare, but in the drawn areas a pixel bitwise below the expected one
// (or one of its neighbours) also matches: GDI's default stretch combines
// the pixels a shrink drops with AND.
Match CompareShrunk(const Surface& shot, const Surface& expected, const DrawnAreas& areas, Surface* diff)
{
    Match m = Compare(shot, expected, diff);
    if (shot.GetSize() != expected.GetSize() || m.offPixels == 0)
        return m;
    m.offPixels = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const vyla::raster::Pixel got = shot.At(x, y) & 0xFFFFFFu;
            bool ok = false;
            for (int dy = -1; dy <= 1 && !ok; ++dy)
                for (int dx = -1; dx <= 1 && !ok; ++dx) {
                    const int ex = x + dx, ey = y + dy;
                    if (ex < 0 || ey < 0 || ex >= expected.Width() || ey >= expected.Height())
                        continue;
                    const vyla::raster::Pixel want = expected.At(ex, ey) & 0xFFFFFFu;
                    ok = got == want || (areas.Contains(x, y) && (got & ~want) == 0);
                }
            if (!ok)
                ++m.offPixels;
            if (diff)
                diff->Set(x, y, ok ? 0 : 0xFFFFFF);
        }
    return m;
}

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
    const long long budget =
        static_cast<long long>((options.shrunk ? kShrunkOffBudget : kOffBudget) * size.width * size.height);
    Match best{static_cast<long long>(size.width) * size.height, 0};
    int bestFrame = 0, frames = 0;
    Surface bestDiff;
    DrawnAreas areas{vyla::Rect{}, 0, size};
    host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        if (h.TakeDamage().IsEmpty() || frames > 16)
            return;
        ++frames;
        if (frames == 1) {
            HWND window = FindWindowA("Vyla Screen Saver", nullptr);
            if (auto* win = dynamic_cast<TVylaScrnSavWindow*>(
                    reinterpret_cast<TWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA)))) {
                const TVylaScrnSavWindowProbe scene(*win);
                const TRect& p = scene.PictureArea;
                areas.picture = vyla::Rect{p.left, p.top, p.right, p.bottom};
                areas.corner = scene.CornerWidth;
            }
        }
        Surface diff;
        Match m = options.shrunk ? CompareShrunk(*shot, h.Screen(), areas, options.diff ? &diff : nullptr)
                                 : Compare(*shot, h.Screen(), options.diff ? &diff : nullptr);
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
        for (int i = 3; i < argc; i += 2) {
            if (std::strcmp(argv[i], "--shrunk") == 0) {
                options.shrunk = true;
                --i;
                continue;
            }
            if (i + 1 >= argc)
                return Usage();
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
    if (argc >= 2 && std::strcmp(argv[1], "settings-read") == 0)
        return ReadSettings(argc - 2, argv + 2);
    if (argc >= 7 && (argc - 2) % 5 == 0 && std::strcmp(argv[1], "settings-write") == 0)
        return WriteSettings(argc - 2, argv + 2);
    return Usage();
}
