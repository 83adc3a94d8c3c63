#include "tests/common/ProbeProcessor.h"
#include "tests/common/MessageLoop.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/editor/PluginEditor.h"
#include "ui/presets/ToolBarButton.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
using KA::Test::runFor;
using EditorProbeProcessor = KA::Test::ProbeProcessor;

/** An editor base whose view shows an image of the panel's size (or none). */
struct ProbeEditor : public KA::PluginEditor
{
    explicit ProbeEditor (KA::PluginProcessor& p, int imageWidth = 750, int imageHeight = 291)
        : KA::PluginEditor (p), viewImageWidth (imageWidth), viewImageHeight (imageHeight) {}
    ~ProbeEditor() override { releaseComponents(); }
    std::unique_ptr<KA::ImageResizeView> createEditorView() override
    {
        auto view = std::make_unique<KA::ImageResizeView> (getProcessor().parameters);
        if (viewImageWidth > 0)
            view->image = juce::Image (juce::Image::ARGB, viewImageWidth, viewImageHeight, true);
        return view;
    }
    int viewImageWidth, viewImageHeight;
};

std::unique_ptr<ProbeEditor> openEditor (EditorProbeProcessor& processor, int imageWidth = 750, int imageHeight = 291)
{
    auto editor = std::make_unique<ProbeEditor> (processor, imageWidth, imageHeight);
    editor->init (690, 284);
    return editor;
}

/** Where a point of the view's own space lands in the editor. */
juce::Point<float> inEditor (const juce::Component& view, juce::Point<float> p)
{
    return p.transformedBy (view.getTransform()) + view.getPosition().toFloat();
}

TEST (EditorLayout, ViewIsFittedCentredBelowAToolbarThatHalvesBelow616Pixels)
{
    EditorProbeProcessor processor;
    auto editor = openEditor (processor);
    EXPECT_EQ (editor->getEditorView()->getBounds(), juce::Rectangle<int> (0, 0, 375, 146));

    for (auto [w, h] : { std::pair { 690, 284 }, { 615, 300 }, { 616, 300 }, { 1920, 1080 }, { 400, 900 } })
    {
        editor->setSize (w, h);
        const int bar = w < 616 ? 22 : 44;
        EXPECT_EQ (editor->getToolBar()->getBounds(), juce::Rectangle<int> (0, 0, w, bar)) << w;
        EXPECT_EQ (editor->getPanel()->getBounds(), juce::Rectangle<int> (0, bar, w, 0)) << w;

        // The view's 375 x 145.5 units, kept in proportion, touch the area below the bar
        // on one axis and are centred on both.
        const auto t = editor->getEditorView()->getTransform();
        EXPECT_NEAR (t.mat00, t.mat11, 1e-5);
        EXPECT_NEAR (t.mat01 + t.mat10, 0.0, 1e-9);
        const auto topLeft = inEditor (*editor->getEditorView(), {});
        const auto bottomRight = inEditor (*editor->getEditorView(), { 375.0f, 145.5f });
        EXPECT_NEAR (topLeft.x + bottomRight.x, w, 1e-2) << w;
        EXPECT_NEAR (topLeft.y + bottomRight.y, bar + h, 1e-2) << w;
        EXPECT_GE (topLeft.x, -1e-3);
        EXPECT_GE (topLeft.y, bar - 1e-3);
        EXPECT_NEAR (std::min (topLeft.x, topLeft.y - bar), 0.0, 1e-2) << w;
    }
}

TEST (EditorLayout, TinyAndEmptyWindowsLayOutWithoutSingularTransforms)
{
    EditorProbeProcessor processor;
    auto editor = openEditor (processor);
    KA::showMessageBox (*editor, "still here", nullptr);

    for (auto [w, h] : { std::pair { 0, 0 }, { 0, 284 }, { 690, 0 }, { 1, 1 }, { 10, 30 }, { 690, 44 }, { 690, 45 } })
    {
        editor->setSize (w, h);
        auto* view = editor->getEditorView();
        EXPECT_FALSE (view->getTransform().isSingularity()) << w << " x " << h;
        EXPECT_EQ (editor->getCurrentDialog()->getBounds(), juce::Rectangle<int> (0, 0, w, h));

        juce::Image image (juce::Image::ARGB, juce::jmax (1, w), juce::jmax (1, h), true);
        juce::Graphics g (image);
        editor->paintEntireComponent (g, true);
    }

    editor->setSize (690, 284);
    EXPECT_EQ (editor->getEditorView()->getBounds(), juce::Rectangle<int> (0, 0, 375, 146));

    auto noImage = openEditor (processor, 0, 0);
    EXPECT_TRUE (noImage->getEditorView()->getBounds().isEmpty());
    EXPECT_TRUE (noImage->getEditorView()->getTransform().isIdentity());
}

TEST (EditorLayout, ExpandedPanelSlidesOutUnderTheToolbar)
{
    EditorProbeProcessor processor;
    auto editor = std::make_unique<ProbeEditor> (processor);
    editor->panelStripProportion = 0.1f;
    editor->panelProportion = 0.5f;
    editor->init (690, 284);

    // strip = round(28.4) = 28, panel = round(0.5 * 240) = 120
    EXPECT_EQ (editor->getPanel()->getBounds(), juce::Rectangle<int> (0, 44 + 28 - 120, 690, 120));
    EXPECT_NEAR (inEditor (*editor->getEditorView(), {}).y, 72.0, 1e-3);

    auto* strip = editor->getPanel()->getStripButton();
    ASSERT_NE (strip, nullptr);
    EXPECT_EQ (editor->getPanel()->getStripLabel()->getBounds(), juce::Rectangle<int> (0, 92, 690, 28));
    // margin round(2.8) = 3; centred at 345 - 50
    EXPECT_EQ (strip->getBounds(), juce::Rectangle<int> (295, 3, 100, 22));

    for (int y : { 44, -48 })
    {
        strip->triggerClick();
        runFor (20);
        EXPECT_EQ (editor->panelExpanded, y == 44);
        EXPECT_EQ (editor->getPanel()->getBounds(), juce::Rectangle<int> (0, y, 690, 120));
    }
}

TEST (EditorSize, WrittenOnResizeAndRestoredAtTheNextOpen)
{
    EditorProbeProcessor processor;
    auto& state = processor.parameters.state;
    EXPECT_FALSE (state.hasProperty ("lastUIWidth"));

    {
        auto editor = openEditor (processor);
        EXPECT_EQ ((int) state["lastUIWidth"] * 1000 + (int) state["lastUIHeight"], 690284);
        editor->setSize (900, 400);
        EXPECT_EQ ((int) state["lastUIWidth"] * 1000 + (int) state["lastUIHeight"], 900400);
        EXPECT_FALSE (processor.undoManager.canUndo());
    }

    auto reopened = openEditor (processor);
    EXPECT_EQ (reopened->getBounds(), juce::Rectangle<int> (0, 0, 900, 400));
}

TEST (EditorSize, CorruptStoredSizesFallBackOrAreLimited)
{
    struct Case { juce::var width, height; int expectedWidth, expectedHeight; };
    const Case cases[] = {
        { "nan", "inf", 690, 284 },
        { -50, "abc", 0, 0 },
        { 1.0e12, 300, KA::PluginEditor::maxRestoredSize, 300 },
        { "640", "480", 640, 480 },
        { 640.9, 480.5, 640, 480 }, // fractions are cut off, not rounded
        { "700.99", 0.9, 700, 0 },
        { 8191.7, 1.5, 8191, 1 },
    };

    for (auto& c : cases)
    {
        EditorProbeProcessor processor;
        processor.parameters.state.setProperty ("lastUIWidth", c.width, nullptr);
        processor.parameters.state.setProperty ("lastUIHeight", c.height, nullptr);
        auto editor = openEditor (processor);
        EXPECT_EQ (editor->getWidth(), c.expectedWidth) << c.width.toString();
        EXPECT_EQ (editor->getHeight(), c.expectedHeight) << c.height.toString();
    }

    // The constrainer is honoured. Setting the limits resizes (and so stores) already: store afterwards.
    EditorProbeProcessor processor;
    auto editor = std::make_unique<ProbeEditor> (processor);
    editor->setResizeLimits (300, 200, 1000, 700);
    processor.parameters.state.setProperty ("lastUIWidth", 1200, nullptr);
    processor.parameters.state.setProperty ("lastUIHeight", 100, nullptr);
    editor->init (690, 284);
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 1000, 200));
}

TEST (EditorBase, ChildrenOrderLookAndFeelAndDialogSlot)
{
    EditorProbeProcessor processor;
    auto editor = openEditor (processor);

    // The toolbar lies above the view and the panel.
    const auto indexOf = [&editor] (juce::Component* c) { return editor->getIndexOfChildComponent (c); };
    EXPECT_LT (indexOf (editor->getEditorView()), indexOf (editor->getPanel()));
    EXPECT_LT (indexOf (editor->getPanel()), indexOf (editor->getToolBar()));
    EXPECT_EQ (editor->getToolBar()->findColour (juce::Label::backgroundColourId), juce::Colour (0xff000000));

    EXPECT_NE (dynamic_cast<KA::PluginBarLookAndFeel*> (&editor->getLookAndFeel()), nullptr);
    EXPECT_EQ (editor->getDialogLookAndFeel(), &editor->getLookAndFeel());
    EXPECT_TRUE (editor->isResizable());
    EXPECT_NE (editor->getCachedComponentImage(), nullptr);

    KA::showMessageBox (*editor, "hello", nullptr);
    auto* dialog = editor->getCurrentDialog();
    // Above every child but JUCE's resizable corner, which stays on top.
    EXPECT_GT (indexOf (dialog), indexOf (editor->getToolBar()));
    EXPECT_TRUE (editor->getChildComponent (editor->getNumChildComponents() - 1)->isAlwaysOnTop());
    EXPECT_EQ (dialog->getBounds(), editor->getLocalBounds());
    EXPECT_EQ (&dialog->getLookAndFeel(), &editor->getLookAndFeel());
    KA::askQuestionBox (*editor, 1, "Delete?", "Delete", "Cancel", {}, nullptr); // destroyed with it open
}

TEST (EditorPaint, ReusedEditorPaintsAsAFreshOneAfterSizeScaleOrBackgroundChange)
{
    // Background and view image are rendered once and reused: no stale picture may remain.
    const auto halves = [] (juce::Colour left, int w, int h)
    {
        juce::Image image (juce::Image::RGB, w, h, false);
        image.clear (image.getBounds(), juce::Colours::blue);
        image.clear ({ 0, 0, w / 2, h }, left);
        return image;
    };
    const auto viewImage = halves (juce::Colours::white, 750, 291);
    const auto red = halves (juce::Colours::red, 10, 7), green = halves (juce::Colours::green, 10, 7);
    const struct Step { int w, h; float scale; const juce::Image& background; bool withView; } steps[] = {
        { 690, 284, 1.0f, red, true }, { 500, 220, 1.0f, red, true }, { 500, 220, 2.0f, red, true },
        { 500, 220, 2.0f, green, true }, { 500, 220, 1.0f, green, false }, { 400, 200, 1.0f, green, false } };
    const auto paint = [&] (ProbeEditor& e, const Step& step)
    {
        e.getEditorView()->image = viewImage;
        e.getEditorView()->setVisible (step.withView);
        e.backgroundImage = step.background;
        e.setSize (step.w, step.h);
        juce::Image picture (juce::Image::ARGB, juce::roundToInt (step.w * step.scale), juce::roundToInt (step.h * step.scale), true);
        juce::Graphics g (picture);
        g.addTransform (juce::AffineTransform::scale (step.scale));
        e.paintEntireComponent (g, true);
        return picture;
    };
    EditorProbeProcessor processor;
    auto reused = openEditor (processor);

    for (auto& step : steps)
    {
        const auto picture = paint (*reused, step);
        const auto expected = paint (*openEditor (processor), step);

        // The view's image over the background: white left of the view's middle.
        const auto probe = inEditor (*reused->getEditorView(), { 50.0f, 70.0f }) * step.scale;
        EXPECT_EQ (picture.getPixelAt ((int) probe.x, (int) probe.y),
                   step.withView ? juce::Colours::white : step.background.getPixelAt (0, 0)) << step.w << "x" << step.h;
        const juce::Image::BitmapData a (picture, juce::Image::BitmapData::readOnly), b (expected, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < a.height; ++y)
            ASSERT_EQ (std::memcmp (a.getLinePointer (y), b.getLinePointer (y), (size_t) a.lineStride), 0)
                << step.w << "x" << step.h << " at " << step.scale << ", row " << y;
    }
}

TEST (ToolBarButtonPaint, FrameInTheButtonsOwnOutlineColour)
{
    juce::Path square;
    square.addRectangle (0.0f, 0.0f, 10.0f, 10.0f);
    KA::ToolBarButton button ("b", juce::Colours::white, juce::Colours::white, juce::Colours::white);
    button.setShape (square, false, true, false);
    button.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff00ff00));
    button.setBorderSize (juce::BorderSize<int> (8));
    button.setSize (40, 40);

    juce::Image image (juce::Image::ARGB, 40, 40, true);
    {
        juce::Graphics g (image);
        button.paintEntireComponent (g, true);
    }
    for (auto [x, y] : { std::pair { 0, 20 }, { 20, 0 }, { 39, 20 } })
        EXPECT_EQ (image.getPixelAt (x, y).getGreen(), 255) << x << "," << y;
    EXPECT_EQ (image.getPixelAt (20, 20), juce::Colours::white);
    EXPECT_EQ (image.getPixelAt (4, 20).getAlpha(), 0);
}
} // namespace
