#include "tests/shell/support/ApplicationRun.h"

#include "engine/SettingsFile.h"
#include "shell/StandaloneFilterApp.h"
#include "tests/common/TestEnvironment.h"

namespace KA::Test
{
namespace
{
juce::PropertiesFile::Options optionsOf (bool global)
{
    return global ? SettingsFile::makeOptions ("DRRoreRurediriz Global Settings", "Preferences")
                  : StandaloneFilterApp::getSettingsOptions();
}
} // namespace

ApplicationRun::ApplicationRun() : home (makeTemporaryFolder ("app-home")) {}

juce::File ApplicationRun::getBinary()
{
    // build/tests/ka_shell_tests -> build/shell/KADravonRoreRurediriz
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory()
        .getSiblingFile ("shell").getChildFile ("KADravonRoreRurediriz");
}

juce::File ApplicationRun::getSettingsFile (bool global) const
{
    // JUCE's place for these options, moved from this process's HOME to the run's own.
    return home.getChildFile (optionsOf (global).getDefaultFile().getRelativePathFrom (getTemporaryHome()));
}

std::unique_ptr<juce::PropertiesFile> ApplicationRun::openSettings (bool global) const
{
    return std::make_unique<juce::PropertiesFile> (getSettingsFile (global), optionsOf (global));
}

void ApplicationRun::writeSettings (const juce::StringPairArray& values, bool global) const
{
    getSettingsFile (global).getParentDirectory().createDirectory();
    auto settings = openSettings (global);

    for (auto& key : values.getAllKeys())
        settings->setValue (key, values[key]);

    settings->saveIfNeeded();
}

void ApplicationRun::writeJackSettingsWithoutMailForm() const
{
    juce::StringPairArray values, global;
    values.set ("audioSetup", "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\" audioInputDeviceName=\"system\"/>");
    global.set ("showMailForm", "0");
    writeSettings (values);
    writeSettings (global, true);
}

bool ApplicationRun::launch (const juce::String& jackServerName, const juce::StringArray& wrapper, int fdForChild)
{
    juce::StringPairArray env;
    env.set ("HOME", home.getFullPathName());
    env.set ("DISPLAY", ensureVirtualDisplay());
    env.set ("JACK_DEFAULT_SERVER", jackServerName.isNotEmpty() ? jackServerName : "ka-test-no-server-" + juce::String (::getpid()));
    // Xlib's caches read as leaks once JUCE has unloaded it; memory errors stay fatal, and
    // the in-process tests keep leak checking for this code.
    const auto asan = juce::SystemStats::getEnvironmentVariable ("ASAN_OPTIONS", {});
    env.set ("ASAN_OPTIONS", asan + (asan.isNotEmpty() ? ":" : "") + "detect_leaks=0");

    auto command = wrapper;
    command.add (getBinary().getFullPathName());
    return process.start (command, env, fdForChild, home.getChildFile ("application.log"));
}

unsigned long ApplicationRun::waitUntilShown (X11Session& x, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs && process.isRunning(); waited += 50, juce::Thread::sleep (50))
        if (auto w = x.findWindow (windowTitle); w != 0 && x.isViewable (w))
            return w;

    return 0;
}

juce::String ApplicationRun::getLog() const
{
    return home.getChildFile ("application.log").loadFileAsString().getLastCharacters (3000);
}

juce::String encodeStateXml (const juce::String& xmlText)
{
    // "VC2!", the text's byte count as 32-bit little-endian, the text, a NUL.
    juce::MemoryOutputStream out;
    out.write ("VC2!", 4);
    out.writeInt ((int) xmlText.getNumBytesAsUTF8());
    out.write (xmlText.toRawUTF8(), xmlText.getNumBytesAsUTF8() + 1);
    return out.getMemoryBlock().toBase64Encoding();
}

std::unique_ptr<juce::XmlElement> parseStoredState (const juce::String& filterState)
{
    juce::MemoryBlock blob;
    if (! blob.fromBase64Encoding (filterState) || blob.getSize() < 9 || std::memcmp (blob.getData(), "VC2!", 4) != 0)
        return nullptr;

    // The program's own output, which its guard checked before writing it.
    return juce::parseXML (juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + 8, (int) blob.getSize() - 9));
}

double readStoredParameter (const juce::String& filterState, const juce::String& parameterId)
{
    const auto xml = parseStoredState (filterState);
    auto* param = xml != nullptr ? xml->getChildByAttribute ("id", parameterId) : nullptr;
    return param != nullptr ? param->getDoubleAttribute ("value") : std::numeric_limits<double>::quiet_NaN();
}
} // namespace KA::Test
