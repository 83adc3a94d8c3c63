#include "ui/editor/PluginEditor.h"

#include "ui/editor/ViewFitting.h"

namespace KA
{
namespace
{
    const juce::Identifier lastUIWidth ("lastUIWidth");
    const juce::Identifier lastUIHeight ("lastUIHeight");
}

PluginEditor::PluginEditor (PluginProcessor& p)
    : juce::AudioProcessorEditor (p),
      ManageDialogComponent (*this, &getLookAndFeel()),
      processor (p)
{
}

PluginEditor::~PluginEditor()
{
    releaseComponents();
}

void PluginEditor::init (int width, int height)
{
    createComponents();
    restoreEditorSize (width, height);
}

void PluginEditor::createComponents()
{
    setBufferedToImage (true);
    setResizable (true, true);

    editorView = createEditorView();

    panel = std::make_unique<Panel> (panelStripProportion);
    panel->onStripButtonClicked = [this]
    {
        panelExpanded = ! panelExpanded;
        resized();
    };

    toolBar = createToolBar();

    if (editorView != nullptr)
    {
        editorView->imageDrawnByOwner = true;
        addAndMakeVisible (*editorView);
    }

    addAndMakeVisible (*panel);

    if (toolBar != nullptr)
        addAndMakeVisible (*toolBar);

    panel->setView (createPanelView());

    setLookAndFeel (&lookAndFeel);
    setDialogLookAndFeel (&lookAndFeel);

    if (auto* dialog = getCurrentDialog())
        dialog->setLookAndFeel (&lookAndFeel);
}

std::unique_ptr<ToolBar> PluginEditor::createToolBar()
{
    auto bar = std::make_unique<ToolBar> (processor, *this);
    bar->buildToolBar();
    return bar;
}

std::unique_ptr<ImageResizeView> PluginEditor::createEditorView()
{
    return std::make_unique<ImageResizeView> (processor.parameters);
}

std::unique_ptr<ImageResizeView> PluginEditor::createPanelView()
{
    return std::make_unique<ImageResizeView> (processor.parameters);
}

std::unique_ptr<juce::Component> PluginEditor::createSideView()
{
    return nullptr;
}

void PluginEditor::presetWillChange()
{
}

void PluginEditor::paint (juce::Graphics& g)
{
    if (g.getClipBounds().isEmpty())
        return;

    backdrop.draw (g, getWidth(), getHeight(), getBackdropSources(), [this] (juce::Graphics& ig) { paintBackdrop (ig); });
}

juce::Array<juce::var> PluginEditor::getBackdropSources() const
{
    const auto identity = [] (const juce::Image& image) { return juce::var ((juce::int64) (juce::pointer_sized_int) image.getPixelData()); };
    juce::Array<juce::var> sources { identity (backgroundImage) };

    if (editorView != nullptr && editorView->isVisible())
    {
        const auto& t = editorView->getTransform();
        const auto b = editorView->getBounds();
        sources.addArray (juce::Array<juce::var> (identity (editorView->image), editorView->imagePlacement,
                                                  t.mat00, t.mat01, t.mat02, t.mat10, t.mat11, t.mat12,
                                                  b.getX(), b.getY(), b.getWidth(), b.getHeight()));
    }

    return sources;
}

void PluginEditor::paintBackdrop (juce::Graphics& g) const
{
    if (backgroundImage.isValid())
        g.drawImageTransformed (backgroundImage,
                                juce::AffineTransform::scale ((float) getWidth() / (float) backgroundImage.getWidth(),
                                                              (float) getHeight() / (float) backgroundImage.getHeight()));

    if (editorView == nullptr || ! editorView->isVisible())
        return;

    // As the view would draw it in its own paint: through its transform, clipped to it.
    g.addTransform (editorView->getTransform());

    if (g.reduceClipRegion (editorView->getBounds()))
    {
        g.setOrigin (editorView->getPosition());
        editorView->drawImage (g);
    }
}

void PluginEditor::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();
    int toolBarSpace = 0;

    if (toolBar != nullptr)
    {
        toolBarHeight = w < 14 * toolBarBaseHeight ? toolBarBaseHeight / 2 : toolBarBaseHeight;
        toolBar->setBounds (0, 0, w, toolBarHeight);
        toolBarSpace = toolBarHeight;
    }

    const auto strip = juce::roundToInt (panelStripProportion * (float) h);
    const auto panelHeight = juce::roundToInt (panelProportion * (float) (h - toolBarSpace));

    if (panel != nullptr)
    {
        panel->setStripHeight (strip);
        panel->setBounds (0, panelExpanded ? toolBarSpace : toolBarSpace + strip - panelHeight, w, panelHeight);
    }

    if (auto* dialog = getCurrentDialog())
        dialog->setBounds (0, 0, w, h);

    if (editorView != nullptr)
        fitImageViewInto (*editorView,
                          { editorViewInset * (float) w, (float) (toolBarSpace + strip),
                            (1.0f - 2.0f * editorViewInset) * (float) w, (float) (h - toolBarSpace - strip) },
                          editorViewPlacement);

    auto state = processor.parameters.state;
    state.setProperty (lastUIWidth, w, nullptr);
    state.setProperty (lastUIHeight, h, nullptr);
}

void PluginEditor::restoreEditorSize (int defaultWidth, int defaultHeight)
{
    const auto& state = processor.parameters.state;

    // Read through double: a stored "nan" or "1e300" must not reach an int
    // conversion. A fractional size is cut off like any int conversion.
    const auto restore = [&state] (const juce::Identifier& key, int fallback)
    {
        if (! state.hasProperty (key))
            return fallback;

        const auto stored = (double) state.getProperty (key);
        return std::isfinite (stored) ? (int) juce::jlimit (0.0, (double) maxRestoredSize, stored) : fallback;
    };

    setBoundsConstrained ({ 0, 0, restore (lastUIWidth, defaultWidth), restore (lastUIHeight, defaultHeight) });
}

void PluginEditor::releaseComponents()
{
    setLookAndFeel (nullptr);
    setDialogLookAndFeel (nullptr);

    if (auto* dialog = getCurrentDialog())
        dialog->setLookAndFeel (nullptr);

    panel.reset();
    editorView.reset();
    toolBar.reset();
}
} // namespace KA
