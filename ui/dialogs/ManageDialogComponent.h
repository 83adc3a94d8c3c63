#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

namespace KA
{
/** Gives a component one slot for the dialog shown over it. Opening a dialog
    replaces the one in the slot; a dialog that is closed is only hidden and
    stays in the slot until it is replaced or the owner goes. */
class ManageDialogComponent
{
public:
    /** The parent is the component the dialogs cover (normally the derived
        component itself); every dialog opened gets the look-and-feel given. */
    ManageDialogComponent (juce::Component& parent, juce::LookAndFeel* dialogLookAndFeel);
    ~ManageDialogComponent();

    /** Makes the component the current dialog, takes the previous one off the
        screen and deletes it (at once when it is known to be idle, otherwise
        once the message loop comes round again, since it may be replacing
        itself from one of its own handlers), shows the new one on top of the
        parent and lays the parent out again. The parent's resized is expected
        to give the current dialog its whole bounds. */
    void openDialog (std::unique_ptr<juce::Component> dialog);

    juce::Component* getCurrentDialog() const noexcept { return currentDialog.get(); }

    juce::LookAndFeel* getDialogLookAndFeel() const noexcept { return dialogLookAndFeel; }

    /** The look-and-feel for the dialogs opened from now on; the open one keeps its own. */
    void setDialogLookAndFeel (juce::LookAndFeel* lf) noexcept { dialogLookAndFeel = lf; }

private:
    void disposeOf (std::unique_ptr<juce::Component> dialog);
    void deletePendingDialogs();

    juce::Component* parent;
    juce::LookAndFeel* dialogLookAndFeel;
    std::unique_ptr<juce::Component> currentDialog;

    /** Replaced dialogs, hidden and detached, waiting for the code that may
        still run in them to return. */
    std::vector<std::unique_ptr<juce::Component>> pendingDeletion;

    JUCE_DECLARE_WEAK_REFERENCEABLE (ManageDialogComponent)
    JUCE_DECLARE_NON_COPYABLE (ManageDialogComponent)
};
} // namespace KA
