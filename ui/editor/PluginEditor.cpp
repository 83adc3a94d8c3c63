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
        addAndMakeVisible (*editorView);

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
    if (! backgroundImage.isValid() || g.getClipBounds().isEmpty())
        return;

    const auto imageWidth = backgroundImage.getWidth();
    const auto imageHeight = backgroundImage.getHeight();

    if (imageWidth <= 0 || imageHeight <= 0)
    {
        g.drawImageAt (backgroundImage, 0, 0);
        return;
    }

    g.drawImageTransformed (backgroundImage,
                            juce::AffineTransform::scale ((float) getWidth() / (float) imageWidth,
                                                          (float) getHeight() / (float) imageHeight));
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
