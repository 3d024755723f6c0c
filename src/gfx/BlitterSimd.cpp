// BlitterSimd: SSE2 and AVX2 versions of the normal blend, equal to the scalar loop bit for bit.
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
    const __m128i scales = _mm_set_epi16(0, int16_t(p.scales[0]), int16_t(p.scales[1]), int16_t(p.scales[2]),
                                         0, int16_t(p.scales[0]), int16_t(p.scales[1]), int16_t(p.scales[2]));
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

// The AVX2 kernels blend whole blits: every row of the clipped rectangle, 8 pixels a group, the last
// partial group of a row through masked loads and stores (a masked-out lane reads as clear, which leaves
// the target pixel as it is), so no scalar loop is needed and the variant is chosen once per blit.
struct Avx2Consts {
    __m256i zero, alpha, op, fullLimit, anyLimit, scales, spreadLo, spreadHi;
};

__attribute__((target("avx2"), always_inline)) inline Avx2Consts avx2Consts(const BlendRow& p) {
    const int16_t r = int16_t(p.scales[0]), g = int16_t(p.scales[1]), b = int16_t(p.scales[2]);
    // Byte 0 of pixels 0 and 1 (2 and 3) of each half, spread over the four 16-bit channels of each pixel.
    const __m256i lo = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1, 0, -1, 0, -1,
                                        0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1);
    const __m256i hi = _mm256_add_epi8(lo, _mm256_setr_epi8(8, 0, 8, 0, 8, 0, 8, 0, 8, 0, 8, 0, 8, 0, 8, 0, 8,
                                                            0, 8, 0, 8, 0, 8, 0, 8, 0, 8, 0, 8, 0, 8, 0));
    return {_mm256_setzero_si256(),
            _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u)),
            _mm256_set1_epi32(p.opacity),
            _mm256_set1_epi32(32639),
            _mm256_set1_epi32(127),
            _mm256_set_epi16(0, r, g, b, 0, r, g, b, 0, r, g, b, 0, r, g, b),
            lo,
            hi};
}

// s * k + d * (256 - k) >> 8 in every channel of 8 pixels, k (in byte 0 of each pixel's lane) the pixels'
// coverage in 0..254. Written as (d << 8) + (s - d) * k, which wraps in 16 bits on the way but ends in
// 0..65280, so the result is exact with one multiply.
__attribute__((target("avx2"), always_inline)) inline void avx2Mix(const Avx2Consts& c, __m256i sv,
                                                                   __m256i dv, __m256i k, __m256i& blo,
                                                                   __m256i& bhi, __m256i& slo, __m256i& shi) {
    const __m256i klo = _mm256_shuffle_epi8(k, c.spreadLo);
    const __m256i khi = _mm256_shuffle_epi8(k, c.spreadHi);
    slo = _mm256_unpacklo_epi8(sv, c.zero);
    shi = _mm256_unpackhi_epi8(sv, c.zero);
    const __m256i dlo = _mm256_unpacklo_epi8(dv, c.zero);
    const __m256i dhi = _mm256_unpackhi_epi8(dv, c.zero);
    blo = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_slli_epi16(dlo, 8), _mm256_mullo_epi16(_mm256_sub_epi16(slo, dlo), klo)), 8);
    bhi = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_slli_epi16(dhi, 8), _mm256_mullo_epi16(_mm256_sub_epi16(shi, dhi), khi)), 8);
}

// One group of 8 pixels of any variant with its coverage a (alpha x opacity), the lanes covered at all and
// the lanes fully covered: the new target pixels (dv where nothing covers them).
// Faded: the opacity is below 1.0, so no pixel is ever fully covered and fullM is all clear.
template <bool Tinted, bool Keep, bool Faded = false>
__attribute__((target("avx2"), always_inline)) inline __m256i
avx2Group(const Avx2Consts& c, __m256i sv, __m256i dv, __m256i a, __m256i anyM, __m256i fullM) {
    __m256i blo, bhi, slo, shi;
    avx2Mix(c, sv, dv, _mm256_srli_epi32(a, 7), blo, bhi, slo, shi);
    __m256i res;
    if (Tinted) {
        // Fully covered pixels tint the source, the others tint the blend.
        if (!Faded) {
            blo = _mm256_blendv_epi8(blo, slo, _mm256_unpacklo_epi32(fullM, fullM));
            bhi = _mm256_blendv_epi8(bhi, shi, _mm256_unpackhi_epi32(fullM, fullM));
        }
        blo = _mm256_srli_epi16(_mm256_mullo_epi16(blo, c.scales), 7);
        bhi = _mm256_srli_epi16(_mm256_mullo_epi16(bhi, c.scales), 7);
        res = _mm256_or_si256(_mm256_packus_epi16(blo, bhi), c.alpha);
    } else {
        res = _mm256_or_si256(_mm256_packus_epi16(blo, bhi), c.alpha);
        if (!Faded) res = _mm256_blendv_epi8(res, sv, fullM);
    }
    if (Keep) {
        const __m256i clear = _mm256_cmpeq_epi32(_mm256_srli_epi32(dv, 24), c.zero);
        const __m256i keepM = _mm256_and_si256(anyM, clear);
        res = _mm256_blendv_epi8(res, sv, Faded ? keepM : _mm256_andnot_si256(fullM, keepM));
    }
    return _mm256_blendv_epi8(dv, res, anyM);
}

template <bool Opaque128>
__attribute__((target("avx2"), always_inline)) inline __m256i coverage(const Avx2Consts& c, __m256i sv) {
    const __m256i sa = _mm256_srli_epi32(sv, 24);
    return Opaque128 ? _mm256_slli_epi32(sa, 7) : _mm256_madd_epi16(sa, c.op);
}

__attribute__((target("avx2"), always_inline)) inline __m256i tailMask(int32_t left) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(left), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

template <bool Opaque128, bool Tinted, bool Keep, bool Faded = false>
__attribute__((target("avx2"))) void avx2Rows(const BlendRow& p, const uint32_t* s, int32_t sStride,
                                              uint32_t* d, int32_t dStride, int32_t n, int32_t rows) {
    const Avx2Consts c = avx2Consts(p);
    const __m256i tail = tailMask(n & 7);
    for (int32_t y = 0; y < rows; ++y, s += sStride, d += dStride) {
        int32_t i = 0;
        for (; i + 8 <= n; i += 8) {
            const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
            const __m256i a = coverage<Opaque128>(c, sv);
            const __m256i anyM = _mm256_cmpgt_epi32(a, c.anyLimit);
            if (_mm256_testz_si256(anyM, anyM)) continue;
            const __m256i fullM = Faded ? c.zero : _mm256_cmpgt_epi32(a, c.fullLimit);
            if (!Faded && !Tinted && _mm256_movemask_ps(_mm256_castsi256_ps(fullM)) == 0xFF) {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), sv);
                continue;
            }
            const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                                avx2Group<Tinted, Keep, Faded>(c, sv, dv, a, anyM, fullM));
        }
        if (i < n) {
            const __m256i sv = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), tail);
            const __m256i dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), tail);
            const __m256i a = coverage<Opaque128>(c, sv);
            const __m256i anyM = _mm256_cmpgt_epi32(a, c.anyLimit);
            const __m256i fullM = Faded ? c.zero : _mm256_cmpgt_epi32(a, c.fullLimit);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), tail,
                                   avx2Group<Tinted, Keep, Faded>(c, sv, dv, a, anyM, fullM));
        }
    }
}

// The commonest blit, a picture at full opacity and without tint, has coverage = the source alpha, and
// the alpha byte alone decides: 0 is clear, 255 fully covered. Pictures are mostly long runs of both, so
// 32 pixels at a time are skipped or copied when they are all of one kind.
template <bool Keep>
__attribute__((target("avx2"), always_inline)) inline void plainGroup(const Avx2Consts& c, uint32_t* d,
                                                                      __m256i sv) {
    if (_mm256_testz_si256(sv, c.alpha)) return;
    if (_mm256_testc_si256(sv, c.alpha)) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), sv);
        return;
    }
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    const __m256i sa = _mm256_and_si256(sv, c.alpha);
    const __m256i anyM = _mm256_xor_si256(_mm256_cmpeq_epi32(sa, c.zero), _mm256_set1_epi32(-1));
    const __m256i fullM = _mm256_cmpeq_epi32(sa, c.alpha);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d),
                        avx2Group<false, Keep>(c, sv, dv, _mm256_srli_epi32(sa, 17), anyM, fullM));
}

template <bool Keep>
__attribute__((target("avx2"))) void avx2RowsPlain(const BlendRow& p, const uint32_t* s, int32_t sStride,
                                                   uint32_t* d, int32_t dStride, int32_t n, int32_t rows) {
    const Avx2Consts c = avx2Consts(p);
    const __m256i tail = tailMask(n & 7);
    for (int32_t y = 0; y < rows; ++y, s += sStride, d += dStride) {
        int32_t i = 0;
        for (; i + 32 <= n; i += 32) {
            const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
            const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 8));
            const __m256i s2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 16));
            const __m256i s3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 24));
            const __m256i any = _mm256_or_si256(_mm256_or_si256(s0, s1), _mm256_or_si256(s2, s3));
            if (_mm256_testz_si256(any, c.alpha)) continue;
            const __m256i all = _mm256_and_si256(_mm256_and_si256(s0, s1), _mm256_and_si256(s2, s3));
            if (_mm256_testc_si256(all, c.alpha)) {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), s0);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 8), s1);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 16), s2);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 24), s3);
                continue;
            }
            plainGroup<Keep>(c, d + i, s0);
            plainGroup<Keep>(c, d + i + 8, s1);
            plainGroup<Keep>(c, d + i + 16, s2);
            plainGroup<Keep>(c, d + i + 24, s3);
        }
        for (; i + 8 <= n; i += 8)
            plainGroup<Keep>(c, d + i, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
        if (i < n) {
            const __m256i sv = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), tail);
            const __m256i dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), tail);
            const __m256i a = coverage<true>(c, sv);
            const __m256i anyM = _mm256_cmpgt_epi32(a, c.anyLimit);
            const __m256i fullM = _mm256_cmpgt_epi32(a, c.fullLimit);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), tail,
                                   avx2Group<false, Keep>(c, sv, dv, a, anyM, fullM));
        }
    }
}

using KernelFn = int32_t (*)(const BlendRow&, const uint32_t*, uint32_t*, int32_t);

int index(const BlendRow& p) {
    return (p.opacity == 128 ? 4 : 0) | (p.tinted ? 2 : 0) | (p.keepTransparency ? 1 : 0);
}

} // namespace

int32_t blendRowSse2(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n) {
    static constexpr KernelFn table[8] = {
        sse2Row<false, false, false>, sse2Row<false, false, true>, sse2Row<false, true, false>,
        sse2Row<false, true, true>,   sse2Row<true, false, false>, sse2Row<true, false, true>,
        sse2Row<true, true, false>,   sse2Row<true, true, true>,
    };
    return table[index(p)](p, s, d, n);
}

void blendRowsAvx2(const BlendRow& p, const uint32_t* s, int32_t sStride, uint32_t* d, int32_t dStride,
                   int32_t n, int32_t rows) {
    using RowsFn = void (*)(const BlendRow&, const uint32_t*, int32_t, uint32_t*, int32_t, int32_t, int32_t);
    static constexpr RowsFn table[8] = {
        avx2Rows<false, false, false>, avx2Rows<false, false, true>, avx2Rows<false, true, false>,
        avx2Rows<false, true, true>,   avx2RowsPlain<false>,         avx2RowsPlain<true>,
        avx2Rows<true, true, false>,   avx2Rows<true, true, true>,
    };
    // Below 1.0 nothing is fully covered: 255 x 127 = 32385 < 32640.
    static constexpr RowsFn faded[4] = {
        avx2Rows<false, false, false, true>,
        avx2Rows<false, false, true, true>,
        avx2Rows<false, true, false, true>,
        avx2Rows<false, true, true, true>,
    };
    const int variant = index(p);
    if (p.opacity < 128)
        faded[variant](p, s, sStride, d, dStride, n, rows);
    else
        table[variant](p, s, sStride, d, dStride, n, rows);
}

bool cpuHasAvx2() {
    return __builtin_cpu_supports("avx2");
}

#else

int32_t blendRowSse2(const BlendRow&, const uint32_t*, uint32_t*, int32_t) {
    return 0;
}
void blendRowsAvx2(const BlendRow&, const uint32_t*, int32_t, uint32_t*, int32_t, int32_t, int32_t) {}
bool cpuHasAvx2() {
    return false;
}

#endif

} // namespace mph
