#pragma once

#include "shell/StandaloneFilterWindow.h"

namespace KA
{
/** The window's content: the processor's editor, with a notification bar across the
    top while the input is muted against feedback. It takes the editor's size (plus
    the bar) and lays the editor out below the bar. */
class StandaloneFilterWindow::MainContentComponent : public juce::Component,
                                                     private juce::Value::Listener,
                                                     private juce::Button::Listener,
                                                     private juce::ComponentListener
{
public:
    class NotificationArea;

    explicit MainContentComponent (StandaloneFilterWindow& filterWindow);
    ~MainContentComponent() override;

    void resized() override;

    juce::AudioProcessorEditor* getEditor() const noexcept { return editor.get(); }
    NotificationArea& getNotificationArea() const noexcept  { return *notification; }
    bool isShowingNotification() const noexcept            { return shouldShowNotification; }

private:
    void valueChanged (juce::Value& value) override;
    void buttonClicked (juce::Button*) override;
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;

    void inputMutedChanged (bool newInputMutedValue);
    juce::Rectangle<int> getSizeToContainEditor() const;

    StandaloneFilterWindow& owner;
    std::unique_ptr<NotificationArea> notification;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    bool shouldShowNotification = false;
    bool listensToMuteValue = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainContentComponent)
};
} // namespace KA
