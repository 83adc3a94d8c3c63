#pragma once

#include "app/RedeVaPlugin.h"
#include "tests/common/TestEnvironment.h"
#include "ui/editor/PluginEditor.h"
#include "ui/presets/PresetLibrary.h"

namespace KA::Test
{
/** A user and a shared preset folder of their own below the test HOME. */
struct PresetFolders
{
    juce::File base = makeTemporaryFolder ("presets");
    juce::File user = base.getChildFile ("user");
    juce::File shared = base.getChildFile ("shared");

    KA::PresetLibrary::Folders folders() const { return { user, shared }; }

    /** A preset file of this product with "Level" at the value given. */
    static juce::File write (const juce::File& file, float level, const juce::String& rootTag = "DRRoreRurediriz")
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + rootTag
                              + " lastUIWidth=\"700\" lastUIHeight=\"300\"><PARAM id=\"Level\" value=\""
                              + juce::String (level) + "\"/></" + rootTag + ">\n");
        return file;
    }
};

inline float valueOf (KA::PluginProcessor& processor, const juce::String& id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

inline void setValue (KA::PluginProcessor& processor, const juce::String& id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

inline juce::String currentPresetOf (KA::PluginProcessor& processor)
{
    return processor.parameters.state.getProperty ("CurrentPreset").toString();
}

/** The state as text, for comparing states before and after. */
inline juce::String stateText (KA::PluginProcessor& processor)
{
    return processor.copyFlushedState().createXml()->toString();
}

/** The product's editor base with a bar over the given folders. */
class BarEditor : public KA::PluginEditor
{
public:
    BarEditor (KA::PluginProcessor& p, KA::PresetLibrary::Folders f)
        : KA::PluginEditor (p), folders (std::move (f))
    {
        init (690, 284);
    }

    ~BarEditor() override { releaseComponents(); }

    std::unique_ptr<KA::ToolBar> createToolBar() override
    {
        auto bar = std::make_unique<KA::ToolBar> (getProcessor(), *this, folders);
        bar->buildToolBar();
        return bar;
    }

    void presetWillChange() override { ++presetChanges; }

    KA::ToolBar& bar() { return *getToolBar(); }

    /** The message of the box or question open over the editor, or empty. */
    juce::String openMessage() const;

    /** Presses a button of the dialog open over the editor, by its text. */
    void answer (const juce::String& buttonText);

    int presetChanges = 0;

private:
    KA::PresetLibrary::Folders folders;
};

/** Clicks a button the way a pointer does and lets its messages run. */
void click (juce::Button& button);
} // namespace KA::Test
