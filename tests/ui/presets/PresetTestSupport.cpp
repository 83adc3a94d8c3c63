#include "tests/ui/presets/PresetTestSupport.h"

#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"

namespace KA::Test
{
juce::String BarEditor::openMessage() const
{
    auto* dialog = dynamic_cast<KA::DialogComponent*> (getCurrentDialog());
    auto* box = dialog != nullptr && dialog->isVisible() ? dynamic_cast<KA::MsgBoxComponent*> (dialog->getContent()) : nullptr;
    return box != nullptr ? box->getMessage() : juce::String();
}

void BarEditor::answer (const juce::String& buttonText)
{
    if (auto* dialog = dynamic_cast<KA::DialogComponent*> (getCurrentDialog()))
        for (int i = 0; i < dialog->getView()->getNumButtons(); ++i)
            if (dialog->getView()->getButton (i)->getButtonText() == buttonText)
                return click (*dialog->getView()->getButton (i));
}
} // namespace KA::Test
