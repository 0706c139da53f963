#include "image_reader.h"

#include <png.h>
#include <setjmp.h>
#include <stdio.h>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "usage_error.h"

namespace vyla::render {

namespace {

std::vector<unsigned char> ReadFile(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw UsageError("--desktop: " + file.string() + " is not a readable file");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw UsageError("--desktop: cannot open " + file.string());
    try {
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.bad())
            return bytes;
    } catch (const std::ios_base::failure&) {
    }
    throw UsageError("--desktop: cannot read " + file.string());
}

raster::Surface MakeSurface(const std::filesystem::path& file, unsigned width, unsigned height)
{
    auto made = raster::Surface::Create(Size{static_cast<int>(std::min(width, 0x7fffffffu)),
                                             static_cast<int>(std::min(height, 0x7fffffffu))});
    if (!made || width == 0 || height == 0)
        throw UsageError("--desktop: " + file.string() + " is too large or empty (" + std::to_string(width) + "x" +
                         std::to_string(height) + ")");
    return std::move(*made);
}

raster::Surface DecodePng(const std::filesystem::path& file, const std::vector<unsigned char>& bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw UsageError("--desktop: " + file.string() + ": " + image.message);
    image.format = PNG_FORMAT_BGRA;
    raster::Surface surface;
    try {
        surface = MakeSurface(file, image.width, image.height);
    } catch (...) {
        png_image_free(&image);
        throw;
    }
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, pixels.data(), 0, nullptr))
        throw UsageError("--desktop: " + file.string() + ": " + image.message);
    // Premultiplied onto black, as a picture with holes shows on a dark screen.
    const std::size_t stride = std::size_t{image.width} * 4;
    for (int y = 0; y < surface.Height(); ++y) {
        const png_byte* src = pixels.data() + static_cast<std::size_t>(y) * stride;
        raster::Pixel* dst = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x, src += 4) {
            unsigned a = src[3];
            auto c = [a](unsigned v) { return (v * a + 127) / 255; };
            dst[x] = c(src[2]) << 16 | c(src[1]) << 8 | c(src[0]);
        }
    }
    return surface;
}

// libjpeg reports fatal errors by calling error_exit, which must not return:
// it jumps back to DecodeJpegInto, whose frame holds only trivial objects.
struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    longjmp(error->jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

// Decodes into rgb (width * height * 3 bytes, allocated through the callback
// once the size is known). Returns false with the message set on failure.
using AllocateRgb = unsigned char* (*)(void* context, unsigned width, unsigned height);
bool DecodeJpegInto(const unsigned char* data, unsigned long size, AllocateRgb allocate, void* context, char* message)
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    error.manager.emit_message = JpegQuiet;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        std::memcpy(message, error.message, sizeof error.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    unsigned char* rgb = allocate(context, info.output_width, info.output_height);
    if (!rgb) {
        jpeg_destroy_decompress(&info);
        std::strcpy(message, "too large or empty");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb + std::size_t{info.output_scanline} * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

raster::Surface DecodeJpeg(const std::filesystem::path& file, const std::vector<unsigned char>& bytes)
{
    struct Target {
        std::vector<unsigned char> rgb;
        unsigned width = 0, height = 0;
    } target;
    AllocateRgb allocate = [](void* context, unsigned width, unsigned height) -> unsigned char* {
        auto* t = static_cast<Target*>(context);
        if (width == 0 || height == 0 || std::uint64_t{width} * height > std::uint64_t{raster::Surface::kMaxPixels} ||
            width > raster::Surface::kMaxSide || height > raster::Surface::kMaxSide)
            return nullptr;
        t->width = width;
        t->height = height;
        t->rgb.assign(std::size_t{width} * height * 3, 0);
        return t->rgb.data();
    };
    std::array<char, JMSG_LENGTH_MAX> message{};
    if (!DecodeJpegInto(bytes.data(), static_cast<unsigned long>(bytes.size()), allocate, &target, message.data()))
        throw UsageError("--desktop: " + file.string() + ": " + message.data());
    raster::Surface surface = MakeSurface(file, target.width, target.height);
    const unsigned char* src = target.rgb.data();
    for (int y = 0; y < surface.Height(); ++y) {
        raster::Pixel* dst = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x, src += 3)
            dst[x] = raster::Pixel{src[0]} << 16 | raster::Pixel{src[1]} << 8 | src[2];
    }
    return surface;
}

}  // namespace

raster::Surface ReadImage(const std::filesystem::path& file)
{
    std::vector<unsigned char> bytes = ReadFile(file);
    static constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= sizeof kPng && std::memcmp(bytes.data(), kPng, sizeof kPng) == 0)
        return DecodePng(file, bytes);
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return DecodeJpeg(file, bytes);
    throw UsageError("--desktop: " + file.string() + " is neither a PNG nor a JPEG picture");
}

}  // namespace vyla::render
