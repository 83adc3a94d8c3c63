#include "shell/MainContentComponent.h"

#include "shell/NotificationArea.h"

namespace KA
{
StandaloneFilterWindow::MainContentComponent::MainContentComponent (StandaloneFilterWindow& filterWindow)
    : owner (filterWindow),
      notification (std::make_unique<NotificationArea> (static_cast<juce::Button::Listener*> (this)))
{
    auto* holder = owner.getPluginHolder();

    if (auto* processor = holder->processor.get())
    {
        if (processor->hasEditor())
            editor.reset (processor->createEditorIfNeeded());
        else
            editor = std::make_unique<juce::GenericAudioProcessorEditor> (*processor);
    }

    if (editor != nullptr)
    {
        editor->addComponentListener (this);
        componentMovedOrResized (*editor, false, true);
        addAndMakeVisible (*editor);
    }

    addChildComponent (*notification);

    if (holder->processorHasPotentialFeedbackLoop)
    {
        holder->getMuteInputValue().addListener (this);
        listensToMuteValue = true;
        shouldShowNotification = holder->getMuteInputValue().getValue();
    }

    inputMutedChanged (shouldShowNotification);
}

StandaloneFilterWindow::MainContentComponent::~MainContentComponent()
{
    // The holder's mute value outlives this component when the content is rebuilt.
    if (listensToMuteValue)
        owner.getPluginHolder()->getMuteInputValue().removeListener (this);

    if (editor != nullptr)
    {
        editor->removeComponentListener (this);

        if (auto* processor = owner.getPluginHolder()->processor.get())
            processor->editorBeingDeleted (editor.get());

        editor = nullptr;
    }
}

void StandaloneFilterWindow::MainContentComponent::resized()
{
    auto r = getLocalBounds();

    if (shouldShowNotification)
        notification->setBounds (r.removeFromTop (NotificationArea::height));

    if (editor != nullptr)
    {
        // The editor may be scaled by a transform; its bounds are in its own units.
        const auto newPos = r.getTopLeft().toFloat().transformedBy (editor->getTransform().inverted());

        editor->setBounds (editor->getLocalArea (this, r.toFloat())
                               .withPosition (newPos)
                               .toNearestInt());
    }
}

void StandaloneFilterWindow::MainContentComponent::valueChanged (juce::Value& value)
{
    inputMutedChanged (value.getValue());
}

void StandaloneFilterWindow::MainContentComponent::buttonClicked (juce::Button*)
{
    owner.getPluginHolder()->getMuteInputValue().setValue (false);
}

void StandaloneFilterWindow::MainContentComponent::componentMovedOrResized (juce::Component&, bool, bool)
{
    if (editor == nullptr)
        return;

    const auto rect = getSizeToContainEditor();
    setSize (rect.getWidth(),
             rect.getHeight() + (shouldShowNotification ? NotificationArea::height : 0));
}

void StandaloneFilterWindow::MainContentComponent::inputMutedChanged (bool newInputMutedValue)
{
    shouldShowNotification = newInputMutedValue;
    notification->setVisible (shouldShowNotification);
    resized();
}

juce::Rectangle<int> StandaloneFilterWindow::MainContentComponent::getSizeToContainEditor() const
{
    return getLocalArea (editor.get(), editor->getLocalBounds());
}
} // namespace KA
