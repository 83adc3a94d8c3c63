#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace KA
{
/** A JUCE parameter that ignores a value that is not a finite number. JUCE's own
    parameter classes store it, report NaN from getValue from then on, and the parameter
    state passes NaN on as the raw value. Everything else is the wrapped parameter's.
    A value set with setValue alone reaches the parameter state's listeners with the
    next notification, as for every JUCE parameter but the parameter state's own. */
class FiniteParameter final : public juce::RangedAudioParameter
{
public:
    explicit FiniteParameter (std::unique_ptr<juce::RangedAudioParameter> parameterToWrap);

    static std::unique_ptr<juce::RangedAudioParameter> wrap (std::unique_ptr<juce::RangedAudioParameter> parameter);

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;
    int getNumSteps() const override;
    bool isDiscrete() const override;
    bool isBoolean() const override;
    juce::String getText (float normalisedValue, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;
    juce::StringArray getAllValueStrings() const override;
    const juce::NormalisableRange<float>& getNormalisableRange() const override;

private:
    std::unique_ptr<juce::RangedAudioParameter> wrapped;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FiniteParameter)
};
} // namespace KA
