#include "ui/lookandfeel/MailListLookAndFeel.h"

namespace KA
{
juce::Font MailListLookAndFeel::getLabelFont (juce::Label& label)
{
    return juce::Font (getTypefaceForFont (juce::Font())).withHeight ((float) label.getHeight());
}
} // namespace KA
