#pragma once

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
} // namespace StandaloneFlag
} // namespace KA
