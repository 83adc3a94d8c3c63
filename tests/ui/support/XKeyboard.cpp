#include "tests/ui/support/XKeyboard.h"

#include <juce_core/juce_core.h>

#include <X11/Xlib.h>

#include <cstdlib>

namespace KA::Test
{
namespace
{
struct XKeyboard
{
    XKeyboard()
    {
        const auto find = [] (juce::DynamicLibrary& lib, auto& f, const char* symbol)
        {
            f = reinterpret_cast<std::remove_reference_t<decltype (f)>> (lib.getFunction (symbol));
            return f != nullptr;
        };

        const char* name = std::getenv ("DISPLAY");

        if (name != nullptr && x11.open ("libX11.so.6") && xtst.open ("libXtst.so.6")
            && find (x11, openDisplay, "XOpenDisplay") && find (x11, closeDisplay, "XCloseDisplay")
            && find (x11, setInputFocus, "XSetInputFocus") && find (x11, keysymToKeycode, "XKeysymToKeycode")
            && find (x11, sync, "XSync") && find (xtst, fakeKeyEvent, "XTestFakeKeyEvent"))
            display = openDisplay (name);
    }

    ~XKeyboard()
    {
        if (display != nullptr)
            closeDisplay (display);
    }

    juce::DynamicLibrary x11, xtst;
    decltype (&::XOpenDisplay) openDisplay = nullptr;
    decltype (&::XCloseDisplay) closeDisplay = nullptr;
    decltype (&::XSetInputFocus) setInputFocus = nullptr;
    decltype (&::XKeysymToKeycode) keysymToKeycode = nullptr;
    decltype (&::XSync) sync = nullptr;
    int (*fakeKeyEvent) (Display*, unsigned int, Bool, unsigned long) = nullptr;
    Display* display = nullptr;
};
XKeyboard& getKeyboard()
{
    static XKeyboard keyboard;
    return keyboard;
}
} // namespace

bool focusWindow (void* nativeWindow)
{
    auto& keyboard = getKeyboard();

    if (keyboard.display == nullptr || nativeWindow == nullptr)
        return false;

    keyboard.setInputFocus (keyboard.display, (Window) reinterpret_cast<juce::pointer_sized_uint> (nativeWindow),
                            RevertToParent, CurrentTime);
    keyboard.sync (keyboard.display, False);
    return true;
}

bool pressKey (unsigned long keysym)
{
    auto& keyboard = getKeyboard();

    if (keyboard.display == nullptr)
        return false;

    auto* d = keyboard.display;
    const auto code = keyboard.keysymToKeycode (d, keysym);
    keyboard.fakeKeyEvent (d, code, True, CurrentTime);
    keyboard.fakeKeyEvent (d, code, False, CurrentTime);
    keyboard.sync (d, False);
    return code != 0;
}
} // namespace KA::Test
