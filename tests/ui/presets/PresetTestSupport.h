#pragma once

#include "app/RedeVaPlugin.h"
#include "tests/common/TestEnvironment.h"
#include "tests/ui/support/ListRows.h"
#include "ui/editor/PluginEditor.h"
#include "ui/presets/PresetLibrary.h"

namespace KA::Test
{
/** A user and a shared preset folder of their own below the test HOME. */
struct PresetFolders
{
    juce::File base = makeTemporaryFolder ("presets"), user = base.getChildFile ("user"), shared = base.getChildFile ("shared");

    KA::PresetLibrary::Folders folders() const { return { user, shared }; }

    /** Writes a preset of this product with "Level" at the value given. */
    static juce::File write (const juce::File& file, float level)
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRRoreRurediriz lastUIWidth=\"700\" lastUIHeight=\"300\">"
                              "<PARAM id=\"Level\" value=\"" + juce::String (level) + "\"/></DRRoreRurediriz>\n");
        return file;
    }
};

inline float valueOf (KA::PluginProcessor& p, const juce::String& id) { return p.parameters.getRawParameterValue (id)->load(); }

inline void setValue (KA::PluginProcessor& p, const juce::String& id, float value)
{
    auto* parameter = p.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

inline juce::String currentPresetOf (KA::PluginProcessor& p) { return p.parameters.state["CurrentPreset"].toString(); }

/** The editor base with a bar over the given folders; counts the preset changes it is told of. */
class BarEditor : public KA::PluginEditor
{
public:
    BarEditor (KA::PluginProcessor& p, KA::PresetLibrary::Folders f) : KA::PluginEditor (p), folders (std::move (f)) { init (690, 284); }
    ~BarEditor() override { releaseComponents(); }

    std::unique_ptr<KA::ToolBar> createToolBar() override
    {
        auto bar = std::make_unique<KA::ToolBar> (getProcessor(), *this, folders);
        bar->buildToolBar();
        return bar;
    }

    void presetWillChange() override { ++presetChanges; }

    /** The message of the box open over the editor, or empty. */
    juce::String openMessage() const;

    /** Presses a button of the box open over the editor, by its text. */
    void answer (const juce::String& buttonText);

    int presetChanges = 0;

private:
    KA::PresetLibrary::Folders folders;
};
} // namespace KA::Test
