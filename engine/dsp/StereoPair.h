#pragma once

#include <cmath>

namespace KA
{

// One interleaved stereo frame (left, right) held in the low half of a
// 16-byte vector, so both channels of a recursion advance in one instruction.
// The upper two lanes carry don't-care values.
using StereoPair = float __attribute__ ((vector_size (16)));

inline StereoPair loadPair (const float* p) noexcept
{
    return StereoPair { p[0], p[1], 0.0f, 0.0f };
}

inline void storePair (float* p, StereoPair v) noexcept
{
    p[0] = v[0];
    p[1] = v[1];
}

inline StereoPair splat (float v) noexcept
{
    return StereoPair { v, v, v, v };
}

inline bool isFinitePair (const float* p) noexcept
{
    return std::isfinite (p[0]) && std::isfinite (p[1]);
}

} // namespace KA
