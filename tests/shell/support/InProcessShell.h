#pragma once

#include "shell/StandaloneFilterApp.h"
#include "tests/shell/support/TestServers.h"

#include <gtest/gtest.h>

namespace KA::Test
{
/** The application object inside the test process: the end of the run is counted (quitting
    would stop the test's own loop), and each quit request, with whether it left a freshly
    saved "filterState" behind. */
class ObservedApp : public StandaloneFilterApp
{
public:
    void systemRequestedQuit() override
    {
        ++numRequests;
        if (beforeEachRequest != nullptr)
            beforeEachRequest();

        appProperties.getUserSettings()->removeValue ("filterState");
        StandaloneFilterApp::systemRequestedQuit();
        savedAtRequest.add (appProperties.getUserSettings()->containsKey ("filterState"));
    }

    juce::PropertiesFile& getSettings() { return *appProperties.getUserSettings(); }

    std::function<void()> beforeEachRequest;
    int numQuits = 0, numRequests = 0;
    juce::Array<bool> savedAtRequest;

protected:
    void quitApplication() override { ++numQuits; }
};

/** Windows on the test display, no audio server to find, no settings left by an earlier test. */
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
        int count = 0;
        for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
            count += juce::Desktop::getInstance().getComponent (i)->getName() == name ? 1 : 0;
        return count;
    }
};
} // namespace KA::Test
