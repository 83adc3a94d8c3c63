#pragma once

#include "tests/common/MessageLoop.h"

namespace KA::Test
{
/** Presses and releases the mouse on a row of a list box the way JUCE delivers
    it to the row component, which selects the row and tells the model. The
    row must be on screen. Returns false when no row component is there. */
inline bool clickRow (juce::ListBox& list, int row)
{
    const auto centre = list.getRowPosition (row, true).getCentre();
    auto* rowComponent = list.getComponentAt (centre);

    if (rowComponent == nullptr || rowComponent == &list)
        return false;

    const auto now = juce::Time::getCurrentTime();
    const auto position = rowComponent->getLocalPoint (&list, centre).toFloat();
    const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), position, {}, 0.0f, 0.0f, 0.0f,
                                  0.0f, 0.0f, rowComponent, rowComponent, now, position, now, 1, false);
    rowComponent->mouseDown (event);
    rowComponent->mouseUp (event);
    return true;
}
} // namespace KA::Test
