#include "tests/shell/support/X11Session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace KA::Test
{
namespace
{
    int ignoreError (Display*, XErrorEvent*) { return 0; }
} // namespace

struct X11Session::Functions
{
    juce::DynamicLibrary x11, xtst;

    decltype (&::XOpenDisplay) openDisplay = nullptr;
    decltype (&::XCloseDisplay) closeDisplay = nullptr;
    decltype (&::XDefaultRootWindow) defaultRootWindow = nullptr;
    decltype (&::XQueryTree) queryTree = nullptr;
    decltype (&::XGetWMName) getWMName = nullptr;
    decltype (&::XFree) free = nullptr;
    decltype (&::XInternAtom) internAtom = nullptr;
    decltype (&::XSendEvent) sendEvent = nullptr;
    decltype (&::XFlush) flush = nullptr;
    decltype (&::XSync) sync = nullptr;
    decltype (&::XKeysymToKeycode) keysymToKeycode = nullptr;
    decltype (&::XGetWindowAttributes) getWindowAttributes = nullptr;
    decltype (&::XSetErrorHandler) setErrorHandler = nullptr;
    decltype (&::XGetImage) getImage = nullptr;
    int (*fakeKeyEvent) (Display*, unsigned int, Bool, unsigned long) = nullptr;

    bool load()
    {
        if (! x11.open ("libX11.so.6") || ! xtst.open ("libXtst.so.6"))
            return false;

        const auto find = [] (juce::DynamicLibrary& lib, auto& f, const char* symbol)
        {
            f = reinterpret_cast<std::remove_reference_t<decltype (f)>> (lib.getFunction (symbol));
            return f != nullptr;
        };

        return find (x11, openDisplay, "XOpenDisplay") && find (x11, closeDisplay, "XCloseDisplay")
            && find (x11, defaultRootWindow, "XDefaultRootWindow") && find (x11, queryTree, "XQueryTree")
            && find (x11, getWMName, "XGetWMName") && find (x11, free, "XFree")
            && find (x11, internAtom, "XInternAtom") && find (x11, sendEvent, "XSendEvent")
            && find (x11, flush, "XFlush") && find (x11, sync, "XSync")
            && find (x11, keysymToKeycode, "XKeysymToKeycode")
            && find (x11, getWindowAttributes, "XGetWindowAttributes")
            && find (x11, setErrorHandler, "XSetErrorHandler")
            && find (x11, getImage, "XGetImage")
            && find (xtst, fakeKeyEvent, "XTestFakeKeyEvent");
    }
};

X11Session::X11Session (const juce::String& displayName)
    : fn (std::make_unique<Functions>())
{
    if (fn->load())
        display = fn->openDisplay (displayName.toRawUTF8());

    // The application creates and destroys windows while this looks at them, so a window
    // listed a moment ago may be gone by the next request. Xlib's default answer to that
    // BadWindow is to end this process; here it is an ordinary failed call.
    if (display != nullptr)
        previousErrorHandler = reinterpret_cast<void*> (fn->setErrorHandler (ignoreError));
}

X11Session::~X11Session()
{
    if (display != nullptr)
    {
        fn->sync (static_cast<Display*> (display), False);
        fn->setErrorHandler (reinterpret_cast<XErrorHandler> (previousErrorHandler));
        fn->closeDisplay (static_cast<Display*> (display));
    }
}

unsigned long X11Session::findWindow (const juce::String& title)
{
    if (display == nullptr)
        return 0;

    auto* d = static_cast<Display*> (display);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;

    if (fn->queryTree (d, fn->defaultRootWindow (d), &root, &parent, &children, &count) == 0)
        return 0;

    for (unsigned int i = 0; i < count && found == 0; ++i)
    {
        // JUCE stores the title as UTF8_STRING, which XFetchName refuses; the bytes are what counts.
        XTextProperty name {};

        if (fn->getWMName (d, children[i], &name) != 0 && name.value != nullptr)
        {
            if (title == juce::String::fromUTF8 (reinterpret_cast<const char*> (name.value), (int) name.nitems))
                found = children[i];

            fn->free (name.value);
        }
    }

    if (children != nullptr)
        fn->free (children);

    return found;
}

void X11Session::internWindowManagerAtoms()
{
    if (display == nullptr)
        return;

    auto* d = static_cast<Display*> (display);

    for (auto* atom : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING", "_NET_WM_NAME",
                        "_NET_WM_ICON_NAME", "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_HIDDEN",
                        "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_PID", "_NET_ACTIVE_WINDOW",
                        "_NET_FRAME_EXTENTS", "_MOTIF_WM_HINTS", "UTF8_STRING", "_NET_SUPPORTED", "_NET_WORKAREA",
                        "_NET_CURRENT_DESKTOP", "_NET_WM_WINDOW_OPACITY", "WM_STATE", "WM_CHANGE_STATE",
                        "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_WINDOW_TYPE_DIALOG" })
        fn->internAtom (d, atom, False);

    fn->sync (d, False);
}

bool X11Session::isViewable (unsigned long window)
{
    if (display == nullptr || window == 0)
        return false;

    XWindowAttributes attributes {};
    return fn->getWindowAttributes (static_cast<Display*> (display), window, &attributes) != 0
        && attributes.map_state == IsViewable;
}

unsigned long X11Session::waitForWindow (const juce::String& title, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 50)
    {
        if (auto w = findWindow (title))
            return w;

        juce::Thread::sleep (50);
    }

    return 0;
}

bool X11Session::sendDeleteWindow (unsigned long window)
{
    return sendClientMessage (window, "WM_PROTOCOLS", "WM_DELETE_WINDOW");
}

bool X11Session::sendIgnoredMessage (unsigned long window)
{
    return sendClientMessage (window, "KA_TEST_NOTHING", nullptr);
}

bool X11Session::sendClientMessage (unsigned long window, const char* messageType, const char* firstAtom)
{
    if (display == nullptr || window == 0)
        return false;

    auto* d = static_cast<Display*> (display);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = fn->internAtom (d, messageType, False);
    event.xclient.format = 32;

    if (firstAtom != nullptr)
    {
        event.xclient.data.l[0] = (long) fn->internAtom (d, firstAtom, False);
        event.xclient.data.l[1] = CurrentTime;
    }

    return sendToWindowThatMayBeGone (window, &event);
}

bool X11Session::sendToWindowThatMayBeGone (unsigned long window, void* xEvent)
{
    auto* d = static_cast<Display*> (display);
    const auto sent = fn->sendEvent (d, window, False, NoEventMask, static_cast<XEvent*> (xEvent)) != 0;
    fn->sync (d, False);
    return sent;
}

bool X11Session::pressControlQ()
{
    if (display == nullptr)
        return false;

    auto* d = static_cast<Display*> (display);
    const auto control = fn->keysymToKeycode (d, XK_Control_L);
    const auto q = fn->keysymToKeycode (d, XK_q);

    fn->fakeKeyEvent (d, control, True, CurrentTime);
    fn->fakeKeyEvent (d, q, True, CurrentTime);
    fn->fakeKeyEvent (d, q, False, CurrentTime);
    fn->fakeKeyEvent (d, control, False, CurrentTime);
    fn->sync (d, False);
    return true;
}
juce::Image X11Session::grab (unsigned long window)
{
    if (display == nullptr)
        return {};

    auto* d = static_cast<Display*> (display);
    XWindowAttributes attributes {};

    if (fn->getWindowAttributes (d, window, &attributes) == 0 || attributes.width <= 0 || attributes.height <= 0)
        return {};

    auto* xImage = fn->getImage (d, window, 0, 0, (unsigned int) attributes.width, (unsigned int) attributes.height,
                                 AllPlanes, ZPixmap);

    if (xImage == nullptr)
        return {};

    juce::Image image (juce::Image::RGB, attributes.width, attributes.height, false);
    const auto channel = [] (unsigned long pixel, unsigned long mask)
    {
        return (juce::uint8) (mask == 0 ? 0 : ((pixel & mask) >> juce::findHighestSetBit ((juce::uint32) mask) - 7) & 0xff);
    };

    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
        {
            const auto pixel = XGetPixel (xImage, x, y);
            image.setPixelAt (x, y, juce::Colour (channel (pixel, xImage->red_mask), channel (pixel, xImage->green_mask),
                                                  channel (pixel, xImage->blue_mask)));
        }

    XDestroyImage (xImage);
    return image;
}
} // namespace KA::Test
