#pragma once

#include "ui/editor/ImageResizeView.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** A panel that slides out under the toolbar. While collapsed only its strip at
    the bottom edge shows; the strip's button slides it in and out. */
class Panel : public juce::Component,
              public juce::Button::Listener
{
public:
    /** A strip is made only when the proportion of the editor's height it
        takes is above 0. */
    explicit Panel (float stripProportion);
    ~Panel() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    /** The content from the editor's createPanelView; may be null. */
    void setView (std::unique_ptr<ImageResizeView> newView);
    ImageResizeView* getView() const noexcept { return view.get(); }

    juce::Label* getStripLabel() const noexcept { return stripLabel.get(); }
    juce::TextButton* getStripButton() const noexcept { return stripButton.get(); }

    /** Called when the strip's button is clicked; the owner slides the panel. */
    std::function<void()> onStripButtonClicked;

    /** The strip's height follows the editor's, which the owner sets before it
        lays the panel out. */
    void setStripHeight (int newHeight);

    juce::Image backgroundImage;
    float viewInsetX = 0.0f;
    float viewInsetY = 0.0f;
    int buttonWidth = 100;
    int viewPlacement = juce::RectanglePlacement::centred;

private:
    std::unique_ptr<juce::Label> stripLabel;
    std::unique_ptr<juce::TextButton> stripButton;
    int stripHeight = 0;
    std::unique_ptr<ImageResizeView> view;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Panel)
};
} // namespace KA
