#include "BinaryData.h"
#include "ui/product/DRPanelLayout.h"
#include "ui/lookandfeel/PluginBarLookAndFeel.h"
#include "ui/lookandfeel/TrueTypeFace.h"

#include <gtest/gtest.h>
#include <set>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
struct ImageSpec
{
    const char* resourceName;
    int width, height;
};

juce::Image decode (const char* resourceName)
{
    int size = 0;
    const auto* data = BinaryData::getNamedResource (resourceName, size);
    return data != nullptr ? juce::ImageCache::getFromMemory (data, size) : juce::Image();
}
} // namespace

TEST (Resources, EveryImageDecodesAtItsExactSize)
{
    const ImageSpec specs[] = {
        { "knob_filmstrip_png", 68, 68 * 128 },
        { "switch_strip_png", 110, 230 },
        { "led_strip_png", 110, 220 },
        { "fader_cap_png", 54, 50 },
        { "editor_background_png", 750, 291 },
        { "control_panel_png", 750, 291 },
        { "about_picture_png", 750, 291 },
    };

    for (auto& spec : specs)
    {
        SCOPED_TRACE (spec.resourceName);
        const auto image = decode (spec.resourceName);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), spec.width);
        EXPECT_EQ (image.getHeight(), spec.height);
    }

    // The panel artwork is laid out in the same units as the controls.
    const auto panel = decode ("control_panel_png");
    EXPECT_DOUBLE_EQ (panel.getWidth() / 2.0, (double) DRPanelLayout::designWidth);
    EXPECT_DOUBLE_EQ (panel.getHeight() / 2.0, (double) DRPanelLayout::designHeight);
}

TEST (Resources, ControlArtworkHasContentWhereItIsCut)
{
    // Every knob frame, both switch and LED halves and the cap carry opaque
    // pixels at their centres; a blank or shifted strip would not.
    const auto knob = decode ("knob_filmstrip_png");
    for (int frame = 0; frame < 128; ++frame)
        EXPECT_GT (knob.getPixelAt (34, frame * 68 + 34).getAlpha(), 200) << "frame " << frame;

    const auto switches = decode ("switch_strip_png");
    const auto led = decode ("led_strip_png");
    EXPECT_GT (switches.getPixelAt (55, 57).getAlpha(), 200);
    EXPECT_GT (switches.getPixelAt (55, 172).getAlpha(), 200);
    EXPECT_GT (led.getPixelAt (55, 55).getAlpha(), 200);
    EXPECT_GT (led.getPixelAt (55, 165).getAlpha(), 200);

    // The lit LED is brighter than the unlit one.
    EXPECT_GT (led.getPixelAt (55, 165).getBrightness(), led.getPixelAt (55, 55).getBrightness() + 0.2f);

    const auto cap = decode ("fader_cap_png");
    EXPECT_GT (cap.getPixelAt (27, 25).getAlpha(), 200);
}

TEST (Resources, OutputMeterLegendsStandClear)
{
    namespace L = DRPanelLayout;
    const auto panel = decode ("control_panel_png");
    const auto scale = (int) L::imageScale;
    const auto& out = L::outputMeter;
    const auto& in = L::inputMeter;
    const auto level = [&] (juce::Point<int> p) { const auto c = panel.getPixelAt (p.x, p.y); return (int) juce::jmax (c.getRed(), c.getGreen(), c.getBlue()); };
    const auto ink = [&] (juce::Point<int> p) { return level (p) > 45; };
    const auto red = [&] (juce::Point<int> p, int margin) { const auto c = panel.getPixelAt (p.x, p.y); return c.getRed() > c.getGreen() + margin; };

    // The red "0" at the top of the output scale: all the ink that touches it is red.
    juce::Array<juce::Point<int>> todo;
    for (int y = (out.y - 3) * scale; y <= (out.y + 3) * scale; ++y)
        for (int x = out.right() * scale; x <= (out.right() + 12) * scale; ++x)
            if (red ({ x, y }, 60))
                todo.add ({ x, y });
    ASSERT_FALSE (todo.isEmpty());
    std::set<std::pair<int, int>> seen;
    while (! todo.isEmpty())
    {
        const auto p = todo.removeAndReturn (todo.size() - 1);
        if (! panel.getBounds().contains (p) || ! ink (p) || ! seen.insert ({ p.x, p.y }).second)
            continue;
        ASSERT_TRUE (red (p, 20)) << "another legend inked into the red 0 at " << p.toString();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                todo.add (p.translated (dx, dy));
    }

    // The captions under the two meters lie on the same bare panel, whose grain runs in
    // rows across it: row by row, the ground around "OUT dB" is that around "IN dB".
    const auto ground = [&] (const L::Rect& m, int y)
    {
        int sum = 0, count = 0;
        for (int x = (m.x - 2) * scale; x < (m.right() + 2) * scale; ++x)
            if (level ({ x, y }) <= 32)
            {
                sum += level ({ x, y });
                ++count;
            }
        return (double) sum / juce::jmax (1, count);
    };
    for (int y = (out.bottom() + 3) * scale; y < (out.bottom() + 7) * scale; ++y)
        EXPECT_NEAR (ground (out, y), ground (in, y), 3.0) << "row " << y;
}

TEST (Resources, EmbeddedFontLoads)
{
    const auto typeface = KA::PluginBarLookAndFeel::getEmbeddedTypeface();
    ASSERT_NE (typeface, nullptr);
    EXPECT_EQ (typeface->getName(), "Tahoma");
    EXPECT_GT (juce::Font (typeface).withHeight (20.0f).getStringWidthFloat ("Level"), 20.0f);
}

TEST (Resources, TypographicMetricsFlagIsClearedWithinTheDataOnly)
{
    const juce::MemoryBlock font (BinaryData::tahoma_ttf, (size_t) BinaryData::tahoma_ttfSize);
    auto whole = font;
    ASSERT_TRUE (KA::clearTypographicMetricsFlag (whole));
    // Exactly one bit differs: bit 7 of the OS/2 table's fsSelection.
    int differingBits = 0;
    for (size_t i = 0; i < font.getSize(); ++i)
        differingBits += juce::BigInteger ((int) (font[i] ^ whole[i])).countNumberOfSetBits();
    EXPECT_EQ (differingBits, 1);

    // Cut short, the data is read and written only within itself (the sanitizer watches).
    for (size_t size : { (size_t) 0, (size_t) 12, (size_t) 100, font.getSize() / 2 })
    {
        juce::MemoryBlock cut (font.getData(), size);
        KA::clearTypographicMetricsFlag (cut);
    }
}

TEST (Resources, AlertIconsParseToFiniteDrawables)
{
    const char* names[] = { "stop_hand_svg", "alert_red_svg", "alert_yellow_svg" };

    for (auto* name : names)
    {
        SCOPED_TRACE (name);
        int size = 0;
        const auto* data = BinaryData::getNamedResource (name, size);
        ASSERT_NE (data, nullptr);

        const auto drawable = juce::Drawable::createFromImageData (data, (size_t) size);
        ASSERT_NE (drawable, nullptr);
        const auto bounds = drawable->getDrawableBounds();
        EXPECT_FALSE (bounds.isEmpty());
        EXPECT_TRUE (std::isfinite (bounds.getX()) && std::isfinite (bounds.getWidth())
                     && std::isfinite (bounds.getY()) && std::isfinite (bounds.getHeight()));

        // Drawn at 64 px, the icon covers a good part of the square.
        juce::Image image (juce::Image::ARGB, 64, 64, true);
        {
            juce::Graphics g (image);
            drawable->drawWithin (g, { 0.0f, 0.0f, 64.0f, 64.0f }, juce::RectanglePlacement::centred, 1.0f);
        }
        int covered = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                covered += image.getPixelAt (x, y).getAlpha() > 128 ? 1 : 0;
        EXPECT_GT (covered, 64 * 64 / 3);
    }
}
