#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** The content of the new-folder dialog: a name editor with its caption. */
class NewFolderContainer : public juce::Label
{
public:
    NewFolderContainer();

    juce::TextEditor& getNameEditor() noexcept { return nameEditor; }

    void mouseDown (const juce::MouseEvent&) override;
    void resized() override;

private:
    juce::TextEditor nameEditor;
    juce::Label caption;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NewFolderContainer)
};
} // namespace KA
