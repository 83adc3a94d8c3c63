#include "ui/dialogs/NewFolderContainer.h"

namespace KA
{
NewFolderContainer::NewFolderContainer()
    : juce::Label ({}, {})
{
    addAndMakeVisible (nameEditor);
    addAndMakeVisible (caption);
    caption.setText ("Folder Name :", juce::dontSendNotification);
    caption.attachToComponent (&nameEditor, true);
    nameEditor.setMultiLine (false, true);
    nameEditor.setSelectAllWhenFocused (true);
    nameEditor.setSize (100, 100);
}

void NewFolderContainer::mouseDown (const juce::MouseEvent&)
{
    // Not the label's own handling, which would start editing the label.
    setWantsKeyboardFocus (true);
}

void NewFolderContainer::resized()
{
    nameEditor.setBounds (100, juce::roundToInt ((float) getHeight() * 0.5f), getWidth() - 100, 24);
}
} // namespace KA
