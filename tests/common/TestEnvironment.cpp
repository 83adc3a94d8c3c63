#include "tests/common/TestEnvironment.h"

#include <cstdlib>

namespace KA::Test
{
juce::File getTemporaryHome()
{
    static const juce::File home = []
    {
        char pattern[] = "/tmp/ka-test-home-XXXXXX";
        const char* made = ::mkdtemp (pattern);
        juce::File folder (made != nullptr ? juce::String (made) : juce::String ("/tmp/ka-test-home"));
        folder.createDirectory();
        ::setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
        // JUCE asks gsettings for the desktop theme; with this it leaves no dconf files in HOME.
        ::setenv ("GSETTINGS_BACKEND", "memory", 1);
        return folder;
    }();
    return home;
}

juce::File makeTemporaryFolder (const juce::String& prefix)
{
    auto folder = getTemporaryHome().getNonexistentChildFile (prefix, {}, false);
    folder.createDirectory();
    return folder;
}
} // namespace KA::Test
