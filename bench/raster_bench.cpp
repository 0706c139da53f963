// Raster throughput, each case beside a plain memcpy of the same number of
// bytes in the same run: the copy is the yardstick the blits are judged by.
// Blits from indexed strips count the bytes they write.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/dib.h"
#include "portable/raster/blit.h"
#include "portable/raster/stretch.h"
#include "portable/raster/surface.h"
#include "support/packed_dib.h"

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

// A 640 x 416 one-bit silhouette, black and white, as a packed DIB: a
// scatter of bits with no pattern the stretch could profit from.
std::vector<std::uint8_t> OneBitPicture()
{
    constexpr int w = 640;
    constexpr int h = 416;
    return vyla::testing::PackedDib(w, h, 1, vyla::testing::kMono, [](int x, int y) {
        const auto byte = static_cast<std::size_t>(48 + (h - 1 - y) * (w / 8) + x / 8);
        return static_cast<std::uint32_t>((byte * 37 >> 3) >> (7 - x % 8)) & 1u;
    });
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

// A sprite strip as the scene keeps it at 1920x1080: 16 cells of 432 x 432,
// indexed, read a 384 x 384 block at a time. Each iteration takes the next
// cell, so the strip is read as a corner frame reads it.
constexpr Size kStrip{16 * 432, 432};

Surface IndexedStrip(std::size_t colours, std::uint32_t seed)
{
    std::vector<std::uint32_t> palette(colours);
    for (auto& c : palette) {
        seed = seed * 1664525u + 1013904223u;
        c = seed >> 8;
    }
    Surface s = *Surface::Create(kStrip);
    s.ResetIndexed(palette);
    for (int y = 0; y < kStrip.height; ++y) {
        auto* row = s.IndexRow(y);
        for (int x = 0; x < kStrip.width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = static_cast<std::uint8_t>((seed >> 16) % colours);
        }
    }
    return s;
}

void IndexedBlockCase(benchmark::State& state, std::size_t colours, Rop rop)
{
    const Surface strip = IndexedStrip(colours, 4);
    Surface dst = MakeSurface(kBlock, 5);
    int cell = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            vyla::raster::BitBlt(dst, dst.Bounds(), {0, 0}, kBlock, strip, {cell * 432 + 48, 48}, rop));
        benchmark::ClobberMemory();
        cell = (cell + 1) % 16;
    }
    state.SetBytesProcessed(state.iterations() * BytesOf(kBlock));
}

void BM_BitBlt_Block_FromIndexedMask_SrcAnd(benchmark::State& s) { IndexedBlockCase(s, 2, Rop::SrcAnd); }
void BM_BitBlt_Block_FromIndexed16_SrcPaint(benchmark::State& s) { IndexedBlockCase(s, 16, Rop::SrcPaint); }

// Building a strip: a 1280 x 80 four-bit picture stretched over the whole
// strip, which keeps its indices.
void BM_StretchDib_4bpp_WholeStrip(benchmark::State& state)
{
    constexpr int w = 1280;
    constexpr int h = 80;
    constexpr std::size_t stride = w / 2;
    std::vector<std::uint8_t> b(40 + 64 + stride * h, 0);
    auto put = [&b](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 40);
    put(4, w);
    put(8, h);
    put(12, 1 | (4u << 16));  // planes 1, bit count 4
    put(32, 16);
    for (std::uint32_t i = 0; i < 16; ++i)
        put(40 + 4 * i, i * 0x101010u);
    for (std::size_t i = 104; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(i * 37 >> 3);
    const vyla::DibView dib = *vyla::ParsePackedDib(b);
    Surface strip = *Surface::Create(kStrip);
    for (auto _ : state) {
        benchmark::DoNotOptimize(vyla::raster::StretchDib(strip, strip.Bounds(), strip.Bounds(), dib, {0, 0, w, h}, Rop::SrcCopy));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{kStrip.width} * kStrip.height);
}

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
BENCHMARK(BM_BitBlt_Block_FromIndexedMask_SrcAnd);
BENCHMARK(BM_BitBlt_Block_FromIndexed16_SrcPaint);
BENCHMARK(BM_StretchDib_4bpp_WholeStrip);
