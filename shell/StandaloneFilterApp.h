#pragma once

#include "shell/StandaloneFilterWindow.h"
#include "shell/TerminationSignals.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** The application object: owns the settings file and the one window, saves the
    plug-in state when asked to quit, and tears everything down in order. */
class StandaloneFilterApp : public juce::JUCEApplication
{
public:
    StandaloneFilterApp();
    ~StandaloneFilterApp() override;

    const juce::String getApplicationName() override     { return "KA Dravon Rore Rurediriz"; }
    const juce::String getApplicationVersion() override  { return "2.0.1"; }
    bool moreThanOneInstanceAllowed() override           { return true; }

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String&) override {}
    void systemRequestedQuit() override;

    virtual StandaloneFilterWindow* createWindow();

    StandaloneFilterWindow* getMainWindow() const noexcept { return mainWindow.get(); }
    juce::ApplicationProperties& getApplicationProperties() noexcept { return appProperties; }

    /** Where the shell keeps "audioSetup" and "filterState". */
    static juce::PropertiesFile::Options getSettingsOptions();

protected:
    /** Ends the run; shutdown follows once the message loop has stopped. */
    virtual void quitApplication();

    juce::ApplicationProperties appProperties;
    std::unique_ptr<StandaloneFilterWindow> mainWindow;

private:
    // The desktop's usual way of asking an application to quit is its quit command
    // (Ctrl+Q), which JUCE's application object answers with systemRequestedQuit.
    juce::ApplicationCommandManager commandManager;
    TerminationSignals terminationSignals { [this] { quitApplication(); }, [this] { systemRequestedQuit(); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandaloneFilterApp)
};
} // namespace KA
