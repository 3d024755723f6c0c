// BlitterSimd: SSE2 and AVX2 versions of the normal blend row, equal to the scalar loop bit for bit.
#include "gfx/Blitter.h"

#if defined(__x86_64__) || defined(__SSE2__)
#include <immintrin.h>
#define MPH_HAVE_X86 1
#endif

namespace mph {

#ifdef MPH_HAVE_X86

namespace {

// Each group of pixels is classified at once: nothing covered (skipped), everything fully covered and
// untinted (stored as is), or mixed, which blends every channel in 16-bit lanes. The 16-bit sums stay
// exact because s * k + d * (256 - k) never exceeds 255 * 256.
template <bool Opaque128, bool Tinted, bool Keep>
int32_t sse2Row(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
    const __m128i op = _mm_set1_epi32(p.opacity);
    const __m128i fullLimit = _mm_set1_epi32(32639);
    const __m128i anyLimit = _mm_set1_epi32(127);
    const __m128i v256 = _mm_set1_epi16(256);
    const __m128i scales = _mm_set_epi16(0, int16_t(p.scales[0]), int16_t(p.scales[1]), int16_t(p.scales[2]), 0,
                                         int16_t(p.scales[0]), int16_t(p.scales[1]), int16_t(p.scales[2]));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i sa = _mm_srli_epi32(sv, 24);
        const __m128i a = Opaque128 ? _mm_slli_epi32(sa, 7) : _mm_madd_epi16(sa, op);
        const __m128i anyM = _mm_cmpgt_epi32(a, anyLimit);
        const int anyBits = _mm_movemask_ps(_mm_castsi128_ps(anyM));
        if (anyBits == 0) continue;
        const __m128i fullM = _mm_cmpgt_epi32(a, fullLimit);
        if (!Tinted && _mm_movemask_ps(_mm_castsi128_ps(fullM)) == 0xF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
            continue;
        }
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i k = _mm_srli_epi32(a, 7);
        const __m128i kk = _mm_or_si128(k, _mm_slli_epi32(k, 16));
        const __m128i klo = _mm_unpacklo_epi32(kk, kk);
        const __m128i khi = _mm_unpackhi_epi32(kk, kk);
        const __m128i slo = _mm_unpacklo_epi8(sv, zero);
        const __m128i shi = _mm_unpackhi_epi8(sv, zero);
        const __m128i dlo = _mm_unpacklo_epi8(dv, zero);
        const __m128i dhi = _mm_unpackhi_epi8(dv, zero);
        __m128i blo = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(slo, klo), _mm_mullo_epi16(dlo, _mm_sub_epi16(v256, klo))), 8);
        __m128i bhi = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(shi, khi), _mm_mullo_epi16(dhi, _mm_sub_epi16(v256, khi))), 8);
        __m128i res;
        if (Tinted) {
            // Fully covered pixels tint the source, the others tint the blend.
            const __m128i flo = _mm_unpacklo_epi32(fullM, fullM);
            const __m128i fhi = _mm_unpackhi_epi32(fullM, fullM);
            blo = _mm_or_si128(_mm_and_si128(flo, slo), _mm_andnot_si128(flo, blo));
            bhi = _mm_or_si128(_mm_and_si128(fhi, shi), _mm_andnot_si128(fhi, bhi));
            blo = _mm_srli_epi16(_mm_mullo_epi16(blo, scales), 7);
            bhi = _mm_srli_epi16(_mm_mullo_epi16(bhi, scales), 7);
            res = _mm_or_si128(_mm_packus_epi16(blo, bhi), alpha);
        } else {
            const __m128i mixed = _mm_or_si128(_mm_packus_epi16(blo, bhi), alpha);
            res = _mm_or_si128(_mm_and_si128(fullM, sv), _mm_andnot_si128(fullM, mixed));
        }
        if (Keep) {
            const __m128i clear = _mm_cmpeq_epi32(_mm_srli_epi32(dv, 24), zero);
            const __m128i keepM = _mm_andnot_si128(fullM, _mm_and_si128(anyM, clear));
            res = _mm_or_si128(_mm_and_si128(keepM, sv), _mm_andnot_si128(keepM, res));
        }
        res = _mm_or_si128(_mm_and_si128(anyM, res), _mm_andnot_si128(anyM, dv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), res);
    }
    return i;
}

template <bool Opaque128, bool Tinted, bool Keep>
__attribute__((target("avx2"))) int32_t avx2Row(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alpha = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
    const __m256i op = _mm256_set1_epi32(p.opacity);
    const __m256i fullLimit = _mm256_set1_epi32(32639);
    const __m256i anyLimit = _mm256_set1_epi32(127);
    const __m256i v256 = _mm256_set1_epi16(256);
    const int16_t r = int16_t(p.scales[0]), g = int16_t(p.scales[1]), b = int16_t(p.scales[2]);
    const __m256i scales = _mm256_set_epi16(0, r, g, b, 0, r, g, b, 0, r, g, b, 0, r, g, b);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i sa = _mm256_srli_epi32(sv, 24);
        const __m256i a = Opaque128 ? _mm256_slli_epi32(sa, 7) : _mm256_madd_epi16(sa, op);
        const __m256i anyM = _mm256_cmpgt_epi32(a, anyLimit);
        if (_mm256_testz_si256(anyM, anyM)) continue;
        const __m256i fullM = _mm256_cmpgt_epi32(a, fullLimit);
        if (!Tinted && _mm256_movemask_ps(_mm256_castsi256_ps(fullM)) == 0xFF) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), sv);
            continue;
        }
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const __m256i k = _mm256_srli_epi32(a, 7);
        const __m256i kk = _mm256_or_si256(k, _mm256_slli_epi32(k, 16));
        const __m256i klo = _mm256_unpacklo_epi32(kk, kk);
        const __m256i khi = _mm256_unpackhi_epi32(kk, kk);
        const __m256i slo = _mm256_unpacklo_epi8(sv, zero);
        const __m256i shi = _mm256_unpackhi_epi8(sv, zero);
        const __m256i dlo = _mm256_unpacklo_epi8(dv, zero);
        const __m256i dhi = _mm256_unpackhi_epi8(dv, zero);
        __m256i blo = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(slo, klo), _mm256_mullo_epi16(dlo, _mm256_sub_epi16(v256, klo))), 8);
        __m256i bhi = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(shi, khi), _mm256_mullo_epi16(dhi, _mm256_sub_epi16(v256, khi))), 8);
        __m256i res;
        if (Tinted) {
            const __m256i flo = _mm256_unpacklo_epi32(fullM, fullM);
            const __m256i fhi = _mm256_unpackhi_epi32(fullM, fullM);
            blo = _mm256_blendv_epi8(blo, slo, flo);
            bhi = _mm256_blendv_epi8(bhi, shi, fhi);
            blo = _mm256_srli_epi16(_mm256_mullo_epi16(blo, scales), 7);
            bhi = _mm256_srli_epi16(_mm256_mullo_epi16(bhi, scales), 7);
            res = _mm256_or_si256(_mm256_packus_epi16(blo, bhi), alpha);
        } else {
            const __m256i mixed = _mm256_or_si256(_mm256_packus_epi16(blo, bhi), alpha);
            res = _mm256_blendv_epi8(mixed, sv, fullM);
        }
        if (Keep) {
            const __m256i clear = _mm256_cmpeq_epi32(_mm256_srli_epi32(dv, 24), zero);
            const __m256i keepM = _mm256_andnot_si256(fullM, _mm256_and_si256(anyM, clear));
            res = _mm256_blendv_epi8(res, sv, keepM);
        }
        res = _mm256_blendv_epi8(dv, res, anyM);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), res);
    }
    return i;
}

using KernelFn = int32_t (*)(const BlendRow&, const uint32_t*, uint32_t*, int32_t);

int index(const BlendRow& p) { return (p.opacity == 128 ? 4 : 0) | (p.tinted ? 2 : 0) | (p.keepTransparency ? 1 : 0); }

} // namespace

int32_t blendRowSse2(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n) {
    static constexpr KernelFn table[8] = {
        sse2Row<false, false, false>, sse2Row<false, false, true>, sse2Row<false, true, false>,
        sse2Row<false, true, true>,   sse2Row<true, false, false>, sse2Row<true, false, true>,
        sse2Row<true, true, false>,   sse2Row<true, true, true>,
    };
    return table[index(p)](p, s, d, n);
}

int32_t blendRowAvx2(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n) {
    static constexpr KernelFn table[8] = {
        avx2Row<false, false, false>, avx2Row<false, false, true>, avx2Row<false, true, false>,
        avx2Row<false, true, true>,   avx2Row<true, false, false>, avx2Row<true, false, true>,
        avx2Row<true, true, false>,   avx2Row<true, true, true>,
    };
    return table[index(p)](p, s, d, n);
}

bool cpuHasAvx2() { return __builtin_cpu_supports("avx2"); }

#else

int32_t blendRowSse2(const BlendRow&, const uint32_t*, uint32_t*, int32_t) { return 0; }
int32_t blendRowAvx2(const BlendRow&, const uint32_t*, uint32_t*, int32_t) { return 0; }
bool cpuHasAvx2() { return false; }

#endif

} // namespace mph
