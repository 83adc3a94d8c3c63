#pragma once

#include <juce_core/juce_core.h>

namespace KA
{
/** The value texts the series and the product show for their parameters. */
struct ParameterText
{
    /** "-oo" below -119, otherwise one decimal and " dB". */
    static juce::String trimValueToText (float value, int maximumStringLength);

    /** "-oo" below -119, otherwise one decimal; the unit is the parameter's label. */
    static juce::String levelValueToText (float value, int maximumStringLength);

    /** One decimal, no unit. */
    static juce::String bandValueToText (float value, int maximumStringLength);

    /** The number in the text, as JUCE parses it; "-oo" (what the texts show for
        silence) is the bottom of any range, and text that reads as NaN is 0, so
        typing can never put a non-finite value into a parameter. */
    static float decibelTextToValue (const juce::String& text);
};
} // namespace KA
