#pragma once

#include "tests/shell/support/TestServers.h"
#include "tests/shell/support/X11Session.h"

#include <juce_data_structures/juce_data_structures.h>

namespace KA::Test
{
/** One run of the real application binary with a HOME of its own, on the test display,
    away from any JACK server unless one is named. */
class ApplicationRun
{
public:
    static constexpr const char* windowTitle = "KA Dravon Rore Rurediriz";

    ApplicationRun();
    static juce::File getBinary();

    /** The shell's settings file, or the processor's global one. */
    juce::File getSettingsFile (bool global = false) const;
    std::unique_ptr<juce::PropertiesFile> openSettings (bool global = false) const;
    void writeSettings (const juce::StringPairArray& values, bool global = false) const;

    /** Settings for a run on the test JACK server's system ports, without the sign-up form
        a first start offers, which would cover the bar. */
    void writeJackSettingsWithoutMailForm() const;

    /** In front of the binary, a command that ends by running it (its last argument);
        fdForChild becomes the command's fd 3. */
    bool launch (const juce::String& jackServerName = {}, const juce::StringArray& wrapper = {}, int fdForChild = -1);
    /** The application's window once it is on screen, or 0. */
    unsigned long waitUntilShown (X11Session& x, int timeoutMs = 30000);
    /** The end of what the application printed, for failure messages. */
    juce::String getLog() const;

    ChildProcessHandle process;
    juce::File home;
};

/** A state blob in the stored format: JUCE's binary-wrapped XML, then base 64. */
juce::String encodeStateXml (const juce::String& xmlText);

/** A stored state text's XML, or null. */
std::unique_ptr<juce::XmlElement> parseStoredState (const juce::String& filterState);

/** The value of a "PARAM" in a stored state text, or NaN. */
double readStoredParameter (const juce::String& filterState, const juce::String& parameterId);
} // namespace KA::Test
