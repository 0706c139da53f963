#include "portable/raster/palette.h"

#include <algorithm>

#include "portable/raster/vector_clones.h"

#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VYLA_BYTE_SHUFFLES 1
#endif

namespace vyla::raster {
namespace {

// A palette of at most two entries (every other index black) needs no table:
// two compares and masks per pixel, which compilers turn into vector code.
// This is the case of one-bit masks.
VYLA_VECTOR_CLONES
void ExpandTwoColours(const std::uint8_t* __restrict indices, Pixel* __restrict out, std::size_t count, Pixel zero, Pixel one)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Pixel isZero = 0u - static_cast<Pixel>(indices[i] == 0);
        const Pixel isOne = 0u - static_cast<Pixel>(indices[i] == 1);
        out[i] = (isZero & zero) | (isOne & one);
    }
}

VYLA_VECTOR_CLONES
void ExpandByTable(const std::uint8_t* __restrict indices, Pixel* __restrict out, std::size_t count, const Pixel* table)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = table[indices[i]];
}

VYLA_VECTOR_CLONES
void AndByTable(const std::uint8_t* __restrict indices, Pixel* __restrict dst, std::size_t count, const Pixel* table)
{
    for (std::size_t i = 0; i < count; ++i)
        dst[i] &= table[indices[i]];
}

VYLA_VECTOR_CLONES
void OrByTable(const std::uint8_t* __restrict indices, Pixel* __restrict dst, std::size_t count, const Pixel* table)
{
    for (std::size_t i = 0; i < count; ++i)
        dst[i] |= table[indices[i]];
}

#ifdef VYLA_BYTE_SHUFFLES

using BytePlanes = std::array<std::array<std::uint8_t, Palette::kShortEntries>, 4>;

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#define VYLA_AVX2 __attribute__((target("avx2")))

VYLA_AVX2 inline __m256i BroadcastPlane(const std::array<std::uint8_t, Palette::kShortEntries>& plane)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(plane.data())));
}

template <int op>
VYLA_AVX2 inline void Put(Pixel* at, __m256i colours)
{
    auto* p = reinterpret_cast<__m256i*>(at);
    if constexpr (op == 1)
        colours = _mm256_and_si256(colours, _mm256_loadu_si256(p));
    else if constexpr (op == 2)
        colours = _mm256_or_si256(colours, _mm256_loadu_si256(p));
    _mm256_storeu_si256(p, colours);
}

// Thirty-two indices at a time: each byte of the colours comes from a
// sixteen-entry byte shuffle, and the four byte planes are interleaved into
// pixels. Adding 0x70 with saturation keeps an index below 16 as its low
// nibble and sets the top bit of any other, which a shuffle turns into 0:
// black, as the table has it. op: 0 copies, 1 ands, 2 ors. Returns how many
// pixels it did.
template <int op>
VYLA_AVX2 std::size_t ShuffleRun(const std::uint8_t* indices, Pixel* dst, std::size_t count, const BytePlanes& planes)
{
    const __m256i p0 = BroadcastPlane(planes[0]), p1 = BroadcastPlane(planes[1]);
    const __m256i p2 = BroadcastPlane(planes[2]), p3 = BroadcastPlane(planes[3]);
    const __m256i bias = _mm256_set1_epi8(0x70);
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i x = _mm256_adds_epu8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(indices + i)), bias);
        const __m256i b0 = _mm256_shuffle_epi8(p0, x), b1 = _mm256_shuffle_epi8(p1, x);
        const __m256i b2 = _mm256_shuffle_epi8(p2, x), b3 = _mm256_shuffle_epi8(p3, x);
        // Within each 128-bit lane: indices 0-7 and 8-15 of that lane.
        const __m256i lo01 = _mm256_unpacklo_epi8(b0, b1), hi01 = _mm256_unpackhi_epi8(b0, b1);
        const __m256i lo23 = _mm256_unpacklo_epi8(b2, b3), hi23 = _mm256_unpackhi_epi8(b2, b3);
        const __m256i a = _mm256_unpacklo_epi16(lo01, lo23);  // pixels 0-3 | 16-19
        const __m256i b = _mm256_unpackhi_epi16(lo01, lo23);  // 4-7 | 20-23
        const __m256i c = _mm256_unpacklo_epi16(hi01, hi23);  // 8-11 | 24-27
        const __m256i d = _mm256_unpackhi_epi16(hi01, hi23);  // 12-15 | 28-31
        Put<op>(dst + i, _mm256_permute2x128_si256(a, b, 0x20));
        Put<op>(dst + i + 8, _mm256_permute2x128_si256(c, d, 0x20));
        Put<op>(dst + i + 16, _mm256_permute2x128_si256(a, b, 0x31));
        Put<op>(dst + i + 24, _mm256_permute2x128_si256(c, d, 0x31));
    }
    return i;
}

#endif

}  // namespace

Palette::Palette(std::span<const Pixel> colours) : entryCount_(std::min(colours.size(), kMaxEntries))
{
    std::copy_n(colours.begin(), entryCount_, colours_.begin());
    for (std::size_t k = 0; k < 4; ++k)
        for (std::size_t i = 0; i < kShortEntries; ++i)
            bytePlanes_[k][i] = static_cast<std::uint8_t>(colours_[i] >> (8 * k));
}

template <Palette::Op op>
void Palette::Apply(const std::uint8_t* indices, Pixel* dst, std::size_t count) const
{
#ifdef VYLA_BYTE_SHUFFLES
    // Entries past a short palette are black, so the shuffle's sixteen cover it.
    if (entryCount_ <= kShortEntries && HasAvx2()) {
        const std::size_t done = ShuffleRun<static_cast<int>(op)>(indices, dst, count, bytePlanes_);
        indices += done;
        dst += done;
        count -= done;
    }
#endif
    if constexpr (op == Op::Copy) {
        ExpandPlain(indices, dst, count);
    } else if constexpr (op == Op::And) {
        AndByTable(indices, dst, count, colours_.data());
    } else {
        OrByTable(indices, dst, count, colours_.data());
    }
}

void Palette::Expand(const std::uint8_t* indices, Pixel* out, std::size_t count) const
{
    Apply<Op::Copy>(indices, out, count);
}

void Palette::AndInto(const std::uint8_t* indices, Pixel* dst, std::size_t count) const
{
    Apply<Op::And>(indices, dst, count);
}

void Palette::OrInto(const std::uint8_t* indices, Pixel* dst, std::size_t count) const
{
    Apply<Op::Or>(indices, dst, count);
}

void Palette::ExpandPlain(const std::uint8_t* indices, Pixel* out, std::size_t count) const
{
    if (entryCount_ <= 2)
        ExpandTwoColours(indices, out, count, colours_[0], colours_[1]);
    else
        ExpandByTable(indices, out, count, colours_.data());
}

}  // namespace vyla::raster
