#include "shell/StandaloneFilterWindow.h"

#include "shell/MainContentComponent.h"

namespace KA
{
StandaloneFilterWindow::StandaloneFilterWindow (const juce::String& title,
                                                juce::Colour backgroundColour,
                                                juce::PropertySet* settingsToUse,
                                                bool takeOwnershipOfSettings,
                                                const juce::String& preferredDefaultDeviceName,
                                                const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions,
                                                const juce::Array<SettingsPluginInOuts>& constrainToConfiguration,
                                                bool autoOpenMidiDevices,
                                                StandalonePluginHolder::ProcessorFactory factory)
    : juce::DocumentWindow (title, backgroundColour,
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton,
                            true),
      ownedSettings (takeOwnershipOfSettings ? settingsToUse : nullptr)
{
    // The "Options" button exists for its menu's operations; it is never put on screen.
    setTitleBarHeight (0);

    pluginHolder = std::make_unique<StandalonePluginHolder> (settingsToUse, preferredDefaultDeviceName,
                                                             preferredSetupOptions, constrainToConfiguration,
                                                             autoOpenMidiDevices, std::move (factory));

    setFullScreen (true);
    setContentOwned (new MainContentComponent (*this), false);
}

StandaloneFilterWindow::~StandaloneFilterWindow()
{
    // Desktop keeps a plain pointer to its kiosk component and touches it when the mode
    // is next changed, so it must not be left pointing at a deleted window.
    auto& desktop = juce::Desktop::getInstance();

    if (desktop.getKioskModeComponent() == this)
        desktop.setKioskModeComponent (nullptr, false);

    // The editor goes first: its dialogs (the audio settings) refer to the holder's device manager.
    pluginHolder->stopPlaying();
    clearContentComponent();
    pluginHolder = nullptr;
}

void StandaloneFilterWindow::resized()
{
    juce::DocumentWindow::resized();
    optionsButton.setBounds (8, 6, 60, getTitleBarHeight() - 8);
}

void StandaloneFilterWindow::closeButtonPressed()
{
    pluginHolder->savePluginState();
    juce::JUCEApplicationBase::quit();
}

StandaloneFilterWindow::MainContentComponent* StandaloneFilterWindow::getMainContent() const
{
    return dynamic_cast<MainContentComponent*> (getContentComponent());
}

void StandaloneFilterWindow::buttonClicked (juce::Button*)
{
    juce::PopupMenu m;
    m.addItem (1, TRANS ("Audio/MIDI Settings..."));
    m.addSeparator();
    m.addItem (2, TRANS ("Save current state..."));
    m.addItem (3, TRANS ("Load a saved state..."));
    m.addSeparator();
    m.addItem (4, TRANS ("Reset to default state"));

    m.showMenuAsync (juce::PopupMenu::Options(),
                     juce::ModalCallbackFunction::forComponent (menuCallback, this));
}

void StandaloneFilterWindow::menuCallback (int result, StandaloneFilterWindow* window)
{
    if (window == nullptr)
        return;

    switch (result)
    {
        case 1:  window->pluginHolder->showAudioSettingsDialog(); break;
        case 4:  window->resetToDefaultState(); break;
        default: break;   // 2 and 3 need file dialogs this application does not have
    }
}

void StandaloneFilterWindow::resetToDefaultState()
{
    pluginHolder->stopPlaying();
    clearContentComponent();
    pluginHolder->deletePlugin();

    if (auto* settings = pluginHolder->settings)
        settings->removeValue (StandalonePluginHolder::filterStateKey);

    pluginHolder->createPlugin();
    setContentOwned (new MainContentComponent (*this), true);
    pluginHolder->startPlaying();
}
} // namespace KA
