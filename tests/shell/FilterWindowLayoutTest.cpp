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

} // namespace

TEST_F (FilterWindowLayout, BarOverTheEditorWhileMutedTheEditorAloneOtherwise)
{
    // Muted at launch: the bar across the top, the editor below, filling the screen.
    EXPECT_EQ (content->getScreenBounds(), juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->totalArea);
    auto& holder = *window->getPluginHolder();
    ASSERT_TRUE (holder.muteInput.load());
    EXPECT_TRUE (bar().isVisible());
    EXPECT_EQ (bar().getBounds(), juce::Rectangle<int> (0, 0, content->getWidth(), 30));
    EXPECT_EQ (editorArea(), content->getLocalBounds().withTrimmedTop (30));
    EXPECT_TRUE (drawsWhole (bar().getButton(), "Unmute Input"));
    const auto inner = bar().getLocalBounds().reduced (5);
    EXPECT_EQ (bar().getButton().getBounds(), inner.withLeft (inner.getRight() - 70));
    EXPECT_EQ (bar().getLabel().getBounds(), inner.withTrimmedRight (70));

    // Pale, with a dark bottom line.
    const auto picture = bar().createComponentSnapshot (bar().getLocalBounds(), false, 1.0f);
    EXPECT_EQ (picture.getPixelAt (2, 2), juce::Colours::lightgoldenrodyellow);
    EXPECT_EQ (picture.getPixelAt (bar().getWidth() - 1, 29), juce::Colours::darkgoldenrod);

    bar().getButton().triggerClick();
    ASSERT_TRUE (runUntil ([this] { return ! content->isShowingNotification(); }, 3000));
    EXPECT_FALSE (holder.muteInput.load());
    EXPECT_FALSE (bar().isVisible());
    EXPECT_EQ (editorArea(), content->getLocalBounds());

    // Muting again from anywhere brings the bar back over the editor.
    holder.getMuteInputValue() = true;
    ASSERT_TRUE (runUntil ([this] { return content->isShowingNotification(); }, 3000));
    EXPECT_TRUE (bar().isVisible());
    EXPECT_EQ (editorArea(), content->getLocalBounds().withTrimmedTop (30));
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

TEST (NotificationBar, NarrowBarsNeverGiveNegativeSizes)
{
    struct Listener : juce::Button::Listener { void buttonClicked (juce::Button*) override {} } listener;
    Bar bar { &listener };
    for (auto [w, h] : { std::pair { 80, 30 }, { 40, 30 }, { 3, 8 }, { 0, 0 } })
    {
        bar.setBounds (0, 0, w, h);
        EXPECT_GE (bar.getButton().getWidth(), 0) << w;
        EXPECT_GE (bar.getButton().getHeight(), 0) << w;
        EXPECT_EQ (bar.getLabel().getWidth(), 0) << w;
        EXPECT_GE (bar.getLabel().getHeight(), 0) << w;
    }
}
