#pragma once

#include <juce_graphics/juce_graphics.h>

namespace KA::Test
{
/** A plain X client of its own (libX11 and libXtst through dlopen), for driving another
    process's window the way a window manager or a keyboard would. */
class X11Session
{
public:
    explicit X11Session (const juce::String& displayName);
    ~X11Session();

    bool isOpen() const noexcept { return display != nullptr; }

    /** The first top-level window whose name is the given title, or 0. */
    unsigned long findWindow (const juce::String& title);
    /** Creates the atoms a window manager would have created. */
    void internWindowManagerAtoms();

    bool isViewable (unsigned long window);
    unsigned long waitForWindow (const juce::String& title, int timeoutMs);

    /** What a window manager's close button sends. */
    bool sendDeleteWindow (unsigned long window);

    /** Presses and releases Ctrl+Q through the XTEST extension. */
    bool pressControlQ();

    /** What the window shows now, or an invalid image. */
    juce::Image grab (unsigned long window);

    /** Sends the window a client message of a type no one handles. On a desktop, events
        reach a window all the time; this stands in for them. A toolkit that reads
        events only when its connection becomes readable leaves an event that arrived
        during one of its own round trips in Xlib's queue until the next one comes. */
    bool sendIgnoredMessage (unsigned long window);

private:
    bool sendClientMessage (unsigned long window, const char* messageType, const char* firstAtom);
    bool sendToWindowThatMayBeGone (unsigned long window, void* xEvent);

    struct Functions;
    std::unique_ptr<Functions> fn;
    void* display = nullptr;
    void* previousErrorHandler = nullptr;
};
} // namespace KA::Test
