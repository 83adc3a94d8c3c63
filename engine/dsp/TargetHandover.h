#pragma once

#include <atomic>

namespace KA
{

/** Hands the latest value of a small trivially copyable type from the threads
    that change parameters to the audio thread, without the audio thread ever
    waiting.

    Three slots: writers fill their own slot and swap it with the shared middle
    one; the audio thread swaps its slot with the middle one only when a new
    value has been published. Writers are serialised among themselves by a
    short spin that the audio thread never takes part in.
*/
template <typename ValueType>
class TargetHandover
{
public:
    /** Publishes a value (any thread except the audio thread). */
    void post (const ValueType& value) noexcept
    {
        while (writerBusy.test_and_set (std::memory_order_acquire)) {}

        slots[writeIndex] = value;
        writeIndex = middle.exchange (writeIndex | freshBit, std::memory_order_acq_rel) & indexMask;

        writerBusy.clear (std::memory_order_release);
    }

    /** Takes the latest published value, if one arrived since the last call
        (audio thread, or a thread that owns the consumer side while the audio
        thread is stopped). */
    bool fetch (ValueType& result) noexcept
    {
        if ((middle.load (std::memory_order_relaxed) & freshBit) == 0)
            return false;

        readIndex = middle.exchange (readIndex, std::memory_order_acq_rel) & indexMask;
        result = slots[readIndex];
        return true;
    }

private:
    static constexpr int freshBit = 4;
    static constexpr int indexMask = 3;

    ValueType slots[3] {};
    std::atomic<int> middle { 1 };
    int writeIndex = 0;
    int readIndex = 2;
    std::atomic_flag writerBusy = ATOMIC_FLAG_INIT;
};

} // namespace KA
