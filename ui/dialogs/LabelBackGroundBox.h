#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** The translucent backdrop of every overlay panel of the editor: it dims what
    lies behind it and takes the clicks meant for it. */
class LabelBackGroundBox : public juce::Label
{
public:
    LabelBackGroundBox();

    /** Backdrop alpha relative to the look-and-feel's window background. */
    static constexpr float backdropOpacity = 0.7f;

    /** The backdrop colour under a look-and-feel: its window background (black when
        it names none) at backdropOpacity of that colour's own alpha. */
    static juce::Colour backdropColour (juce::LookAndFeel& lookAndFeel);

    void lookAndFeelChanged() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LabelBackGroundBox)
};
} // namespace KA
