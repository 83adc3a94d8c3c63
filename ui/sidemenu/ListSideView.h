#pragma once

#include "engine/PluginProcessor.h"
#include "ui/controls/ListTreeView.h"

namespace KA
{
class PluginEditor;

/** The side menu: a one-level list whose entries open the maker's page, the
    about panel, the mailing-list form and, in the standalone application, the
    audio settings. Choosing an entry hides the menu first; entries that open a
    panel then replace the menu as the editor's dialog, which keeps the menu
    alive until its own click has been handled. */
class ListSideView : public ListTreeView
{
public:
    /** The plain header: "Close" only, the back button is hidden. */
    class HeaderSide : public ListTreeView::Header
    {
    public:
        using Header::Header;
    };

    /** The entries' ids. No entry of this menu launches the scanner, but the
        action is there for an item that has its id. The MIDI page is not part
        of this application: its id does nothing. */
    enum Action
    {
        pluginScanner = 0,
        productInfo = 1,
        about = 2,
        mailingList = 3,
        audioSetting = 4
    };

    /** The bool is not used. */
    ListSideView (PluginProcessor* processor, const juce::Image& aboutImage, int versionX, int versionY,
                  int versionWidth, int versionHeight, bool, juce::Colour versionColour, const juce::URL& productUrl);
    ~ListSideView() override;

    /** Appends the entries to the root and shows them; "Audio Setting" only when asked. */
    void addEntries (bool withAudioSetting);

    /** Acts on the chosen item. */
    virtual void sideMenuItemChosen();

    HeaderSide& getHeader() const noexcept { return *header; }

protected:
    /** The processor's editor, or null when it has none open. */
    PluginEditor* findEditor() const;

    /** Opens the page with the configured browser, when there is one. */
    static void openPage (const juce::URL& page);

private:
    static void launchScanner();
    void showAboutBox (PluginEditor&);
    static void showAudioSettings (PluginEditor&);

    juce::URL productUrl;
    juce::Image aboutImage;
    juce::Colour versionColour;
    juce::Rectangle<int> versionBounds;
    PluginProcessor* processor;
    HeaderSide* header = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListSideView)
};
} // namespace KA

/** The series' side menu: its product entry opens the series bundle's page
    rather than the maker's home page. */
class DRListSideView : public KA::ListSideView
{
public:
    using KA::ListSideView::ListSideView;

    void sideMenuItemChosen() override;
};
