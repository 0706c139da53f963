#include "render_command.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "default_desktop.h"
#include "gif_writer.h"
#include "image_reader.h"
#include "png_writer.h"
#include "resample.h"
#include "saver_run.h"
#include "temp_dir.h"
#include "usage_error.h"

namespace vyla::render {

namespace {

raster::Surface MakeDesktop(const RenderOptions& options)
{
    raster::Surface desktop;
    if (options.desktopImage) {
        desktop = ScaleToFill(ReadImage(*options.desktopImage), options.screen);
    } else if (options.desktopColour) {
        if (auto plain = raster::Surface::Create(options.screen, *options.desktopColour))
            desktop = std::move(*plain);
    } else {
        desktop = DrawDefaultDesktop(options.screen);
    }
    if (desktop.GetSize() != options.screen)
        throw std::runtime_error("cannot make a desktop picture of that size");
    return desktop;
}

// The program reads vyla.ini from its settings directory: a private copy of
// the given file, so the user's own is never touched.
void CopySettings(const std::filesystem::path& from, const std::filesystem::path& directory)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(from, ec))
        throw UsageError("--settings: " + from.string() + " is not a readable file");
    std::string text;
    try {
        std::ifstream in(from, std::ios::binary);
        if (in)
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in || in.bad())
            throw UsageError("--settings: cannot read " + from.string());
    } catch (const std::ios_base::failure&) {
        throw UsageError("--settings: cannot read " + from.string());
    }
    std::ofstream copy(directory / "vyla.ini", std::ios::binary);
    copy << text;
    if (!copy.flush())
        throw std::runtime_error("cannot copy the settings file");
}

void MakeOutputDirectory(const std::filesystem::path& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir))
        throw UsageError("--out: cannot make the directory " + dir.string() + (ec ? ": " + ec.message() : ""));
}

// Each frame as DIR/TICK.png, and into the animation if there is one.
class FrameFiles : public FrameSink {
public:
    FrameFiles(std::filesystem::path dir, GifWriter* gif, int gifScale) : dir_(std::move(dir)), gif_(gif), gifScale_(gifScale) {}

    bool Frame(std::uint32_t tick, const raster::Surface& screen) override
    {
        error_ = WritePng(dir_ / (std::to_string(tick) + ".png"), screen);
        if (!error_.empty())
            return false;
        ++written_;
        lastTick_ = tick;
        if (gif_ && !gif_->AddFrame(BoxReduce(screen, gifScale_), tick)) {
            error_ = gif_->Error();
            return false;
        }
        return true;
    }

    const std::string& Error() const { return error_; }
    std::uint64_t Written() const { return written_; }
    std::uint32_t LastTick() const { return lastTick_; }

private:
    std::filesystem::path dir_;
    GifWriter* gif_;
    int gifScale_;
    std::string error_;
    std::uint64_t written_ = 0;
    std::uint32_t lastTick_ = 0;
};

}  // namespace

int RunRenderCommand(const RenderOptions& options, std::ostream& out, std::ostream& err)
{
    TempDir settingsDir;
    if (options.settings)
        CopySettings(*options.settings, settingsDir.Path());
    MakeOutputDirectory(options.out);

    SaverSetup setup;
    setup.desktop = MakeDesktop(options);
    setup.profileDirectory = settingsDir.Path();
    setup.calendarTime = options.clockSeconds ? *options.clockSeconds : static_cast<std::int64_t>(std::time(nullptr));
    setup.startTick = options.start;

    std::unique_ptr<GifWriter> gif;
    if (options.gif) {
        // Found out now rather than after the first frame.
        if (!std::ofstream(*options.gif, std::ios::binary | std::ios::trunc))
            throw UsageError("--gif: cannot write " + options.gif->string());
        const Size reduced{(options.screen.width + options.gifScale - 1) / options.gifScale,
                           (options.screen.height + options.gifScale - 1) / options.gifScale};
        gif = std::make_unique<GifWriter>(*options.gif, reduced);
    }
    FrameFiles files(options.out, gif.get(), options.gifScale);

    SaverRunResult run = RunSaver(setup, options.ticks, files);

    if (!files.Error().empty()) {
        err << "vyla-render: " << files.Error() << '\n';
        return 1;
    }
    if (gif && files.Written() == 0) {
        std::error_code ec;
        std::filesystem::remove(*options.gif, ec);  // the empty file the early check made
    } else if (gif) {
        // The last frame shows until the last tick of the list.
        std::string gifError = gif->Finish(options.ticks.Back() - files.LastTick());
        if (!gifError.empty()) {
            err << "vyla-render: " << gifError << '\n';
            return 1;
        }
    }
    if (!run.completed) {
        err << "vyla-render: the saver ended early (exit status " << run.exitCode << ")";
        for (std::string report : run.reports) {
            std::replace(report.begin(), report.end(), '\n', ' ');
            err << "; it reported: " << report;
        }
        err << '\n';
        return 1;
    }
    out << "vyla-render: " << files.Written() << (files.Written() == 1 ? " frame in " : " frames in ") << options.out.string();
    if (gif) {
        if (files.Written() > 0)
            out << ", animation in " << options.gif->string();
        else
            out << ", no animation (no frame)";
    }
    out << '\n';
    return 0;
}

}  // namespace vyla::render
