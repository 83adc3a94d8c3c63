#pragma once

#include <juce_core/juce_core.h>

namespace KA
{
/** The stored plug-in state is JUCE's base-64 text: the byte count in decimal, a full
    stop, then the characters. JUCE trusts the count and allocates it before looking at
    the characters, so a damaged settings file could abort every later launch; this
    checks the text first. */
struct PluginStateEncoding
{
    /** Largest state accepted; the real blob is a few kilobytes. */
    static constexpr int maximumBytes = 16 * 1024 * 1024;

    /** True when the text is a count of 1 to maximumBytes digits-only, followed by a full
        stop and enough of JUCE's base-64 characters (and only those) to carry it. */
    static bool isWellFormed (const juce::String& text);

    /** Decodes a well-formed text into dest; returns false (dest untouched) otherwise. */
    static bool decode (const juce::String& text, juce::MemoryBlock& dest);

    static juce::String encode (const juce::MemoryBlock& data);
};
} // namespace KA
