#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
class PluginProcessor;
class PluginEditor;

/** The strip across the top of the editor that carries the preset controls. */
class ToolBar : public juce::Label
{
public:
    ToolBar (PluginProcessor& processor, PluginEditor& editor);

    /** Creates the bar's children; called once, right after construction. */
    void buildToolBar();

protected:
    PluginProcessor* processor;
    PluginEditor* editor;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToolBar)
};
} // namespace KA
