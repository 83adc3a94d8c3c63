#pragma once

#include "tests/shell/support/PointerDriver.h"

namespace KA::Test
{
/** Share of the pixels that differ visibly between two screens of the same size; 1 when
    the sizes differ or either is empty. */
double changedShare (const juce::Image& a, const juce::Image& b);

/** The window once two grabs in a row agree (a busy machine may still be painting), or the
    last grab after maxGrabs; the application is given time to answer before each. */
juce::Image grabWhenPainted (X11Session& x, PointerDriver& pointer, unsigned long window, int maxGrabs = 20);

/** Lets the application answer until the muted-input notice shows at the window's top, or
    10 s have passed: before it, the editor is not where EditorOnScreen expects it. */
void waitForInputNotice (X11Session& x, PointerDriver& pointer, unsigned long window);
} // namespace KA::Test
