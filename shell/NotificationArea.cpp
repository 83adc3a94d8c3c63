#include "shell/NotificationArea.h"

namespace KA
{
StandaloneFilterWindow::MainContentComponent::NotificationArea::NotificationArea (juce::Button::Listener* settingsButtonListener)
{
    setOpaque (true);

    notification.setColour (juce::Label::textColourId, juce::Colours::black);
    settingsButton.addListener (settingsButtonListener);

    addAndMakeVisible (notification);
    addAndMakeVisible (settingsButton);
}

StandaloneFilterWindow::MainContentComponent::NotificationArea::~NotificationArea() = default;

void StandaloneFilterWindow::MainContentComponent::NotificationArea::paint (juce::Graphics& g)
{
    auto r = getLocalBounds();

    g.setColour (juce::Colours::darkgoldenrod);
    g.fillRect (r.removeFromBottom (1));

    g.setColour (juce::Colours::lightgoldenrodyellow);
    g.fillRect (r);
}

void StandaloneFilterWindow::MainContentComponent::NotificationArea::resized()
{
    auto r = getLocalBounds().reduced (5);

    settingsButton.setBounds (r.removeFromRight (70));
    notification.setBounds (r);
}
} // namespace KA
