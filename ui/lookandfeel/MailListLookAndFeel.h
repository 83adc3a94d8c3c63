#pragma once

#include "ui/lookandfeel/PluginLookAndFeel.h"

namespace KA
{
/** The mailing-list form's look: labels in the embedded face at their full height. */
class MailListLookAndFeel : public PluginLookAndFeel
{
public:
    MailListLookAndFeel() = default;

    juce::Font getLabelFont (juce::Label&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MailListLookAndFeel)
};
} // namespace KA
