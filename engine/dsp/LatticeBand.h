#pragma once

#include "engine/dsp/CoeffIIR.h"
#include "engine/dsp/StereoPair.h"
#include "engine/dsp/TargetHandover.h"

#include <atomic>

namespace KA
{

/** One equalizer band: a second-order lattice-ladder filter over an
    interleaved stereo run whose five coefficients (tap0, tap1, k1, tap2, k2)
    each follow a linear ramp, stepped once per frame.

    Threads: setTargets() and update() run on the thread that changes
    parameters; they hand the new coefficients over without locking, and the
    audio thread picks them up at the start of its next block. prepare(),
    reset() and setRampSeconds() run while no block is being processed.
*/
class LatticeBand
{
public:
    static constexpr int numCoefficients = 5;

    LatticeBand() noexcept;

    /** Ramp length in seconds; a changed length makes every coefficient jump to its target. */
    void setRampSeconds (double seconds) noexcept;

    /** Sets the rate and clears the filter state; every coefficient jumps to its
        target. Targets handed over before the first preparation are dropped. */
    void prepare (double sampleRate) noexcept;

    /** Every coefficient jumps to its target (including one still being
        handed over); the filter state is cleared. */
    void reset() noexcept;

    /** New coefficient targets (parameter thread). The order is taken in any
        case; the targets only while the band is prepared. */
    void setTargets (const CoeffLattice<float>& lattice) noexcept;

    /** The band's part of a parameter change: designs the peaking filter for
        band bandIndex (bandInfo) at the given gain and hands it
        over. normalisedValue is the parameter's 0..1 position; the overload
        without it derives it from the +-15 dB range. Non-finite values are
        ignored. The design objects are created and freed on the calling thread. */
    void update (int bandIndex, float decibels, float normalisedValue, double sampleRate);
    void update (int bandIndex, float decibels, double sampleRate);

    /** Order of the last lattice given (0 before the first). Any thread. */
    size_t getOrder() const noexcept        { return order.load (std::memory_order_relaxed); }

    /** The rate of the last prepare(), for designs made on the thread that
        changes parameters, which need not be the one that prepares. Any thread. */
    double getDesignRate() const noexcept   { return designRate.load (std::memory_order_acquire); }

    //==============================================================================
    // Audio-side view, for the processing functions and for inspection while stopped.

    /** Applies targets handed over since the last call. Called by the processing functions. */
    void applyPendingTargets() noexcept;

    float getCurrentValue (int index) const noexcept    { return current[index][0]; }
    float getTargetValue (int index) const noexcept     { return target[index]; }
    int getRampSteps() const noexcept                   { return rampSteps; }
    bool isSmoothing() const noexcept;
    double getSampleRate() const noexcept               { return sampleRate; }

    /** [g0 left, g0 right, g1 left, g1 right] */
    void getState (float (&result)[4]) const noexcept;

private:
    friend struct LatticeKernel;
    friend struct LatticeWavefront;

    /** The step of a coefficient that is not ramping: adding -0 leaves every
        value unchanged, signed zeros included. */
    static StereoPair noStep() noexcept     { return splat (-0.0f); }

    struct Pending
    {
        float values[numCoefficients];
        size_t order;
    };

    void resetSmoothers (int steps) noexcept;
    void setTargetValue (int index, float value) noexcept;
    void clearState() noexcept;

    // Each coefficient is held in all four lanes, so both channels of a frame
    // read it without a shuffle. A lane that is not ramping steps by -0, which
    // leaves every value (signed zeros included) unchanged.
    StereoPair current[numCoefficients];
    StereoPair step[numCoefficients];
    float target[numCoefficients] {};
    int countdown[numCoefficients] {};
    int rampSteps = 0;

    StereoPair g0 {}, g1 {};
    bool hasState = false;
    size_t activeOrder = 0;

    double sampleRate = 0.0;
    double rampSeconds = 0.0;

    std::atomic<size_t> order { 0 };
    std::atomic<double> designRate { 0.0 };
    TargetHandover<Pending> handover;
};

/** Runs one band over the interleaved stereo run in the context's block
    (channel 0, numSamples frames of left/right), in place. */
void processLatticeBand (LatticeBand& band, const juce::dsp::ProcessContextReplacing<float>& context) noexcept;

/** Runs several bands in series over the run, exactly as calling
    processLatticeBand for each in turn would, but frame by frame so that the
    bands' recursions overlap. */
void processLatticeBands (LatticeBand* bands, int bandCount,
                          const juce::dsp::ProcessContextReplacing<float>& context) noexcept;

/** The same on a raw interleaved run of numFrames frames. */
void processLatticeBands (LatticeBand* bands, int bandCount, float* run, int numFrames) noexcept;

} // namespace KA
