#include "engine/xml/NumberText.h"

#include <charconv>
#include <cmath>

namespace KA
{
std::optional<double> readNumberText (const juce::String& text)
{
    const auto trimmed = text.trim();
    constexpr int maximumLength = 64;

    if (trimmed.isEmpty() || trimmed.length() > maximumLength)
        return {};

    const auto utf8 = trimmed.toStdString();
    const auto* begin = utf8.data();
    const auto* end = begin + utf8.size();

    // from_chars takes no plus sign; a second sign must still fail.
    if (*begin == '+' && end - begin > 1 && begin[1] != '-')
        ++begin;

    // Only decimal notation: from_chars would also take "inf" and "nan".
    for (auto* p = begin; p != end; ++p)
        if (! (juce::CharacterFunctions::isDigit (*p) || *p == '.' || *p == '-' || *p == '+' || *p == 'e' || *p == 'E'))
            return {};

    double value = 0.0;
    const auto [stop, error] = std::from_chars (begin, end, value, std::chars_format::general);

    if (error != std::errc() || stop != end || ! std::isfinite (value))
        return {};

    return value;
}

std::optional<double> readStoredNumber (const juce::var& value)
{
    if (value.isString())
        return readNumberText (value.toString());

    if (value.isInt() || value.isInt64() || value.isDouble() || value.isBool())
        if (const auto number = (double) value; std::isfinite (number))
            return number;

    return {};
}
} // namespace KA
