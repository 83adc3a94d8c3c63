#include "BinaryData.h"
#include "ui/product/DRPanelLayout.h"
#include "ui/lookandfeel/PluginBarLookAndFeel.h"
#include "ui/lookandfeel/TrueTypeFace.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
juce::Image decode (const char* resourceName)
{
    int size = 0;
    const auto* data = BinaryData::getNamedResource (resourceName, size);
    return data != nullptr ? juce::ImageCache::getFromMemory (data, size) : juce::Image();
}
} // namespace

TEST (Resources, EveryImageDecodesAtItsSizeWithContentWhereItIsCut)
{
    const struct { const char* name; int width, height; } specs[] = {
        { "knob_filmstrip_png", 68, 68 * 128 }, { "switch_strip_png", 110, 230 },       { "led_strip_png", 110, 220 },
        { "fader_cap_png", 54, 50 },           { "editor_background_png", 750, 291 }, { "control_panel_png", 750, 291 },
        { "about_picture_png", 750, 291 },
    };
    for (auto& spec : specs)
        EXPECT_EQ (decode (spec.name).getBounds(), juce::Rectangle<int> (spec.width, spec.height)) << spec.name;

    // The panel artwork is laid out in the same units as the controls.
    const auto panel = decode ("control_panel_png").getBounds().toFloat() / 2.0f;
    EXPECT_EQ (panel, juce::Rectangle<float> (DRPanelLayout::designWidth, DRPanelLayout::designHeight));

    // Every knob frame, both switch and LED halves and the cap are opaque at their centres; the lit LED is brighter.
    const auto knob = decode ("knob_filmstrip_png"), switches = decode ("switch_strip_png"), led = decode ("led_strip_png");
    for (int frame = 0; frame < 128; ++frame)
        EXPECT_GT (knob.getPixelAt (34, frame * 68 + 34).getAlpha(), 200) << "frame " << frame;
    for (auto [image, y] : { std::pair { &switches, 57 }, { &switches, 172 }, { &led, 55 }, { &led, 165 } })
        EXPECT_GT (image->getPixelAt (55, y).getAlpha(), 200) << y;
    EXPECT_GT (led.getPixelAt (55, 165).getBrightness(), led.getPixelAt (55, 55).getBrightness() + 0.2f);
    EXPECT_GT (decode ("fader_cap_png").getPixelAt (27, 25).getAlpha(), 200);
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
