#include "tests/ui/support/ReviewedPicture.h"
#include "ui/lookandfeel/DRLookAndFeel.h"
#include "ui/controls/SliderEx.h"
#include "ui/controls/ToggleButtonEx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace
{
/** A colour no two frames share, computed apart from the code under test. */
juce::Colour frameColour (int frame)
{
    return juce::Colour ((juce::uint8) (frame * 2), (juce::uint8) (255 - frame), (juce::uint8) (frame % 7 * 30), (juce::uint8) 255);
}

/** A vertical strip of frames, each filled with its own colour. */
juce::Image makeStrip (int width, int frameHeight, int frames)
{
    juce::Image strip (juce::Image::ARGB, width, frameHeight * frames, true);
    for (int f = 0; f < frames; ++f)
        strip.clear ({ 0, f * frameHeight, width, frameHeight }, frameColour (f));
    return strip;
}

juce::Image paint (juce::Component& c)
{
    juce::Image image (juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
    juce::Graphics g (image);
    c.paintEntireComponent (g, false);
    return image;
}

bool isBlank (const juce::Image& image)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() != 0)
                return false;
    return true;
}

/** A slider of the look-and-feel drawing the named strip, with no text box. */
void setUp (KA::SliderEx& s, DRLookAndFeel& lf, juce::Slider::SliderStyle style, const char* imageName, int w, int h)
{
    s.setSliderStyle (style);
    s.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    s.setLookAndFeel (&lf);
    s.imageName = imageName;
    s.setRange (0.0, 1.0);
    s.setBounds (0, 0, w, h);
}
} // namespace

TEST (PluginLookAndFeel, FilmstripFramesFollowTheValue)
{
    DRLookAndFeel lf;
    lf.rotarySliderImages.set ("Knob", makeStrip (16, 16, 128));
    lf.linearSliderImages.set ("Strip", makeStrip (10, 6, 5));
    KA::SliderEx knob, fader;
    setUp (knob, lf, juce::Slider::RotaryHorizontalVerticalDrag, "Knob", 25, 25);
    setUp (fader, lf, juce::Slider::LinearVertical, "Strip", 20, 40);
    fader.frameCount = 5;

    // (slider, value, inverted, skew, frame): knobs round to the nearest frame and ignore
    // inversion, faders round up; a quarter with skew 0.5 is half the travel.
    const struct { KA::SliderEx* s; double value; bool inverted; double skew; int frame; } cases[] = {
        { &knob, 0.0, false, 1, 0 },    { &knob, 0.5, false, 1, 64 },  { &knob, 1.0, false, 1, 127 }, { &knob, 0.25, false, 1, 32 },
        { &knob, 0.25, false, 0.5, 64 }, { &knob, 0.25, true, 0.5, 64 }, { &knob, 1.0, true, 0.5, 127 },
        { &fader, 0.0, false, 1, 0 },   { &fader, 0.01, false, 1, 1 }, { &fader, 0.5, false, 1, 2 },  { &fader, 1.0, false, 1, 4 },
        { &fader, 0.0, true, 1, 4 },    { &fader, 1.0, true, 1, 0 },
    };
    for (auto& c : cases)
    {
        c.s->inverted = c.s->inverted || c.inverted; // each slider's plain rows first, as made
        c.s->setSkewFactor (c.skew);
        c.s->setValue (c.value, juce::dontSendNotification);
        const auto image = paint (*c.s);
        EXPECT_EQ (image.getPixelAt (11, 11).getARGB(), frameColour (c.frame).getARGB()) << c.s->imageName << " " << c.value;
        if (c.s == &fader) // stretched over the track area JUCE hands over, from the slider's corner
        {
            EXPECT_EQ (image.getPixelAt (1, 1).getARGB(), image.getPixelAt (18, 18).getARGB());
        }
    }

    // The knob's square hangs one unit up and left: 24 wide from -1.
    const auto image = paint (knob);
    EXPECT_TRUE (image.getPixelAt (22, 22).getAlpha() != 0 && image.getPixelAt (23, 12).getAlpha() == 0 && image.getPixelAt (12, 23).getAlpha() == 0);

    // Square frames counted from the image when no frame count is given; unknown names draw nothing.
    fader.inverted = false;
    fader.frameCount = -1;
    lf.linearSliderImages.set ("Strip", makeStrip (6, 6, 5));
    EXPECT_EQ (paint (fader).getPixelAt (10, 10).getARGB(), frameColour (4).getARGB());
    knob.imageName = "NoSuchImage";
    EXPECT_TRUE (isBlank (paint (knob)));
    knob.setLookAndFeel (nullptr);
    fader.setLookAndFeel (nullptr);
}

TEST (PluginLookAndFeel, ThumbModeDrawsTheCapAtHalfSizeOnTheThumb)
{
    const juce::Colour capColour (0xff2040e0);
    juce::Image cap (juce::Image::ARGB, 54, 50, true);
    cap.clear (cap.getBounds(), capColour);

    DRLookAndFeel lf;
    lf.linearSliderImages.set ("Level", cap);

    for (auto style : { juce::Slider::LinearVertical, juce::Slider::LinearHorizontal })
    {
        const bool vertical = style == juce::Slider::LinearVertical;
        KA::SliderEx fader;
        setUp (fader, lf, style, "Level", vertical ? 38 : 78, vertical ? 78 : 38);
        fader.drawAsThumb = true;

        // The V4 thumb indent of 12 leaves 54 units of travel.
        for (double value : { 0.0, 0.3, 1.0 })
        {
            fader.setValue (value, juce::dontSendNotification);
            const auto image = paint (fader);
            const auto along = (int) (12.0 + (vertical ? 1.0 - value : value) * 54.0);
            auto at = [&] (int alongAxis, int across) { return vertical ? image.getPixelAt (across, alongAxis) : image.getPixelAt (alongAxis, across); };

            SCOPED_TRACE (juce::String (vertical ? "vertical " : "horizontal ") + juce::String (value));
            // Cap colour across the half-size cap and nothing past its edges.
            EXPECT_TRUE (at (along, 5) == capColour && at (along, vertical ? 26 : 24) == capColour && at (along, vertical ? 28 : 26).getAlpha() == 0);
            EXPECT_TRUE ((along < 15 || at (along - 15, 5).getAlpha() == 0) && (along + 15 >= 78 || at (along + 15, 5).getAlpha() == 0));
        }

        fader.setLookAndFeel (nullptr);
    }

    // Thumb mode only knows the two plain linear styles.
    KA::SliderEx bar;
    setUp (bar, lf, juce::Slider::LinearBar, "Level", 40, 40);
    bar.drawAsThumb = true;
    juce::Image image (juce::Image::ARGB, 40, 40, true);
    {
        juce::Graphics g (image);
        lf.drawLinearSlider (g, 0, 0, 40, 40, 20.0f, 0.0f, 40.0f, juce::Slider::LinearBar, bar);
        lf.drawLinearSlider (g, 0, 0, 40, 40, 20.0f, 0.0f, 40.0f, juce::Slider::TwoValueVertical, bar);
    }
    EXPECT_TRUE (isBlank (image));
    bar.setLookAndFeel (nullptr);
}

TEST (PluginLookAndFeel, SwitchShowsTheHalfForItsState)
{
    const juce::Colour off (0xffff0000), on (0xff00ff00);
    juce::Image strip (juce::Image::ARGB, 10, 20, true);
    strip.clear ({ 0, 0, 10, 10 }, off);
    strip.clear ({ 0, 10, 10, 10 }, on);

    DRLookAndFeel lf;
    lf.toggleButtonImages.set ("power", strip);
    KA::ToggleButtonEx button;
    button.imageName = "power";
    button.setLookAndFeel (&lf);
    button.setBounds (0, 0, 25, 30);

    auto shown = [&] { const auto i = paint (button); EXPECT_EQ (i.getPixelAt (1, 1).getARGB(), i.getPixelAt (23, 28).getARGB()); return i.getPixelAt (12, 15).getARGB(); };

    EXPECT_EQ (shown(), off.getARGB()); // as made: neither inverted nor momentary
    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (shown(), on.getARGB());
    // (inverted, momentary, toggled, pressed, on): a momentary switch follows the pressed state.
    const struct { bool inverted, momentary, toggled, pressed, on; } cases[] = {
        { false, false, false, false, false }, { false, false, true, false, true }, { true, false, true, false, false },
        { true, false, false, false, true },   { false, true, true, false, false }, { false, true, true, true, true },
    };
    for (auto& c : cases)
    {
        button.inverted = c.inverted;
        button.momentary = c.momentary;
        button.setToggleState (c.toggled, juce::dontSendNotification);
        button.setState (c.pressed ? juce::Button::buttonDown : juce::Button::buttonNormal);
        EXPECT_EQ (shown(), (c.on ? on : off).getARGB()) << c.inverted << c.momentary << c.toggled << c.pressed;
    }

    button.imageName = "nothing";
    EXPECT_TRUE (isBlank (paint (button)));
    button.setLookAndFeel (nullptr);
}

TEST (PluginLookAndFeel, ForeignControlsKeepJuceDrawing)
{
    // JUCE's generic editor and the dialogs use plain sliders and buttons while
    // this look-and-feel is the default.
    DRLookAndFeel lf;
    juce::Slider rotary (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox);
    juce::Slider linear (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    juce::ToggleButton toggle ("plain");

    for (juce::Component* c : std::initializer_list<juce::Component*> { &rotary, &linear, &toggle })
    {
        c->setLookAndFeel (&lf);
        c->setBounds (0, 0, 60, 40);
        EXPECT_FALSE (isBlank (paint (*c)));
        c->setLookAndFeel (nullptr);
    }

    KA::PluginLookAndFeel base;
    KA::SliderEx ex;
    ex.popupPlacement = 2;
    EXPECT_EQ (base.getSliderPopupPlacement (ex), 2);
    EXPECT_EQ (base.getSliderPopupPlacement (linear), juce::LookAndFeel_V4().getSliderPopupPlacement (linear));
    EXPECT_EQ (lf.getSliderPopupPlacement (ex), 12);
    EXPECT_EQ (lf.getSliderPopupPlacement (linear), 12);
}

TEST (PluginLookAndFeel, AlertBoxesLookAsReviewed)
{
    // Text beside the icon; the icon shrinks to the text with extra components or more
    // than two buttons, and to a low window; the warning has a sign of its own.
    const struct { juce::MessageBoxIconType icon; int height, textHeight, buttons; bool extras; } cases[] = {
        { juce::MessageBoxIconType::NoIcon, 150, 100, 1, false },   { juce::MessageBoxIconType::WarningIcon, 150, 100, 1, false },
        { juce::MessageBoxIconType::InfoIcon, 150, 20, 2, false },  { juce::MessageBoxIconType::InfoIcon, 150, 20, 3, false },
        { juce::MessageBoxIconType::InfoIcon, 150, 20, 1, true },   { juce::MessageBoxIconType::InfoIcon, 150, 60, 3, true },
        { juce::MessageBoxIconType::InfoIcon, 40, 20, 1, false },   { juce::MessageBoxIconType::InfoIcon, 40, 5, 3, false },
    };

    DRLookAndFeel lf;
    juce::Image picture (juce::Image::ARGB, 800, 4 * 170, true);
    juce::Graphics g (picture);
    for (int i = 0; i < 8; ++i)
    {
        const auto& c = cases[i];
        const KA::PluginLookAndFeel::AlertBoxParts window { 400, c.height, c.icon, c.extras, c.buttons,
                                                            juce::Colour (0xff101010), juce::Colour (0xff00ff00), juce::Colour (0xff0000ff) };
        juce::AttributedString text;
        text.append ("An alert that runs over more than one line of the text area", juce::Font (20.0f), window.text);
        juce::TextLayout layout;
        layout.createLayout (text, 380.0f);

        juce::Graphics::ScopedSaveState save (g);
        g.setOrigin ((i % 2) * 400, (i / 2) * 170);
        g.reduceClipRegion (0, 0, 400, 170);
        lf.drawAlertBox (g, window, { 10, 20, 380, c.textHeight }, layout);
    }
    EXPECT_TRUE (KA::Test::looksAsReviewed (picture, "alert-boxes"));
}
