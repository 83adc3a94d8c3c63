#pragma once

#include "ui/dialogs/DialogComponent.h"
#include "ui/presets/PresetLibrary.h"
#include "ui/presets/ToolBarHost.h"
#include "ui/presets/ToolBarButton.h"
#include "ui/presets/ToolBarParts.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{
class RangedAudioParameter;
}

namespace KA
{
class PluginProcessor;

/** The strip across the top of the editor: next and previous preset, the preset
    name that opens the preset list, delete, save and save as, the side menu,
    undo and redo, the A/B pair with its store button, and the power switch.
    What it does with presets is the preset library's; the bar shows the result
    and reports failures. */
class ToolBar : public juce::Label,
                public juce::Timer,
                public juce::Button::Listener
{
public:
    ToolBar (PluginProcessor& processor, ToolBarHost& editor);

    /** With preset folders of the caller's choice. */
    ToolBar (PluginProcessor& processor, ToolBarHost& editor, PresetLibrary::Folders folders);

    ~ToolBar() override;

    /** Creates the bar's children and starts its timer; called once, right after construction. */
    void buildToolBar();

    void mouseDown (const juce::MouseEvent&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void timerCallback() override;

    /** Opens the preset list over the editor (a press on the preset name). */
    void openPresetList();

    /** Opens the file chooser of Save As over the editor. */
    void openSaveAsChooser();

    /** What the preset list, the file chooser and the delete question report. */
    void presetChosen (int index);
    void saveAsChosen (const juce::File& chosen);
    void deleteConfirmed (const juce::File& file, int result);

    PresetLibrary& getLibrary() noexcept { return library; }
    juce::Button* getButton (const juce::String& name) const;
    juce::Label& getPresetLabel() const noexcept { return *presetLabel; }

    int edgeMargin = 10;
    int fileButtonWidth = 50;
    float buttonInset = 0.2f;
    int buttonSize = 50;

private:
    void showPresetName (const juce::String& name);
    void showFailure (const juce::String& message, const juce::String& presetName, const juce::String& reason);
    bool tellOfCutLinkedFolders (const DialogComponent::ResultCallback& afterwards = {});
    void stepPreset (int step);
    void loadPreset (int index);
    void askToDelete();
    void switchSlot();

    PresetLibrary library;
    bool aWasOn = true;
    bool toldOfCutLinkedFolders = false;

    std::unique_ptr<PowerButton> powerButton;
    std::unique_ptr<ToolBarButton> nextButton, previousButton, undoButton, redoButton, saveButton, saveAsButton,
                                   deleteButton, menuButton, aButton, storeButton, bButton;
    std::unique_ptr<LabelPreset> presetLabel;

    PluginProcessor* processor;
    ToolBarHost* editor;
    juce::RangedAudioParameter* powerParameter = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToolBar)
};
} // namespace KA
