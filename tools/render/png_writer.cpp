#include "png_writer.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace vyla::render {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

class ChunkWriter {
public:
    explicit ChunkWriter(std::FILE* file) : file_(file) {}

    void Chunk(const char type[4], const unsigned char* data, std::size_t size)
    {
        unsigned char header[8];
        Put32(header, static_cast<std::uint32_t>(size));
        std::memcpy(header + 4, type, 4);
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
        if (size)
            crc = crc32(crc, data, static_cast<uInt>(size));
        unsigned char trailer[4];
        Put32(trailer, static_cast<std::uint32_t>(crc));
        Write(header, 8);
        Write(data, size);
        Write(trailer, 4);
    }
    void Write(const void* data, std::size_t size)
    {
        if (ok_ && size && std::fwrite(data, 1, size, file_) != size)
            ok_ = false;
    }
    bool Ok() const { return ok_; }

    static void Put32(unsigned char* p, std::uint32_t v)
    {
        p[0] = static_cast<unsigned char>(v >> 24);
        p[1] = static_cast<unsigned char>(v >> 16);
        p[2] = static_cast<unsigned char>(v >> 8);
        p[3] = static_cast<unsigned char>(v);
    }

private:
    std::FILE* file_;
    bool ok_ = true;
};

}  // namespace

std::string WritePng(const std::filesystem::path& file, const raster::Surface& surface, int level)
{
    if (surface.GetSize().IsEmpty())
        return "cannot write an empty picture";
    std::vector<char> buffer(1 << 16);  // outlives the file, which uses it until closed
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(file.c_str(), "wb"));
    if (!f)
        return "cannot create " + file.string() + ": " + std::strerror(errno);
    std::setvbuf(f.get(), buffer.data(), _IOFBF, buffer.size());
    ChunkWriter out(f.get());

    static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.Write(kSignature, sizeof kSignature);
    unsigned char ihdr[13];
    ChunkWriter::Put32(ihdr, static_cast<std::uint32_t>(surface.Width()));
    ChunkWriter::Put32(ihdr + 4, static_cast<std::uint32_t>(surface.Height()));
    ihdr[8] = 8;   // bits per channel
    ihdr[9] = 2;   // truecolour
    ihdr[10] = 0;  // deflate
    ihdr[11] = 0;  // adaptive filtering (each row says which; all say none)
    ihdr[12] = 0;  // not interlaced
    out.Chunk("IHDR", ihdr, sizeof ihdr);

    z_stream z{};
    if (deflateInit(&z, level) != Z_OK)
        return "cannot start compression";
    std::vector<unsigned char> row(static_cast<std::size_t>(surface.Width()) * 3 + 1);
    std::vector<unsigned char> idat(1 << 18);
    z.next_out = idat.data();
    z.avail_out = static_cast<uInt>(idat.size());
    auto flushIdat = [&] {
        out.Chunk("IDAT", idat.data(), idat.size() - z.avail_out);
        z.next_out = idat.data();
        z.avail_out = static_cast<uInt>(idat.size());
    };
    bool ok = true;
    for (int y = 0; y <= surface.Height() && ok; ++y) {
        const bool last = y == surface.Height();
        if (!last) {
            const raster::Pixel* src = surface.Row(y);
            unsigned char* dst = row.data();
            *dst++ = 0;  // filter: none
            for (int x = 0; x < surface.Width(); ++x) {
                *dst++ = static_cast<unsigned char>(src[x] >> 16);
                *dst++ = static_cast<unsigned char>(src[x] >> 8);
                *dst++ = static_cast<unsigned char>(src[x]);
            }
            z.next_in = row.data();
            z.avail_in = static_cast<uInt>(row.size());
        }
        for (;;) {
            int result = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR) {
                ok = false;
                break;
            }
            if (z.avail_out == 0) {
                flushIdat();
                continue;
            }
            if (last ? result == Z_STREAM_END : z.avail_in == 0)
                break;
        }
    }
    if (ok && z.avail_out != idat.size())
        flushIdat();
    deflateEnd(&z);
    if (!ok)
        return "compression failed";
    out.Chunk("IEND", nullptr, 0);
    if (!out.Ok() || std::fflush(f.get()) != 0)
        return "cannot write " + file.string() + ": " + std::strerror(errno);
    if (std::fclose(f.release()) != 0)
        return "cannot write " + file.string() + ": " + std::strerror(errno);
    return {};
}

}  // namespace vyla::render
