#include "tests/ui/support/ReviewedPicture.h"
#include "ui/lookandfeel/DRLookAndFeel.h"
#include "ui/lookandfeel/MailListLookAndFeel.h"

#include <gtest/gtest.h>

TEST (PluginBarLookAndFeel, EveryFontResolvesToTheEmbeddedFace)
{
    const auto embedded = KA::PluginBarLookAndFeel::getEmbeddedTypeface();
    DRLookAndFeel lf;

    for (auto& font : { juce::Font(), juce::Font ("Serif", 30.0f, juce::Font::bold),
                        juce::Font (juce::Font::getDefaultMonospacedFontName(), 9.0f, juce::Font::italic) })
        EXPECT_EQ (lf.getTypefaceForFont (font), embedded);

    // A face resolved while JUCE's own look-and-feel was the default stays in
    // JUCE's cache unless installing ours drops it.
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    const juce::Font before ("Cache Probe Face", 13.0f, juce::Font::plain);
    const auto systemFace = before.getTypefacePtr();
    ASSERT_NE (systemFace, nullptr);
    EXPECT_NE (systemFace, embedded);

    lf.installAsDefault();
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &lf);
    const juce::Font after ("Cache Probe Face", 13.0f, juce::Font::plain);
    EXPECT_EQ (after.getTypefacePtr(), embedded);
    EXPECT_EQ (juce::Font (14.0f).getTypefacePtr(), embedded);

    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    juce::Typeface::clearTypefaceCache();
}

TEST (PluginBarLookAndFeel, MenusBubblesAndTipsLookAsReviewed)
{
    // A popup menu with a ticked, a highlighted and an inactive item, a value bubble and a tooltip.
    DRLookAndFeel lf;
    juce::Image picture (juce::Image::ARGB, 200, 160, true);
    juce::Graphics g (picture);
    lf.drawPopupMenuBackground (g, 200, 82);
    for (int i = 0; i < 3; ++i)
        lf.drawPopupMenuItem (g, { 0, 5 + 24 * i, 200, 24 }, false, i != 2, i == 1, i == 0, false,
                              "Preset " + juce::String (i + 1), {}, nullptr, nullptr);

    struct Bubble : juce::BubbleComponent
    {
        void getContentSize (int& w, int& h) override { w = 80; h = 30; }
        void paintContent (juce::Graphics&, int, int) override {}
    } bubble;
    bubble.setLookAndFeel (&lf);
    juce::Slider slider;
    g.setOrigin (0, 90);
    lf.drawBubble (g, bubble, { 40.0f, 10.0f }, { 60.0f, 0.0f, 80.0f, 30.0f });
    bubble.setLookAndFeel (nullptr);
    g.setColour (juce::Colours::white);
    g.setFont (lf.getSliderPopupFont (slider));
    g.drawText ("-7.5 dB", juce::Rectangle<int> (60, 0, 80, 30), juce::Justification::centred);
    g.setOrigin (0, 40);
    lf.drawTooltip (g, "Input trim", 200, 30);
    EXPECT_TRUE (KA::Test::looksAsReviewed (picture, "menus-and-tips"));
}

TEST (PluginBarLookAndFeel, ButtonBackgroundAndTitleBarButtons)
{
    KA::PluginBarLookAndFeel lf;
    juce::TextButton button ("b");
    button.setSize (20, 10);
    button.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff00ff00));

    auto draw = [&] (bool down)
    {
        juce::Image image (juce::Image::ARGB, 20, 10, true);
        juce::Graphics g (image);
        lf.drawButtonBackground (g, button, juce::Colour (0xff202020), false, down);
        return image;
    };
    EXPECT_EQ (draw (false).getPixelAt (10, 5).getARGB(), 0xff202020u);
    EXPECT_EQ (draw (true).getPixelAt (10, 5).getARGB(), juce::Colour (0xff202020).contrasting (0.2f).getARGB());
    EXPECT_GT (draw (false).getPixelAt (0, 5).getGreen(), 100);

    // The title bar's buttons, normal, under the mouse, pressed and toggled, side by side.
    juce::Image picture (juce::Image::ARGB, 4 * 60, 3 * 40, true);
    juce::Graphics g (picture);
    int row = 0;
    for (auto [type, name] : { std::pair { 1, "minimise" }, { 2, "maximise" }, { 4, "close" } })
    {
        std::unique_ptr<juce::Button> b (lf.createDocumentWindowButton (type));
        ASSERT_NE (b, nullptr);
        EXPECT_EQ (b->getName(), name);
        b->setSize (60, 40);
        for (int column = 0; column < 4; ++column)
        {
            b->setState (column == 1 ? juce::Button::buttonOver : column == 2 ? juce::Button::buttonDown : juce::Button::buttonNormal);
            b->setToggleState (column == 3, juce::dontSendNotification);
            juce::Graphics::ScopedSaveState save (g);
            g.setOrigin (column * 60, row * 40);
            g.reduceClipRegion (0, 0, 60, 40);
            b->paintEntireComponent (g, false);
        }
        ++row;
    }
    EXPECT_TRUE (KA::Test::looksAsReviewed (picture, "title-bar-buttons"));
    EXPECT_TRUE (lf.createDocumentWindowButton (3) == nullptr && lf.createDocumentWindowButton (0) == nullptr);
}
