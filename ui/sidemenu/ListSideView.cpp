#include "ui/sidemenu/ListSideView.h"

#include "ui/editor/PluginEditor.h"
#include "ui/sidemenu/AboutBox.h"
#include "engine/AudioDeviceHost.h"
#include "ui/sidemenu/ServiceConfig.h"
#include "ui/sidemenu/SettingAudioDialog.h"

namespace KA
{
namespace
{
    struct Entry
    {
        const char* caption;
        int id;
        bool hasOwnColour;
        juce::uint32 colour;
    };

    constexpr Entry entries[] {
        { "Online Product Info", ListSideView::productInfo, false, 0x00000000 },
        { "About", ListSideView::about, false, 0x00000000 },
        { "Promotions, new products and sales. Directly to your inbox.", ListSideView::mailingList, true, 0xffff0000 },
        { "Audio Setting", ListSideView::audioSetting, false, 0x00000000 },
    };
} // namespace

ListSideView::ListSideView (PluginProcessor* p, const juce::Image& picture, int versionX, int versionY,
                            int versionWidth, int versionHeight, bool, juce::Colour colour, const juce::URL& url)
    : ListTreeView ([] (ListTreeView* view, void*) { static_cast<ListSideView*> (view)->sideMenuItemChosen(); },
                    nullptr),
      productUrl (url),
      aboutImage (picture),
      versionColour (colour),
      versionBounds (versionX, versionY, versionWidth, versionHeight),
      processor (p)
{
    auto newHeader = std::make_unique<HeaderSide> (*this);
    newHeader->getBackButton().setVisible (false);
    header = newHeader.get();
    getListBox().setHeaderComponent (std::move (newHeader));
}

ListSideView::~ListSideView() = default;

void ListSideView::addEntries (bool withAudioSetting)
{
    auto& rootItem = getRoot();

    for (const auto& entry : entries)
    {
        if (entry.id == audioSetting && ! withAudioSetting)
            continue;

        auto item = std::make_unique<ListTreeViewItem>();
        item->caption = entry.caption;
        item->id = entry.id;
        item->hasOwnColour = entry.hasOwnColour;
        item->colour = juce::Colour (entry.colour);
        item->justification = juce::Justification::centred;
        rootItem.children.add (item.release());
    }

    setCurrentNode (&rootItem);
    getListBox().updateContent();
}

void ListSideView::sideMenuItemChosen()
{
    const auto* item = getChosenItem();

    if (item == nullptr)
        return;

    if (item->id == productInfo)
    {
        openPage (productUrl);
        return;
    }

    if (item->id == pluginScanner)
    {
        launchScanner();
        return;
    }

    auto* pluginEditor = findEditor();

    if (pluginEditor == nullptr)
        return;

    switch (item->id)
    {
        case about:        showAboutBox (*pluginEditor); break;
        case mailingList:  pluginEditor->showMailListDialog(); break;
        case audioSetting: showAudioSettings (*pluginEditor); break;
        default:           break;
    }
}

PluginEditor* ListSideView::findEditor() const
{
    if (processor == nullptr)
        return nullptr;

    const juce::ScopedLock lock (processor->getCallbackLock());
    return dynamic_cast<PluginEditor*> (processor->getActiveEditor());
}

void ListSideView::openPage (const juce::URL& page)
{
    if (const auto open = ServiceConfig::current().openInBrowser)
        open (page);
}

void ListSideView::launchScanner()
{
    const auto config = ServiceConfig::current();
    const auto path = juce::File::getSpecialLocation (juce::File::globalApplicationsDirectory).getFullPathName()
                    + "/Korvath Audio/" + config.scannerBundleName;

    // A scanner that isn't installed is not worth a message: the menu simply does nothing.
    if (path.isNotEmpty() && juce::File (path).exists() && config.openDocument)
        config.openDocument (path);
}

void ListSideView::showAboutBox (PluginEditor& pluginEditor)
{
    pluginEditor.openDialog (std::make_unique<AboutBox> (processor->parameters, aboutImage, versionColour, versionBounds));
}

void ListSideView::showAudioSettings (PluginEditor& editor)
{
    auto* host = AudioDeviceHost::find();

    if (host == nullptr)
        return;

    auto dialog = std::make_unique<SettingAudioDialog>();
    dialog->init (host->getHostDeviceManager(), host->getHostChannelConfiguration(), host->getHostProcessor());
    editor.openDialog (std::move (dialog));
}
} // namespace KA

//==============================================================================
void DRListSideView::sideMenuItemChosen()
{
    if (const auto* item = getChosenItem(); item != nullptr && item->id == productInfo)
        openPage (KA::ServiceConfig::current().productPage);
    else
        KA::ListSideView::sideMenuItemChosen();
}
