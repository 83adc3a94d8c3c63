#pragma once

#include <juce_core/juce_core.h>

#include <optional>

namespace KA
{
/** Reads a number stored as text in a file from outside the process. JUCE's readers
    overflow a signed int on a long exponent or on the most negative int, so stored
    numbers are read here instead: blanks around, an optional sign, decimal digits with
    an optional fraction and exponent, at most 64 characters. Gives nothing for anything
    else and for a value that is not finite or not within the range of a double. */
std::optional<double> readNumberText (const juce::String& text);

/** The number held by a stored property: a number as it is, text through readNumberText. */
std::optional<double> readStoredNumber (const juce::var& value);
} // namespace KA
