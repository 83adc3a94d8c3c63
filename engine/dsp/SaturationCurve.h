#pragma once

namespace KA
{

constexpr int saturationCurveSize = 1023;

/** T[k] is the curve at x = -1 + 2k/1022; T[511] (x = 0) is exactly 0. */
extern const float saturationCurveTable[saturationCurveSize];

/** The stored curve, linearly interpolated; inputs outside [-1, 1] give the end values. */
float saturationCurve (float x) noexcept;

} // namespace KA
