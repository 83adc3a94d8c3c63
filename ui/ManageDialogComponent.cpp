#include "ui/ManageDialogComponent.h"

#include "ui/DialogComponent.h"

namespace KA
{
ManageDialogComponent::ManageDialogComponent (juce::Component& p, juce::LookAndFeel* lf)
    : parent (&p),
      dialogLookAndFeel (lf)
{
}

ManageDialogComponent::~ManageDialogComponent()
{
    // The look-and-feel may go before the dialog does.
    if (currentDialog != nullptr)
        currentDialog->setLookAndFeel (nullptr);

    disposeOf (std::move (currentDialog));
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

    // A dialog replaced from inside its own result callback is still running:
    // it leaves the screen now and frees itself when the callback returns.
    if (auto* running = dynamic_cast<DialogComponent*> (dialog.get()); running != nullptr && running->isRunningCallback())
    {
        running->setVisible (false);
        running->setLookAndFeel (nullptr);

        if (auto* p = running->getParentComponent())
            p->removeChildComponent (running);

        running->deleteWhenCallbackReturns();
        dialog.release();
        return;
    }

    dialog.reset();
}
} // namespace KA
