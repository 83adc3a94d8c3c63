// libFuzzer target: the fuzzer's bytes are the shell's settings file. It is opened the
// way the application opens it (the guard, then juce::PropertiesFile), its values are
// read the way the plug-in holder reads them, and it is saved again; what is saved
// must pass the guard at the next start.

#include "engine/RedeVaAudioProcessor.h"
#include "engine/SettingsFile.h"
#include "engine/xml/GuardedXml.h"
#include "shell/PluginStateEncoding.h"
#include "shell/StandaloneFilterApp.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

// libFuzzer looks these up by name and ships no header that declares them.
extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

namespace
{
juce::ScopedJuceInitialiser_GUI* juceRuntime = nullptr;
RedeVaAudioProcessor* processor = nullptr;
char home[] = "/tmp/ka-settings-fuzzer-XXXXXX";
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // The settings live under HOME; this target gets a HOME of its own.
    if (::mkdtemp (home) == nullptr || ::setenv ("HOME", home, 1) != 0)
        std::abort();

    juceRuntime = new juce::ScopedJuceInitialiser_GUI();
    processor = new RedeVaAudioProcessor();

    // JUCE makes the leak counter of a class when its first object is made, and the
    // counters go at exit in reverse order: one change and save now makes the objects
    // a state change needs (an undo step), so their counters outlive the processor.
    juce::MemoryBlock state;
    processor->getParameters()[0]->setValueNotifyingHost (0.25f);
    processor->getStateInformation (state);

    std::atexit ([]
    {
        delete processor;
        juce::File (home).deleteRecursively();
        delete juceRuntime;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto options = KA::StandaloneFilterApp::getSettingsOptions();
    const auto file = options.getDefaultFile();
    file.getParentDirectory().deleteRecursively();
    file.getParentDirectory().createDirectory();
    file.replaceWithData (data, size);

    juce::ApplicationProperties properties;
    KA::SettingsFile::open (properties, options, [] (const juce::String&) {});

    if (auto* settings = properties.getUserSettings())
    {
        juce::MemoryBlock state;

        if (KA::PluginStateEncoding::decode (settings->getValue ("filterState"), state))
            processor->setStateInformation (state.getData(), (int) state.getSize());

        // What the device manager reads from a stored setup.
        if (auto setup = KA::GuardedXml::parse (settings->getValue ("audioSetup"), KA::GuardedXml::Shape::deviceSetup))
        {
            juce::BigInteger channels;
            channels.parseString (setup->getStringAttribute ("audioDeviceInChans", "11"), 2);
            [[maybe_unused]] const auto rate = setup->getDoubleAttribute ("audioDeviceRate");
            [[maybe_unused]] const auto bufferSize = setup->getIntAttribute ("audioDeviceBufferSize");
        }

        settings->setValue ("saved", true);
        KA::SettingsFile::save (properties, [] (const juce::String&) {});

        if (! KA::GuardedXml::checkFile (file, KA::GuardedXml::Shape::settingsFile))
            __builtin_trap();
    }

    return 0;
}
