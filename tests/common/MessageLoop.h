#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

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

/** Lets the messages of that many milliseconds run. */
inline void runFor (int milliseconds) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }

/** Clicks a button and lets its messages run. */
inline void click (juce::Button& button)
{
    button.triggerClick();
    runFor (20);
}
} // namespace KA::Test
