#include "ui/controls/SliderEx.h"

namespace KA
{
double SliderEx::proportionOfLengthToValue (double proportion)
{
    return juce::Slider::proportionOfLengthToValue (inverted ? 1.0 - proportion : proportion);
}

double SliderEx::valueToProportionOfLength (double value)
{
    const auto p = juce::Slider::valueToProportionOfLength (value);
    return inverted ? 1.0 - p : p;
}
} // namespace KA
