#pragma once

#include "ui/dialogs/LabelBackGroundBox.h"

#include <array>
#include <memory>

namespace KA
{
/** The content of a message or question box: an icon in the upper left and the
    message beside it. Icon 1 is a stop hand, 2 a red-and-white sign, 3 a
    yellow-and-red sign; any other type shows no icon. */
class MsgBoxComponent : public LabelBackGroundBox
{
public:
    /** Longest message shown, in characters. */
    static constexpr int maxMessageLength = 2048;

    MsgBoxComponent (const juce::String& message, int iconType);

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Shows the first maxMessageLength characters of the text. */
    virtual void setMessage (const juce::String& text);

    juce::String getMessage() const { return messageLabel->getText(); }
    int getIconType() const noexcept { return iconType; }

private:
    std::unique_ptr<juce::Label> messageLabel;
    std::array<std::unique_ptr<juce::Drawable>, 3> icons;
    int iconType;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MsgBoxComponent)
};
} // namespace KA
