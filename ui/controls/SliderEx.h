#pragma once

#include "ui/controls/ImageRef.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** A slider drawn from an image: a knob from a filmstrip of square frames, or a
    fader as one cap image at the thumb position (drawAsThumb) or as a filmstrip. */
class SliderEx : public juce::Slider,
                 public ImageRef
{
public:
    SliderEx() = default;

    /** Frames of a linear filmstrip; below 1 the frames are square. */
    int frameCount = -1;

    /** The slider runs the other way: the bottom of its travel is the maximum. */
    bool inverted = false;

    /** A linear slider draws its image once, at the thumb, instead of a frame. */
    bool drawAsThumb = false;

    /** juce::BubbleComponent placement of the value bubble. */
    int popupPlacement = 6;

    double proportionOfLengthToValue (double proportion) override;
    double valueToProportionOfLength (double value) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SliderEx)
};
} // namespace KA
