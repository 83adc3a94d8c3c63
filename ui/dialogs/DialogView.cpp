#include "ui/dialogs/DialogView.h"

namespace KA
{
DialogView::DialogView (std::unique_ptr<juce::Component> c, juce::Button::Listener* listener)
    : juce::Label ({}, {}),
      content (std::move (c)),
      listenerOwner (listener)
{
    if (content != nullptr)
        addAndMakeVisible (*content);
}

DialogView::~DialogView()
{
    removeAllChildren();

    for (int i = buttons.size(); --i >= 0;)
        delete buttons.removeAndReturn (i);

    content.reset();
}

juce::TextButton* DialogView::makeTextButton (const juce::String& text, int resultId)
{
    auto* button = new juce::TextButton (text, {});
    buttons.add (button);
    button->setCommandToTrigger (nullptr, resultId, false);

    if (listenerOwner != nullptr)
        button->addListener (listenerOwner);

    addAndMakeVisible (button);
    return button;
}

void DialogView::lookAndFeelChanged()
{
    auto& lf = getLookAndFeel();
    setColour (juce::Label::backgroundColourId,
               lf.isColourSpecified (juce::ResizableWindow::backgroundColourId)
                   ? lf.findColour (juce::ResizableWindow::backgroundColourId)
                   : juce::Colours::black);
    setColour (juce::Label::outlineColourId, juce::Colour (0xffffffff));
}

void DialogView::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();
    const auto margin = juce::roundToInt ((float) w * 0.027f);
    const auto buttonHeight = juce::roundToInt ((float) h * 0.1f);
    const auto buttonWidth = juce::roundToInt ((float) w * 0.2f);

    if (content != nullptr)
        content->setBounds (margin, margin,
                            juce::jmax (0, w - 2 * margin),
                            juce::jmax (0, h - 3 * margin - buttonHeight));

    for (int i = 0; i < buttons.size(); ++i)
        buttons.getUnchecked (i)->setBounds (w - margin - (i + 1) * buttonWidth, h - buttonHeight - margin,
                                             buttonWidth, buttonHeight);
}
} // namespace KA
