#include "shell/PluginStateEncoding.h"

namespace KA
{
namespace
{
    // The alphabet of juce::MemoryBlock::toBase64Encoding.
    bool isEncodingCharacter (juce::juce_wchar c) noexcept
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '+' || c == '.';
    }
} // namespace

bool PluginStateEncoding::isWellFormed (const juce::String& text)
{
    const auto dot = text.indexOfChar ('.');

    if (dot <= 0 || dot > 9)   // nine digits already exceed the cap
        return false;

    const auto count = text.substring (0, dot);

    if (! count.containsOnly ("0123456789"))
        return false;

    const auto numBytes = count.getLargeIntValue();

    if (numBytes <= 0 || numBytes > maximumBytes)
        return false;

    const auto payload = text.substring (dot + 1);

    for (auto p = payload.getCharPointer(); ! p.isEmpty(); ++p)
        if (! isEncodingCharacter (*p))
            return false;

    const auto charactersNeeded = (numBytes * 8 + 5) / 6;
    return (juce::int64) payload.length() >= charactersNeeded;
}

bool PluginStateEncoding::decode (const juce::String& text, juce::MemoryBlock& dest)
{
    if (! isWellFormed (text))
        return false;

    juce::MemoryBlock decoded;

    if (! decoded.fromBase64Encoding (text) || decoded.getSize() == 0)
        return false;

    dest.swapWith (decoded);
    return true;
}

juce::String PluginStateEncoding::encode (const juce::MemoryBlock& data)
{
    return data.toBase64Encoding();
}
} // namespace KA
