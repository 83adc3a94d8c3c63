#pragma once

#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/ManageDialogComponent.h"

namespace KA
{
/** Opens a box with the message, the red-and-white icon and one "Ok" button
    that only closes it. */
void showMessageBox (ManageDialogComponent& manager, const juce::String& message, void* userData,
                     const DialogComponent::ResultCallback& onClose = {});

/** Opens a box with the message and two buttons, button1 on the left. The
    callback gets 1 for button1 and 0 for button2. The texts are shown as given. */
void askQuestionBox (ManageDialogComponent& manager, int iconType, const juce::String& message,
                     const juce::String& button1, const juce::String& button2,
                     const DialogComponent::ResultCallback& callback, void* userData);
} // namespace KA
