#pragma once

#include "ui/dialogs/LabelBackGroundBox.h"
#include "ui/lookandfeel/MailListLookAndFeel.h"
#include "ui/sidemenu/MailSignUpRequest.h"

#include <juce_gui_extra/juce_gui_extra.h>

#include <memory>

namespace KA
{
/** The mailing-list sign-up form, shown as the content of a dialog: an e-mail
    field, a box for desktop products and "Submit", which posts the sign-up and
    answers with a bubble over the button. After a successful sign-up the form
    closes its dialog as "Don't Show Again" would. */
class MailListComponent : public LabelBackGroundBox,
                          public juce::Button::Listener,
                          public juce::Timer
{
public:
    MailListComponent();
    ~MailListComponent() override;

    void resized() override;
    void buttonClicked (juce::Button*) override;
    void timerCallback() override;

    void showBubbleMessage (const juce::String& message);

    /** The sign-up's JSON text for an address (sent as typed) and the desktop choice. */
    static juce::String makeRequestBody (const juce::String& emailAddress, bool desktopProducts);

    /** The text of the last bubble shown, empty before the first one. */
    const juce::String& getLastMessage() const noexcept { return lastMessage; }

    bool isRequestRunning() const noexcept { return request != nullptr; }

    /** How long "Thanks for joining!" stays before the form closes itself. */
    static constexpr int closeAfterSuccessMs = 1500;

    std::unique_ptr<MailListLookAndFeel> mailLookAndFeel;
    std::unique_ptr<juce::Label> promoLabel;
    std::unique_ptr<juce::Label> emailLabel;
    std::unique_ptr<juce::TextEditor> emailEditor;
    std::unique_ptr<juce::TextButton> submitButton;
    std::unique_ptr<juce::BubbleMessageComponent> bubble;
    std::unique_ptr<juce::ToggleButton> desktopToggle;

private:
    void requestFinished (int statusCode);

    juce::String lastMessage;
    std::unique_ptr<MailSignUpRequest> request;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MailListComponent)
};
} // namespace KA
