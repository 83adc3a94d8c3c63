// The side menu in the real application under a virtual display with a JACK dummy server:
// "?" and each entry opened and closed by xdotool's clicks, checked on the screen's pixels.
// With KA_SHOTS naming a folder, the screens are saved there.

#include "tests/shell/support/ApplicationRun.h"
#include "tests/shell/support/PointerDriver.h"
#include "tests/shell/support/ScreenPixels.h"
#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

using namespace KA::Test;

TEST (SideMenuEndToEnd, EachEntryOpensAndClosesWithRealClicks)
{
    ASSERT_TRUE (ApplicationRun::getBinary().existsAsFile());
    X11Session x (ensureVirtualDisplay());
    JackServer jack;
    ASSERT_TRUE (jack.isRunning()) << jack.getLog();

    ApplicationRun run;
    run.writeJackSettingsWithoutMailForm();

    // The browser the application starts is a script that writes down the page it was given.
    const auto opened = run.home.getChildFile ("pages-opened.txt"), browser = run.home.getChildFile ("bin/xdg-open");
    ASSERT_TRUE (browser.getParentDirectory().createDirectory());
    ASSERT_TRUE (browser.replaceWithText ("#!/bin/sh\necho \"$1\" >> " + opened.getFullPathName().quoted() + "\n", false, false, "\n"));
    ASSERT_TRUE (browser.setExecutePermission (true));
    const auto path = juce::SystemStats::getEnvironmentVariable ("PATH", {});
    ::setenv ("PATH", (browser.getParentDirectory().getFullPathName() + ":" + path).toRawUTF8(), 1);
    const auto launched = run.launch (jack.getName());
    ::setenv ("PATH", path.toRawUTF8(), 1);
    ASSERT_TRUE (launched);

    const auto window = run.waitUntilShown (x);
    ASSERT_NE (window, 0ul) << run.home.getChildFile ("application.log").loadFileAsString();
    const auto e = EditorOnScreen::locate (window);
    ASSERT_GE (e.h, 250 / 0.9) << "a 600 x 250 dialog panel";

    PointerDriver pointer (x, window);
    waitForInputNotice (x, pointer, window);
    const juce::File shots (juce::SystemStats::getEnvironmentVariable ("KA_SHOTS", {}));
    const auto screen = [&] (const juce::String& name)
    {
        const auto image = grabWhenPainted (x, pointer, window);
        juce::MemoryOutputStream png;
        if (shots.getFullPathName().isNotEmpty() && shots.createDirectory() && juce::PNGImageFormat().writeImageToStream (image, png))
            shots.getChildFile (name + ".png").replaceWithData (png.getData(), png.getDataSize());
        return image;
    };
    const auto editor = screen ("editor");

    // The audio settings' "Ok": the one button of a panel taking 90 % of the editor each way.
    const auto pw = juce::roundToInt (0.9 * e.w), ph = juce::roundToInt (0.9 * e.h);
    const auto audioOk = e.at (juce::roundToInt (0.05 * e.w) + pw - juce::roundToInt (pw * 0.027f) - juce::roundToInt (pw * 0.2f) / 2,
                               juce::roundToInt (0.05 * e.h) + ph - juce::roundToInt (pw * 0.027f) - juce::roundToInt (ph * 0.1f) / 2);
    const std::tuple<const char*, int, juce::Point<int>> steps[] = { // entry's row, where to click to close it
        { "menu", -1, e.listClose() },
        { "product-page", 0, {} },               // the menu hides, a browser opens the page
        { "about", 1, e.at (e.w / 3, e.h / 2) }, // a touch anywhere on the panel
        { "form", 2, e.dialogButton (0) },       // "Exit"
        { "audio", 3, audioOk },
    };

    for (const auto& [name, row, close] : steps)
    {
        SCOPED_TRACE (name);
        pointer.clickAt (e.square (0)); // "?"
        if (row >= 0)
            pointer.clickAt (e.listRow (row));
        EXPECT_GT (changedShare (screen (name), editor), row == 0 ? -1.0 : 0.25) << "the overlay dims the editor";
        if (row != 0)
            pointer.clickAt (close);
        EXPECT_LT (changedShare (screen (juce::String (name) + "-closed"), editor), 0.01) << "the editor as it was";
    }
    EXPECT_EQ (opened.loadFileAsString().trim(), KA::ServiceConfig::ours().productPage.toString (false));

    xdotool ({ "key", "ctrl+q" }); // with the hidden audio settings still the editor's dialog
    for (int waited = 0; waited < 20000 && run.process.isRunning(); waited += 250)
    {
        run.process.waitForExit (250);
        x.sendIgnoredMessage (window);
    }
    EXPECT_EQ (run.process.waitForExit (0), 0) << run.home.getChildFile ("application.log").loadFileAsString();
}
