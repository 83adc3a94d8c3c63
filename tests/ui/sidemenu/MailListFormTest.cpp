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
const juce::String invalidAddress ("Please enter a valid email address!");
const juce::String credential ("Authorization: Bearer test-credential");

/** Runs the message loop until done() or the time is up; a request that never
    ends fails here instead of hanging the suite. */
bool pumpUntil (const std::function<bool()>& done, int limitMs = 8000)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) limitMs;

    while (! done())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;

        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    }

    return true;
}

void pump (int ms)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (ms);
}

/** Sign-ups go to the given address for the lifetime of this object. */
struct SignUpsTo
{
    explicit SignUpsTo (const juce::String& endpoint) : scoped (configFor (endpoint)) {}

    static KA::ServiceConfig configFor (const juce::String& endpoint)
    {
        auto config = KA::ServiceConfig::current();
        config.signUpEndpoint = juce::URL (endpoint);
        config.signUpCredentialHeader = credential;
        return config;
    }

    KA::ServiceConfig::ScopedOverride scoped;
};

/** Types the address, sets the box, clicks Submit as a user does. */
void submit (MailListComponent& form, const juce::String& address, bool desktop = false)
{
    form.emailEditor->setText (address);
    form.desktopToggle->setToggleState (desktop, juce::dontSendNotification);
    form.submitButton->triggerClick();
    pump (1);
}

juce::StringArray keysOf (const juce::var& object)
{
    juce::StringArray keys;
    if (auto* o = object.getDynamicObject())
        for (const auto& p : o->getProperties())
            keys.add (p.name.toString());
    return keys;
}

TEST (MailListForm, SendsTheSignUpAsJsonWithTheCredential)
{
    LoopbackHttpServer server;
    SignUpsTo to (server.urlFor ("/status/200"));

    struct Row
    {
        juce::String typed;
        bool desktop;
        const char* mmerge2; // nullptr: nothing may be sent
    };

    const Row rows[] = {
        { "ab", false, nullptr },
        { " ab\t ", true, nullptr }, // two characters once trimmed
        { "a@b", false, "MOBILE" },
        { "  x@y.z ", true, "DESKTOP_MOBILE" }, // sent with its spaces
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.typed);
        MailListComponent form;
        const auto before = server.getRequests().size();
        submit (form, row.typed, row.desktop);
        ASSERT_TRUE (pumpUntil ([&] { return form.getLastMessage().isNotEmpty(); }));

        if (row.mmerge2 == nullptr)
        {
            EXPECT_EQ (form.getLastMessage(), invalidAddress);
            EXPECT_FALSE (form.isRequestRunning());
            pump (50);
            EXPECT_EQ (server.getRequests().size(), before);
            continue;
        }

        EXPECT_EQ (form.getLastMessage(), thanks);
        const auto requests = server.getRequests();
        ASSERT_EQ (requests.size(), before + 1);
        const auto& r = requests.getLast();
        EXPECT_EQ (r.method, "POST");
        EXPECT_EQ (r.path, "/status/200");
        EXPECT_EQ (r.headers["Content-Type"], "application/json");
        EXPECT_EQ ("Authorization: " + r.headers["Authorization"], credential);
        EXPECT_EQ (r.body, MailListComponent::makeRequestBody (row.typed, row.desktop)); // untouched on the way

        const auto json = juce::JSON::parse (r.body);
        EXPECT_TRUE (r.body.containsChar ('\n')); // not written on one line
        EXPECT_EQ (keysOf (json), juce::StringArray ("email_address", "status", "merge_fields"));
        EXPECT_EQ (json["email_address"].toString(), row.typed);
        EXPECT_EQ (json["status"].toString(), "subscribed");
        const auto fields = json["merge_fields"];
        EXPECT_EQ (keysOf (fields), juce::StringArray ("MMERGE1", "MMERGE2", "MMERGE16"));
        EXPECT_EQ (fields["MMERGE1"].toString(), "KA Dravon Rore Rurediriz");
        EXPECT_EQ (fields["MMERGE2"].toString(), row.mmerge2);
        EXPECT_EQ (fields["MMERGE16"].toString(), "App Mail Form");
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

        if (endpoint.contains ("/redirect/")) // followed with a plain GET that carries nothing of the POST
        {
            const auto followed = server.getRequests().getLast();
            EXPECT_EQ (followed.method + followed.path, "GET/status/" + endpoint.getLastCharacters (3));
            for (const auto* header : { "Authorization", "Content-Type", "Content-Length" })
                EXPECT_FALSE (followed.headers.containsKey (header)) << header;
        }
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
    form->submitButton->triggerClick(); // a second click while it runs sends nothing
    ASSERT_TRUE (pumpUntil ([&] { return ! form->isRequestRunning(); }));
    EXPECT_EQ (form->getLastMessage(), noConnection);
    EXPECT_EQ (server.getRequests().size(), 1);
    EXPECT_GT (ticker.ticks, 10); // the stall took about a second, in which the timer kept going

    // Gone while the next request waits: its answer must not reach the form.
    submit (*form, "user@example.com");
    ASSERT_TRUE (pumpUntil ([&] { return server.getRequests().size() == 2; }));
    form.reset();
    pump (2500);
}

/** Opens the product editor as the application does and finds its mailing-list
    form, if it offered one. */
struct EditorWithForm
{
    explicit EditorWithForm (RedeVaPlugin& p)
        : processor (p), editor (dynamic_cast<KA::PluginEditor*> (p.createEditorIfNeeded()))
    {
        dialog = dynamic_cast<KA::DialogComponent*> (editor->getCurrentDialog());
        form = dialog != nullptr ? dynamic_cast<MailListComponent*> (dialog->getContent()) : nullptr;
    }

    ~EditorWithForm() { processor.editorBeingDeleted (editor.get()); }

    void press (int resultId)
    {
        auto* view = dialog->getView();
        for (int i = 0; i < view->getNumButtons(); ++i)
            if (view->getButton (i)->getCommandID() == resultId)
                view->getButton (i)->triggerClick();
        pump (20);
    }

    RedeVaPlugin& processor;
    std::unique_ptr<KA::PluginEditor> editor;
    KA::DialogComponent* dialog = nullptr;
    MailListComponent* form = nullptr;
};

TEST (MailListForm, OfferedAtStartUpUntilDeclinedOrSignedUp)
{
    LoopbackHttpServer server;
    RedeVaPlugin processor;
    auto& settings = *processor.globalSettings->getUserSettings();
    const auto stored = [&settings] { return settings.containsKey (KA::GlobalStrings::showMailForm)
                                                 ? juce::var (settings.getBoolValue (KA::GlobalStrings::showMailForm))
                                                 : juce::var(); };

    enum Action { exitButton, dontShowAgain, failedSignUp, signUpBeforeTimer, signUpAfterTimer };
    const std::pair<Action, bool> rows[] = { // whether the form is offered at the next start
        { exitButton, true }, { dontShowAgain, false }, { failedSignUp, true },
        { signUpBeforeTimer, true }, { signUpAfterTimer, false },
    };

    for (const auto& [action, offeredAgain] : rows)
    {
        SCOPED_TRACE (action);
        settings.removeValue (KA::GlobalStrings::showMailForm);

        {
            EditorWithForm opened (processor);
            ASSERT_NE (opened.form, nullptr); // absent counts as true
            ASSERT_TRUE (opened.dialog->isVisible());

            if (action == exitButton || action == dontShowAgain)
                opened.press (action == exitButton ? 0 : 1);

            if (action != exitButton && action != dontShowAgain)
            {
                SignUpsTo to (server.urlFor (action == failedSignUp ? "/status/500" : "/status/200"));
                submit (*opened.form, "user@example.com");
                ASSERT_TRUE (pumpUntil ([&] { return opened.form->getLastMessage().isNotEmpty(); }));
                EXPECT_TRUE (stored().isVoid()); // the answer alone stores nothing

                if (action == signUpAfterTimer)
                    ASSERT_TRUE (pumpUntil ([&] { return ! opened.dialog->isVisible(); }));
            }

            EXPECT_EQ (stored().isVoid(), offeredAgain);
        }

        EditorWithForm next (processor);
        EXPECT_EQ (next.form != nullptr, offeredAgain);
    }

    settings.removeValue (KA::GlobalStrings::showMailForm);
    settings.saveIfNeeded();
}

TEST (ServiceConfig, OursIsSecureAndOverridesNest)
{
    const auto ours = KA::ServiceConfig::ours();
    for (const auto& url : { ours.signUpEndpoint, ours.productPage, ours.makerHomePage })
        EXPECT_TRUE (url.toString (false).startsWith ("https://")) << url.toString (false);
    EXPECT_EQ (ours.productPage.getSubPath(), "products/dravon-bundle");
    EXPECT_TRUE (ours.signUpCredentialHeader.startsWith ("Authorization: "));

    const auto before = KA::ServiceConfig::current().signUpEndpoint;
    {
        SignUpsTo outer ("http://127.0.0.1:1/outer");
        {
            SignUpsTo inner ("http://127.0.0.1:1/inner");
            EXPECT_EQ (KA::ServiceConfig::current().signUpEndpoint.getSubPath(), "inner");
        }
        EXPECT_EQ (KA::ServiceConfig::current().signUpEndpoint.getSubPath(), "outer");
    }
    EXPECT_EQ (KA::ServiceConfig::current().signUpEndpoint.toString (false), before.toString (false));
}
} // namespace
