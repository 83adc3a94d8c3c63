#include "engine/Parameters.h"

#include "engine/ParameterText.h"

namespace KA
{
std::unique_ptr<juce::RangedAudioParameter> createParameter (ParameterIndex index)
{
    const auto& info = parameterInfo (index);
    const juce::ParameterID id { info.id, 1 };

    if (info.kind == ParameterKind::toggle)
        return std::make_unique<juce::AudioParameterBool> (id, info.name, info.defaultValue >= 0.5f);

    const juce::NormalisableRange<float> range (info.start, info.end, info.interval, info.skew);

    if (info.kind == ParameterKind::trim)
        return std::make_unique<juce::AudioParameterFloat> (id, info.name, range, info.defaultValue,
                                                            juce::AudioParameterFloatAttributes()
                                                                .withLabel (info.label)
                                                                .withStringFromValueFunction (&ParameterText::trimValueToText)
                                                                .withValueFromStringFunction (&ParameterText::decibelTextToValue));

    return std::make_unique<juce::AudioProcessorValueTreeState::Parameter> (
        id, info.name, range, info.defaultValue,
        juce::AudioProcessorValueTreeStateParameterAttributes()
            .withLabel (info.label)
            .withStringFromValueFunction (info.kind == ParameterKind::level ? &ParameterText::levelValueToText
                                                                            : &ParameterText::bandValueToText)
            .withValueFromStringFunction (&ParameterText::decibelTextToValue));
}

int findParameterIndex (const juce::String& parameterID) noexcept
{
    for (int i = 0; i < numParameters; ++i)
        if (parameterID == parameterTable[i].id)
            return i;

    return -1;
}
} // namespace KA
