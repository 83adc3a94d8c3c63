#include "ui/dialogs/DialogBoxes.h"

#include "ui/dialogs/MsgBoxComponent.h"

namespace KA
{
namespace
{
    constexpr int messageIcon = 2;
}

void showMessageBox (ManageDialogComponent& manager, const juce::String& message, void* userData,
                     const DialogComponent::ResultCallback& onClose)
{
    auto content = std::make_unique<MsgBoxComponent> (message, messageIcon);
    manager.openDialog (std::make_unique<DialogComponent> (std::move (content), juce::translate ("Ok"),
                                                           juce::String(), juce::String(), 1, userData, onClose));
}

void askQuestionBox (ManageDialogComponent& manager, int iconType, const juce::String& message,
                     const juce::String& button1, const juce::String& button2,
                     const DialogComponent::ResultCallback& callback, void* userData)
{
    auto content = std::make_unique<MsgBoxComponent> (message, iconType);
    manager.openDialog (std::make_unique<DialogComponent> (std::move (content), button1, button2,
                                                           juce::String(), 2, userData, callback));
}
} // namespace KA
