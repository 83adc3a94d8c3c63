#pragma once

#include "shell/MainContentComponent.h"

namespace KA
{
/** The bar that tells the user the input is muted, with the button that unmutes it. */
class StandaloneFilterWindow::MainContentComponent::NotificationArea : public juce::Component
{
public:
    static constexpr int height = 30;

    explicit NotificationArea (juce::Button::Listener* settingsButtonListener);
    ~NotificationArea() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    juce::Label& getLabel() noexcept         { return notification; }
    juce::TextButton& getButton() noexcept   { return settingsButton; }

private:
    juce::Label notification { "notification", "Audio input is muted to avoid feedback loop" };
    juce::TextButton settingsButton { "Unmute Input" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NotificationArea)
};
} // namespace KA
