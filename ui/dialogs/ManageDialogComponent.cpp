#include "ui/dialogs/ManageDialogComponent.h"

#include "ui/dialogs/DialogComponent.h"

namespace KA
{
namespace
{
void takeOffScreen (juce::Component& dialog)
{
    dialog.setVisible (false);
    dialog.setLookAndFeel (nullptr);

    if (auto* p = dialog.getParentComponent())
        p->removeChildComponent (&dialog);
}
} // namespace

ManageDialogComponent::ManageDialogComponent (juce::Component& p, juce::LookAndFeel* lf)
    : parent (&p),
      dialogLookAndFeel (lf)
{
}

ManageDialogComponent::~ManageDialogComponent()
{
    // The look-and-feel may go before the dialog does.
    if (currentDialog != nullptr)
    {
        currentDialog->setLookAndFeel (nullptr);
        pendingDeletion.push_back (std::move (currentDialog));
    }

    deletePendingDialogs();
}

void ManageDialogComponent::openDialog (std::unique_ptr<juce::Component> dialog)
{
    auto previous = std::exchange (currentDialog, std::move (dialog));
    disposeOf (std::move (previous));

    if (currentDialog != nullptr)
    {
        currentDialog->setLookAndFeel (dialogLookAndFeel);
        parent->addAndMakeVisible (*currentDialog);
    }

    parent->resized();
}

void ManageDialogComponent::disposeOf (std::unique_ptr<juce::Component> dialog)
{
    if (dialog == nullptr)
        return;

    // Only a dialog that can tell it is not inside its own result callback is
    // safe to delete here. Any other overlay may be replacing itself from one
    // of its handlers, which still has to run in it: it leaves the screen now
    // and is deleted once the message loop comes round again.
    if (auto* box = dynamic_cast<DialogComponent*> (dialog.get()); box != nullptr && ! box->isRunningCallback())
    {
        dialog.reset();
        return;
    }

    takeOffScreen (*dialog);

    const auto firstPending = pendingDeletion.empty();
    pendingDeletion.push_back (std::move (dialog));

    if (firstPending)
        juce::MessageManager::callAsync ([owner = juce::WeakReference<ManageDialogComponent> (this)]
        {
            if (auto* o = owner.get())
                o->deletePendingDialogs();
        });
}

void ManageDialogComponent::deletePendingDialogs()
{
    // A dialog's destructor must not find itself in a list that is being emptied.
    auto dialogs = std::move (pendingDeletion);
    pendingDeletion.clear();

    // Owner gone from inside a dialog's own result callback: the dialog frees
    // itself when that callback returns.
    for (auto& dialog : dialogs)
        if (auto* box = dynamic_cast<DialogComponent*> (dialog.get()); box != nullptr && box->isRunningCallback())
        {
            takeOffScreen (*box);
            box->deleteWhenCallbackReturns();
            dialog.release();
        }

    dialogs.clear();
}
} // namespace KA
