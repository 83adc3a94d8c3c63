#include "engine/dsp/BandDesign.h"

#include <cmath>

namespace KA
{

float bandQ (int bandIndex, float normalisedValue) noexcept
{
    const auto& band = bandInfo (bandIndex);
    const auto x = std::abs (juce::NormalisableRange<float> (-1.0f, 1.0f).convertFrom0to1 (normalisedValue));
    return juce::NormalisableRange<float> (band.qMin, band.qMax).convertFrom0to1 (x);
}

float bandNormalisedValue (float decibels) noexcept
{
    // Every band shares one range.
    const auto& band = bandInfo (0);
    return juce::NormalisableRange<float> (band.start, band.end).convertTo0to1 (decibels);
}

float decibelsToGain (float decibels) noexcept
{
    return decibels > -100.0f ? std::pow (10.0f, decibels * 0.05f) : 0.0f;
}

CoeffIIR<float>::Ptr bilinearBiquad (double sampleRate, float fc,
                                     float b0, float b1, float b2,
                                     float a0, float a1, float a2)
{
    const auto fsf = (float) sampleRate;
    float K;

    if (fc > 0.0f)
    {
        // Pre-warp so that fw lands exactly; fw stays just below Nyquist so tan() is finite.
        const auto fw = std::min (fc, fsf * 0.9975f * 0.5f);
        K = fw * 6.2831855f / std::tan (fw * 3.1415927f / fsf);
    }
    else
    {
        K = fsf + fsf;
    }

    const auto KK = K * K;
    const auto D = (K * a1 + a0) + KK * a2;
    float B0, B1, B2 = 0.0f, A1, A2 = 0.0f;

    if (b2 != 0.0f || (a2 != 0.0f && ! std::isnan (a2)))
    {
        B0 = (K * b1 + b0 + KK * b2) / D;
        B1 = 2.0f * (b0 - KK * b2) / D;
        B2 = (b0 - K * b1 + KK * b2) / D;
        A1 = 2.0f * (a0 - KK * a2) / D;
        A2 = (a0 - K * a1 + KK * a2) / D;
    }
    else if (b1 != 0.0f || (a1 != 0.0f && ! std::isnan (a1)))
    {
        B0 = (K * b1 + b0) / D;
        B1 = (b0 - K * b1) / D;
        A1 = (a0 - K * a1) / D;
    }
    else
    {
        B0 = b0 / D;
        B1 = 0.0f;
        A1 = 0.0f;
    }

    return new CoeffIIR<float> (B0, B1, B2, 1.0f, A1, A2);
}

CoeffLattice<float>::Ptr directToLattice (const juce::Array<float>& c)
{
    CoeffLattice<float>::Ptr lattice = new CoeffLattice<float>();
    const auto n = c.size();

    if (n == 5 || n == 6)
    {
        const auto b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[3], a2 = c[4];
        const auto k1 = a1 / (a2 + 1.0f);
        const auto tap1 = b1 - (k1 + k1 * a2) * b2;
        const auto tap0 = b0 - k1 * tap1 - b2 * a2;
        lattice->coefficients.addArray ({ tap0, tap1, k1, b2, a2 });
    }
    else if (n == 3 || n == 4)
    {
        const auto b0 = c[0], b1 = c[1], a1 = c[2];
        lattice->coefficients.addArray ({ b0 - b1 * a1, b1, a1 });
    }

    return lattice;
}

CoeffLattice<float>::Ptr makePeakLattice (double sampleRate, float centreHz, float q, float gain)
{
    CoeffIIR<float>::Ptr direct;

    if (sampleRate <= 0.0)
    {
        direct = new CoeffIIR<float> (1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    }
    else
    {
        const auto w = 6.2831855f * centreHz;
        const auto ww = w * w;

        // A cut swaps numerator and denominator of the boost, so +x dB and -x dB cancel.
        if (gain >= 1.0f)
            direct = bilinearBiquad (sampleRate, centreHz, ww * q, w * gain, q, ww * q, w, q);
        else
            direct = bilinearBiquad (sampleRate, centreHz, ww * q, w, q, ww * q, w * (1.0f / gain), q);
    }

    return directToLattice (direct->coefficients);
}

} // namespace KA
