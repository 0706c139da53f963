// Raster throughput, each case beside a plain memcpy of the same number of
// bytes in the same run: the copy is the yardstick the blits are judged by.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/dib.h"
#include "portable/raster/blit.h"
#include "portable/raster/stretch.h"
#include "portable/raster/surface.h"

namespace {

using vyla::Rect;
using vyla::Size;
using vyla::raster::Rop;
using vyla::raster::Surface;

Surface MakeSurface(Size size, std::uint32_t seed)
{
    Surface s = *Surface::Create(size);
    for (int y = 0; y < size.height; ++y) {
        auto* row = s.Row(y);
        for (int x = 0; x < size.width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = seed >> 8;
        }
    }
    return s;
}

std::int64_t BytesOf(Size size)
{
    return std::int64_t{size.width} * size.height * 4;
}

void BlitCase(benchmark::State& state, Size size, Rop rop)
{
    Surface dst = MakeSurface(size, 1);
    const Surface src = MakeSurface(size, 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(vyla::raster::BitBlt(dst, dst.Bounds(), {0, 0}, size, src, {0, 0}, rop));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * BytesOf(size));
}

void MemcpyCase(benchmark::State& state, Size size)
{
    const auto bytes = static_cast<std::size_t>(BytesOf(size));
    std::vector<std::uint8_t> from(bytes, 1);
    std::vector<std::uint8_t> to(bytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

constexpr Size kBlock{384, 384};
constexpr Size kFullHd{1920, 1080};
constexpr Size kUhd{3840, 2160};
constexpr Size kPictureArea{1682, 762};

void BM_BitBlt_Block_SrcCopy(benchmark::State& s) { BlitCase(s, kBlock, Rop::SrcCopy); }
void BM_BitBlt_Block_SrcAnd(benchmark::State& s) { BlitCase(s, kBlock, Rop::SrcAnd); }
void BM_BitBlt_Block_SrcPaint(benchmark::State& s) { BlitCase(s, kBlock, Rop::SrcPaint); }
void BM_Memcpy_Block(benchmark::State& s) { MemcpyCase(s, kBlock); }
void BM_BitBlt_1920x1080_SrcCopy(benchmark::State& s) { BlitCase(s, kFullHd, Rop::SrcCopy); }
void BM_Memcpy_1920x1080(benchmark::State& s) { MemcpyCase(s, kFullHd); }
void BM_BitBlt_3840x2160_SrcCopy(benchmark::State& s) { BlitCase(s, kUhd, Rop::SrcCopy); }
void BM_Memcpy_3840x2160(benchmark::State& s) { MemcpyCase(s, kUhd); }

// A 640 x 416 one-bit silhouette, black and white, as a packed DIB.
std::vector<std::uint8_t> OneBitPicture()
{
    constexpr int w = 640;
    constexpr int h = 416;
    constexpr std::size_t stride = w / 8;
    std::vector<std::uint8_t> b(40 + 8 + stride * h, 0);
    auto put = [&b](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 40);
    put(4, w);
    put(8, h);
    put(12, 1 | (1u << 16));  // planes 1, bit count 1
    put(32, 2);
    put(44, 0xFFFFFF);        // palette: black, white
    for (std::size_t i = 48; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(i * 37 >> 3);
    return b;
}

void BM_StretchDib_1bpp_SrcAnd(benchmark::State& state)
{
    const auto bytes = OneBitPicture();
    const vyla::DibView dib = *vyla::ParsePackedDib(bytes);
    Surface dst = MakeSurface(kPictureArea, 3);
    const Rect target = Rect::FromSize(kPictureArea);
    for (auto _ : state) {
        benchmark::DoNotOptimize(vyla::raster::StretchDib(dst, dst.Bounds(), target, dib, {0, 0, 640, 416}, Rop::SrcAnd));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * BytesOf(kPictureArea));
}
void BM_Memcpy_1682x762(benchmark::State& s) { MemcpyCase(s, kPictureArea); }

}  // namespace

BENCHMARK(BM_BitBlt_Block_SrcCopy);
BENCHMARK(BM_BitBlt_Block_SrcAnd);
BENCHMARK(BM_BitBlt_Block_SrcPaint);
BENCHMARK(BM_Memcpy_Block);
BENCHMARK(BM_BitBlt_1920x1080_SrcCopy);
BENCHMARK(BM_Memcpy_1920x1080);
BENCHMARK(BM_BitBlt_3840x2160_SrcCopy);
BENCHMARK(BM_Memcpy_3840x2160);
BENCHMARK(BM_StretchDib_1bpp_SrcAnd);
BENCHMARK(BM_Memcpy_1682x762);
