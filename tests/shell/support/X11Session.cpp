#include "tests/shell/support/X11Session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

// libX11 is loaded the way JUCE loads it, not linked.
#define X(function) (reinterpret_cast<decltype (&::function)> (::dlsym (libX11(), #function)))

namespace KA::Test
{
namespace
{
void* libX11()
{
    static void* lib = ::dlopen ("libX11.so.6", RTLD_LAZY | RTLD_NODELETE);
    return lib;
}

int ignoreError (Display*, XErrorEvent*) { return 0; }
} // namespace

X11Session::X11Session (const juce::String& displayName)
    : display (libX11() != nullptr ? X (XOpenDisplay) (displayName.toRawUTF8()) : nullptr)
{
    // A window listed a moment ago may be gone by the next request: Xlib's default answer
    // to that BadWindow ends this process; here it is an ordinary failed call.
    if (display != nullptr)
        previousErrorHandler = reinterpret_cast<void*> (X (XSetErrorHandler) (ignoreError));
}

X11Session::~X11Session()
{
    if (display != nullptr)
    {
        X (XSync) (static_cast<Display*> (display), False);
        X (XSetErrorHandler) (reinterpret_cast<XErrorHandler> (previousErrorHandler));
        X (XCloseDisplay) (static_cast<Display*> (display));
    }
}

unsigned long X11Session::findWindow (const juce::String& title)
{
    auto* d = static_cast<Display*> (display);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;

    if (d == nullptr || X (XQueryTree) (d, X (XDefaultRootWindow) (d), &root, &parent, &children, &count) == 0)
        return 0;

    for (unsigned int i = 0; i < count && found == 0; ++i)
    {
        // JUCE stores the title as UTF8_STRING, which XFetchName refuses; the bytes are what counts.
        XTextProperty name {};
        if (X (XGetWMName) (d, children[i], &name) != 0 && name.value != nullptr)
        {
            found = title == juce::String::fromUTF8 (reinterpret_cast<const char*> (name.value), (int) name.nitems) ? children[i] : 0;
            X (XFree) (name.value);
        }
    }

    if (children != nullptr)
        X (XFree) (children);

    return found;
}

void X11Session::internWindowManagerAtoms()
{
    if (auto* d = static_cast<Display*> (display))
    {
        for (auto* atom : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING", "_NET_WM_NAME", "_NET_WM_ICON_NAME",
                            "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_HIDDEN", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL",
                            "_NET_WM_PID", "_NET_ACTIVE_WINDOW", "_NET_FRAME_EXTENTS", "_MOTIF_WM_HINTS", "UTF8_STRING", "_NET_SUPPORTED",
                            "_NET_WORKAREA", "_NET_CURRENT_DESKTOP", "_NET_WM_WINDOW_OPACITY", "WM_STATE", "WM_CHANGE_STATE",
                            "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_WINDOW_TYPE_DIALOG" })
            X (XInternAtom) (d, atom, False);

        X (XSync) (d, False);
    }
}

bool X11Session::isViewable (unsigned long window)
{
    XWindowAttributes attributes {};
    return display != nullptr && window != 0
        && X (XGetWindowAttributes) (static_cast<Display*> (display), window, &attributes) != 0
        && attributes.map_state == IsViewable;
}

unsigned long X11Session::waitForWindow (const juce::String& title, int timeoutMs)
{
    auto w = findWindow (title);
    for (int waited = 0; w == 0 && waited < timeoutMs; waited += 50, w = findWindow (title))
        juce::Thread::sleep (50);
    return w;
}

bool X11Session::sendDeleteWindow (unsigned long window) { return sendClientMessage (window, "WM_PROTOCOLS", "WM_DELETE_WINDOW"); }
bool X11Session::sendIgnoredMessage (unsigned long window) { return sendClientMessage (window, "KA_TEST_NOTHING", nullptr); }

bool X11Session::pressControlQ()
{
    // XTEST through xdotool: to the focused window, as a keyboard would.
    juce::ChildProcess p;
    return p.start ("xdotool key ctrl+q") && p.waitForProcessToFinish (10000) && p.getExitCode() == 0;
}

bool X11Session::sendClientMessage (unsigned long window, const char* messageType, const char* firstAtom)
{
    auto* d = static_cast<Display*> (display);
    if (d == nullptr || window == 0)
        return false;

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = X (XInternAtom) (d, messageType, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = firstAtom != nullptr ? (long) X (XInternAtom) (d, firstAtom, False) : 0;
    const auto sent = X (XSendEvent) (d, window, False, NoEventMask, &event) != 0;
    X (XSync) (d, False);
    return sent;
}
juce::Image X11Session::grab (unsigned long window)
{
    auto* d = static_cast<Display*> (display);
    XWindowAttributes attributes {};

    if (d == nullptr || X (XGetWindowAttributes) (d, window, &attributes) == 0 || attributes.width <= 0 || attributes.height <= 0)
        return {};

    auto* xImage = X (XGetImage) (d, window, 0, 0, (unsigned int) attributes.width, (unsigned int) attributes.height, AllPlanes, ZPixmap);

    if (xImage == nullptr)
        return {};

    juce::Image image (juce::Image::RGB, attributes.width, attributes.height, false);
    const auto channel = [] (unsigned long pixel, unsigned long mask)
    {
        return (juce::uint8) (mask == 0 ? 0 : ((pixel & mask) >> (juce::findHighestSetBit ((juce::uint32) mask) - 7)) & 0xff);
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
