#include "ui/controls/LevelMeter.h"

#include <cmath>

namespace KA
{
void LevelMeter::setNumChannels (int numChannels)
{
    numChannels = juce::jmax (0, numChannels);

    if ((int) channelLevels.size() == numChannels)
        return;

    channelLevels.resize ((size_t) numChannels, 0.0f);
    repaint();
}

float LevelMeter::getChannelLevel (int channel) const noexcept
{
    return juce::isPositiveAndBelow (channel, (int) channelLevels.size()) ? channelLevels[(size_t) channel] : 0.0f;
}

void LevelMeter::updateMeterLevel (int channel, float gain)
{
    // Written as "not above" so that NaN takes the floor too.
    auto decibels = -100.0f;

    if (gain > 0.0f)
    {
        const auto db = 20.0f * std::log10 (gain);
        if (db > -100.0f)
            decibels = db;
    }

    decibels = juce::jlimit (range.start, range.end, decibels);

    // convertTo0to1 applies the range's skew or its own conversion function.
    auto p = range.convertTo0to1 (decibels);
    p = std::isfinite (p) ? juce::jlimit (0.0f, 1.0f, p) : 0.0f;

    if (! juce::isPositiveAndBelow (channel, (int) channelLevels.size()))
        return;

    auto& level = channelLevels[(size_t) channel];

    if (std::abs (level - p) > 1.0e-6f)
    {
        level = p;
        repaint();
    }
}

void LevelMeter::paint (juce::Graphics& g)
{
    const auto n = (int) channelLevels.size();

    if (n == 0)
        return;

    const auto width = getWidth(), height = getHeight();
    const auto barWidth = juce::roundToInt ((float) width / (float) n);

    for (int i = 0; i < n; ++i)
    {
        const auto x = i * barWidth;
        const auto level = channelLevels[(size_t) i];

        if (style == 0)
        {
            const auto lit = (int) (level * (float) height);

            if (lit > 0)
            {
                g.setGradientFill (gradient);
                g.fillRect (x, height - lit, barWidth - barGap, lit);
            }

            g.setColour (backgroundColour);
            g.fillRect (x, 0, barWidth - barGap, height - lit);
        }
        else if (style == 1)
        {
            g.setColour (gradient.getColourAtPosition (1.0 - level));
            g.fillRoundedRectangle ((float) x, 0.0f, (float) (barWidth - barGap), (float) height, cornerSize);
        }
    }
}

void LevelMeter::resized()
{
    gradient = juce::ColourGradient (topColour, 0.0f, 0.0f,
                                     bottomColour, 0.0f, (float) (getHeight() - 1), false);
    gradient.addColour (0.08, middleColour);
}
} // namespace KA
