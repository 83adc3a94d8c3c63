#include "tests/engine/product/ProductRig.h"

#include "engine/ParameterText.h"

#include <gtest/gtest.h>

using namespace KA::Test;

TEST (ProductParameters, FlatOrderNamesRangesAndDefaults)
{
    RedeVaAudioProcessor p;

    struct Expected { const char* id; const char* name; const char* label; float start, end, interval, def; };
    const Expected expected[] {
        { "InputTrimmer", "Input Trimmer", "", -15, 15, 0.1f, 0 },
        { "OutputTrimmer", "Output Trimmer", "", -15, 15, 0.1f, 0 },
        { "AnalogPower", "Analog Power", "", 0, 1, 1, 1 },
        { "Level", "Level", "dB", -120, 12, 0.1f, 0 },
        { "50Hz", "50 Hz", "dB", -15, 15, 0.1f, 0 },
        { "120Hz", "120 Hz", "dB", -15, 15, 0.1f, 0 },
        { "400Hz", "400 Hz", "dB", -15, 15, 0.1f, 0 },
        { "500Hz", "500 Hz", "dB", -15, 15, 0.1f, 0 },
        { "800Hz", "800 Hz", "dB", -15, 15, 0.1f, 0 },
        { "4e5kHz", "4.5 kHz", "dB", -15, 15, 0.1f, 0 },
        { "10kHz", "10 kHz", "dB", -15, 15, 0.1f, 0 },
        { "power", "Power", "", 0, 1, 1, 1 },
    };

    const auto& all = p.getParameters();
    ASSERT_EQ (all.size(), 12);

    for (int i = 0; i < 12; ++i)
    {
        auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (all[i]);
        ASSERT_NE (parameter, nullptr);
        const auto& e = expected[i];
        EXPECT_EQ (parameter->paramID, e.id);
        EXPECT_EQ (parameter->getName (100), e.name) << e.id;
        EXPECT_EQ (parameter->getLabel(), e.label) << e.id;
        const auto& range = parameter->getNormalisableRange();
        EXPECT_FLOAT_EQ (range.start, e.start) << e.id;
        EXPECT_FLOAT_EQ (range.end, e.end) << e.id;
        EXPECT_FLOAT_EQ (range.interval, e.interval) << e.id;
        EXPECT_FLOAT_EQ (parameter->convertFrom0to1 (parameter->getDefaultValue()), e.def) << e.id;
        EXPECT_FLOAT_EQ (getReal (p, e.id), e.def) << e.id;
    }
}

TEST (ProductParameters, LevelHasZeroDecibelsAtTheMiddle)
{
    RedeVaAudioProcessor p;
    auto* level = p.parameters.getParameter ("Level");

    // (120 / 132) ^ skew = 0.5
    const double skew = std::log (0.5) / std::log (120.0 / 132.0);
    EXPECT_NEAR (level->getNormalisableRange().skew, skew, 1e-5);
    EXPECT_NEAR (level->convertTo0to1 (0.0f), 0.5f, 1e-6);
    EXPECT_NEAR (level->getDefaultValue(), 0.5f, 1e-6);

    for (const char* id : { "50Hz", "InputTrimmer" })
        EXPECT_FLOAT_EQ (p.parameters.getParameter (id)->convertTo0to1 (7.5f), 0.75f);
}

TEST (ProductParameters, ValueTexts)
{
    RedeVaAudioProcessor p;
    auto text = [&p] (const char* id, float real)
    {
        auto* parameter = p.parameters.getParameter (id);
        return parameter->getText (parameter->convertTo0to1 (real), 100);
    };

    EXPECT_EQ (text ("InputTrimmer", 0.0f), "0.0 dB");
    EXPECT_EQ (text ("OutputTrimmer", -15.0f), "-15.0 dB");
    EXPECT_EQ (text ("InputTrimmer", 2.3f), "2.3 dB");
    EXPECT_EQ (text ("Level", 0.0f), "0.0");
    EXPECT_EQ (text ("Level", -110.0f), "-110.0");
    EXPECT_EQ (text ("Level", -119.0f), "-119.0");
    EXPECT_EQ (text ("Level", -120.0f), "-oo");
    EXPECT_EQ (text ("Level", 12.0f), "12.0");
    EXPECT_EQ (text ("50Hz", 3.5f), "3.5");
    EXPECT_EQ (text ("10kHz", -15.0f), "-15.0");

    EXPECT_EQ (KA::ParameterText::trimValueToText (-119.5f, 0), "-oo");
    EXPECT_EQ (KA::ParameterText::levelValueToText (-119.01f, 3), "-oo");
}

TEST (ProductParameters, ProcessorIdentityLayoutsAndConfigurations)
{
    RedeVaAudioProcessor p;
    EXPECT_EQ (p.getName(), "KA Dravon Rore Rurediriz");
    EXPECT_EQ (p.getStateRootTag(), "DRRoreRurediriz");
    EXPECT_DOUBLE_EQ (p.getTailLengthSeconds(), 1.0);
    EXPECT_FALSE (p.acceptsMidi());
    EXPECT_FALSE (p.producesMidi());
    EXPECT_FALSE (p.isMidiEffect());

    using Set = juce::AudioChannelSet;
    auto supported = [&p] (Set in, Set out)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        return p.isBusesLayoutSupported (layout);
    };

    EXPECT_TRUE (supported (Set::stereo(), Set::stereo()));
    EXPECT_TRUE (supported (Set::mono(), Set::mono()));
    EXPECT_TRUE (supported (Set::mono(), Set::stereo()));
    EXPECT_TRUE (supported (Set::disabled(), Set::stereo()));
    EXPECT_TRUE (supported (Set::create5point1(), Set::disabled()));
    EXPECT_FALSE (supported (Set::stereo(), Set::mono()));
    EXPECT_FALSE (supported (Set::create5point1(), Set::create5point1()));

    const auto configurations = p.getChannelConfigurations();
    ASSERT_EQ (configurations.size(), 3);
    EXPECT_EQ (configurations[1], (KA::SettingsPluginInOuts { 1, 2 }));

    EXPECT_EQ (p.getBusCount (true), 1);
    EXPECT_EQ (p.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (p.getBus (false, 0)->getName(), "Output");
}

TEST (ProductParameters, FactoryPresetsAreAddedAfterTheStateTree)
{
    RedeVaAudioProcessor p;
    EXPECT_EQ (p.getNumPrograms(), 6);
    EXPECT_EQ (p.parameters.state.getType().toString(), "DRRoreRurediriz");
    EXPECT_EQ (p.parameters.state.getNumChildren(), 12);
}
