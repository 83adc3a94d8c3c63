#include "tests/shell/support/ApplicationRun.h"

#include "engine/SettingsFile.h"
#include "shell/PluginStateEncoding.h"
#include "shell/StandaloneFilterApp.h"
#include "tests/common/TestEnvironment.h"

#include <cmath>

namespace KA::Test
{
ApplicationRun::ApplicationRun()
    : home (makeTemporaryFolder ("app-home"))
{
}

juce::File ApplicationRun::getBinary()
{
    // build/tests/ka_shell_tests -> build/shell/KADravonRoreRurediriz
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile)
        .getParentDirectory().getParentDirectory()
        .getChildFile ("shell").getChildFile ("KADravonRoreRurediriz");
}

namespace
{
    juce::PropertiesFile::Options optionsOf (bool global)
    {
        return global ? SettingsFile::makeOptions ("DRRoreRurediriz Global Settings", "Preferences")
                      : StandaloneFilterApp::getSettingsOptions();
    }
} // namespace

juce::File ApplicationRun::getSettingsFile (bool global) const
{
    // JUCE's place for these options, moved from this process's HOME to the run's own.
    const auto inOurHome = optionsOf (global).getDefaultFile();
    return home.getChildFile (inOurHome.getRelativePathFrom (getTemporaryHome()));
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

bool ApplicationRun::launch (const juce::String& jackServerName)
{
    juce::StringPairArray env;
    env.set ("HOME", home.getFullPathName());
    env.set ("DISPLAY", ensureVirtualDisplay());
    env.set ("JACK_DEFAULT_SERVER", jackServerName.isNotEmpty() ? jackServerName
                                                                : "ka-test-no-server-" + juce::String (juce::Random::getSystemRandom().nextInt()));
    // JUCE unloads libX11 at shutdown, after which Xlib's own caches read as leaks from
    // an unknown module; memory errors are still fatal, and the in-process suites keep
    // leak checking for this code.
    const auto asan = juce::SystemStats::getEnvironmentVariable ("ASAN_OPTIONS", {});
    env.set ("ASAN_OPTIONS", (asan.isNotEmpty() ? asan + ":" : juce::String()) + "detect_leaks=0");

    return process.start ({ getBinary().getFullPathName() }, env, -1, home.getChildFile ("application.log"));
}

unsigned long ApplicationRun::waitUntilShown (X11Session& x, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs && process.isRunning(); waited += 50)
    {
        if (auto w = x.findWindow (windowTitle); w != 0 && x.isViewable (w))
            return w;

        juce::Thread::sleep (50);
    }

    return 0;
}

juce::String encodeStateXml (const juce::String& xmlText)
{
    // "VC2!", the text's byte count as 32-bit little-endian, the text, a NUL.
    juce::MemoryOutputStream out;
    out.write ("VC2!", 4);
    const auto text = xmlText.toStdString();
    out.writeInt ((int) text.size());
    out.write (text.data(), text.size());
    out.writeByte (0);
    return out.getMemoryBlock().toBase64Encoding();
}

double readStoredParameter (const juce::String& filterState, const juce::String& parameterId)
{
    const auto nan = std::numeric_limits<double>::quiet_NaN();
    juce::MemoryBlock blob;

    if (! blob.fromBase64Encoding (filterState) || blob.getSize() < 9 || std::memcmp (blob.getData(), "VC2!", 4) != 0)
        return nan;

    juce::MemoryInputStream in (blob, false);
    in.skipNextBytes (4);
    const auto length = in.readInt();

    if (length <= 0 || (size_t) length + 8 > blob.getSize())
        return nan;

    const auto xml = juce::parseXML (juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + 8, length));

    if (xml == nullptr)
        return nan;

    for (auto* param : xml->getChildWithTagNameIterator ("PARAM"))
        if (param->getStringAttribute ("id") == parameterId)
            return param->getDoubleAttribute ("value", nan);

    return nan;
}
} // namespace KA::Test
