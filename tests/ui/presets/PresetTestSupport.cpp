#include "tests/ui/presets/PresetTestSupport.h"

#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"

namespace KA::Test
{
juce::String BarEditor::openMessage() const
{
    if (auto* dialog = dynamic_cast<KA::DialogComponent*> (getCurrentDialog()); dialog != nullptr && dialog->isVisible())
        if (auto* box = dynamic_cast<KA::MsgBoxComponent*> (dialog->getContent()))
            return box->getMessage();

    return {};
}

void BarEditor::answer (const juce::String& buttonText)
{
    if (auto* dialog = dynamic_cast<KA::DialogComponent*> (getCurrentDialog()))
        for (int i = 0; i < dialog->getView()->getNumButtons(); ++i)
            if (auto* button = dialog->getView()->getButton (i); button->getButtonText() == buttonText)
                return click (*button);
}

void click (juce::Button& button)
{
    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}
} // namespace KA::Test
