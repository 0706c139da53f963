// Helpers for the renderer's tests: running the program, reading its PNG
// files, writing small input files.
#pragma once

#include <fcntl.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "portable/raster/surface.h"
#include "support/text_files.h"

namespace vyla::render::testing {

using vyla::testing::ReadText;
using vyla::testing::WriteText;

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs vyla-render with args, its output collected in files under scratch.
// addressSpace: a limit on the program's memory (bytes), to see it run out.
inline ProgramRun RunProgram(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                             std::optional<rlim_t> addressSpace = std::nullopt)
{
    const std::filesystem::path outFile = scratch / "stdout.txt", errFile = scratch / "stderr.txt";
    std::vector<char*> argv;
    std::string program = VYLA_RENDER_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        if (addressSpace) {
            const rlimit limit{*addressSpace, *addressSpace};
            setrlimit(RLIMIT_AS, &limit);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    ProgramRun run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.out = ReadText(outFile);
    run.err = ReadText(errFile);
    return run;
}

inline std::optional<raster::Surface> ReadPng(const std::filesystem::path& file)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr))
        return std::nullopt;
    auto surface = raster::Surface::Create(Size{static_cast<int>(image.width), static_cast<int>(image.height)});
    if (!surface)
        return std::nullopt;
    const png_byte* p = bytes.data();
    for (int y = 0; y < surface->Height(); ++y)
        for (int x = 0; x < surface->Width(); ++x, p += 3)
            surface->Set(x, y, raster::Pixel{p[0]} << 16 | raster::Pixel{p[1]} << 8 | p[2]);
    return surface;
}

// The ticks of the PNG files in dir, in increasing order.
inline std::set<std::uint64_t> FrameTicks(const std::filesystem::path& dir)
{
    std::set<std::uint64_t> ticks;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".png")
            ticks.insert(std::stoull(entry.path().stem().string()));
    return ticks;
}

// The idle calls at which the saver steps: when the clock has moved more
// than 10 ms past the end of the last step, counted modulo 2^32.
inline std::vector<std::uint32_t> ExpectedSteps(std::uint32_t start, const std::vector<std::uint32_t>& ticks)
{
    std::vector<std::uint32_t> steps;
    std::uint32_t last = start;
    for (std::uint32_t t : ticks)
        if (static_cast<std::uint32_t>(t - last) > 10) {
            steps.push_back(t);
            last = t;
        }
    return steps;
}

// True when the two pictures differ somewhere inside area.
inline bool DiffersIn(const raster::Surface& a, const raster::Surface& b, const Rect& area)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (a.At(x, y) != b.At(x, y))
                return true;
    return false;
}

inline bool Equal(const raster::Surface& a, const raster::Surface& b)
{
    return a.GetSize() == b.GetSize() && !DiffersIn(a, b, a.Bounds());
}

}  // namespace vyla::render::testing
