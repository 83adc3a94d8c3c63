#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace KA
{
/** Per-channel level bars on a decibel scale. */
class LevelMeter : public juce::Component
{
public:
    LevelMeter() = default;

    juce::Colour backgroundColour { 0xff000000 };
    juce::Colour topColour { 0xffff0000 };
    juce::Colour middleColour { 0xffffff00 };
    juce::Colour bottomColour { 0xff008000 };

    /** Pixels left free at the right of each bar. */
    int barGap = 1;

    /** 0: bar lit from the bottom; 1: whole bar in one colour chosen by level. */
    int style = 0;

    /** Corner radius of the bars of style 1. */
    float cornerSize = 0.0f;

    /** Decibel range of the scale. */
    juce::NormalisableRange<float> range { -54.0f, 0.0f };

    void setNumChannels (int numChannels);
    int getNumChannels() const noexcept { return (int) channelLevels.size(); }

    /** Shows a linear gain on a channel; 0, negative gains and NaN show as the
        bottom of the scale, and a channel the meter does not have is ignored. */
    void updateMeterLevel (int channel, float gain);

    /** The level of a channel as drawn, 0..1; 0 for a channel the meter does not have. */
    float getChannelLevel (int channel) const noexcept;

    const juce::ColourGradient& getGradient() const noexcept { return gradient; }

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    std::vector<float> channelLevels;
    juce::ColourGradient gradient;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LevelMeter)
};
} // namespace KA
