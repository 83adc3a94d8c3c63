#pragma once

#include "ui/dialogs/ManageDialogComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace KA
{
/** What the bar asks of the editor that holds it. The editor implements it, so
    the bar and the editor need not include each other. */
class ToolBarHost
{
public:
    virtual ~ToolBarHost() = default;

    /** Where the bar opens the preset list, the file chooser and its boxes. */
    virtual ManageDialogComponent& getDialogManager() = 0;

    /** The side menu behind "?", or nothing. */
    virtual std::unique_ptr<juce::Component> createSideView() = 0;

    /** Told after a preset has been checked and before it replaces the state. */
    virtual void presetWillChange() = 0;

    /** The size a loaded preset keeps, so loading never resizes the window. */
    virtual juce::Point<int> getEditorSize() const = 0;
};
} // namespace KA
