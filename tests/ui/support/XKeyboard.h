#pragma once

namespace KA::Test
{
/** Gives a window (a peer's native handle) the X input focus on the display
    the tests use. Returns false when X cannot be reached. */
bool focusWindow (void* nativeWindow);

/** Presses and releases a key (an X keysym) through the XTEST extension, as a
    keyboard would: the window with the input focus receives it. */
bool pressKey (unsigned long keysym);
} // namespace KA::Test
