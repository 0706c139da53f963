#include "gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace vyla::render {

namespace {

constexpr int kTransparent = 255;  // the palette has 255 colours and this hole

std::string GifError(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "GIF error " + std::to_string(code);
}

// Darkened to half, as a 50 % black checkerboard looks once reduced.
raster::Surface HalfBright(const raster::Surface& picture)
{
    raster::Surface half = picture;
    for (int y = 0; y < half.Height(); ++y) {
        raster::Pixel* row = half.Row(y);
        for (int x = 0; x < half.Width(); ++x)
            row[x] = (row[x] >> 1) & 0x7F7F7Fu;
    }
    return half;
}

}  // namespace

GifWriter::GifWriter(std::filesystem::path file, Size size) : file_(std::move(file)), size_(size) {}

GifWriter::~GifWriter()
{
    if (gif_) {
        int error = 0;
        EGifCloseFile(gif_, &error);
    }
}

void GifWriter::Fail(const std::string& what)
{
    if (error_.empty())
        error_ = file_.string() + ": " + what;
}

bool GifWriter::Open(const raster::Surface& first)
{
    const raster::Surface half = HalfBright(first);
    palette_ = Palette::MedianCut({{&first, 4}, {&half, 1}}, 255);

    int error = 0;
    gif_ = EGifOpenFileName(file_.c_str(), false, &error);
    if (!gif_) {
        Fail(GifError(error));
        return false;
    }
    EGifSetGifVersion(gif_, true);
    GifColorType colours[256]{};
    for (int i = 0; i < palette_->Size(); ++i) {
        raster::Pixel c = palette_->Colours()[static_cast<std::size_t>(i)];
        colours[i] = GifColorType{static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8), static_cast<GifByteType>(c)};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours);
    if (!map) {
        Fail("out of memory");
        return false;
    }
    int status = EGifPutScreenDesc(gif_, size_.width, size_.height, 8, 0, map);
    GifFreeMapObject(map);
    if (status != GIF_OK) {
        Fail(GifError(gif_->Error));
        return false;
    }
    // Loop forever.
    static const GifByteType kNetscape[] = "NETSCAPE2.0";
    static const GifByteType kLoop[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif_, 11, kNetscape) != GIF_OK || EGifPutExtensionBlock(gif_, 3, kLoop) != GIF_OK ||
        EGifPutExtensionTrailer(gif_) != GIF_OK) {
        Fail(GifError(gif_->Error));
        return false;
    }
    canvas_.assign(static_cast<std::size_t>(size_.width) * static_cast<std::size_t>(size_.height), 0);
    pending_.assign(canvas_.size(), 0);
    return true;
}

bool GifWriter::AddFrame(const raster::Surface& frame, std::uint32_t tick)
{
    if (!error_.empty() || finished_)
        return false;
    if (frame.GetSize() != size_) {
        Fail("a frame of the wrong size");
        return false;
    }
    if (!gif_ && !Open(frame))
        return false;

    std::vector<std::uint8_t> indices(canvas_.size());
    for (int y = 0; y < size_.height; ++y) {
        const raster::Pixel* row = frame.Row(y);
        std::uint8_t* out = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size_.width);
        raster::Pixel seen = row[0];
        std::uint8_t index = palette_->Nearest(seen);
        for (int x = 0; x < size_.width; ++x) {
            if (row[x] != seen) {  // runs of one colour are common
                seen = row[x];
                index = palette_->Nearest(seen);
            }
            out[x] = index;
        }
    }

    if (havePending_) {
        const std::uint32_t since = tick - pendingTick_;
        if (indices == pending_)
            return true;  // the pending frame simply shows longer
        if (since < kMinimumDelayMs) {
            pending_.swap(indices);  // too short to be seen: the newer frame takes its place
            return true;
        }
        if (!WritePending(since))
            return false;
        elapsedMs_ += since;
    }
    pending_.swap(indices);
    pendingTick_ = tick;
    havePending_ = true;
    return true;
}

bool GifWriter::WritePending(std::uint32_t delayMs)
{
    // Delays in hundredths, rounded so that their sum follows the ticks.
    const std::uint64_t endCs = (elapsedMs_ + delayMs + 5) / 10;
    const auto delayCs = static_cast<int>(std::min<std::uint64_t>(endCs - std::min(endCs, writtenCs_), 65535));
    writtenCs_ += static_cast<std::uint64_t>(delayCs);
    lastDelayMs_ = delayMs;

    // Only the rectangle that changed, the rest of it transparent.
    const int w = size_.width;
    int left = w, right = -1, top = size_.height, bottom = -1;
    if (!haveCanvas_) {
        left = 0, top = 0, right = w - 1, bottom = size_.height - 1;
    } else {
        for (int y = 0; y < size_.height; ++y) {
            const std::uint8_t* a = canvas_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
            const std::uint8_t* b = pending_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
            if (std::memcmp(a, b, static_cast<std::size_t>(w)) == 0)
                continue;
            top = std::min(top, y);
            bottom = y;
            int x0 = 0, x1 = w - 1;
            while (a[x0] == b[x0])
                ++x0;
            while (a[x1] == b[x1])
                --x1;
            left = std::min(left, x0);
            right = std::max(right, x1);
        }
        if (bottom < 0) {  // nothing changed after all: one pixel, transparent
            left = right = top = bottom = 0;
        }
    }

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delayCs;
    control.TransparentColor = haveCanvas_ ? kTransparent : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    std::size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK ||
        EGifPutImageDesc(gif_, left, top, right - left + 1, bottom - top + 1, false, nullptr) != GIF_OK) {
        Fail(GifError(gif_->Error));
        return false;
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(right - left + 1));
    for (int y = top; y <= bottom; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = left; x <= right; ++x) {
            std::uint8_t now = pending_[at + static_cast<std::size_t>(x)];
            bool same = haveCanvas_ && canvas_[at + static_cast<std::size_t>(x)] == now;
            line[static_cast<std::size_t>(x - left)] = same ? kTransparent : now;
        }
        if (EGifPutLine(gif_, line.data(), static_cast<int>(line.size())) != GIF_OK) {
            Fail(GifError(gif_->Error));
            return false;
        }
    }
    canvas_ = pending_;
    haveCanvas_ = true;
    ++framesWritten_;
    return true;
}

std::string GifWriter::Finish(std::uint32_t lastDelayMs)
{
    if (finished_)
        return error_;
    finished_ = true;
    if (error_.empty() && havePending_)
        WritePending(std::max(lastDelayMs ? lastDelayMs : lastDelayMs_, kMinimumDelayMs));
    if (error_.empty() && !gif_)
        Fail("no frame to write");
    if (gif_) {
        int error = 0;
        if (EGifCloseFile(gif_, &error) != GIF_OK)
            Fail(GifError(error));
        gif_ = nullptr;
    }
    return error_;
}

}  // namespace vyla::render
