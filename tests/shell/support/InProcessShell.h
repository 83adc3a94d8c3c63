#pragma once

#include "shell/StandaloneFilterApp.h"
#include "tests/shell/support/TestServers.h"

#include <gtest/gtest.h>

namespace KA::Test
{
/** The application object inside the test process. Quitting would stop the test's own
    message loop, so the end of the run is counted instead; quit requests are counted
    too, with whether each one left a freshly saved "filterState" behind. */
class ObservedApp : public StandaloneFilterApp
{
public:
    void systemRequestedQuit() override
    {
        ++numRequests;

        if (beforeEachRequest != nullptr)
            beforeEachRequest();

        auto* settings = appProperties.getUserSettings();
        settings->removeValue ("filterState");

        StandaloneFilterApp::systemRequestedQuit();

        savedAtRequest.add (settings->containsKey ("filterState"));
    }

    juce::PropertiesFile& getSettings() { return *appProperties.getUserSettings(); }

    std::function<void()> beforeEachRequest;
    int numQuits = 0;
    int numRequests = 0;
    juce::Array<bool> savedAtRequest;

protected:
    void quitApplication() override { ++numQuits; }
};

/** Windows on the test display, with no audio server to find and no settings file left
    over from an earlier test in the same process. */
class InProcessShell : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (ensureVirtualDisplay().isNotEmpty());
        ::setenv ("JACK_DEFAULT_SERVER", "ka-test-no-server", 1);
        StandaloneFilterApp::getSettingsOptions().getDefaultFile().deleteFile();
    }

    static int countDesktopWindowsNamed (const juce::String& name)
    {
        auto& desktop = juce::Desktop::getInstance();
        int count = 0;

        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (desktop.getComponent (i)->getName() == name)
                ++count;

        return count;
    }
};
} // namespace KA::Test
