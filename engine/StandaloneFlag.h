#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

namespace KA
{
/** Tells the user interface that it runs inside the standalone application. It is set
    once by the application object before any window exists and never cleared; kept
    header-only so the user interface can read it without linking the shell. */
namespace StandaloneFlag
{
    inline std::atomic<bool>& storage() noexcept
    {
        static std::atomic<bool> flag { false };
        return flag;
    }

    inline bool isSet() noexcept  { return storage().load(); }
    inline void set() noexcept    { storage().store (true); }

    /** The first window on the desktop that is a WindowType, and only inside the
        standalone application: how the shell finds its holder and the user
        interface its audio device. Null otherwise. */
    template <typename WindowType>
    WindowType* findWindow()
    {
        if (! isSet())
            return nullptr;

        auto& desktop = juce::Desktop::getInstance();

        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* window = dynamic_cast<WindowType*> (desktop.getComponent (i)))
                return window;

        return nullptr;
    }
} // namespace StandaloneFlag
} // namespace KA
