#pragma once

#include "engine/dsp/StereoPair.h"

// The one place that knows the instruction set. KA_SIMD comes from the build
// (option KA_SIMD in CMakeLists.txt): 1 compiles the SSE2 kernels (the bands
// two per register, the oversampler's sections packed in pairs), 0 the plain
// scalar ones, which give the same results bit for bit on any processor.
#ifndef KA_SIMD
 #error "KA_SIMD is defined by the build"
#endif

#if KA_SIMD
 #if ! defined (__SSE2__)
  #error "KA_SIMD needs SSE2; configure with -DKA_SIMD=OFF"
 #endif
 #include <emmintrin.h>
#endif

namespace KA::Simd
{

//==============================================================================
// Used by both builds.

/** Per lane a > b ? a : b, so a NaN in a gives b (SSE's maxps). */
inline StereoPair max (StereoPair a, StereoPair b) noexcept
{
   #if KA_SIMD
    return (StereoPair) _mm_max_ps ((__m128) a, (__m128) b);
   #else
    StereoPair r;
    for (int i = 0; i < 4; ++i)
        r[i] = a[i] > b[i] ? a[i] : b[i];
    return r;
   #endif
}

/** Per lane a < b ? a : b, so a NaN in a gives b (SSE's minps). */
inline StereoPair min (StereoPair a, StereoPair b) noexcept
{
   #if KA_SIMD
    return (StereoPair) _mm_min_ps ((__m128) a, (__m128) b);
   #else
    StereoPair r;
    for (int i = 0; i < 4; ++i)
        r[i] = a[i] < b[i] ? a[i] : b[i];
    return r;
   #endif
}

/** Each lane unchanged when finite, +0 when NaN or infinite (x - x is 0 only for finite x). */
inline StereoPair keepFinite (StereoPair x) noexcept
{
   #if KA_SIMD
    const auto v = (__m128) x;
    return (StereoPair) _mm_and_ps (_mm_cmpeq_ps (_mm_sub_ps (v, v), _mm_setzero_ps()), v);
   #else
    StereoPair r;
    for (int i = 0; i < 4; ++i)
        r[i] = x[i] - x[i] == 0.0f ? x[i] : 0.0f;
    return r;
   #endif
}

#if KA_SIMD
//==============================================================================
// Lane moves for the kernels that hold two stereo pairs in one register:
// lanes 0-1 are the low pair, lanes 2-3 the high pair.

/** All bits set in the low pair's lanes and/or the high pair's. */
inline StereoPair pairMask (bool low, bool high) noexcept
{
    const int l = low ? -1 : 0, h = high ? -1 : 0;
    return (StereoPair) _mm_castsi128_ps (_mm_set_epi32 (h, h, l, l));
}

/** Per lane: a where the mask is set, else b. */
inline StereoPair select (StereoPair mask, StereoPair a, StereoPair b) noexcept
{
    const auto m = (__m128) mask;
    return (StereoPair) _mm_or_ps (_mm_and_ps (m, (__m128) a), _mm_andnot_ps (m, (__m128) b));
}

/** a where the mask is set, else +0. */
inline StereoPair keepMasked (StereoPair mask, StereoPair a) noexcept
{
    return (StereoPair) _mm_and_ps ((__m128) mask, (__m128) a);
}

/** [a2, a3, b0, b1]: a's high pair moves down, b's low pair moves up. */
inline StereoPair handOn (StereoPair a, StereoPair b) noexcept
{
    return (StereoPair) _mm_shuffle_ps ((__m128) a, (__m128) b, _MM_SHUFFLE (1, 0, 3, 2));
}

/** handOn with b's low pair read from memory. */
inline StereoPair handOn (StereoPair a, const float* b) noexcept
{
    return (StereoPair) _mm_loadh_pi (_mm_movehl_ps ((__m128) a, (__m128) a), reinterpret_cast<const __m64*> (b));
}

/** [a0, a1, b0, b1] */
inline StereoPair lowPairs (StereoPair a, StereoPair b) noexcept
{
    return (StereoPair) _mm_movelh_ps ((__m128) a, (__m128) b);
}

/** [v2, v3, v2, v3] */
inline StereoPair highPair (StereoPair v) noexcept
{
    return (StereoPair) _mm_movehl_ps ((__m128) v, (__m128) v);
}

/** Writes lanes 0-1 to p[0], p[1]. */
inline void storeLowPair (float* p, StereoPair v) noexcept
{
    _mm_storel_pi (reinterpret_cast<__m64*> (p), (__m128) v);
}

/** Writes lanes 2-3 to p[0], p[1]. */
inline void storeHighPair (float* p, StereoPair v) noexcept
{
    _mm_storeh_pi (reinterpret_cast<__m64*> (p), (__m128) v);
}
#endif

} // namespace KA::Simd
