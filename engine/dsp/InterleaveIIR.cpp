#include "engine/dsp/InterleaveIIR.h"

#include "engine/dsp/VectorOps.h"

namespace KA
{

InterleaveIIR::InterleaveIIR()
{
    setCoefficients (coefficients);
}

void InterleaveIIR::setCoefficients (const juce::dsp::IIR::Coefficients<float>& newCoefficients)
{
    if (&newCoefficients != &coefficients)
        coefficients = newCoefficients;

    const auto& c = coefficients.coefficients;

    auto& s = section;

    if (c.size() >= 5)
    {
        s.order = 2;
        s.b0 = splat (c[0]); s.b1 = splat (c[1]); s.b2 = splat (c[2]);
        s.a1 = splat (c[3]); s.a2 = splat (c[4]);
    }
    else
    {
        s.order = 1;
        s.b0 = splat (c[0]); s.b1 = splat (c[1]); s.b2 = splat (0.0f);
        s.a1 = splat (c[2]); s.a2 = splat (0.0f);
    }
}

void InterleaveIIR::prepare() noexcept
{
    prepared = true;
    section.s1 = splat (0.0f);
    section.s2 = splat (0.0f);
}

void InterleaveIIR::reset() noexcept
{
    if (prepared)
        prepare();
}

template <int Order>
void InterleaveIIR::run (float* data, int numFrames) noexcept
{
    const auto b0 = section.b0, b1 = section.b1, b2 = section.b2, a1 = section.a1, a2 = section.a2;
    auto z1 = section.s1, z2 = section.s2;

    for (int i = 0; i < numFrames; ++i)
    {
        const auto x = loadPair (data + 2 * i);
        const auto y = b0 * x + z1;

        if constexpr (Order == 2)
        {
            z1 = (b1 * x - a1 * y) + z2;
            z2 = b2 * x - a2 * y;
        }
        else
        {
            z1 = b1 * x - a1 * y;
        }

        storePair (data + 2 * i, y);
    }

    section.s1 = z1;
    section.s2 = z2;
}

void InterleaveIIR::processUnchecked (float* data, int numFrames) noexcept
{
    if (! prepared || numFrames <= 0)
        return;

    if (section.order == 2)
        run<2> (data, numFrames);
    else
        run<1> (data, numFrames);
}

void InterleaveIIR::process (float* data, int numFrames) noexcept
{
    if (! prepared || numFrames <= 0)
        return;

    vzeroNonFinite (data, 2 * (size_t) numFrames);
    processUnchecked (data, numFrames);
    clearIfNotFinite();
}

bool InterleaveIIR::clearIfNotFinite() noexcept
{
    float s[4];
    getState (s);

    if (std::isfinite (s[0]) && std::isfinite (s[1]) && std::isfinite (s[2]) && std::isfinite (s[3]))
        return false;

    section.s1 = splat (0.0f);
    section.s2 = splat (0.0f);
    return true;
}

void InterleaveIIR::getState (float (&result)[4]) const noexcept
{
    result[0] = section.s1[0];
    result[1] = section.s1[1];
    result[2] = section.order == 2 ? section.s2[0] : 0.0f;
    result[3] = section.order == 2 ? section.s2[1] : 0.0f;
}

} // namespace KA
