#include "package/adler32.h"

#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tomeric {
namespace {

#if defined(__SSE2__)

constexpr std::uint32_t kModulus = 65521;

constexpr std::size_t kBlock = 32;
// The bytes summed between two reductions modulo 65521: the most for which
// the second sum cannot overflow 32 bits even when every byte is 0xFF
// (zlib's NMAX, 5552, rounded down to whole blocks).
constexpr std::size_t kBlocksPerReduction = 5552 / kBlock;

std::uint32_t SumOfLanes(__m128i v) {
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0x4E));
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0xB1));
    return std::uint32_t(_mm_cvtsi128_si32(v));
}

// Over a block of 32 bytes the first sum grows by their total and the
// second by 32 times the first sum before the block plus each byte weighted
// by 32 down to 1: the totals come from _mm_sad_epu8, the weighted sums from
// _mm_madd_epi16 on the bytes widened to 16 bits.
std::uint32_t UpdateBlocks(std::uint32_t adler, const unsigned char*& p, std::size_t blocks) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights[4] = {_mm_setr_epi16(32, 31, 30, 29, 28, 27, 26, 25),
                                _mm_setr_epi16(24, 23, 22, 21, 20, 19, 18, 17),
                                _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9),
                                _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1)};
    std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
    while (blocks > 0) {
        std::size_t run = blocks < kBlocksPerReduction ? blocks : kBlocksPerReduction;
        blocks -= run;
        __m128i first = _mm_cvtsi32_si128(int(a));
        __m128i second = _mm_cvtsi32_si128(int(b));
        __m128i firstBeforeBlocks = zero; // the first sum before each block, added up
        for (; run > 0; --run, p += kBlock) {
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
            firstBeforeBlocks = _mm_add_epi32(firstBeforeBlocks, first);
            first = _mm_add_epi32(first, _mm_add_epi32(_mm_sad_epu8(low, zero), _mm_sad_epu8(high, zero)));
            const __m128i weighted = _mm_add_epi32(
                _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(low, zero), weights[0]),
                              _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), weights[1])),
                _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(high, zero), weights[2]),
                              _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), weights[3])));
            second = _mm_add_epi32(second, weighted);
        }
        second = _mm_add_epi32(second, _mm_slli_epi32(firstBeforeBlocks, 5));
        a = SumOfLanes(first) % kModulus;
        b = SumOfLanes(second) % kModulus;
    }
    return a | b << 16;
}

#endif

} // namespace

std::uint32_t UpdateAdler32(std::uint32_t adler, QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = std::size_t(bytes.size());
#if defined(__SSE2__)
    adler = UpdateBlocks(adler, p, size / kBlock);
    size %= kBlock;
#endif
    // The tail (or everything, without SSE2) the plain way.
    return std::uint32_t(adler32_z(adler, p, size));
}

} // namespace tomeric
