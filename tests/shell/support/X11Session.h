#pragma once

#include <juce_graphics/juce_graphics.h>

namespace KA::Test
{
/** A plain X client of its own (libX11 through dlopen), for driving another process's
    window the way a window manager or a keyboard would. */
class X11Session
{
public:
    explicit X11Session (const juce::String& displayName);
    ~X11Session();

    bool isOpen() const noexcept { return display != nullptr; }
    /** The first top-level window with this title, or 0. */
    unsigned long findWindow (const juce::String& title);
    void internWindowManagerAtoms();
    bool isViewable (unsigned long window);
    unsigned long waitForWindow (const juce::String& title, int timeoutMs);
    /** What a window manager's close button sends. */
    bool sendDeleteWindow (unsigned long window);
    bool pressControlQ();
    /** What the window shows now, or an invalid image. */
    juce::Image grab (unsigned long window);
    /** A client message no one handles, standing in for a desktop's steady traffic: JUCE
        reads X events only when its connection becomes readable, so an event that came
        during one of its own round trips waits in Xlib's queue until the next one. */
    bool sendIgnoredMessage (unsigned long window);

private:
    bool sendClientMessage (unsigned long window, const char* messageType, const char* firstAtom);
    void* display = nullptr;
    void* previousErrorHandler = nullptr;
};
} // namespace KA::Test
