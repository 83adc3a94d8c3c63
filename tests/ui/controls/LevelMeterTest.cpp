#include "ui/controls/LevelMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
/** Counts the repaints a component asks for, without a window. */
struct RepaintCounter : public juce::CachedComponentImage
{
    int invalidations = 0;

    void paint (juce::Graphics&) override {}
    bool invalidateAll() override { ++invalidations; return true; }
    bool invalidate (const juce::Rectangle<int>&) override { ++invalidations; return true; }
    void releaseResources() override {}
};

double expectedProportion (double gain)
{
    const auto db = 20.0 * std::log10 (gain);
    return std::min (1.0, std::max (0.0, (db + 54.0) / 54.0));
}

juce::Image paintMeter (KA::LevelMeter& meter)
{
    juce::Image image (juce::Image::ARGB, meter.getWidth(), meter.getHeight(), true);
    juce::Graphics g (image);
    meter.paintEntireComponent (g, false);
    return image;
}
} // namespace

TEST (LevelMeter, MapsGainOntoTheDecibelScale)
{
    KA::LevelMeter meter;
    meter.setNumChannels (1);

    const double gains[] = { 1.0, 0.5, 0.1, 0.01, 0.0025 };
    for (auto gain : gains)
    {
        meter.updateMeterLevel (0, (float) gain);
        EXPECT_NEAR (meter.getChannelLevel (0), expectedProportion (gain), 1.0e-5) << "gain " << gain;
    }

    EXPECT_NEAR (expectedProportion (0.5), 0.8885, 1.0e-4);

    // Above full scale, below the floor, silence, negative and NaN.
    meter.updateMeterLevel (0, 4.0f);
    EXPECT_FLOAT_EQ (meter.getChannelLevel (0), 1.0f);

    const float floors[] = { 0.001f, 0.0f, -0.5f, std::numeric_limits<float>::quiet_NaN(),
                             -std::numeric_limits<float>::infinity(), 1.0e-30f };
    for (auto gain : floors)
    {
        meter.updateMeterLevel (0, 1.0f);
        meter.updateMeterLevel (0, gain);
        EXPECT_EQ (meter.getChannelLevel (0), 0.0f) << "gain " << gain;
    }
}

TEST (LevelMeter, ChannelsAndOutOfRangeChannels)
{
    KA::LevelMeter meter;
    meter.setNumChannels (2);
    meter.updateMeterLevel (1, 1.0f);
    meter.updateMeterLevel (2, 1.0f);
    meter.updateMeterLevel (-1, 1.0f);
    EXPECT_EQ (meter.getChannelLevel (0), 0.0f);
    EXPECT_EQ (meter.getChannelLevel (1), 1.0f);

    // Growing keeps levels and adds silent channels; shrinking drops the surplus.
    meter.setNumChannels (3);
    EXPECT_EQ (meter.getChannelLevel (1), 1.0f);
    EXPECT_EQ (meter.getChannelLevel (2), 0.0f);
    meter.setNumChannels (1);
    EXPECT_EQ (meter.getNumChannels(), 1);
    meter.setNumChannels (-3);
    EXPECT_EQ (meter.getNumChannels(), 0);
    meter.updateMeterLevel (0, 1.0f);
}

TEST (LevelMeter, RepaintsOnlyWhenTheLevelMoves)
{
    KA::LevelMeter meter;
    meter.setSize (18, 62);
    meter.setVisible (true);
    meter.setNumChannels (1);

    auto* counter = new RepaintCounter();
    meter.setCachedComponentImage (counter);
    const auto before = counter->invalidations;

    meter.updateMeterLevel (0, 0.5f);
    EXPECT_EQ (counter->invalidations, before + 1);

    // 0.5 -> 0.5000001 moves the level by about 1.6e-8 of the scale.
    meter.updateMeterLevel (0, 0.5000001f);
    EXPECT_EQ (counter->invalidations, before + 1);

    meter.updateMeterLevel (0, 0.5f);
    EXPECT_EQ (counter->invalidations, before + 1);

    meter.updateMeterLevel (0, 0.25f);
    EXPECT_EQ (counter->invalidations, before + 2);

    // Same channel count: nothing to repaint.
    meter.setNumChannels (1);
    EXPECT_EQ (counter->invalidations, before + 2);
    meter.setCachedComponentImage (nullptr);
}

TEST (LevelMeter, BarsWidthsGapsAndLitHeight)
{
    const juce::Colour background (0xff0000ff);
    KA::LevelMeter meter;
    meter.backgroundColour = background;
    meter.barGap = 2;
    meter.setSize (18, 62);
    meter.setNumChannels (2);

    // Half of the scale is -27 dB.
    const auto halfGain = (float) std::pow (10.0, -27.0 / 20.0);
    meter.updateMeterLevel (0, halfGain);
    meter.updateMeterLevel (1, 1.0f);
    ASSERT_NEAR (meter.getChannelLevel (0), 0.5f, 1.0e-5f);
    const auto image = paintMeter (meter);

    // Bars 9 wide, drawn 7 wide: columns 7, 8, 16 and 17 stay empty.
    for (int y = 0; y < 62; ++y)
    {
        for (int x : { 7, 8, 16, 17 })
            EXPECT_EQ (image.getPixelAt (x, y).getAlpha(), 0) << x << "," << y;
        for (int x : { 0, 6, 9, 15 })
            EXPECT_EQ (image.getPixelAt (x, y).getAlpha(), 255) << x << "," << y;
    }

    // The left bar lights its lower 31 rows; above them the background shows.
    EXPECT_EQ (image.getPixelAt (3, 30).getARGB(), background.getARGB());
    EXPECT_NE (image.getPixelAt (3, 31).getARGB(), background.getARGB());
    EXPECT_NE (image.getPixelAt (12, 0).getARGB(), background.getARGB());

    // One channel: a single bar 18 wide with the default gap of 1.
    KA::LevelMeter single;
    single.setSize (18, 62);
    single.setNumChannels (1);
    single.updateMeterLevel (0, 1.0f);
    const auto one = paintMeter (single);
    EXPECT_EQ (one.getPixelAt (16, 30).getAlpha(), 255);
    EXPECT_EQ (one.getPixelAt (17, 30).getAlpha(), 0);

    // No channels: nothing drawn.
    KA::LevelMeter none;
    none.setSize (18, 62);
    const auto empty = paintMeter (none);
    EXPECT_EQ (empty.getPixelAt (5, 5).getAlpha(), 0);
}

TEST (LevelMeter, GradientRunsFromGreenThroughYellowToRed)
{
    KA::LevelMeter meter;
    meter.setSize (10, 101);
    meter.barGap = 0;
    meter.setNumChannels (1);
    meter.updateMeterLevel (0, 1.0f);

    const auto image = paintMeter (meter);
    auto near = [] (juce::Colour a, juce::Colour b)
    {
        return std::abs (a.getRed() - b.getRed()) <= 20 && std::abs (a.getGreen() - b.getGreen()) <= 20
            && std::abs (a.getBlue() - b.getBlue()) <= 20;
    };
    EXPECT_TRUE (near (image.getPixelAt (5, 0), juce::Colour (0xffff0000)));
    EXPECT_TRUE (near (image.getPixelAt (5, 8), juce::Colour (0xffffff00)));
    EXPECT_TRUE (near (image.getPixelAt (5, 100), juce::Colour (0xff008000)));

    // Style 1 fills the whole bar in the ramp's colour for the level.
    meter.style = 1;
    meter.updateMeterLevel (0, 0.001f);
    EXPECT_TRUE (near (paintMeter (meter).getPixelAt (5, 10), juce::Colour (0xff008000)));
    meter.updateMeterLevel (0, 1.0f);
    EXPECT_TRUE (near (paintMeter (meter).getPixelAt (5, 90), juce::Colour (0xffff0000)));

    meter.style = 7;
    EXPECT_EQ (paintMeter (meter).getPixelAt (5, 50).getAlpha(), 0);
}
