#pragma once

#include <juce_dsp/juce_dsp.h>

namespace KA
{

/** Direct-form IIR coefficients normalised by a0: [B0, B1, B2, A1, A2] for a
    second-order section, [B0, B1, A1] for a first-order one. */
template <typename NumericType>
struct CoeffIIR : public juce::dsp::IIR::Coefficients<NumericType>
{
    using juce::dsp::IIR::Coefficients<NumericType>::Coefficients;
    using Ptr = juce::ReferenceCountedObjectPtr<CoeffIIR>;

    ~CoeffIIR() override = default;
};

/** Lattice-ladder coefficients held in the same array: [tap0, tap1, k1, tap2, k2]
    for order 2, [tap0, tap1, k1] for order 1. */
template <typename NumericType>
struct CoeffLattice : public CoeffIIR<NumericType>
{
    using Ptr = juce::ReferenceCountedObjectPtr<CoeffLattice>;

    CoeffLattice() { this->coefficients.clearQuick(); }
    ~CoeffLattice() override = default;

    size_t getOrder() const noexcept
    {
        const auto count = (size_t) this->coefficients.size();
        return count == 0 ? 0 : (count - 1) / 2;
    }
};

} // namespace KA
