// libFuzzer target: whatever bytes arrive as a stored state blob or as preset XML,
// the processor either takes them or ignores them, and keeps working.

#include "engine/RedeVaAudioProcessor.h"
#include "engine/xml/GuardedXml.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstdint>

namespace
{
juce::ScopedJuceInitialiser_GUI* juceRuntime = nullptr;
RedeVaAudioProcessor* processor = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    juceRuntime = new juce::ScopedJuceInitialiser_GUI();
    processor = new RedeVaAudioProcessor();
    processor->setPlayConfigDetails (2, 2, 48000.0, 64);
    processor->prepareToPlay (48000.0, 64);

    // Registered after JUCE's own statics exist, so this runs before they go.
    std::atexit ([]
    {
        delete processor;
        delete juceRuntime;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& p = *processor;

    if (size == 0)
        return 0;

    const auto mode = data[0] % 3;
    const auto* payload = data + 1;
    const auto payloadSize = (int) juce::jmin (size - 1, (size_t) 1 << 20);

    if (mode == 0)
    {
        p.setStateInformation (payload, payloadSize);
    }
    else
    {
        // XML text, loaded directly or wrapped the way a stored blob carries it.
        const auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (payload),
                                                  juce::CharPointer_UTF8::isValidString (reinterpret_cast<const char*> (payload), payloadSize) ? payloadSize : 0);
        if (mode == 1)
        {
            if (auto xml = KA::GuardedXml::parseStateDocument (text, p.getStateRootTag()))
                p.setStateFromXml (xml.get());
        }
        else if (auto xml = KA::GuardedXml::parseStateDocument (text, p.getStateRootTag()))
        {
            juce::MemoryBlock blob;
            juce::AudioProcessor::copyXmlToBinary (*xml, blob);
            p.setStateInformation (blob.getData(), (int) blob.getSize());
        }
    }

    // Whatever was loaded, the state serialises and audio still runs clean.
    juce::MemoryBlock state;
    p.getStateInformation (state);

    juce::AudioBuffer<float> buffer (2, 64);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 64; ++i)
            buffer.setSample (ch, i, (float) ((i % 16) - 8) / 8.0f);
    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 64; ++i)
            if (! std::isfinite (buffer.getSample (ch, i)))
                __builtin_trap();

    return 0;
}
