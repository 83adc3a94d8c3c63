#pragma once

#include <cstdint>

namespace KA
{
/** One channel configuration the processor supports: inputs, then outputs. */
struct SettingsPluginInOuts
{
    int16_t numIns = 0;
    int16_t numOuts = 0;

    bool operator== (const SettingsPluginInOuts& other) const noexcept
    {
        return numIns == other.numIns && numOuts == other.numOuts;
    }
};
} // namespace KA
