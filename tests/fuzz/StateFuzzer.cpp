// libFuzzer target: the fuzzer's bytes are a stored state blob and a preset document
// at once. Whatever they hold, the processor takes them or ignores them, can read back
// what it then writes, and keeps producing clean audio.

#include "engine/RedeVaAudioProcessor.h"
#include "engine/xml/GuardedXml.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// libFuzzer looks these up by name and ships no header that declares them.
extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

namespace
{
juce::ScopedJuceInitialiser_GUI* juceRuntime = nullptr;
RedeVaAudioProcessor* processor = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    juceRuntime = new juce::ScopedJuceInitialiser_GUI();
    processor = new RedeVaAudioProcessor();

    // JUCE makes the leak counter of a class when its first object is made, and the
    // counters go at exit in reverse order: one change and save now makes the objects
    // a state change needs (an undo step), so their counters outlive the processor.
    juce::MemoryBlock state;
    processor->getParameters()[0]->setValueNotifyingHost (0.25f);
    processor->getStateInformation (state);
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
    const auto rootTag = p.getStateRootTag();

    p.setStateInformation (data, (int) size);

    // The way the preset library loads a preset file.
    if (auto xml = KA::GuardedXml::parse (reinterpret_cast<const char*> (data), size, KA::GuardedXml::Shape::state, rootTag))
        p.setStateFromXml (xml.get());

    juce::MemoryBlock state;
    p.getStateInformation (state);

    if (KA::PluginProcessor::readStateBlob (state.getData(), (int) state.getSize(), rootTag) == nullptr)
        __builtin_trap();

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
