#include "ui/dialogs/DialogComponent.h"

namespace KA
{
DialogComponent::DialogComponent (std::unique_ptr<juce::Component> c,
                                  const juce::String& button1, const juce::String& button2,
                                  const juce::String& button3, int numButtons, void* data,
                                  ResultCallback callback)
    : content (c.get()),
      userData (data)
{
    view = std::make_unique<DialogView> (std::move (c), this);
    addAndMakeVisible (*view);
    resultCallback = std::move (callback);

    // Buttons are created right to left: the first one sits at the right margin.
    switch (numButtons)
    {
        case 1:
            view->makeTextButton (button1, 0);
            break;
        case 2:
            view->makeTextButton (button2, 0);
            view->makeTextButton (button1, 1);
            break;
        case 3:
            view->makeTextButton (button3, 0);
            view->makeTextButton (button1, 1);
            view->makeTextButton (button2, 2);
            break;
        default:
            break;
    }
}

DialogComponent::~DialogComponent()
{
    view.reset();
}

void DialogComponent::resized()
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    float panelWidth, panelHeight;

    // A 0-wide overlay gives h / w = inf or NaN: both take the second branch.
    if (h / w < panelAspect)
    {
        panelHeight = juce::jlimit (0.0f, 250.0f, h * 0.8f);
        panelWidth = panelHeight / panelAspect;
    }
    else
    {
        panelWidth = juce::jlimit (0.0f, 600.0f, w * 0.9f);
        panelHeight = panelWidth * panelAspect;
    }

    view->setBounds (juce::roundToInt (w * 0.5f - panelWidth * 0.5f),
                     juce::roundToInt (h * 0.5f - panelHeight * 0.5f),
                     juce::roundToInt (panelWidth),
                     juce::roundToInt (panelHeight));
}

void DialogComponent::buttonClicked (juce::Button* button)
{
    closeWithResult (button->getCommandID());
}

void DialogComponent::closeWithResult (int resultId)
{
    setVisible (false);

    if (! resultCallback)
        return;

    ++callbackDepth;
    resultCallback (userData, content, resultId);
    --callbackDepth;

    if (deleteAfterCallback && callbackDepth == 0)
        delete this; // ownership was handed over by deleteWhenCallbackReturns
}
} // namespace KA
