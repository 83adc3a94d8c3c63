#pragma once

#include <cstddef>

namespace KA
{

// Element-wise operations on stride-1 float runs. Written as plain loops the
// compiler vectorises; every one of them may work in place.

/** out[i] = 0 */
inline void vclr (float* out, std::size_t n) noexcept
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = 0.0f;
}

/** out[i] = a[i] * b[i] */
inline void vmul (const float* a, const float* b, float* out, std::size_t n) noexcept
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = a[i] * b[i];
}

/** out[i] = a[i] * scalar */
inline void vsmul (const float* a, float scalar, float* out, std::size_t n) noexcept
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = a[i] * scalar;
}

/** out[i] = a[i] + b[i] */
inline void vadd (const float* a, const float* b, float* out, std::size_t n) noexcept
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = a[i] + b[i];
}

/** Replaces every NaN or infinite value by 0, leaving finite values untouched.
    Runs before any recursion so that a bad sample cannot poison a filter state. */
inline void vzeroNonFinite (float* data, std::size_t n) noexcept
{
    for (std::size_t i = 0; i < n; ++i)
    {
        const float x = data[i];
        // x - x is 0 for finite x and NaN otherwise; the comparison is branch-free.
        data[i] = (x - x == 0.0f) ? x : 0.0f;
    }
}

} // namespace KA
