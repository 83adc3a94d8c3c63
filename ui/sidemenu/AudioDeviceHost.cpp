#include "ui/sidemenu/AudioDeviceHost.h"

#include "shell/StandaloneFlag.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
AudioDeviceHost* AudioDeviceHost::find()
{
    if (! StandaloneFlag::isSet())
        return nullptr;

    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* host = dynamic_cast<AudioDeviceHost*> (desktop.getComponent (i)))
            return host;

    return nullptr;
}
} // namespace KA
