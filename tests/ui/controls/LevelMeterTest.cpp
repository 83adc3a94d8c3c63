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
    bool invalidateAll() override { return ++invalidations > 0; }
    bool invalidate (const juce::Rectangle<int>&) override { return ++invalidations > 0; }
    void releaseResources() override {}
};

juce::Image paintMeter (KA::LevelMeter& meter)
{
    juce::Image image (juce::Image::ARGB, meter.getWidth(), meter.getHeight(), true);
    juce::Graphics g (image);
    meter.paintEntireComponent (g, false);
    return image;
}
} // namespace

TEST (LevelMeter, MapsGainOntoTheDecibelScalePerChannel)
{
    KA::LevelMeter meter;
    meter.setNumChannels (2);
    // (gain, position on the -54..0 dB scale): above full scale, below the floor, silence, negative, non-finite.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const std::pair<float, double> cases[] = { { 1.0f, 1.0 }, { 0.5f, 0.8885 }, { 0.1f, 0.6296 }, { 0.01f, 0.2593 }, { 0.0025f, 0.0363 },
                                               { 4.0f, 1.0 }, { 0.001f, 0.0 }, { 0.0f, 0.0 }, { -0.5f, 0.0 }, { nan, 0.0 }, { -inf, 0.0 },
                                               { 1.0e-30f, 0.0 } };
    for (auto [gain, position] : cases)
    {
        meter.updateMeterLevel (1, 1.0f);
        meter.updateMeterLevel (1, gain);
        EXPECT_NEAR (meter.getChannelLevel (1), position, 1.0e-4) << gain;
    }

    // Channels out of range are ignored; growing keeps levels and adds silent ones, shrinking drops the surplus.
    for (int channel : { 2, -1 })
        meter.updateMeterLevel (channel, 1.0f);
    meter.updateMeterLevel (1, 1.0f);
    EXPECT_EQ (meter.getChannelLevel (0), 0.0f);
    meter.setNumChannels (3);
    EXPECT_EQ (meter.getChannelLevel (1) + meter.getChannelLevel (2), 1.0f);
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

    // 0.5 -> 0.5000001 moves the level by about 1.6e-8 of the scale; the same channel count repaints nothing.
    for (auto [gain, repaints] : { std::pair { 0.5f, 1 }, { 0.5000001f, 1 }, { 0.5f, 1 }, { 0.25f, 2 } })
    {
        meter.updateMeterLevel (0, gain);
        EXPECT_EQ (counter->invalidations, before + repaints) << gain;
    }
    meter.setNumChannels (1);
    EXPECT_EQ (counter->invalidations, before + 2);
    meter.setCachedComponentImage (nullptr);
}

TEST (LevelMeter, BarsGapsLitHeightAndColours)
{
    const juce::Colour background (0xff0000ff);
    KA::LevelMeter meter;
    meter.backgroundColour = background;
    meter.barGap = 2;
    meter.setSize (18, 62);
    meter.setNumChannels (2);
    meter.updateMeterLevel (0, (float) std::pow (10.0, -27.0 / 20.0)); // half the scale
    meter.updateMeterLevel (1, 1.0f);
    auto image = paintMeter (meter);

    // Bars 9 wide, drawn 7 wide; the left bar lights its lower 31 rows.
    for (int y = 0; y < 62; ++y)
        for (int x : { 0, 6, 7, 8, 9, 15, 16, 17 })
            EXPECT_EQ (image.getPixelAt (x, y).getAlpha(), x % 9 < 7 ? 255 : 0) << x << "," << y;
    EXPECT_EQ (image.getPixelAt (3, 30).getARGB(), background.getARGB());
    EXPECT_NE (image.getPixelAt (3, 31).getARGB(), background.getARGB());
    EXPECT_NE (image.getPixelAt (12, 0).getARGB(), background.getARGB());

    // One channel: a single bar 18 wide with the default gap of 1; no channels: nothing.
    KA::LevelMeter single;
    single.setSize (18, 62);
    single.setNumChannels (1);
    single.updateMeterLevel (0, 1.0f);
    image = paintMeter (single);
    EXPECT_TRUE (image.getPixelAt (16, 30).getAlpha() == 255 && image.getPixelAt (17, 30).getAlpha() == 0);
    single.setNumChannels (0);
    EXPECT_EQ (paintMeter (single).getPixelAt (5, 5).getAlpha(), 0);

    // The ramp runs green, yellow, red; style 1 fills the bar in the ramp's colour for the level; others draw nothing.
    auto near = [] (juce::Colour a, juce::uint32 e)
    {
        const juce::Colour b (e);
        return std::abs (a.getRed() - b.getRed()) <= 20 && std::abs (a.getGreen() - b.getGreen()) <= 20 && std::abs (a.getBlue() - b.getBlue()) <= 20;
    };
    KA::LevelMeter ramp;
    ramp.setSize (10, 101);
    ramp.barGap = 0;
    ramp.setNumChannels (1);
    const struct { int style; float gain; int y; juce::uint32 colour; } cases[] = {
        { 0, 1.0f, 0, 0xffff0000 }, { 0, 1.0f, 8, 0xffffff00 }, { 0, 1.0f, 100, 0xff008000 },
        { 1, 0.001f, 10, 0xff008000 }, { 1, 1.0f, 90, 0xffff0000 },
    };
    for (auto& c : cases)
    {
        ramp.style = c.style;
        ramp.updateMeterLevel (0, c.gain);
        EXPECT_TRUE (near (paintMeter (ramp).getPixelAt (5, c.y), c.colour)) << c.style << " " << c.y;
    }
    ramp.style = 7;
    EXPECT_EQ (paintMeter (ramp).getPixelAt (5, 50).getAlpha(), 0);
}
