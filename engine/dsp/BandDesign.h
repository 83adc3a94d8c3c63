#pragma once

#include "engine/ParameterTable.h"
#include "engine/dsp/CoeffIIR.h"

namespace KA
{

/** The Q a band (centre and Q range in bandInfo) uses at a parameter position (0..1 over the +-15 dB range):
    it grows linearly with the distance from the middle. */
float bandQ (int bandIndex, float normalisedValue) noexcept;

/** Normalised position of a band gain in dB over the +-15 dB range. */
float bandNormalisedValue (float decibels) noexcept;

/** 10^(dB/20), and exactly 0 at or below -100 dB. */
float decibelsToGain (float decibels) noexcept;

/** Digital second- (or first-) order section for the analog section
    (b0 + b1 s + b2 s^2) / (a0 + a1 s + a2 s^2), by the bilinear transform
    pre-warped at fc (clamped just below Nyquist). */
CoeffIIR<float>::Ptr bilinearBiquad (double sampleRate, float fc,
                                     float b0, float b1, float b2,
                                     float a0, float a1, float a2);

/** Peaking band with gain g at fc in lattice-ladder form. */
CoeffLattice<float>::Ptr makePeakLattice (double sampleRate, float centreHz, float q, float gain);

/** Converts direct-form values (5 or 6 values: second order; 3 or 4: first order)
    into lattice-ladder values. */
CoeffLattice<float>::Ptr directToLattice (const juce::Array<float>& directForm);

} // namespace KA
