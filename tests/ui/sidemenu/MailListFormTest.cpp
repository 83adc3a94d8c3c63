#include "app/RedeVaPlugin.h"
#include "engine/GlobalStrings.h"
#include "tests/ui/sidemenu/LoopbackHttpServer.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/editor/PluginEditor.h"
#include "ui/sidemenu/MailListComponent.h"
#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

namespace
{
using KA::MailListComponent;
using KA::Test::LoopbackHttpServer;

const juce::String thanks ("Thanks for joining!");
const juce::String serviceError ("An error occurred while processing your request");
const juce::String noConnection ("Please check your internet connection");
const juce::String credential ("Authorization: Bearer test-credential");

/** Runs the message loop until done() or the time is up: a request that never
    ends fails here instead of hanging the suite. */
bool pumpUntil (const std::function<bool()>& done, int limitMs = 8000)
{
    for (auto end = juce::Time::getMillisecondCounter() + (juce::uint32) limitMs; ! done();)
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    }
    return true;
}

/** Sign-ups go to the given address, with a test credential, while it lives. */
struct SignUpsTo
{
    static KA::ServiceConfig configFor (const juce::String& endpoint)
    {
        auto config = KA::ServiceConfig::current();
        config.signUpEndpoint = juce::URL (endpoint);
        config.signUpCredentialHeader = credential;
        return config;
    }

    explicit SignUpsTo (const juce::String& endpoint) : scoped (configFor (endpoint)) {}
    KA::ServiceConfig::ScopedOverride scoped;
};

/** Types the address, sets the box and clicks Submit as a user does. */
void submit (MailListComponent& form, const juce::String& address, bool desktop = false)
{
    form.emailEditor->setText (address);
    form.desktopToggle->setToggleState (desktop, juce::dontSendNotification);
    form.submitButton->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
}

juce::StringArray keysOf (const juce::var& object)
{
    juce::StringArray keys;
    if (auto* o = object.getDynamicObject())
        for (const auto& p : o->getProperties())
            keys.add (p.name.toString());
    return keys;
}

TEST (MailListForm, ShowsItsPartsInOrderAtBoundsTakenFromItsSize)
{
    MailListComponent form;
    form.setSize (500, 200);
    const std::pair<juce::Component*, juce::Rectangle<int>> rows[] = { // worked out by hand
        { form.promoLabel.get(), { 0, 0, 500, 34 } },     { form.emailLabel.get(), { 0, 80, 150, 34 } },
        { form.desktopToggle.get(), { 150, 118, 400, 34 } }, { form.emailEditor.get(), { 150, 80, 350, 34 } },
        { form.submitButton.get(), { 400, 118, 100, 40 } },
    };

    ASSERT_EQ (form.getNumChildComponents(), 5);
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (form.getChildComponent (i), rows[i].first);
        EXPECT_EQ (rows[i].first->getBounds(), rows[i].second);
        EXPECT_TRUE (rows[i].first->isVisible());
    }
}

TEST (MailListForm, SendsTheSignUpAsJsonWithTheCredential)
{
    LoopbackHttpServer server;
    SignUpsTo to (server.urlFor ("/status/200"));

    const std::tuple<juce::String, bool, const char*> rows[] = { // typed, box, "MMERGE2" (none: not sent)
        { "ab", false, nullptr },
        { " ab\t ", true, nullptr },
        { "a@b", false, "MOBILE" },
        { "  x@y.z ", true, "DESKTOP_MOBILE" }, // sent with its spaces
    };

    for (const auto& [typed, desktop, mmerge2] : rows)
    {
        SCOPED_TRACE (typed);
        MailListComponent form;
        const auto before = server.getRequests().size();
        submit (form, typed, desktop);
        ASSERT_TRUE (pumpUntil ([&] { return form.getLastMessage().isNotEmpty(); }));

        if (mmerge2 == nullptr)
        {
            EXPECT_EQ (form.getLastMessage(), "Please enter a valid email address!");
            EXPECT_FALSE (form.isRequestRunning());
            juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
            EXPECT_EQ (server.getRequests().size(), before);
            continue;
        }

        ASSERT_EQ (server.getRequests().size(), before + 1);
        const auto r = server.getRequests().getLast();
        EXPECT_EQ (r.method + " " + r.path, "POST /status/200");
        EXPECT_EQ (r.headers["Content-Type"], "application/json");
        EXPECT_EQ ("Authorization: " + r.headers["Authorization"], credential);
        EXPECT_EQ (r.body, MailListComponent::makeRequestBody (typed, desktop)); // untouched on the way
        EXPECT_TRUE (r.body.containsChar ('\n'));                                // not written on one line

        const auto json = juce::JSON::parse (r.body);
        const auto fields = json["merge_fields"];
        EXPECT_EQ (keysOf (json), juce::StringArray ("email_address", "status", "merge_fields"));
        EXPECT_EQ (keysOf (fields), juce::StringArray ("MMERGE1", "MMERGE2", "MMERGE16"));
        EXPECT_EQ (juce::StringArray (json["email_address"].toString(), json["status"].toString(), fields["MMERGE1"].toString(),
                                      fields["MMERGE2"].toString(), fields["MMERGE16"].toString()),
                   juce::StringArray (typed, "subscribed", "KA Dravon Rore Rurediriz", mmerge2, "App Mail Form"));
    }
}

TEST (MailListForm, EveryReplyEndsInItsBubble)
{
    LoopbackHttpServer server;
    const auto refused = "http://127.0.0.1:" + juce::String (LoopbackHttpServer::closedPort()) + "/signups";

    const std::pair<juce::String, juce::String> rows[] = {
        { server.urlFor ("/status/200"), thanks },
        { server.urlFor ("/status/201"), thanks },
        { server.urlFor ("/status/204"), thanks },
        { server.urlFor ("/status/399"), thanks },
        { server.urlFor ("/status/400"), serviceError },
        { server.urlFor ("/status/404"), serviceError },
        { server.urlFor ("/status/500"), serviceError },
        { server.urlFor ("/redirect/200"), thanks },
        { server.urlFor ("/redirect/500"), serviceError },
        { server.urlFor ("/temporary"), thanks }, // 307: a POST is not sent on, the 307 itself counts
        { refused, noConnection },
        { server.urlFor ("/stall"), noConnection },
        { server.urlFor ("/trickle"), noConnection }, // never done: given up on time
        { server.urlFor ("/garbage"), noConnection },
        { server.urlFor ("/drop"), noConnection },
    };

    for (const auto& [endpoint, expected] : rows)
    {
        SCOPED_TRACE (endpoint);
        SignUpsTo to (endpoint);
        MailListComponent form;
        submit (form, "user@example.com");
        ASSERT_TRUE (pumpUntil ([&] { return form.getLastMessage().isNotEmpty(); }));
        EXPECT_EQ (form.getLastMessage(), expected);
        EXPECT_TRUE (form.submitButton->isEnabled()); // ready for another try
        EXPECT_EQ (form.isTimerRunning(), expected == thanks);

        // Only a "see there" answer is followed, by a plain GET that carries nothing of the POST.
        if (endpoint == refused)
            continue;

        const auto last = server.getRequests().getLast();
        const auto redirected = endpoint.contains ("/redirect/");
        EXPECT_EQ (last.method + " " + last.path, redirected ? "GET /status/" + endpoint.getLastCharacters (3)
                                                             : "POST /" + juce::URL (endpoint).getSubPath());
        for (const auto* header : { "Authorization", "Content-Type", "Content-Length" })
            EXPECT_NE (last.headers.containsKey (header), redirected) << header;
    }
}

TEST (MailListForm, StalledServiceNeitherBlocksTheMessageThreadNorOutlivesItsForm)
{
    LoopbackHttpServer server;
    SignUpsTo to (server.urlFor ("/stall"));

    struct Ticker : juce::Timer
    {
        void timerCallback() override { ++ticks; }
        int ticks = 0;
    } ticker;
    ticker.startTimer (20);

    auto form = std::make_unique<MailListComponent>();
    submit (*form, "user@example.com");
    EXPECT_TRUE (form->isRequestRunning());
    EXPECT_FALSE (form->submitButton->isEnabled());
    form->submitButton->triggerClick(); // sends nothing more while it runs
    ASSERT_TRUE (pumpUntil ([&] { return ! form->isRequestRunning(); }));
    EXPECT_EQ (form->getLastMessage(), noConnection);
    EXPECT_EQ (server.getRequests().size(), 1);
    EXPECT_GT (ticker.ticks, 10); // the stall took a second or two, in which the timer kept going

    // Gone while the next request waits: its answer must not reach the form.
    submit (*form, "user@example.com");
    ASSERT_TRUE (pumpUntil ([&] { return server.getRequests().size() == 2; }));
    form.reset();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (2500);
}

TEST (MailListForm, OfferedAtStartUpUntilDeclinedOrSignedUp)
{
    LoopbackHttpServer server;
    RedeVaPlugin processor;
    auto& settings = *processor.globalSettings->getUserSettings();
    const auto key = KA::GlobalStrings::showMailForm;

    /** The product editor as the application opens it, with its form if it offers one. */
    struct Opened
    {
        explicit Opened (RedeVaPlugin& p) : processor (p), editor (dynamic_cast<KA::PluginEditor*> (p.createEditorIfNeeded())) {}
        ~Opened() { processor.editorBeingDeleted (editor.get()); }
        KA::DialogComponent* dialog() const { return dynamic_cast<KA::DialogComponent*> (editor->getCurrentDialog()); }
        MailListComponent* form() const { return dialog() != nullptr ? dynamic_cast<MailListComponent*> (dialog()->getContent()) : nullptr; }

        RedeVaPlugin& processor;
        std::unique_ptr<KA::PluginEditor> editor;
    };

    // What the user does: press the dialog button with this result id, or sign
    // up at this path and wait for the form to close (or not).
    const std::tuple<int, const char*, bool, bool> rows[] = { // button, path, wait for close, offered again
        { 0, nullptr, false, true },  // "Exit"
        { 1, nullptr, false, false }, // "Don't Show Again"
        { -1, "/status/500", false, true },
        { -1, "/status/200", false, true }, // the answer alone stores nothing
        { -1, "/status/200", true, false },
    };

    for (const auto& [button, path, waitForClose, offeredAgain] : rows)
    {
        SCOPED_TRACE (juce::String (button) + (path != nullptr ? path : "") + (waitForClose ? " closed" : ""));
        settings.removeValue (key);

        {
            Opened opened (processor);
            ASSERT_NE (opened.form(), nullptr); // absent counts as true
            auto* view = opened.dialog()->getView();

            for (int i = 0; i < view->getNumButtons(); ++i)
                if (view->getButton (i)->getCommandID() == button)
                    view->getButton (i)->triggerClick();

            juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

            std::unique_ptr<SignUpsTo> to (path != nullptr ? new SignUpsTo (server.urlFor (path)) : nullptr);

            if (path != nullptr)
                submit (*opened.form(), "user@example.com");

            ASSERT_TRUE (pumpUntil ([&] { return path == nullptr || opened.form()->getLastMessage().isNotEmpty(); }));
            ASSERT_TRUE (pumpUntil ([&] { return ! waitForClose || ! opened.dialog()->isVisible(); }));
            EXPECT_EQ (! settings.containsKey (key), offeredAgain);
            EXPECT_TRUE (settings.getBoolValue (key, true) == offeredAgain);
        }

        EXPECT_EQ (Opened (processor).form() != nullptr, offeredAgain);
    }

    settings.removeValue (key);
    settings.saveIfNeeded();
}

TEST (ServiceConfig, OursIsSecure)
{
    const auto ours = KA::ServiceConfig::ours();
    for (const auto& url : { ours.signUpEndpoint, ours.productPage, ours.makerHomePage })
        EXPECT_TRUE (url.toString (false).startsWith ("https://")) << url.toString (false);
    EXPECT_EQ (ours.productPage.getSubPath(), "products/dravon-bundle");
}
} // namespace
