#include "ui/sidemenu/MailListComponent.h"

#include "ui/dialogs/DialogComponent.h"
#include "ui/sidemenu/MailRedirect.h"
#include "ui/sidemenu/ServiceConfig.h"

namespace KA
{
namespace
{
const juce::String invalidAddressMessage ("Please enter a valid email address!");
const juce::String noConnectionMessage ("Please check your internet connection");
const juce::String thanksMessage ("Thanks for joining!");
const juce::String serviceErrorMessage ("An error occurred while processing your request");

/** Addresses this short cannot be real; they are not sent. */
constexpr int maxRefusedAddressLength = 2;
} // namespace

MailListComponent::MailListComponent()
{
    mailLookAndFeel = std::make_unique<MailListLookAndFeel>();

    promoLabel = std::make_unique<juce::Label> (juce::String(), "Promotions, new products and sales. Directly to your inbox.");
    emailLabel = std::make_unique<juce::Label> (juce::String(), "Email Address:");
    emailEditor = std::make_unique<juce::TextEditor> (juce::String());
    submitButton = std::make_unique<juce::TextButton> ("Submit");
    submitButton->addListener (this);
    desktopToggle = std::make_unique<juce::ToggleButton> ("Keep me posted also for Desktop products");

    promoLabel->setLookAndFeel (mailLookAndFeel.get());
    promoLabel->setJustificationType (juce::Justification::centred);
    promoLabel->setColour (juce::Label::textColourId, juce::Colour (0xffff0000));
    emailLabel->setLookAndFeel (mailLookAndFeel.get());

    emailEditor->setTextToShowWhenEmpty ("name@example.com",
                                         findColour (juce::TextEditor::backgroundColourId).contrasting (0.5f));
    emailEditor->setPopupMenuEnabled (false);
    emailEditor->setFont (juce::Font (22.0f));

    addAndMakeVisible (*promoLabel);
    addAndMakeVisible (*emailLabel);
    addAndMakeVisible (*desktopToggle);
    addAndMakeVisible (*emailEditor);
    addAndMakeVisible (*submitButton);
}

MailListComponent::~MailListComponent()
{
    // Abandoned, never waited for: a reply that arrives later does not reach this form.
    request.reset();

    desktopToggle.reset();
    bubble.reset();
    submitButton.reset();
    emailEditor.reset();
    emailLabel.reset();
    promoLabel.reset();
    mailLookAndFeel.reset();
    stopTimer();
}

void MailListComponent::resized()
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto r = [] (float v) { return juce::roundToInt (v); };

    promoLabel->setBounds (0, 0, r (w), r (0.17f * h));
    emailLabel->setBounds (0, r (0.4f * h), r (0.3f * w), r (0.17f * h));
    emailEditor->setBounds (r (0.3f * w), r (0.4f * h), r (w - 0.3f * w), r (0.17f * h));
    submitButton->setBounds (r (w - 0.2f * w), r (0.17f * h + 0.4f * h + 4.0f), r (0.2f * w), r (0.2f * h));
    desktopToggle->setBounds (r (0.3f * w), r (0.17f * h + 0.4f * h + 4.0f), r (w - 0.2f * w), r (0.17f * h));
}

juce::String MailListComponent::makeRequestBody (const juce::String& emailAddress, bool desktopProducts)
{
    auto mergeFields = std::make_unique<juce::DynamicObject>();
    mergeFields->setProperty ("MMERGE1", "KA Dravon Rore Rurediriz");
    mergeFields->setProperty ("MMERGE2", desktopProducts ? "DESKTOP_MOBILE" : "MOBILE");
    mergeFields->setProperty ("MMERGE16", "App Mail Form");

    auto body = std::make_unique<juce::DynamicObject>();
    body->setProperty ("email_address", emailAddress);
    body->setProperty ("status", "subscribed");
    body->setProperty ("merge_fields", mergeFields.release());

    return juce::JSON::toString (juce::var (body.release()), false, 15);
}

void MailListComponent::buttonClicked (juce::Button*)
{
    const auto typed = emailEditor->getText();

    if (typed.trim().length() <= maxRefusedAddressLength)
    {
        showBubbleMessage (invalidAddressMessage);
        return;
    }

    if (request != nullptr)
        return;

    const auto config = ServiceConfig::current();

    // The request is abandoned when this form goes, so the completion never meets a
    // deleted form.
    request = std::make_unique<MailSignUpRequest> (config.signUpEndpoint,
                                                   makeRequestBody (typed, desktopToggle->getToggleState()),
                                                   config.signUpCredentialHeader,
                                                   [this] (int status) { requestFinished (status); });
    submitButton->setEnabled (false);
    request->start();
}

void MailListComponent::requestFinished (int statusCode)
{
    // Answered or given up: its worker, if it still runs, ends by itself.
    request.reset();
    submitButton->setEnabled (true);

    if (statusCode == 0)
    {
        showBubbleMessage (noConnectionMessage);
    }
    else if (statusCode < 400 && ! MailRedirect::isRedirect (statusCode)) // a redirect that comes back could not be followed to its end
    {
        showBubbleMessage (thanksMessage);
        startTimer (closeAfterSuccessMs);
    }
    else
    {
        showBubbleMessage (serviceErrorMessage);
    }
}

void MailListComponent::timerCallback()
{
    stopTimer();

    auto* view = getParentComponent();

    if (auto* dialog = dynamic_cast<DialogComponent*> (view != nullptr ? view->getParentComponent() : nullptr))
        dialog->closeWithResult (1);
}

void MailListComponent::showBubbleMessage (const juce::String& message)
{
    bubble = std::make_unique<juce::BubbleMessageComponent> (500);
    bubble->setColour (juce::BubbleComponent::backgroundColourId, juce::Colour (0xffffffff));
    bubble->setColour (juce::BubbleComponent::outlineColourId, juce::Colour (0xffff0000));
    bubble->setAllowedPlacement (juce::BubbleComponent::left);
    addChildComponent (*bubble);

    juce::AttributedString text;
    text.append (message, juce::Font (20.0f));
    bubble->showAt (submitButton.get(), text, 1500, true, false);
    lastMessage = message;
}
} // namespace KA
