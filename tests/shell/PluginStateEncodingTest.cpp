#include "shell/PluginStateEncoding.h"

#include <gtest/gtest.h>

using KA::PluginStateEncoding;

namespace
{
juce::MemoryBlock randomBlock (int size, juce::int64 seed)
{
    juce::Random random (seed);
    juce::MemoryBlock block ((size_t) size);

    for (int i = 0; i < size; ++i)
        static_cast<juce::uint8*> (block.getData())[i] = (juce::uint8) random.nextInt (256);

    return block;
}
} // namespace

TEST (PluginStateEncoding, RoundTripsEveryLengthAcrossTheBase64Boundaries)
{
    for (int size : { 1, 2, 3, 4, 5, 6, 7, 8, 63, 64, 65, 4097 })
    {
        const auto original = randomBlock (size, size);
        const auto text = PluginStateEncoding::encode (original);

        // The format the settings file has always held: decimal count, full stop, characters.
        EXPECT_TRUE (text.startsWith (juce::String (size) + ".")) << text;

        juce::MemoryBlock decoded;
        ASSERT_TRUE (PluginStateEncoding::decode (text, decoded)) << size;
        EXPECT_EQ (decoded, original) << size;
    }
}

TEST (PluginStateEncoding, RejectsDamagedTextsWithoutTouchingTheDestination)
{
    const auto good = PluginStateEncoding::encode (randomBlock (40, 7));
    const auto payload = good.fromFirstOccurrenceOf (".", false, false);

    const juce::StringArray damaged {
        "",                                        // missing
        payload,                                   // no full stop at all
        "0.",                                      // nothing to decode
        "0." + payload,                            // zero count
        "-5." + payload,                           // negative count, huge as size_t
        "-1.",
        "99999999999." + payload,                  // beyond any sane state
        "16777217." + payload,                     // one byte over the cap
        "2147483647." + payload,
        "41." + payload,                           // count larger than the payload carries
        "4 0." + payload,                          // not digits only
        "+40." + payload,
        "0x28." + payload,
        "40." + payload.substring (0, 10) + "!" + payload.substring (10),   // outside the alphabet
        ".40" + payload,
    };

    for (auto& text : damaged)
    {
        juce::MemoryBlock dest ("untouched", 9);
        EXPECT_FALSE (PluginStateEncoding::decode (text, dest)) << text;
        EXPECT_EQ (dest, juce::MemoryBlock ("untouched", 9)) << text;
    }
}

TEST (PluginStateEncoding, AcceptsTheCapAndTheShortestPayloadThatCarriesTheCount)
{
    // 3 bytes need exactly 4 characters of 6 bits each.
    EXPECT_TRUE (PluginStateEncoding::isWellFormed ("3.abcd"));
    EXPECT_FALSE (PluginStateEncoding::isWellFormed ("3.abc"));
    // 4 bytes (32 bits) need 6 characters.
    EXPECT_TRUE (PluginStateEncoding::isWellFormed ("4.abcdef"));
    EXPECT_FALSE (PluginStateEncoding::isWellFormed ("4.abcde"));

    const auto capChars = (PluginStateEncoding::maximumBytes * 8 + 5) / 6;
    const auto atCap = juce::String (PluginStateEncoding::maximumBytes) + "." + juce::String::repeatedString ("A", capChars);
    EXPECT_TRUE (PluginStateEncoding::isWellFormed (atCap));

    const auto overCap = juce::String (PluginStateEncoding::maximumBytes + 1) + "." + juce::String::repeatedString ("A", capChars + 2);
    EXPECT_FALSE (PluginStateEncoding::isWellFormed (overCap));
}
