#pragma once

#include "engine/PluginProcessor.h"
#include "ui/editor/CachedBackdrop.h"
#include "ui/editor/ImageResizeView.h"
#include "ui/dialogs/ManageDialogComponent.h"
#include "ui/editor/Panel.h"
#include "ui/lookandfeel/PluginBarLookAndFeel.h"
#include "ui/presets/ToolBar.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace KA
{
/** The editor base of the series: a toolbar strip across the top, the product's
    control view scaled as a whole into the space below, a collapsible panel
    under the toolbar and one slot for a dialog over everything. The window size
    is kept in the processor's state tree, so a reopened editor or a restored
    state brings it back.

    Derived editors customise it through the create... operations; whoever
    creates an editor calls init once, right after construction. */
class PluginEditor : public juce::AudioProcessorEditor,
                     public ManageDialogComponent,
                     public ToolBarHost
{
public:
    explicit PluginEditor (PluginProcessor& processor);
    ~PluginEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    virtual void init (int width, int height);
    virtual void createComponents();
    virtual std::unique_ptr<ToolBar> createToolBar();
    virtual std::unique_ptr<ImageResizeView> createEditorView();
    virtual std::unique_ptr<ImageResizeView> createPanelView();
    std::unique_ptr<juce::Component> createSideView() override;
    void presetWillChange() override;
    ManageDialogComponent& getDialogManager() override { return *this; }
    juce::Point<int> getEditorSize() const override { return { getWidth(), getHeight() }; }

    /** The size stored in the state tree, or the defaults where none is stored. */
    void restoreEditorSize (int defaultWidth, int defaultHeight);

    /** Lets go of the look-and-feels and deletes the children drawn with them;
        every derived destructor runs it first. */
    void releaseComponents();

    /** Opens the mailing-list form (defined with the form, in ui/sidemenu). */
    void showMailListDialog();

    PluginProcessor& getProcessor() const noexcept { return processor; }
    ImageResizeView* getEditorView() const noexcept { return editorView.get(); }
    ToolBar* getToolBar() const noexcept { return toolBar.get(); }
    Panel* getPanel() const noexcept { return panel.get(); }

    /** Largest width or height taken from a stored state: a corrupt size must
        not ask for a gigantic backing image. */
    static constexpr int maxRestoredSize = 8192;

    int toolBarBaseHeight = 44;
    int toolBarHeight = 44;
    bool panelExpanded = false;
    float panelStripProportion = 0.0f;
    float panelProportion = 0.0f;
    float editorViewInset = 0.0f;
    int editorViewPlacement = juce::RectanglePlacement::centred;
    juce::Image backgroundImage;

protected:
    /** Look-and-feel of the editor itself and its dialogs; declared before the
        children so that it outlives them. */
    PluginBarLookAndFeel lookAndFeel;

private:
    /** The background scaled to the editor and the control view's image under its
        transform: what does not change between repaints. */
    void paintBackdrop (juce::Graphics&) const;
    juce::Array<juce::var> getBackdropSources() const;

    CachedBackdrop backdrop;
    std::unique_ptr<ImageResizeView> editorView;
    std::unique_ptr<ToolBar> toolBar;
    std::unique_ptr<Panel> panel;

    // The same object as the JUCE base's own processor, held as our processor type
    // so that the editor reaches its parameters and state without a cast; it keeps the
    // name that the base and every editor use for it.
   #if defined(__clang__)
    #pragma clang diagnostic push
    #pragma clang diagnostic ignored "-Wshadow-field"
   #endif
    PluginProcessor& processor;
   #if defined(__clang__)
    #pragma clang diagnostic pop
   #endif

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginEditor)
};
} // namespace KA
