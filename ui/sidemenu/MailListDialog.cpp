#include "engine/GlobalStrings.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/editor/PluginEditor.h"
#include "ui/sidemenu/MailListComponent.h"

namespace KA
{
namespace
{
/** "Don't Show Again" (result 1), also reached after a successful sign-up:
    the form is not offered at start-up any more. */
void rememberMailFormDeclined (void* userData, void*, int resultId)
{
    auto* processor = static_cast<PluginProcessor*> (userData);

    if (resultId != 1 || processor == nullptr || processor->globalSettings == nullptr)
        return;

    if (auto* settings = processor->globalSettings->getUserSettings())
    {
        settings->setValue (GlobalStrings::showMailForm, false);
        settings->saveIfNeeded();
    }
}
} // namespace

void PluginEditor::showMailListDialog()
{
    openDialog (std::make_unique<DialogComponent> (std::make_unique<MailListComponent>(),
                                                   "Don't Show Again", "Exit", juce::String(), 2,
                                                   &getProcessor(), rememberMailFormDeclined));
}
} // namespace KA
