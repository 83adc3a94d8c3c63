// Everything a user could observe of the engine, written to the file named by
// KA_FINGERPRINT; scripts/test.sh compares the SIMD and scalar builds' files.

#include "tests/engine/product/ProductRig.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace KA::Test;

namespace
{
void renderScenario (juce::MemoryOutputStream& out, double rate, int ins)
{
    RedeVaAudioProcessor p;
    prepare (p, rate, 512, ins, 2);
    juce::Random random (ins * 1000 + (int) rate);
    juce::MidiBuffer midi;
    const int blockSizes[] { 1, 7, 64, 500, 33, 512, 2 };

    for (int block = 0; block < 160; ++block)
    {
        if (block % 5 == 2)
            p.getParameters()[3 + random.nextInt (8)]->setValueNotifyingHost (random.nextFloat()); // Level or a band
        if (block % 40 == 10)
            setReal (p, "AnalogPower", block % 80 == 10 ? 0.0f : 1.0f);
        if (block == 70 || block == 75)
            setReal (p, "power", block == 70 ? 0.0f : 1.0f);
        if (block == 90)
            setReal (p, "InputTrimmer", 7.5f);
        if (block == 120)
            prepare (p, rate, 512, ins, 2);

        juce::AudioBuffer<float> buffer (2, blockSizes[block % 7]);
        const float amplitude = block % 11 == 0 ? 3.0f : 0.5f;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, (random.nextFloat() * 2.0f - 1.0f) * amplitude);
        if (block == 30)
            buffer.setSample (1, 0, std::numeric_limits<float>::quiet_NaN());

        p.processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            out.write (buffer.getReadPointer (ch), sizeof (float) * (size_t) buffer.getNumSamples());
    }

    juce::MemoryBlock state;
    p.getStateInformation (state);
    out << state;
}
} // namespace

TEST (Fingerprint, WrittenWhenAsked)
{
    const auto* path = std::getenv ("KA_FINGERPRINT");
    if (path == nullptr)
        GTEST_SKIP() << "KA_FINGERPRINT not set";

    juce::MemoryOutputStream out;
    for (double rate : { 44100.0, 96000.0, 192000.0, 8000.0 })
        renderScenario (out, rate, 2);
    renderScenario (out, 48000.0, 1);

    RedeVaAudioProcessor p;
    for (int i = 0; i < p.getNumFactoryPresets(); ++i)
        out << p.getFactoryPreset (i)->toString();

    for (int program = 0; program < p.getNumPrograms(); ++program)
    {
        p.setCurrentProgram (program);
        juce::MemoryBlock state;
        p.getStateInformation (state);
        out << p.getProgramName (program) << state;
    }

    for (auto* parameter : p.getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter);
        const auto& range = ranged->getNormalisableRange();
        out << ranged->paramID << ranged->getName (100) << ranged->getLabel() << ranged->getDefaultValue()
            << range.start << range.end << range.interval << range.skew << (int) range.symmetricSkew;
        for (float v : { 0.0f, 0.25f, 0.5f, 0.75f, 1.0f })
            out << ranged->getText (v, 100);
    }

    ASSERT_TRUE (juce::File (juce::String (path)).replaceWithData (out.getData(), out.getDataSize()));
}
