#include "engine/ParameterText.h"

#include <cmath>
#include <limits>

namespace KA
{
namespace
{
    constexpr float silenceTextFloor = -119.0f;
}

juce::String ParameterText::trimValueToText (float value, int)
{
    if (value < silenceTextFloor)
        return "-oo";

    return juce::String (value, 1) + " dB";
}

juce::String ParameterText::levelValueToText (float value, int)
{
    if (value < silenceTextFloor)
        return "-oo";

    return juce::String (value, 1);
}

juce::String ParameterText::bandValueToText (float value, int)
{
    return juce::String (value, 1);
}
float ParameterText::decibelTextToValue (const juce::String& text)
{
    const auto trimmed = text.trim();

    if (trimmed.startsWith ("-oo"))
        return std::numeric_limits<float>::lowest();

    const auto value = trimmed.getFloatValue();

    if (std::isnan (value))
        return 0.0f;

    return juce::jlimit (std::numeric_limits<float>::lowest(), std::numeric_limits<float>::max(), value);
}
} // namespace KA
