#include "shell/StandaloneFilterApp.h"

#include "engine/StandaloneFlag.h"

#include "engine/SettingsFile.h"

namespace KA
{
StandaloneFilterApp::StandaloneFilterApp()
{
    StandaloneFlag::set();
    SettingsFile::open (appProperties, getSettingsOptions());
}

StandaloneFilterApp::~StandaloneFilterApp()
{
    mainWindow = nullptr;
}

juce::PropertiesFile::Options StandaloneFilterApp::getSettingsOptions()
{
    return SettingsFile::makeOptions ("KA Dravon Rore Rurediriz", "Application Support");
}

void StandaloneFilterApp::initialise (const juce::String&)
{
    mainWindow.reset (createWindow());

    commandManager.registerAllCommandsForTarget (this);
    mainWindow->addKeyListener (commandManager.getKeyMappings());

    juce::Desktop::getInstance().setKioskModeComponent (mainWindow.get(), false);
    mainWindow->setVisible (true);
}

StandaloneFilterWindow* StandaloneFilterApp::createWindow()
{
    const auto background = juce::LookAndFeel::getDefaultLookAndFeel()
                                .findColour (juce::ResizableWindow::backgroundColourId);

    return new StandaloneFilterWindow (getApplicationName(), background,
                                       appProperties.getUserSettings(), false,
                                       {}, nullptr, {}, true);
}

void StandaloneFilterApp::shutdown()
{
    if (mainWindow != nullptr)
        mainWindow->removeKeyListener (commandManager.getKeyMappings());

    mainWindow = nullptr;
    SettingsFile::save (appProperties);
}

void StandaloneFilterApp::systemRequestedQuit()
{
    if (mainWindow != nullptr)
        mainWindow->getPluginHolder()->savePluginState();

    auto& modalManager = *juce::ModalComponentManager::getInstance();
    const auto numModal = modalManager.getNumModalComponents();

    // Oldest first: index 0 is the most recent, and closing the last index leaves the
    // lower ones where they are.
    for (int i = numModal; --i >= 0;)
        if (auto* modal = modalManager.getModalComponent (i))
            modal->exitModalState (0);

    if (numModal > 0)
    {
        juce::Timer::callAfterDelay (100, []
        {
            if (auto* app = juce::JUCEApplicationBase::getInstance())
                app->systemRequestedQuit();
        });
    }
    else
    {
        quitApplication();
    }
}

void StandaloneFilterApp::quitApplication()
{
    quit();
}
} // namespace KA
