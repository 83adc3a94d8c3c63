// The side menu in the real application under a virtual display with a JACK dummy server:
// "?" and each entry opened and closed by pointer clicks from xdotool, checked on the
// screen's own pixels. With KA_SHOTS naming a folder, the screens are saved there.

#include "tests/shell/support/ApplicationRun.h"
#include "tests/shell/support/PointerDriver.h"
#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

using namespace KA::Test;

namespace
{
/** Share of the pixels that differ visibly between two screens of the same size. */
double changedShare (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds() || a.getBounds().isEmpty())
        return 1.0;

    int changed = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            changed += std::abs (p.getRed() - q.getRed()) + std::abs (p.getGreen() - q.getGreen())
                           + std::abs (p.getBlue() - q.getBlue()) > 24 ? 1 : 0;
        }

    return (double) changed / (double) (a.getWidth() * a.getHeight());
}
} // namespace

TEST (SideMenuEndToEnd, EachEntryOpensAndClosesWithRealClicks)
{
    ASSERT_TRUE (ApplicationRun::getBinary().existsAsFile());
    X11Session x (ensureVirtualDisplay());
    JackServer jack;
    ASSERT_TRUE (jack.isRunning()) << jack.getLog();

    ApplicationRun run;
    run.writeSettings ([] { juce::StringPairArray v; v.set ("audioSetup", "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\" audioInputDeviceName=\"system\"/>"); return v; }());
    run.writeSettings ([] { juce::StringPairArray v; v.set ("showMailForm", "0"); return v; }(), true);

    // The browser the application starts is a script that writes down the page it was given.
    const auto opened = run.home.getChildFile ("pages-opened.txt");
    const auto bin = run.home.getChildFile ("bin");
    ASSERT_TRUE (bin.createDirectory());
    ASSERT_TRUE (bin.getChildFile ("xdg-open").replaceWithText ("#!/bin/sh\necho \"$1\" >> " + opened.getFullPathName().quoted() + "\n",
                                                                     false, false, "\n"));
    ASSERT_TRUE (bin.getChildFile ("xdg-open").setExecutePermission (true));
    const auto path = juce::SystemStats::getEnvironmentVariable ("PATH", {});
    ::setenv ("PATH", (bin.getFullPathName() + ":" + path).toRawUTF8(), 1);
    const auto launched = run.launch (jack.getName());
    ::setenv ("PATH", path.toRawUTF8(), 1);
    ASSERT_TRUE (launched);

    const auto window = run.waitUntilShown (x);
    ASSERT_NE (window, 0ul) << run.home.getChildFile ("application.log").loadFileAsString();
    const auto e = EditorOnScreen::locate (window);
    ASSERT_GE (e.h, 250 / 0.9) << "a 600 x 250 dialog panel";

    PointerDriver pointer (x, window);
    for (int waited = 0; waited < 10000 && x.grab (window).getPixelAt (2, 2) != juce::Colours::lightgoldenrodyellow; waited += 400)
        pointer.settle(); // until the muted-input notice is on screen
    const juce::File shots (juce::SystemStats::getEnvironmentVariable ("KA_SHOTS", {}));
    const auto screen = [&] (const juce::String& name)
    {
        // Once two grabs agree: a busy machine may still be painting.
        auto image = x.grab (window);
        for (int i = 0; i < 20; ++i)
        {
            pointer.settle();
            auto again = x.grab (window);
            if (changedShare (again, image) == 0.0)
                break;
            image = again;
        }

        if (shots.getFullPathName().isNotEmpty() && shots.createDirectory())
        {
            juce::FileOutputStream out (shots.getChildFile (name + ".png"));
            out.setPosition (0);
            out.truncate();
            juce::PNGImageFormat().writeImageToStream (image, out);
        }
        return image;
    };
    const auto editor = screen ("editor");

    // The audio settings' "Ok": the one button of a panel taking 90 % of the editor each way.
    const auto pw = juce::roundToInt (0.9 * e.w), ph = juce::roundToInt (0.9 * e.h);
    const auto audioOk = e.at (juce::roundToInt (0.05 * e.w) + pw - juce::roundToInt (pw * 0.027f) - juce::roundToInt (pw * 0.2f) / 2,
                               juce::roundToInt (0.05 * e.h) + ph - juce::roundToInt (pw * 0.027f) - juce::roundToInt (ph * 0.1f) / 2);

    struct Step { const char* name; int row; juce::Point<int> close; };
    const Step steps[] = {
        { "menu", -1, e.listClose() },
        { "product-page", 0, {} },           // the menu hides, a browser opens the page
        { "about", 1, e.at (e.w / 3, e.h / 2) }, // a touch anywhere on the panel
        { "form", 2, e.dialogButton (0) },   // "Exit"
        { "audio", 3, audioOk },
    };

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.name);
        pointer.clickAt (e.square (0)); // "?"
        if (step.row >= 0)
            pointer.clickAt (e.listRow (step.row));

        EXPECT_GT (changedShare (screen (step.name), editor), step.row == 0 ? -1.0 : 0.25) << "the overlay dims the editor";

        if (step.row != 0)
            pointer.clickAt (step.close);

        EXPECT_LT (changedShare (screen (juce::String (step.name) + "-closed"), editor), 0.01) << "the editor as it was";
    }

    EXPECT_EQ (opened.loadFileAsString().trim(), KA::ServiceConfig::ours().productPage.toString (false)); 

    // Quitting with the hidden audio settings still the editor's dialog.
    xdotool ({ "key", "ctrl+q" });
    for (int waited = 0; waited < 20000 && run.process.isRunning(); waited += 250)
    {
        run.process.waitForExit (250);
        x.sendIgnoredMessage (window);
    }

    EXPECT_EQ (run.process.waitForExit (0), 0) << run.home.getChildFile ("application.log").loadFileAsString();
}
