#include "ui/presets/ToolBar.h"

#include "engine/GlobalStrings.h"
#include "engine/PluginProcessor.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/dialogs/FileChooserComponent.h"
#include "ui/presets/ListPresetsView.h"
#include "ui/presets/ToolBarIcons.h"

#include <cmath>

namespace KA
{
namespace
{
    constexpr int compareGroup = 1;
    constexpr int deleteQuestionIcon = 1;
    const juce::Colour compareOnColour (0xffff2f2f);

    std::unique_ptr<ToolBarButton> makeButton (const juce::String& name)
    {
        auto button = std::make_unique<ToolBarButton> (name, juce::Colours::white, juce::Colours::white, juce::Colours::white);
        button->setBorderSize (juce::BorderSize<int> (2));
        button->setShape (ToolBarIcons::forButton (name), false, true, true);
        return button;
    }

    void makeCompareButton (ToolBarButton& button)
    {
        button.setBorderSize (juce::BorderSize<int> (3));
        button.setOnColours (compareOnColour, compareOnColour, compareOnColour);
        button.shouldUseOnColours (true);
        button.setClickingTogglesState (true);
    }

    /** Nearest integer of a single-precision product, halves to even. */
    int nearestEven (float value)
    {
        return (int) std::nearbyint (value);
    }
}

ToolBar::ToolBar (PluginProcessor& p, ToolBarHost& e)
    : ToolBar (p, e, PresetLibrary::defaultFolders (p.getName()))
{
}

ToolBar::ToolBar (PluginProcessor& p, ToolBarHost& e, PresetLibrary::Folders folders)
    : juce::Label ({}, {}),
      library (p, std::move (folders)),
      processor (&p),
      editor (&e)
{
    library.onPresetWillChange = [this] { editor->presetWillChange(); };
    library.getEditorSize = [this] { return editor->getEditorSize(); };
}

ToolBar::~ToolBar()
{
    stopTimer();
}

void ToolBar::buildToolBar()
{
    setColour (juce::Label::backgroundColourId, juce::Colour (0xff000000));

    library.setPresetPath (processor->parameters.state.getProperty (GlobalStrings::currentPreset).toString());
    const auto displayName = library.chooseStartPreset();

    if (library.wereLinkedFoldersCut())
    {
        // The editor is still being built; the notice waits until it stands.
        juce::Component::SafePointer<ToolBar> bar (this);
        juce::MessageManager::callAsync ([bar]
                                         {
                                             if (bar != nullptr)
                                                 bar->tellOfCutLinkedFolders();
                                         });
    }

    nextButton = makeButton ("+");
    previousButton = makeButton ("-");
    previousButton->setBorderSize (juce::BorderSize<int> (6));
    presetLabel = std::make_unique<LabelPreset>();
    showPresetName (displayName);
    deleteButton = makeButton (GlobalStrings::deleteName);
    saveAsButton = makeButton (GlobalStrings::saveAs);
    saveButton = makeButton (GlobalStrings::save);
    menuButton = makeButton ("?");
    undoButton = makeButton ("<");
    redoButton = makeButton (">");
    aButton = makeButton ("A");
    makeCompareButton (*aButton);
    storeButton = makeButton ("=>");
    storeButton->setBorderSize (juce::BorderSize<int> (3));
    bButton = makeButton ("B");
    makeCompareButton (*bButton);

    // Later ones on top.
    const std::initializer_list<juce::Component*> children { nextButton.get(), previousButton.get(), deleteButton.get(), presetLabel.get(),
                                                              saveAsButton.get(), saveButton.get(), menuButton.get(), undoButton.get(),
                                                              redoButton.get(), aButton.get(), storeButton.get(), bButton.get() };

    for (auto* child : children)
        addAndMakeVisible (child);

    presetLabel->setJustificationType (juce::Justification::centred);
    aButton->setToggleState (true, juce::dontSendNotification);
    aButton->setRadioGroupId (compareGroup);
    bButton->setRadioGroupId (compareGroup);

    for (auto* button : { nextButton.get(), previousButton.get(), deleteButton.get() })
        button->addListener (this);

    presetLabel->addMouseListener (this, true);

    for (auto* button : { saveAsButton.get(), saveButton.get(), menuButton.get(), undoButton.get(), redoButton.get(),
                          aButton.get(), storeButton.get(), bButton.get() })
        button->addListener (this);

    powerParameter = processor->parameters.getParameter (parameterID (ParameterIndex::power));
    powerButton = std::make_unique<PowerButton>();
    addAndMakeVisible (*powerButton);
    powerButton->addListener (this);

    startTimer (100);
}

juce::Button* ToolBar::getButton (const juce::String& name) const
{
    for (auto* child : getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getName() == name)
            return button;

    return nullptr;
}

//==============================================================================
void ToolBar::resized()
{
    if (presetLabel == nullptr)
        return;

    const auto w = getWidth();
    const auto h = getHeight();
    const auto m = edgeMargin;
    const auto b = fileButtonWidth;
    buttonSize = h;
    const auto s = buttonSize;
    const auto rowY = nearestEven (buttonInset * 0.5f * (float) h);
    const auto rowHeight = nearestEven ((1.0f - buttonInset) * (float) h);

    powerButton->setBounds (w - h - m, 0, h, h);

    // The square buttons overlap their neighbour by one pixel.
    int slot = 0;

    for (auto* button : { menuButton.get(), previousButton.get(), nextButton.get(), undoButton.get(), redoButton.get(),
                          aButton.get(), storeButton.get(), bButton.get() })
    {
        button->setBounds (m + slot * (s - 1), rowY, s, rowHeight);
        ++slot;
    }

    presetLabel->setBounds (m + 8 * s - 8, rowY, w - h - 8 * s - 3 * (b + m) + 11, rowHeight);
    deleteButton->setBounds (w - h - b - 2 * m, rowY, b, rowHeight);
    saveAsButton->setBounds (w - h - 2 * b - 2 * m + 1, rowY, b, rowHeight);
    saveButton->setBounds (w - h - 3 * b - 2 * m + 2, rowY, b, rowHeight);
}

void ToolBar::timerCallback()
{
    if (powerParameter != nullptr)
        powerButton->setToggleState (powerParameter->getValue() > 0.5f, juce::dontSendNotification);

    showPresetName (library.getCurrentPresetDisplayName());
}

void ToolBar::showPresetName (const juce::String& name)
{
    presetLabel->setText ("> " + name, juce::dontSendNotification);
}

void ToolBar::showFailure (const juce::String& message, const juce::String& presetName, const juce::String& reason)
{
    showMessageBox (editor->getDialogManager(), juce::translate (message).replace ("PRNM", presetName) + "\n" + juce::translate (reason), this);
}

bool ToolBar::tellOfCutLinkedFolders (const DialogComponent::ResultCallback& afterwards)
{
    if (toldOfCutLinkedFolders || ! library.wereLinkedFoldersCut())
        return false;

    toldOfCutLinkedFolders = true;
    showMessageBox (editor->getDialogManager(), juce::translate ("Some linked folders were not listed: they hold too many files."), this, afterwards);
    return true;
}

//==============================================================================
void ToolBar::mouseDown (const juce::MouseEvent& event)
{
    if (event.eventComponent == presetLabel.get())
        openPresetList();
}

void ToolBar::buttonClicked (juce::Button* button)
{
    library.ensureUserFolder();

    if (button == nextButton.get())
        stepPreset (1);
    else if (button == previousButton.get())
        stepPreset (-1);
    else if (button == deleteButton.get())
        askToDelete();
    else if (button == saveButton.get())
    {
        if (const auto saved = library.save(); saved.failed())
            showFailure ("Couldn't save the preset: PRNM", library.getDisplayName (library.getActiveIndex()), saved.getErrorMessage());
    }
    else if (button == saveAsButton.get())
        openSaveAsChooser();
    else if (button == menuButton.get())
    {
        if (auto side = editor->createSideView())
            editor->getDialogManager().openDialog (std::move (side));
    }
    else if (button == undoButton.get() || button == redoButton.get())
    {
        // The last drag may not have reached the history yet: written after the move,
        // it would start a transaction of its own and "<" would undo the edit before it.
        processor->flushParameterValues();

        if (button == undoButton.get())
            processor->undoManager.undo();
        else
            processor->undoManager.redo();
    }
    else if (button == aButton.get() || button == bButton.get())
        switchSlot();
    else if (button == storeButton.get())
        library.storeSnapshot();
    else if (button == powerButton.get())
    {
        if (powerParameter != nullptr)
            powerParameter->setValueNotifyingHost (powerButton->getToggleState() ? 1.0f : 0.0f);
    }
}

void ToolBar::stepPreset (int step)
{
    if (const auto index = library.getStepIndex (step); index >= 0)
        loadPreset (index);
}

void ToolBar::loadPreset (int index)
{
    const auto loaded = library.loadPresetAtIndex (index);

    if (loaded.failed())
        showFailure ("Couldn't load the preset: PRNM", library.getDisplayName (index), loaded.getErrorMessage());
    else if (library.getActiveIndex() == index)
        showPresetName (library.getDisplayName (index));
}

void ToolBar::presetChosen (int index)
{
    loadPreset (index);
}

void ToolBar::switchSlot()
{
    // Both buttons of the pair report a switch; the first report handles it.
    if (aButton->getToggleState() == aWasOn)
        return;

    library.switchToSlot (aButton->getToggleState() ? 0 : 1);
    showPresetName (library.getCurrentPresetDisplayName());
    aWasOn = aButton->getToggleState();
}

void ToolBar::askToDelete()
{
    juce::File file;

    switch (library.checkDelete (file))
    {
        case PresetLibrary::DeleteCheck::isDefault:
            showMessageBox (editor->getDialogManager(), juce::translate ("Is not possible delete the DEFAULT preset!"), this);
            break;

        case PresetLibrary::DeleteCheck::isFactory:
            showMessageBox (editor->getDialogManager(), juce::translate ("Is not possible delete the FACTORY preset!"), this);
            break;

        case PresetLibrary::DeleteCheck::ask:
        {
            // The question names the file, and the answer deletes exactly that file.
            juce::Component::SafePointer<ToolBar> bar (this);
            askQuestionBox (editor->getDialogManager(), deleteQuestionIcon,
                            juce::translate ("Delete preset NAME?").replace ("NAME", file.getFileNameWithoutExtension()),
                            juce::translate ("Ok"), juce::translate ("Cancel"),
                            [bar, file] (void*, void*, int result)
                            {
                                if (bar != nullptr)
                                    bar->deleteConfirmed (file, result);
                            },
                            this);
            break;
        }

        case PresetLibrary::DeleteCheck::nothing:
            break;
    }
}

void ToolBar::deleteConfirmed (const juce::File& file, int result)
{
    if (result != 1)
        return;

    if (const auto deleted = library.deletePresetFile (file); deleted.failed())
        showFailure ("Couldn't delete the preset: PRNM", file.getFileNameWithoutExtension(), deleted.getErrorMessage());
}

void ToolBar::saveAsChosen (const juce::File& chosen)
{
    library.ensureUserFolder();

    const auto name = PresetLibrary::withPresetExtension (chosen).getFileNameWithoutExtension();

    if (const auto saved = library.saveAs (chosen); saved.failed())
    {
        showFailure ("Couldn't save the preset: PRNM", name, saved.getErrorMessage());
        return;
    }

    showPresetName (name);
    tellOfCutLinkedFolders();
}

void ToolBar::openPresetList()
{
    juce::Component::SafePointer<ToolBar> bar (this);
    auto list = std::make_unique<ListPresetsView> ([bar] (ListTreeView* view, void*)
                                                   {
                                                       if (bar != nullptr && view->getChosenItem() != nullptr)
                                                           bar->presetChosen (view->getChosenItem()->id);
                                                   },
                                                   this);

    // The index and the list are rebuilt together, so every leaf's id is an index of the new map.
    list->fillTree ([this] (ListTreeViewItem& root)
                    {
                        ListTreeViewItem* open = nullptr;
                        library.setPresetPath (library.getEntry (library.getActiveIndex()), &root, &open);
                        return open;
                    });

    // A notice opened over the list would replace it, so the list waits for the notice's "Ok".
    auto pending = std::make_shared<std::unique_ptr<ListPresetsView>> (std::move (list));

    if (! tellOfCutLinkedFolders ([bar, pending] (void*, void*, int)
                                  {
                                      if (bar != nullptr && *pending != nullptr)
                                          bar->editor->getDialogManager().openDialog (std::move (*pending));
                                  }))
        editor->getDialogManager().openDialog (std::move (*pending));
}

void ToolBar::openSaveAsChooser()
{
    juce::Component::SafePointer<ToolBar> bar (this);
    const auto modes = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                     | juce::FileBrowserComponent::warnAboutOverwriting;

    // The chooser is told the extension the file is written with, so an overwrite
    // question is about the file that will really be replaced.
    editor->getDialogManager().openDialog (std::make_unique<FileChooserComponent> (juce::String(), juce::String(), modes, library.getFolders().user,
                                                                [bar] (FileChooserComponent* chooser, void*, bool accepted)
                                                                {
                                                                    if (bar != nullptr && accepted && chooser->getChosenFile() != juce::File())
                                                                        bar->saveAsChosen (chooser->getChosenFile());
                                                                },
                                                                true, this, "*" + GlobalStrings::xmlExtension, nullptr,
                                                                GlobalStrings::xmlExtension));
}
} // namespace KA
