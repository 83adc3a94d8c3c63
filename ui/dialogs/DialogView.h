#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace KA
{
/** The framed panel in the middle of a dialog: one content component above a
    row of text buttons that starts at the right margin and grows to the left. */
class DialogView : public juce::Label
{
public:
    /** Takes the content; every button created later reports its clicks to the listener. */
    DialogView (std::unique_ptr<juce::Component> content, juce::Button::Listener* listener);
    ~DialogView() override;

    /** A new text button whose command id is the result id it reports. */
    juce::TextButton* makeTextButton (const juce::String& text, int resultId);

    juce::Component* getContent() const noexcept { return content.get(); }
    int getNumButtons() const noexcept { return buttons.size(); }
    juce::Button* getButton (int index) const noexcept { return buttons[index]; }

    void lookAndFeelChanged() override;
    void resized() override;

private:
    std::unique_ptr<juce::Component> content;
    juce::Array<juce::Button*> buttons;
    juce::Button::Listener* listenerOwner = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogView)
};
} // namespace KA
