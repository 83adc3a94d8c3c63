#include "tests/engine/product/ProductRig.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

using namespace KA::Test;

namespace
{
const struct
{
    const char* name;
    const char* data;
    int size;
    const char* currentPreset;
    float values[11]; // in dB, as stored, in the order of lineOrder
} presets[] {
    { "Slap Bass", BinaryData::SlapBass_xml, BinaryData::SlapBass_xmlSize, "Metal Scoop.xml", { 0, 0, 8.2f, 0, -7.2f, 0, 0, 7.2f, 7.5f, 0, 1 } },
    { "Bass Warming", BinaryData::BassWarming_xml, BinaryData::BassWarming_xmlSize, "Full Reset.xml", { 0, 0, 0, 1.9f, 2.2f, 1.3f, 0, 2.8f, 1.7f, -5.6f, 1 } },
    { "Rock Mid Boost", BinaryData::RockMidBoost_xml, BinaryData::RockMidBoost_xmlSize, nullptr, { 0, 0, 0, 3.9f, 9, 11, 6.8f, 3.1f, -4.7f, 0, 1 } },
    { "Pell Varossi Motown", BinaryData::PellVarossiMotown_xml, BinaryData::PellVarossiMotown_xmlSize, "Pell Varossi Motown.xml", { -4, 1.8f, 3.5f, 4.4f, 6.6f, 2.9f, 0, -2.3f, -5.2f, 0, 1 } },
    { "Juno Kastrel Metal Scoop", BinaryData::JunoKastrelMetalScoop_xml, BinaryData::JunoKastrelMetalScoop_xmlSize, "Rock Mid Boost.xml", { 0, 0, 8.2f, 5, -3.8f, -8.9f, -3.6f, 7.2f, 7.5f, 0, 1 } },
};

const char* const lineOrder[] { "InputTrimmer", "OutputTrimmer", "Level", "50Hz", "120Hz", "400Hz", "500Hz", "800Hz", "4e5kHz", "10kHz", "power" };

/** What the parameter's 0.1 dB snapping makes of a value; JUCE's own range arithmetic. */
float snapped (int line, float value)
{
    if (line == 10)
        return value;
    return (line == 2 ? juce::NormalisableRange<float> (-120.0f, 12.0f, 0.1f, 7.272543f) : juce::NormalisableRange<float> (-15.0f, 15.0f, 0.1f)).snapToLegalValue (value);
}
} // namespace

TEST (FactoryPresets, EmbeddedDocumentsHaveTheirExactLayout)
{
    for (auto& preset : presets)
    {
        const std::string text (preset.data, (size_t) preset.size);
        EXPECT_EQ (preset.data[preset.size], '\0') << preset.name;

        // Every line, the last included, ends in CR LF; no bare CR or LF anywhere.
        juce::StringArray lines;
        lines.addTokens (juce::String (text).replace ("\r\n", "\x01"), "\x01", "");
        ASSERT_EQ (lines.size(), 16) << preset.name;
        EXPECT_EQ (lines[15], "");
        EXPECT_FALSE (lines.joinIntoString ("").containsAnyOf ("\r\n"));

        EXPECT_EQ (lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        EXPECT_EQ (lines[1], "");
        EXPECT_EQ (lines[2], juce::String ("<DRRoreRurediriz lastUIWidth=\"690\" lastUIHeight=\"284\"")
                                 + (preset.currentPreset == nullptr ? "" : juce::String (" CurrentPreset=\"/Users/morvel/Documents/KA Dravon Rore Rurediriz/") + preset.currentPreset + "\"") + ">");
        for (int i = 0; i < 11; ++i)
        {
            const auto& line = lines[3 + i];
            const juce::String prefix = juce::String ("  <PARAM id=\"") + lineOrder[i] + "\" value=\"";
            ASSERT_TRUE (line.startsWith (prefix) && line.endsWith ("\"/>")) << line;
            // The exact single-precision value the 0.1 dB snapping gives, written out in full.
            const auto value = line.substring (prefix.length(), line.length() - 3);
            EXPECT_EQ (std::stof (value.toStdString()), snapped (i, preset.values[i])) << line;
            EXPECT_TRUE (value.containsChar ('.')) << line;
        }
        EXPECT_EQ (lines[14], "</DRRoreRurediriz>");
    }
}

TEST (FactoryPresets, FiveProgramsLoadEveryValueExactlyAndAnalogPowerKeepsItsValue)
{
    RedeVaAudioProcessor p;
    ASSERT_EQ (p.getNumPrograms(), 6);
    EXPECT_EQ (p.getProgramName (0), "Default");
    EXPECT_EQ (p.getProgramName (6), "Default");

    for (bool analogPower : { false, true })
    {
        for (int program = 1; program <= 5; ++program)
        {
            const auto& preset = presets[program - 1];
            EXPECT_EQ (p.getProgramName (program), preset.name);
            auto* document = p.getFactoryPreset (program - 1);
            EXPECT_EQ (document->getAttributeName (document->getNumAttributes() - 1), "name");
            EXPECT_EQ (document->getStringAttribute ("name"), preset.name);

            setReal (p, "AnalogPower", analogPower ? 1.0f : 0.0f);
            p.setCurrentProgram (program);
            for (int i = 0; i < 11; ++i)
                EXPECT_EQ (getReal (p, lineOrder[i]), snapped (i, preset.values[i])) << preset.name << " " << lineOrder[i];
            EXPECT_EQ (getReal (p, "AnalogPower"), analogPower ? 1.0f : 0.0f);
            EXPECT_EQ ((int) p.parameters.state.getProperty ("lastUIWidth"), 690);
            EXPECT_EQ (p.parameters.state.getProperty ("name").toString(), preset.name);
        }
        p.setCurrentProgram (0);
    }

    // "Default" resets everything, AnalogPower included.
    setReal (p, "AnalogPower", 0.0f);
    p.setCurrentProgram (3);
    p.setCurrentProgram (0);
    for (auto* parameter : p.getParameters())
        EXPECT_EQ (parameter->getValue(), parameter->getDefaultValue());
}
