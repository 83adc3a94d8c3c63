#include "tests/engine/product/ProductRig.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

using namespace KA::Test;

namespace
{
const char* const presetNames[] { "Slap Bass", "Bass Warming", "Rock Mid Boost", "Pell Varossi Motown", "Juno Kastrel Metal Scoop" };

struct Embedded { const char* data; int size; };
const Embedded embedded[] {
    { BinaryData::SlapBass_xml, BinaryData::SlapBass_xmlSize },
    { BinaryData::BassWarming_xml, BinaryData::BassWarming_xmlSize },
    { BinaryData::RockMidBoost_xml, BinaryData::RockMidBoost_xmlSize },
    { BinaryData::PellVarossiMotown_xml, BinaryData::PellVarossiMotown_xmlSize },
    { BinaryData::JunoKastrelMetalScoop_xml, BinaryData::JunoKastrelMetalScoop_xmlSize },
};

const char* const lineOrder[] { "InputTrimmer", "OutputTrimmer", "Level", "50Hz", "120Hz", "400Hz", "500Hz", "800Hz", "4e5kHz", "10kHz", "power" };

// The values in dB, to one decimal, that each preset stores.
const float presetValues[5][11] {
    { 0, 0, 8.2f, 0, -7.2f, 0, 0, 7.2f, 7.5f, 0, 1 },
    { 0, 0, 0, 1.9f, 2.2f, 1.3f, 0, 2.8f, 1.7f, -5.6f, 1 },
    { 0, 0, 0, 3.9f, 9, 11, 6.8f, 3.1f, -4.7f, 0, 1 },
    { -4, 1.8f, 3.5f, 4.4f, 6.6f, 2.9f, 0, -2.3f, -5.2f, 0, 1 },
    { 0, 0, 8.2f, 5, -3.8f, -8.9f, -3.6f, 7.2f, 7.5f, 0, 1 },
};

/** What the parameter's 0.1 dB snapping makes of a value; JUCE's own range arithmetic. */
float snapped (int lineIndex, float value)
{
    const juce::String id (lineOrder[lineIndex]);
    if (id == "power")
        return juce::NormalisableRange<float> (0.0f, 1.0f, 1.0f).snapToLegalValue (value);
    if (id == "Level")
        return juce::NormalisableRange<float> (-120.0f, 12.0f, 0.1f, 7.272543f).snapToLegalValue (value);
    return juce::NormalisableRange<float> (-15.0f, 15.0f, 0.1f).snapToLegalValue (value);
}

const char* const currentPresetFiles[] { "Metal Scoop.xml", "Full Reset.xml", nullptr, "Pell Varossi Motown.xml", "Rock Mid Boost.xml" };
} // namespace

TEST (FactoryPresets, EmbeddedDocumentsHaveTheirExactLayout)
{
    for (int p = 0; p < 5; ++p)
    {
        const std::string text (embedded[p].data, (size_t) embedded[p].size);
        EXPECT_EQ (embedded[p].data[embedded[p].size], '\0') << presetNames[p];

        // Every line, the last included, ends in CR LF; no bare LF anywhere.
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t crlf; (crlf = text.find ("\r\n", start)) != std::string::npos; start = crlf + 2)
            lines.push_back (text.substr (start, crlf - start));
        EXPECT_EQ (start, text.size()) << presetNames[p];
        ASSERT_EQ (lines.size(), 15u) << presetNames[p];
        for (auto& line : lines)
            EXPECT_EQ (line.find_first_of ("\r\n"), std::string::npos);

        EXPECT_EQ (lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        EXPECT_EQ (lines[1], "");

        std::string root = "<DRRoreRurediriz lastUIWidth=\"690\" lastUIHeight=\"284\"";
        if (currentPresetFiles[p] != nullptr)
            root += std::string (" CurrentPreset=\"/Users/morvel/Documents/KA Dravon Rore Rurediriz/") + currentPresetFiles[p] + "\"";
        EXPECT_EQ (lines[2], root + ">");

        for (int i = 0; i < 11; ++i)
        {
            const auto& line = lines[3 + (size_t) i];
            const std::string prefix = std::string ("  <PARAM id=\"") + lineOrder[i] + "\" value=\"";
            ASSERT_EQ (line.rfind (prefix, 0), 0u) << line;
            ASSERT_EQ (line.substr (line.size() - 3), "\"/>") << line;
            const auto value = line.substr (prefix.size(), line.size() - prefix.size() - 3);

            // The exact single-precision value the 0.1 dB snapping gives, written out in full.
            EXPECT_EQ (std::stof (value), snapped (i, presetValues[p][i])) << line;
            EXPECT_NE (value.find ('.'), std::string::npos) << line;
        }
        EXPECT_EQ (lines[14], "</DRRoreRurediriz>");
        EXPECT_EQ (text.find ("AnalogPower"), std::string::npos);
        EXPECT_EQ (text.find ("EXPARAM"), std::string::npos);
        EXPECT_EQ (text.find ("name="), std::string::npos);
    }
}

TEST (FactoryPresets, FiveProgramsInOrderWithTheirNames)
{
    RedeVaAudioProcessor p;
    ASSERT_EQ (p.getNumPrograms(), 6);
    EXPECT_EQ (p.getProgramName (0), "Default");
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (p.getProgramName (i + 1), presetNames[i]);
        auto* document = p.getFactoryPreset (i);
        ASSERT_NE (document, nullptr);
        EXPECT_EQ (document->getTagName(), "DRRoreRurediriz");
        EXPECT_EQ (document->getStringAttribute ("name"), presetNames[i]);
        EXPECT_EQ (document->getAttributeName (document->getNumAttributes() - 1), "name");
        EXPECT_EQ (document->hasAttribute ("CurrentPreset"), currentPresetFiles[i] != nullptr);
    }
    EXPECT_EQ (p.getProgramName (6), "Default");
}

TEST (FactoryPresets, EveryValueLoadsExactlyAndAnalogPowerKeepsItsValue)
{
    RedeVaAudioProcessor p;

    for (bool analogPower : { false, true })
    {
        for (int program = 1; program <= 5; ++program)
        {
            setReal (p, "AnalogPower", analogPower ? 1.0f : 0.0f);
            p.setCurrentProgram (program);

            for (int i = 0; i < 11; ++i)
                EXPECT_EQ (getReal (p, lineOrder[i]), snapped (i, presetValues[program - 1][i])) << presetNames[program - 1] << " " << lineOrder[i];

            EXPECT_EQ (getReal (p, "AnalogPower"), analogPower ? 1.0f : 0.0f);
            EXPECT_EQ ((int) p.parameters.state.getProperty ("lastUIWidth"), 690);
            EXPECT_EQ (p.parameters.state.getProperty ("name").toString(), presetNames[program - 1]);
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
