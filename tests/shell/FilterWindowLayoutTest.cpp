#include "shell/MainContentComponent.h"
#include "shell/NotificationArea.h"
#include "tests/shell/support/InProcessShell.h"
#include "tests/shell/support/MessageLoop.h"
#include "tests/ui/support/DrawnText.h"

using namespace KA::Test;
using Window = KA::StandaloneFilterWindow;
using Bar = Window::MainContentComponent::NotificationArea;

namespace
{
/** The window as the application builds it, around the product's own processor. */
class FilterWindowLayout : public InProcessShell
{
protected:
    void SetUp() override
    {
        InProcessShell::SetUp();
        window = std::make_unique<Window> ("Layout test", juce::Colours::black, &settings, false,
                                           juce::String(), nullptr, juce::Array<KA::SettingsPluginInOuts>(), false);
        // As the application shows it: the kiosk component, which also drops the border.
        juce::Desktop::getInstance().setKioskModeComponent (window.get(), false);
        window->setVisible (true);
        content = window->getMainContent();
        ASSERT_NE (content, nullptr);
        ASSERT_NE (content->getEditor(), nullptr);
    }

    void TearDown() override
    {
        window = nullptr;
    }

    Bar& bar() { return content->getNotificationArea(); }
    juce::Rectangle<int> editorArea() { return content->getEditor()->getBoundsInParent(); }

    juce::PropertySet settings;
    std::unique_ptr<Window> window;
    Window::MainContentComponent* content = nullptr;
};

juce::Colour pixelOf (juce::Component& c, int x, int y)
{
    return c.createComponentSnapshot (c.getLocalBounds(), false, 1.0f).getPixelAt (x, y);
}
} // namespace

TEST_F (FilterWindowLayout, MutedAtLaunchTheBarTakesTheTopAndTheEditorTheRest)
{
    // The content fills the screen.
    EXPECT_EQ (content->getScreenBounds(), juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->totalArea);
    EXPECT_GT (content->getHeight(), 100);

    EXPECT_TRUE (content->isShowingNotification());
    EXPECT_TRUE (bar().isVisible());
    EXPECT_EQ (bar().getBounds(), juce::Rectangle<int> (0, 0, content->getWidth(), 30));
    EXPECT_EQ (editorArea(), content->getLocalBounds().withTrimmedTop (30));

    EXPECT_EQ (bar().getLabel().getText(), "Audio input is muted to avoid feedback loop");
    EXPECT_TRUE (drawsWhole (bar().getButton(), "Unmute Input"));
    EXPECT_EQ (bar().getLabel().getName(), "notification");
    EXPECT_EQ (bar().getLabel().findColour (juce::Label::textColourId), juce::Colour (0xff000000));
    EXPECT_EQ (bar().getButton().getButtonText(), "Unmute Input");

    // Inside a 5-pixel margin: the button on the right, 70 wide, the label beside it.
    const auto inner = bar().getLocalBounds().reduced (5);
    EXPECT_EQ (bar().getButton().getBounds(), inner.withLeft (inner.getRight() - 70));
    EXPECT_EQ (bar().getLabel().getBounds(), inner.withTrimmedRight (70));
}

TEST_F (FilterWindowLayout, UnmuteHidesTheBarAndTheEditorTakesEverything)
{
    auto& holder = *window->getPluginHolder();
    ASSERT_TRUE (holder.muteInput.load());

    bar().getButton().triggerClick();
    ASSERT_TRUE (runUntil ([this] { return ! content->isShowingNotification(); }, 3000));

    EXPECT_FALSE (holder.muteInput.load());
    EXPECT_FALSE (bar().isVisible());
    EXPECT_EQ (content->getBounds(), window->getLocalBounds());
    EXPECT_EQ (editorArea(), content->getLocalBounds());

    // Muting again from anywhere brings the bar back over the editor.
    holder.getMuteInputValue() = true;
    ASSERT_TRUE (runUntil ([this] { return content->isShowingNotification(); }, 3000));
    EXPECT_TRUE (holder.muteInput.load());
    EXPECT_TRUE (bar().isVisible());
    EXPECT_EQ (editorArea(), content->getLocalBounds().withTrimmedTop (30));
}

TEST_F (FilterWindowLayout, BarIsPaintedPaleWithADarkBottomLine)
{
    // Pixels inside the margin, away from the label's text and the button.
    const auto h = bar().getHeight();
    EXPECT_EQ (pixelOf (bar(), 2, 2), juce::Colours::lightgoldenrodyellow);
    EXPECT_EQ (pixelOf (bar(), 2, h - 2), juce::Colours::lightgoldenrodyellow);
    EXPECT_EQ (pixelOf (bar(), 2, h - 1), juce::Colours::darkgoldenrod);
    EXPECT_EQ (pixelOf (bar(), bar().getWidth() - 1, h - 1), juce::Colours::darkgoldenrod);
}

TEST_F (FilterWindowLayout, EditorThatResizesItselfResizesTheContentWithTheBarOnTop)
{
    // Out of kiosk mode, the content follows its editor.
    juce::Desktop::getInstance().setKioskModeComponent (nullptr, false);
    window->setFullScreen (false);
    auto* editor = content->getEditor();
    editor->setSize (400, 250);

    EXPECT_EQ (content->getWidth(), 400);
    EXPECT_EQ (content->getHeight(), 280);
    EXPECT_EQ (editorArea(), juce::Rectangle<int> (0, 30, 400, 250));

    // A scaled editor counts with its scaled size, and keeps its own units inside.
    editor->setTransform (juce::AffineTransform::scale (2.0f));
    editor->setSize (200, 100);
    EXPECT_EQ (content->getWidth(), 400);
    EXPECT_EQ (content->getHeight(), 230);
    EXPECT_EQ (editor->getBounds().getWidth(), 200);
    EXPECT_EQ (editor->getBounds().getHeight(), 100);
    EXPECT_EQ (editorArea(), juce::Rectangle<int> (0, 30, 400, 200));
    editor->setTransform ({});
}

//==============================================================================
/** The bar on its own, for sizes the window never gives it. */
class NotificationBarSizes : public ::testing::Test
{
protected:
    struct Listener : juce::Button::Listener { void buttonClicked (juce::Button*) override {} } listener;
    Bar bar { &listener };
};

TEST_F (NotificationBarSizes, NarrowBarsGiveTheButtonWhatThereIsAndTheLabelTheRest)
{
    struct Case { int width, height; juce::Rectangle<int> button, label; };

    for (auto c : { Case { 200, 30, { 125, 5, 70, 20 }, { 5, 5, 120, 20 } },
                    Case { 81, 30, { 6, 5, 70, 20 }, { 5, 5, 1, 20 } },
                    Case { 80, 30, { 5, 5, 70, 20 }, { 5, 5, 0, 20 } },
                    Case { 40, 30, { 5, 5, 30, 20 }, { 5, 5, 0, 20 } },
                    Case { 10, 30, { 5, 5, 0, 20 }, { 5, 5, 0, 20 } },
                    Case { 3, 8, { 5, 5, 0, 0 }, { 5, 5, 0, 0 } },
                    Case { 0, 0, { 5, 5, 0, 0 }, { 5, 5, 0, 0 } } })
    {
        bar.setBounds (0, 0, c.width, c.height);
        bar.resized();
        EXPECT_EQ (bar.getButton().getBounds(), c.button) << c.width << " x " << c.height;
        EXPECT_EQ (bar.getLabel().getBounds(), c.label) << c.width << " x " << c.height;
    }
}
