// The scene's costs on the portable raster at 1920x1080 and 3840x2160: a
// corner frame, a slide and the scene's construction, each beside a plain
// memcpy of the bytes it must move at the least (the "vs_memcpy" counter is
// the ratio, measured in the same run), and the peak memory of a whole saver
// run with the slideshow on.
//
//   corner frame: 16 copies of corner^2 * 4 bytes in full; drawn only where
//                 the cells change, 16 copies of the changed pixels (the
//                 regions' area, averaged over the 16 pairs)  target <= 2x memcpy
//                 of the bytes it touches. The region lists' size beside it.
//   slide:        screen * 4 + picture area * 4 + 4 corners * corner^2 * 4
//                                                        target  <= 4x memcpy
//   construction: constructor and destructor              target  < 50 ms at 3840x2160
//   peak memory:  a saver run at 3840x2160, slides on     target  < 120 MB
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/scene_run.h"
#include "support/temp_dir.h"

namespace {

using vyla::Size;

constexpr Size kFullHd{1920, 1080};
constexpr Size kUhd{3840, 2160};
constexpr const char* kTitle = "Vyla Screen Saver";

// The scene window made and shown as the application makes it, on a headless
// screen of the desktop colour, with the clock in the benchmark's hands.
// speed=1: 100 ms frames.
struct Scene : vyla::testing::SceneRun {
    Scene(Size screen, bool slides)
        : SceneRun(screen, (std::string("[options]\nspeed=1\ngirls=") + (slides ? "1" : "0") + "\ninterval=1\n").c_str(),
                   vyla::BuiltinResources(), [](vyla::headless::HeadlessHost& host) { host.FillDesktop(0x5A6E9C); })
    {
    }
    void StepAt(DWORD tick) { Step(tick); }
};

std::int64_t CornerFrameBytes(const TVylaScrnSavWindowProbe& w)
{
    return std::int64_t{16} * w.CornerWidth * w.CornerHeight * 4;
}

// The changed-pixel regions of the scene, all 16 pairs of all four corners.
struct RegionSizes {
    std::int64_t pixels = 0;
    std::size_t rects = 0;
    std::size_t mostRects = 0;
};

RegionSizes ChangedRegionSizes(Scene& scene)
{
    RegionSizes sizes;
    for (const auto& pair : scene.state->ChangedPixels)
        for (const auto& region : pair) {
            if (!region)
                continue;
            const auto* object = scene.sys.runtime.Gdi().FindObject(region->GetHandle());
            for (const vyla::Rect& r : object->region.Rects())
                sizes.pixels += std::int64_t{r.Width()} * r.Height();
            sizes.rects += object->region.Rects().size();
            sizes.mostRects = std::max(sizes.mostRects, object->region.Rects().size());
        }
    return sizes;
}

// A clipped frame's bytes, on average: 4 copies of 4 bytes of each corner's
// changed pixels, the regions being used once each in 16 frames.
std::int64_t ClippedFrameBytes(const RegionSizes& sizes)
{
    return 4 * 4 * sizes.pixels / 16;
}

std::int64_t SlideBytes(const TVylaScrnSavWindowProbe& w)
{
    return std::int64_t{w.ScreenWidth} * w.ScreenHeight * 4 + std::int64_t{w.PictureArea.Width()} * w.PictureArea.Height() * 4 +
           std::int64_t{4} * w.CornerWidth * w.CornerHeight * 4;
}

// Seconds per memcpy of bytes, between two buffers already in memory.
double MemcpySeconds(std::int64_t bytes)
{
    const auto n = static_cast<std::size_t>(bytes);
    std::vector<std::uint8_t> from(n, 1), to(n, 2);
    using Clock = std::chrono::steady_clock;
    std::memcpy(to.data(), from.data(), n);
    int runs = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
        std::memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        ++runs;
        now = Clock::now();
    } while (now - start < std::chrono::milliseconds(200) || runs < 5);
    return std::chrono::duration<double>(now - start).count() / runs;
}

// Seconds per copy of bytes in pieces taken in turn from a pool larger than
// any cache, as a corner frame reads sprite cells it has not read for a while.
double ColdMemcpySeconds(std::int64_t bytes, int pieces)
{
    const auto piece = static_cast<std::size_t>(bytes / pieces);
    const std::size_t pool = std::max<std::size_t>(std::size_t{256} << 20, piece * 2);
    std::vector<std::uint8_t> from(pool, 1), to(piece * static_cast<std::size_t>(pieces), 2);
    using Clock = std::chrono::steady_clock;
    std::size_t at = 0;
    int runs = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
        for (int p = 0; p < pieces; ++p) {
            if (at + piece > pool)
                at = 0;
            std::memcpy(to.data() + static_cast<std::size_t>(p) * piece, from.data() + at, piece);
            at += piece;
        }
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        ++runs;
        now = Clock::now();
    } while (now - start < std::chrono::milliseconds(200) || runs < 5);
    return std::chrono::duration<double>(now - start).count() / runs;
}

// The time of one iteration against the memcpy of bytes.
void CompareWithMemcpy(benchmark::State& state, std::int64_t bytes, double seconds)
{
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["memcpy_ms"] = MemcpySeconds(bytes) * 1e3;
    state.counters["vs_memcpy"] = seconds / state.iterations() / (state.counters["memcpy_ms"].value / 1e3);
}

// full: every frame composed and presented whole, as right after a slide.
void CornerFrame(benchmark::State& state, Size screen, bool full)
{
    Scene scene(screen, false);
    DWORD tick = 1000;
    scene.StepAt(tick);  // the border and the first frame
    double seconds = 0;
    for (auto _ : state) {
        tick += 101;  // only a frame is due
        if (full)
            scene.state->FullFrameDue = true;
        const auto start = std::chrono::steady_clock::now();
        scene.StepAt(tick);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const RegionSizes regions = ChangedRegionSizes(scene);
    const std::int64_t bytes = full ? CornerFrameBytes(*scene.state) : ClippedFrameBytes(regions);
    CompareWithMemcpy(state, bytes, seconds);
    // The same bytes as 16 pieces from memory the cache no longer holds.
    const double cold = ColdMemcpySeconds(bytes, 16);
    state.counters["vs_cold_memcpy"] = seconds / state.iterations() / cold;
    if (!full) {
        state.counters["changed_%"] = 100.0 * static_cast<double>(regions.pixels) /
                                      (64.0 * scene.state->CornerWidth * scene.state->CornerHeight);
        state.counters["region_rects"] = static_cast<double>(regions.rects);
        state.counters["most_rects"] = static_cast<double>(regions.mostRects);
        state.counters["region_KB"] = static_cast<double>(regions.rects * sizeof(vyla::Rect)) / 1024;
    }
}

void Slide(benchmark::State& state, Size screen)
{
    Scene scene(screen, true);
    DWORD tick = 5000;
    scene.StepAt(tick);  // the border, the pictures loaded, the first slide
    double seconds = 0;
    for (auto _ : state) {
        tick += 1001;  // a slide is due; the frame is held back
        scene.state->LastFrameTime = tick;
        const auto start = std::chrono::steady_clock::now();
        scene.StepAt(tick);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    CompareWithMemcpy(state, SlideBytes(*scene.state), seconds);
}

void Construction(benchmark::State& state, Size screen)
{
    Scene scene(screen, true);
    for (auto _ : state) {
        auto window = std::make_unique<TVylaScrnSavWindow>(nullptr, kTitle, nullptr);
        benchmark::DoNotOptimize(window.get());
        window.reset();
    }
    state.counters["target_ms"] = 50;
}

// A whole saver run, as the program runs it: some slides and frames, then closed.
void RunSaverForMemory()
{
    vyla::testing::TempDir settings;
    vyla::testing::WriteText(settings.Path() / "vyla.ini", "[options]\nspeed=1\ngirls=1\ninterval=1\n");
    vyla::headless::HeadlessHost host(kUhd, vyla::BuiltinResources());
    vyla::portable::Runtime runtime(host);
    host.SetProfileDirectory(settings.Path());
    host.SetCalendarTime(1'700'000'000);
    host.FillDesktop(0x5A6E9C);
    host.SetTick(100'000);
    int polls = 0;
    host.SetDriver([&polls](vyla::headless::HeadlessHost& h) {
        if (++polls <= 40) {
            h.Advance(600);  // a frame every call, a slide every other
        } else if (polls == 41) {
            PostMessageA(h.TopWindow(), WM_CLOSE, 0, 0);
        }
    });
    TApplication::InitCmdLine = "/s";
    AppMain(0, nullptr);
}

long PeakKilobytes(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

// Runs in a fresh process, this same program restarted on this benchmark
// alone, so nothing else it measures inflates the peak. The child writes its
// peak (kilobytes) to the file the environment names.
constexpr const char* kChildVariable = "VYLA_SCENE_MEMORY_RESULT";

void PeakMemory(benchmark::State& state)
{
    if (const char* result = getenv(kChildVariable)) {
        for (auto _ : state)
            RunSaverForMemory();
        std::ofstream(result) << PeakKilobytes(RUSAGE_SELF) << '\n';
        return;
    }
    vyla::testing::TempDir scratch;
    const std::string resultFile = (scratch.Path() / "peak").string();
    double peakMb = 0;
    for (auto _ : state) {
        pid_t child = fork();
        if (child == 0) {
            setenv(kChildVariable, resultFile.c_str(), 1);
            int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, 1);
            char self[] = "/proc/self/exe";
            char filter[] = "--benchmark_filter=^PeakMemory";
            char* argv[] = {self, filter, nullptr};
            execv(self, argv);
            _exit(127);
        }
        int status = 0;
        long kilobytes = 0;
        if (child > 0 && waitpid(child, &status, 0) == child)
            std::ifstream(resultFile) >> kilobytes;
        if (kilobytes <= 0) {
            state.SkipWithError("the measuring run failed");
            return;
        }
        peakMb = static_cast<double>(kilobytes) / 1024;
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["target_MB"] = 120;
}

void BM_CornerFrame_1920x1080(benchmark::State& s) { CornerFrame(s, kFullHd, false); }
void BM_CornerFrame_3840x2160(benchmark::State& s) { CornerFrame(s, kUhd, false); }
void BM_CornerFrameFull_1920x1080(benchmark::State& s) { CornerFrame(s, kFullHd, true); }
void BM_CornerFrameFull_3840x2160(benchmark::State& s) { CornerFrame(s, kUhd, true); }
void BM_Slide_1920x1080(benchmark::State& s) { Slide(s, kFullHd); }
void BM_Slide_3840x2160(benchmark::State& s) { Slide(s, kUhd); }
void BM_Construction_1920x1080(benchmark::State& s) { Construction(s, kFullHd); }
void BM_Construction_3840x2160(benchmark::State& s) { Construction(s, kUhd); }

}  // namespace

BENCHMARK(BM_CornerFrame_1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CornerFrame_3840x2160)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CornerFrameFull_1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CornerFrameFull_3840x2160)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Slide_1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Slide_3840x2160)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Construction_1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Construction_3840x2160)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
