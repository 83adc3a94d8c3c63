#pragma once

#include "ui/dialogs/LabelBackGroundBox.h"
#include "ui/editor/ImageResizeView.h"

#include <memory>

namespace KA
{
/** The about panel: the about picture fitted and centred over the editor with
    the version over it. A touch anywhere hides it. */
class AboutBox : public LabelBackGroundBox
{
public:
    static constexpr const char* version = "2.0.1";

    /** The picture's view is made for the parameters given; the version label
        gets its colour and bounds in the panel. */
    AboutBox (juce::AudioProcessorValueTreeState& parameters, const juce::Image& picture,
              juce::Colour versionColour, juce::Rectangle<int> versionBounds);
    ~AboutBox() override;

    void mouseDown (const juce::MouseEvent&) override;
    void resized() override;

    juce::Label& getVersionLabel() noexcept { return versionLabel; }
    ImageResizeView& getPictureView() noexcept { return *pictureView; }

private:
    juce::Label versionLabel;
    std::unique_ptr<ImageResizeView> pictureView;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutBox)
};
} // namespace KA
