#pragma once

#include <juce_events/juce_events.h>

#include <functional>

namespace KA::Test
{
/** Runs the message loop until the condition holds or the time is up. */
inline bool runUntil (const std::function<bool()>& condition, int timeoutMs)
{
    for (const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs; ! condition();)
        if (juce::Time::getMillisecondCounter() > end || ! juce::MessageManager::getInstance()->runDispatchLoopUntil (10))
            return condition();

    return true;
}

inline void runFor (int milliseconds) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }
} // namespace KA::Test
