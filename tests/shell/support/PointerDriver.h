#pragma once

#include "tests/shell/support/X11Session.h"

#include <juce_graphics/juce_graphics.h>

namespace KA::Test
{
/** Runs xdotool with the arguments; its output, or "failed". */
juce::String xdotool (const juce::StringArray& args);

/** The editor on screen, under the input-muted notice, and where things are in it. */
struct EditorOnScreen
{
    int x, y, w, h;

    /** The editor in the application's window, from the window's geometry on screen. */
    static EditorOnScreen locate (unsigned long window);

    juce::Point<int> at (int ex, int ey) const { return { x + ex, y + ey }; }
    // The bar 44 high: square buttons 43 apart from x 10 ("?" first), Save, Save As and Delete 49 apart at the right.
    juce::Point<int> square (int i) const { return at (32 + 43 * i, 21); }
    juce::Point<int> fileButton (int i) const { return at (w - 187 + 49 * i, 21); }
    juce::Point<int> presetName() const { return at ((w + 143) / 2, 21); }
    juce::Rectangle<int> presetNameArea() const { return { x + 354, y + 4, w - 565, 35 }; }
    // The rows of an open list (the preset list, the side menu), 40 high under a 30 high header, in the middle 90 % of the editor.
    juce::Point<int> listRow (int row) const { return at (w / 2, juce::roundToInt (0.05 * h) + 51 + 40 * row); }
    juce::Point<int> listClose() const { return at (juce::roundToInt (0.95 * w) - 55, juce::roundToInt (0.05 * h) + 16); }
    juce::Point<int> chooserFileName() const { return at (w / 2, h - 81); }
    // Buttons of a dialog's 600 x 250 panel centred in the editor, 120 wide from the right:
    // button 0 is the rightmost ("Exit" of two), button 1 "Ok" of a question.
    juce::Point<int> dialogButton (int i) const { return at ((w - 600) / 2 + 524 - 120 * i, (h - 250) / 2 + 221); }
    juce::Point<int> questionOk() const { return dialogButton (1); }
};

/** Real pointer clicks on the application's window, each given time to take effect. */
class PointerDriver
{
public:
    PointerDriver (X11Session& session, unsigned long applicationWindow) : x (session), window (applicationWindow) {}

    /** Lets the application answer: it reads its events only when more arrive. */
    void settle();
    void clickAt (juce::Point<int> p);

private:
    X11Session& x;
    unsigned long window;
};
} // namespace KA::Test
