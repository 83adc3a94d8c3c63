#pragma once

#include <climits>
#include <cmath>

namespace KA
{
/** floor(rate x seconds) as a step count: 0 for a rate that is not a positive,
    finite number, and never past INT_MAX, so no float-to-int conversion can overflow. */
inline int rampSteps (double sampleRate, double seconds) noexcept
{
    const double steps = std::floor (sampleRate * seconds);

    if (! (steps > 0.0))
        return 0;

    return steps >= (double) INT_MAX ? INT_MAX : (int) steps;
}
} // namespace KA
