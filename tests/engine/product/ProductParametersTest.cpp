#include "tests/engine/product/ProductRig.h"

#include "engine/ParameterText.h"

#include <gtest/gtest.h>

using namespace KA::Test;

TEST (ProductParameters, StateTreeHoldsEveryParameterOnceInOrderAtItsDefault)
{
    RedeVaAudioProcessor p;
    const auto& all = p.getParameters();
    ASSERT_EQ (all.size(), 12);
    ASSERT_EQ (p.parameters.state.getNumChildren(), 12);
    EXPECT_EQ (p.parameters.state.getType().toString(), "DRRoreRurediriz");
    for (int i = 0; i < all.size(); ++i)
    {
        auto& parameter = dynamic_cast<juce::RangedAudioParameter&> (*all[i]);
        EXPECT_EQ (p.parameters.state.getChild (i).getProperty ("id").toString(), parameter.paramID);
        EXPECT_EQ (parameter.getValue(), parameter.getDefaultValue()) << parameter.paramID;
    }

    // Level has 0 dB at the middle of its travel.
    auto* level = p.parameters.getParameter ("Level");
    EXPECT_NEAR (level->convertTo0to1 (0.0f), 0.5f, 1e-6);
    EXPECT_NEAR (level->getDefaultValue(), 0.5f, 1e-6);
    EXPECT_FLOAT_EQ (level->convertFrom0to1 (0.0f), -120.0f);
    EXPECT_FLOAT_EQ (level->convertFrom0to1 (1.0f), 12.0f);
    for (const char* id : { "50Hz", "InputTrimmer" })
        EXPECT_FLOAT_EQ (p.parameters.getParameter (id)->convertTo0to1 (7.5f), 0.75f);
}

TEST (ProductParameters, ValueTexts)
{
    RedeVaAudioProcessor p;
    const struct { const char* id; float real; const char* text; } cases[] = {
        { "InputTrimmer", 0.0f, "0.0 dB" }, { "OutputTrimmer", -15.0f, "-15.0 dB" }, { "InputTrimmer", 2.3f, "2.3 dB" },
        { "Level", 0.0f, "0.0" },           { "Level", -119.0f, "-119.0" },          { "Level", -120.0f, "-oo" },
        { "Level", 12.0f, "12.0" },         { "50Hz", 3.5f, "3.5" },                 { "10kHz", -15.0f, "-15.0" },
    };
    for (auto& c : cases)
    {
        auto* parameter = p.parameters.getParameter (c.id);
        EXPECT_EQ (parameter->getText (parameter->convertTo0to1 (c.real), 100), c.text) << c.id;
    }
    EXPECT_EQ (KA::ParameterText::trimValueToText (-119.5f, 0), "-oo");
    EXPECT_EQ (KA::ParameterText::levelValueToText (-119.01f, 3), "-oo");
}

TEST (ProductParameters, IdentityAndBusLayouts)
{
    RedeVaAudioProcessor p;
    EXPECT_EQ (p.getName(), "KA Dravon Rore Rurediriz");
    EXPECT_DOUBLE_EQ (p.getTailLengthSeconds(), 1.0);
    EXPECT_FALSE (p.acceptsMidi() || p.producesMidi() || p.isMidiEffect());

    using Set = juce::AudioChannelSet;
    const struct { Set in, out; bool supported; } layouts[] = {
        { Set::stereo(), Set::stereo(), true },        { Set::mono(), Set::mono(), true },
        { Set::mono(), Set::stereo(), true },          { Set::disabled(), Set::stereo(), true },
        { Set::create5point1(), Set::disabled(), true }, { Set::stereo(), Set::mono(), false },
        { Set::create5point1(), Set::create5point1(), false },
    };
    for (auto& l : layouts)
        EXPECT_EQ (p.isBusesLayoutSupported ({ { l.in }, { l.out } }), l.supported) << l.in.getDescription() << " " << l.out.getDescription();
}
