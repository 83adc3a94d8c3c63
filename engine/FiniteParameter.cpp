#include "engine/FiniteParameter.h"

#include <cmath>

namespace KA
{
namespace
{
    juce::AudioProcessorParameterWithIDAttributes attributesOf (const juce::RangedAudioParameter& p)
    {
        return juce::AudioProcessorParameterWithIDAttributes().withLabel (p.getLabel())
                                                              .withCategory (p.getCategory())
                                                              .withMeta (p.isMetaParameter())
                                                              .withAutomatable (p.isAutomatable())
                                                              .withInverted (p.isOrientationInverted());
    }
} // namespace

FiniteParameter::FiniteParameter (std::unique_ptr<juce::RangedAudioParameter> parameterToWrap)
    : juce::RangedAudioParameter (juce::ParameterID { parameterToWrap->getParameterID(), parameterToWrap->getVersionHint() },
                                  parameterToWrap->name, attributesOf (*parameterToWrap)),
      wrapped (std::move (parameterToWrap))
{
}

std::unique_ptr<juce::RangedAudioParameter> FiniteParameter::wrap (std::unique_ptr<juce::RangedAudioParameter> parameter)
{
    return std::make_unique<FiniteParameter> (std::move (parameter));
}

void FiniteParameter::setValue (float newValue)
{
    if (std::isfinite (newValue))
        wrapped->setValue (newValue);
}

float FiniteParameter::getValue() const                        { return wrapped->getValue(); }
float FiniteParameter::getDefaultValue() const                 { return wrapped->getDefaultValue(); }
int FiniteParameter::getNumSteps() const                       { return wrapped->getNumSteps(); }
bool FiniteParameter::isDiscrete() const                       { return wrapped->isDiscrete(); }
bool FiniteParameter::isBoolean() const                        { return wrapped->isBoolean(); }
juce::StringArray FiniteParameter::getAllValueStrings() const  { return wrapped->getAllValueStrings(); }

juce::String FiniteParameter::getText (float normalisedValue, int maximumStringLength) const
{
    return wrapped->getText (normalisedValue, maximumStringLength);
}

float FiniteParameter::getValueForText (const juce::String& text) const
{
    return wrapped->getValueForText (text);
}

const juce::NormalisableRange<float>& FiniteParameter::getNormalisableRange() const
{
    return wrapped->getNormalisableRange();
}
} // namespace KA
