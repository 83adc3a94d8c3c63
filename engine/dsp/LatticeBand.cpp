#include "engine/dsp/LatticeBand.h"

#include "engine/dsp/BandDesign.h"
#include "engine/dsp/RampSteps.h"

#include <algorithm>
#include <cmath>

namespace KA
{

LatticeBand::LatticeBand() noexcept
{
    for (int i = 0; i < numCoefficients; ++i)
    {
        current[i] = splat (0.0f);
        step[i] = noStep();
    }
}

void LatticeBand::resetSmoothers (int steps) noexcept
{
    rampSteps = steps;

    for (int i = 0; i < numCoefficients; ++i)
    {
        current[i] = splat (target[i]);
        step[i] = noStep();
        countdown[i] = 0;
    }
}

void LatticeBand::setTargetValue (int index, float value) noexcept
{
    if (value == target[index])
        return;

    target[index] = value;

    if (rampSteps <= 0)
    {
        current[index] = splat (value);
        step[index] = noStep();
        countdown[index] = 0;
        return;
    }

    countdown[index] = rampSteps;
    step[index] = splat ((value - current[index][0]) / (float) rampSteps);
}

void LatticeBand::clearState() noexcept
{
    g0 = splat (0.0f);
    g1 = splat (0.0f);
}

void LatticeBand::setRampSeconds (double seconds) noexcept
{
    if (seconds == rampSeconds)
        return;

    rampSeconds = seconds;

    if (sampleRate > 0.0)
        resetSmoothers (KA::rampSteps (sampleRate, seconds));

    if (hasState)
        clearState();
}

void LatticeBand::prepare (double newSampleRate) noexcept
{
    // A band that was already prepared keeps the targets handed over since its
    // last block, so they are in place below; before the first preparation only
    // their order counts, and the parameter sweep that follows supplies them.
    if (sampleRate > 0.0)
    {
        applyPendingTargets();
    }
    else
    {
        Pending pending;
        if (handover.fetch (pending))
            activeOrder = pending.order;
    }

    sampleRate = newSampleRate;
    designRate.store (newSampleRate, std::memory_order_release);
    hasState = true;

    if (sampleRate > 0.0)
        resetSmoothers (KA::rampSteps (sampleRate, rampSeconds));

    clearState();
}

void LatticeBand::reset() noexcept
{
    applyPendingTargets();

    if (sampleRate > 0.0)
        resetSmoothers (KA::rampSteps (sampleRate, rampSeconds));

    if (hasState)
        clearState();
}

void LatticeBand::setTargets (const CoeffLattice<float>& lattice) noexcept
{
    Pending pending {};
    pending.order = lattice.getOrder();

    const auto count = std::min (lattice.coefficients.size(), numCoefficients);
    for (int i = 0; i < count; ++i)
        pending.values[i] = lattice.coefficients.getUnchecked (i);

    order.store (pending.order, std::memory_order_relaxed);
    handover.post (pending);
}

void LatticeBand::update (int bandIndex, float decibels, float normalisedValue, double rate)
{
    if (bandIndex < 0 || bandIndex >= numBands || ! std::isfinite (decibels) || ! std::isfinite (normalisedValue))
        return;

    const auto& info = bandInfo (bandIndex);
    const auto q = bandQ (bandIndex, normalisedValue);
    const auto gain = decibelsToGain (decibels);

    auto lattice = makePeakLattice (rate, info.centreHz, q, gain);
    setTargets (*lattice);
}

void LatticeBand::update (int bandIndex, float decibels, double rate)
{
    update (bandIndex, decibels, bandNormalisedValue (decibels), rate);
}

void LatticeBand::applyPendingTargets() noexcept
{
    Pending pending;

    if (! handover.fetch (pending))
        return;

    activeOrder = pending.order;

    if ((activeOrder == 1 || activeOrder == 2) && sampleRate > 0.0)
        for (int i = 0; i < (int) (activeOrder == 2 ? 5 : 3); ++i)
            setTargetValue (i, pending.values[i]);
}

bool LatticeBand::isSmoothing() const noexcept
{
    for (auto c : countdown)
        if (c > 0)
            return true;

    return false;
}

void LatticeBand::getState (float (&result)[4]) const noexcept
{
    result[0] = g0[0];
    result[1] = g0[1];
    result[2] = g1[0];
    result[3] = g1[1];
}


} // namespace KA
