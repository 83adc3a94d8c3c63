#include "shell/PluginStateEncoding.h"

#include <gtest/gtest.h>

using KA::PluginStateEncoding;

TEST (PluginStateEncoding, RoundTripsEveryLengthAcrossTheBase64Boundaries)
{
    juce::Random random (1);
    for (int size : { 1, 2, 3, 4, 5, 6, 7, 8, 63, 64, 65, 4097 })
    {
        juce::MemoryBlock original ((size_t) size), decoded;
        for (size_t i = 0; i < original.getSize(); ++i)
            original[i] = (char) random.nextInt (256);

        // The format the settings file has always held: decimal count, full stop, characters.
        const auto text = PluginStateEncoding::encode (original);
        EXPECT_TRUE (text.startsWith (juce::String (size) + ".")) << text;
        ASSERT_TRUE (PluginStateEncoding::decode (text, decoded)) << size;
        EXPECT_EQ (decoded, original) << size;
    }
}

TEST (PluginStateEncoding, RejectsDamagedTextsWithoutTouchingTheDestinationAndAcceptsTheLimits)
{
    const auto payload = PluginStateEncoding::encode (juce::MemoryBlock ("forty bytes of a state, more or less....", 40)).fromFirstOccurrenceOf (".", false, false);
    const auto cap = PluginStateEncoding::maximumBytes, capChars = (cap * 8 + 5) / 6;

    for (auto& text : { juce::String(), payload, juce::String ("0."), "0." + payload, "-5." + payload, juce::String ("-1."),
                        "99999999999." + payload, juce::String (cap + 1) + "." + payload, "2147483647." + payload,
                        "41." + payload,   // more than the payload carries
                        "4 0." + payload, "+40." + payload, "0x28." + payload, ".40" + payload,
                        "40." + payload.substring (0, 10) + "!" + payload.substring (10) })
    {
        juce::MemoryBlock dest ("untouched", 9);
        EXPECT_FALSE (PluginStateEncoding::decode (text, dest)) << text;
        EXPECT_EQ (dest, juce::MemoryBlock ("untouched", 9)) << text;
    }

    // The shortest payload that carries the count: 6 bits a character.
    const std::pair<juce::String, bool> limits[] = {
        { "3.abcd", true }, { "3.abc", false }, { "4.abcdef", true }, { "4.abcde", false },
        { juce::String (cap) + "." + juce::String::repeatedString ("A", capChars), true },
        { juce::String (cap + 1) + "." + juce::String::repeatedString ("A", capChars + 2), false },
    };
    for (auto& [text, wellFormed] : limits)
        EXPECT_EQ (PluginStateEncoding::isWellFormed (text), wellFormed) << text.substring (0, 20);
}
