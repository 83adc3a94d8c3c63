#pragma once

#include "engine/ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace KA
{
/** The JUCE parameter a row of parameterTable describes, with its value texts. */
std::unique_ptr<juce::RangedAudioParameter> createParameter (ParameterIndex index);

/** The row of the parameter with this ID, or -1 when the table has none. */
int findParameterIndex (const juce::String& parameterID) noexcept;
} // namespace KA
