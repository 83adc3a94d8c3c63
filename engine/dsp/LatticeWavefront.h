#pragma once

#include "engine/dsp/LatticeBand.h"

namespace KA
{
/** Second-order bands in series over an interleaved run, two bands per
    register, with the results of the plain kernel bit for bit. Only in the
    KA_SIMD build; every band given must be of order 2 and prepared. */
void runLatticeWavefront (LatticeBand* const* bands, int count, float* data, int numFrames) noexcept;
} // namespace KA
