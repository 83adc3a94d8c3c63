#include "shell/MainContentComponent.h"
#include "shell/NotificationArea.h"
#include "tests/shell/support/InProcessShell.h"
#include "tests/common/MessageLoop.h"
#include "tests/ui/support/DrawnText.h"

using namespace KA::Test;
using Window = KA::StandaloneFilterWindow;
using Bar = Window::MainContentComponent::NotificationArea;

/** The window as the application shows it (the kiosk component, without a border), around
    the product's own processor. */
TEST_F (InProcessShell, BarOverTheEditorWhileMutedTheEditorAloneOtherwiseAndContentFollowsItsEditor)
{
    juce::PropertySet settings;
    Window window ("Layout test", juce::Colours::black, &settings, false, {}, nullptr, {}, false);
    juce::Desktop::getInstance().setKioskModeComponent (&window, false);
    window.setVisible (true);
    auto& content = *window.getMainContent();
    auto& bar = content.getNotificationArea();
    auto& editor = *content.getEditor();
    auto& holder = *window.getPluginHolder();

    EXPECT_EQ (content.getScreenBounds(), juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->totalArea);
    ASSERT_TRUE (holder.muteInput.load());
    EXPECT_TRUE (drawsWhole (bar.getButton(), "Unmute Input"));
    const auto inner = bar.getLocalBounds().reduced (5);
    EXPECT_EQ (bar.getButton().getBounds(), inner.withLeft (inner.getRight() - 70));
    EXPECT_EQ (bar.getLabel().getBounds(), inner.withTrimmedRight (70));
    // Pale, with a dark bottom line.
    const auto picture = bar.createComponentSnapshot (bar.getLocalBounds(), false, 1.0f);
    EXPECT_EQ (picture.getPixelAt (2, 2), juce::Colours::lightgoldenrodyellow);
    EXPECT_EQ (picture.getPixelAt (bar.getWidth() - 1, 29), juce::Colours::darkgoldenrod);

    // Muted at launch, unmuted by the bar's button, muted again from anywhere.
    for (bool muted : { true, false, true })
    {
        if (! muted)
            bar.getButton().triggerClick();
        else
            holder.getMuteInputValue() = true;

        ASSERT_TRUE (runUntil ([&] { return content.isShowingNotification() == muted; }, 3000));
        EXPECT_EQ (holder.muteInput.load(), muted);
        EXPECT_EQ (bar.isVisible(), muted);
        EXPECT_EQ (bar.getBounds(), juce::Rectangle<int> (0, 0, content.getWidth(), 30));
        EXPECT_EQ (editor.getBoundsInParent(), content.getLocalBounds().withTrimmedTop (muted ? 30 : 0));
    }

    // Out of kiosk mode the content follows its editor; a scaled editor counts with its
    // scaled size and keeps its own units inside.
    juce::Desktop::getInstance().setKioskModeComponent (nullptr, false);
    window.setFullScreen (false);
    for (float scale : { 1.0f, 2.0f })
    {
        editor.setTransform (juce::AffineTransform::scale (scale));
        editor.setSize (200, 125);
        EXPECT_EQ (content.getBounds().getWidth(), juce::roundToInt (200 * scale));
        EXPECT_EQ (content.getHeight(), juce::roundToInt (125 * scale) + 30);
        EXPECT_EQ (editor.getBounds().getWidth(), 200);
        EXPECT_EQ (editor.getBoundsInParent(), juce::Rectangle<int> (0, 30, juce::roundToInt (200 * scale), juce::roundToInt (125 * scale)));
    }
    editor.setTransform ({});
}

TEST (NotificationBar, NarrowBarsNeverGiveNegativeSizes)
{
    struct Listener : juce::Button::Listener { void buttonClicked (juce::Button*) override {} } listener;
    Bar bar { &listener };
    for (auto [w, h] : { std::pair { 80, 30 }, { 40, 30 }, { 3, 8 }, { 0, 0 } })
    {
        bar.setBounds (0, 0, w, h);
        EXPECT_GE (juce::jmin (bar.getButton().getWidth(), bar.getButton().getHeight(), bar.getLabel().getHeight()), 0) << w;
        EXPECT_EQ (bar.getLabel().getWidth(), 0) << w;
    }
}
