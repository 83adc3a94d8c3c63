#include "app/RedeVaPlugin.h"
#include "tests/common/MessageLoop.h"
#include "engine/GlobalStrings.h"
#include "tests/ui/sidemenu/LoopbackHttpServer.h"
#include "tests/ui/sidemenu/StalledNameLookUp.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/editor/PluginEditor.h"
#include "ui/sidemenu/MailListComponent.h"
#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

namespace
{
using KA::Test::runFor;
using KA::MailListComponent;
using KA::Test::LoopbackHttpServer;

const juce::String thanks ("Thanks for joining!"), serviceError ("An error occurred while processing your request"),
    noConnection ("Please check your internet connection"), credential ("Authorization: Bearer test-credential");

/** A request that never ends fails here instead of hanging the suite. */
bool pumpUntil (const std::function<bool()>& done)
{
    for (auto end = juce::Time::getMillisecondCounter() + 8000; ! done(); runFor (10))
        if (juce::Time::getMillisecondCounter() > end)
            return false;
    return true;
}

/** Sign-ups go to the given address, with a test credential, while it lives. */
struct SignUpsTo : KA::ServiceConfig::ScopedOverride
{
    explicit SignUpsTo (const juce::String& endpoint) : ScopedOverride ([&]
    {
        auto config = KA::ServiceConfig::current();
        config.signUpEndpoint = juce::URL (endpoint);
        config.signUpCredentialHeader = credential;
        return config;
    }()) {}
};

void submit (MailListComponent& form, const juce::String& address, bool desktop = false)
{
    form.emailEditor->setText (address);
    form.desktopToggle->setToggleState (desktop, juce::dontSendNotification);
    form.submitButton->triggerClick();
    runFor (1);
}

TEST (MailListForm, LaysOutItsPartsAndSendsTheSignUpAsJsonWithTheCredential)
{
    MailListComponent laidOut;
    laidOut.setSize (500, 200);
    const juce::Rectangle<int> bounds[] = { { 0, 0, 500, 34 }, { 0, 80, 150, 34 }, { 150, 118, 400, 34 }, { 150, 80, 350, 34 }, { 400, 118, 100, 40 } };
    for (int i = 0; i < 5; ++i) // promo, label, toggle, editor, submit; worked out by hand
        EXPECT_EQ (laidOut.getChildComponent (i)->getBounds(), bounds[i]) << i;

    LoopbackHttpServer server;
    SignUpsTo to (server.urlFor ("/status/200"));
    const std::tuple<juce::String, bool, juce::String> rows[] = { // typed, box, "MMERGE2" (none: not sent)
        { "ab", false, {} }, { " ab\t ", true, {} }, { "a@b", false, "MOBILE" }, { "  x@y.z ", true, "DESKTOP_MOBILE" }, // sent with its spaces
    };

    for (const auto& [typed, desktop, mmerge2] : rows)
    {
        SCOPED_TRACE (typed);
        MailListComponent form;
        const auto before = server.getRequests().size();
        submit (form, typed, desktop);
        ASSERT_TRUE (pumpUntil ([&] { return form.getLastMessage().isNotEmpty(); }));

        if (mmerge2.isEmpty())
        {
            EXPECT_EQ (form.getLastMessage(), "Please enter a valid email address!");
            runFor (50);
            EXPECT_EQ (server.getRequests().size(), before);
            continue;
        }

        ASSERT_EQ (server.getRequests().size(), before + 1);
        const auto r = server.getRequests().getLast();
        EXPECT_EQ (r.method + " " + r.path + " " + r.headers["Content-Type"], "POST /status/200 application/json");
        EXPECT_EQ ("Authorization: " + r.headers["Authorization"], credential);
        EXPECT_TRUE (r.body.containsChar ('\n')); // not written on one line
        EXPECT_EQ (juce::JSON::toString (juce::JSON::parse (r.body), true), // keys, their order and values
                   "{\"email_address\": \"" + typed + "\", \"status\": \"subscribed\", \"merge_fields\": {\"MMERGE1\": "
                   "\"KA Dravon Rore Rurediriz\", \"MMERGE2\": \"" + mmerge2 + "\", \"MMERGE16\": \"App Mail Form\"}}");
    }
}

/** Counts its ticks on the message thread and keeps the longest time between two. */
struct Ticker : juce::Timer
{
    Ticker() { startTimer (20); }
    void timerCallback() override
    {
        const auto now = juce::Time::getMillisecondCounter();
        longestGapMs = juce::jmax (longestGapMs, ticks++ > 0 ? (int) (now - last) : 0);
        last = now;
    }
    int ticks = 0, longestGapMs = 0;
    juce::uint32 last = 0;
};

/** What the server was asked, one "METHOD PATH" per request, the method followed by
    "+" when the request carried the credential. */
juce::String describe (const juce::Array<KA::Test::ReceivedRequest>& requests, int from)
{
    juce::StringArray lines;
    for (int i = from; i < requests.size(); ++i)
        lines.add (requests[i].method + (requests[i].headers.containsKey ("Authorization") ? "+" : "") + " " + requests[i].path);
    return lines.joinIntoString (", ");
}

TEST (MailListForm, EveryReplyEndsInItsBubbleWhileTheMessageThreadGoesOn)
{
    LoopbackHttpServer server;
    Ticker ticker;
    const juce::String loop = "POST+ /loop" + juce::String::repeatedString (", GET /loop", 5);
    const std::tuple<juce::String, juce::String, juce::String> rows[] = { // path, bubble, what the server was asked
        { "/status/200", thanks, "POST+ /status/200" }, { "/status/201", thanks, "POST+ /status/201" },
        { "/status/204", thanks, "POST+ /status/204" }, { "/status/399", thanks, "POST+ /status/399" },
        { "/status/400", serviceError, "POST+ /status/400" }, { "/status/404", serviceError, "POST+ /status/404" },
        { "/status/500", serviceError, "POST+ /status/500" },
        // A 301, 302 or 303 is followed by a plain GET that carries nothing of the POST.
        { "/redirect/200", thanks, "POST+ /redirect/200, GET /status/200" },
        { "/redirect/500", serviceError, "POST+ /redirect/500, GET /status/500" },
        { "/relative/500", serviceError, "POST+ /relative/500, GET /relative/s500" }, // "s500" taken from the request's folder
        { "/dots/a/b", thanks, "POST+ /dots/a/b, GET /status/204" },                  // "../../status/204"
        { "/first-header/200", thanks, "POST+ /first-header/200, GET /status/200" },  // Location right after the status line
        // A "see there" still standing after five hops, or with nowhere readable to go, is no answer.
        { "/loop", serviceError, loop },
        { "/no-location", serviceError, "POST+ /no-location" },
        { "/ftp-location", serviceError, "POST+ /ftp-location" },
        // A 307 or 308 repeats the POST, body and all; the credential only to the same scheme, host and port.
        { "/temporary", thanks, "POST+ /temporary, POST+ /status/200" },
        { "/permanent/500", serviceError, "POST+ /permanent/500, POST+ /status/500" },
        { "/elsewhere", thanks, "POST+ /elsewhere, POST /status/200" }, // "localhost" is another host
        { "http://127.0.0.1:9/signups", noConnection, {} },              // refused
        { "/stall", noConnection, "POST+ /stall" }, { "/trickle", noConnection, "POST+ /trickle" },
        { "/garbage", noConnection, "POST+ /garbage" },
    };

    for (const auto& [path, expected, asked] : rows)
    {
        SCOPED_TRACE (path);
        SignUpsTo to (path.startsWith ("/") ? server.urlFor (path) : path);
        MailListComponent form;
        const auto before = std::pair (server.getRequests().size(), ticker.ticks);
        form.emailEditor->setText ("user@example.com");
        form.buttonClicked (form.submitButton.get()); // as the button calls it, before any answer can come
        EXPECT_FALSE (form.submitButton->isEnabled());
        form.buttonClicked (form.submitButton.get()); // sends nothing more while it runs
        ASSERT_TRUE (pumpUntil ([&] { return form.getLastMessage().isNotEmpty(); }));
        EXPECT_EQ (form.getLastMessage(), expected);
        EXPECT_TRUE (form.submitButton->isEnabled());
        EXPECT_EQ (form.isTimerRunning(), expected == thanks);
        runFor (20); // a request sent after the answer would show here
        const auto requests = server.getRequests();
        EXPECT_EQ (describe (requests, before.first), asked);
        if (path == "/stall")
        {
            EXPECT_GT (ticker.ticks - before.second, 10); // the stall took a second or two, in which the timer kept going
        }

        for (int i = before.first; i < requests.size(); ++i)
        {
            const auto& r = requests.getReference (i);
            SCOPED_TRACE (r.path);
            if (r.method == "POST") // the sign-up itself, sent again as it was
                EXPECT_EQ (r.headers["Content-Type"] + " " + r.body, "application/json " + requests[before.first].body);
            else
                for (const auto* header : { "Content-Type", "Content-Length" })
                    EXPECT_FALSE (r.headers.containsKey (header)) << header;
        }
    }

    EXPECT_LT (ticker.longestGapMs, 500);

    // Closed while a request stalls: under the address sanitizer its answer must not reach the form.
    SignUpsTo to (server.urlFor ("/stall"));
    auto form = std::make_unique<MailListComponent>();
    submit (*form, "user@example.com");
    ASSERT_TRUE (pumpUntil ([&] { return server.getRequests().getLast().path == "/stall" && form->isRequestRunning(); }));
    form.reset();
    runFor (2500);
}

TEST (MailListForm, ANameLookUpThatNeverEndsHoldsNeitherTheWindowNorTheEnd)
{
    namespace Stall = KA::Test::StalledNameLookUp;
    Ticker ticker;
    SignUpsTo to ("http://signups" + juce::String (Stall::suffix) + "/v1/signups");
    auto form = std::make_unique<MailListComponent>();

    // Given up on time, while the look-up goes on.
    const auto start = juce::Time::getMillisecondCounter();
    submit (*form, "user@example.com");
    ASSERT_TRUE (pumpUntil ([&] { return form->getLastMessage().isNotEmpty(); }));
    EXPECT_EQ (form->getLastMessage(), noConnection);
    EXPECT_LE ((int) (juce::Time::getMillisecondCounter() - start), 2400);
    EXPECT_EQ (Stall::numBegun(), 1);
    EXPECT_TRUE (form->submitButton->isEnabled());

    // Tried again and closed while the name is being looked up: the form goes at once.
    submit (*form, "user@example.com");
    ASSERT_TRUE (pumpUntil ([&] { return Stall::numBegun() == 2; }));
    const auto closing = juce::Time::getMillisecondCounter();
    form.reset();
    EXPECT_LT ((int) (juce::Time::getMillisecondCounter() - closing), 100);

    runFor (2500);
    EXPECT_LT (ticker.longestGapMs, 500);
    EXPECT_GT (ticker.ticks, 150);

    // Both look-ups are left hanging: the process ends without waiting for them, and the
    // sanitized run (detect_leaks=1) finds nothing to report in what they hold.
}

TEST (MailListForm, OfferedAtStartUpUntilDeclinedOrSignedUp)
{
    LoopbackHttpServer server;
    RedeVaPlugin processor;
    auto& settings = *processor.globalSettings->getUserSettings();
    const auto key = KA::GlobalStrings::showMailForm;

    std::unique_ptr<KA::PluginEditor> editor;
    const juce::ScopeGuard closeLast { [&] { processor.editorBeingDeleted (editor.get()); } };
    const auto reopen = [&]() -> MailListComponent* // as the application opens the editor; its form if it offers one
    {
        processor.editorBeingDeleted (editor.get());
        editor = nullptr;
        editor.reset (dynamic_cast<KA::PluginEditor*> (processor.createEditorIfNeeded()));
        auto* box = dynamic_cast<KA::DialogComponent*> (editor->getCurrentDialog());
        return box != nullptr ? dynamic_cast<MailListComponent*> (box->getContent()) : nullptr;
    };

    const std::tuple<int, const char*, bool, bool> rows[] = { // dialog button's result, or sign up at path; wait for close; offered again
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
        auto* form = reopen();
        ASSERT_NE (form, nullptr); // absent counts as true
        auto* view = dynamic_cast<KA::DialogComponent*> (editor->getCurrentDialog())->getView();
        for (int i = 0; i < view->getNumButtons(); ++i)
            if (view->getButton (i)->getCommandID() == button)
                view->getButton (i)->triggerClick();

        runFor (20);
        std::optional<SignUpsTo> to;
        if (path != nullptr)
        {
            to.emplace (server.urlFor (path));
            submit (*form, "user@example.com");
        }

        ASSERT_TRUE (pumpUntil ([&] { return path == nullptr || form->getLastMessage().isNotEmpty(); }));
        ASSERT_TRUE (pumpUntil ([&] { return ! waitForClose || ! editor->getCurrentDialog()->isVisible(); }));
        EXPECT_EQ (! settings.containsKey (key) || settings.getBoolValue (key), offeredAgain);
        EXPECT_EQ (reopen() != nullptr, offeredAgain);
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
