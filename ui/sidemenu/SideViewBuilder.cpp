#include "engine/StandaloneFlag.h"
#include "ui/editor/DRBaseAudioProcessorEditor.h"
#include "ui/sidemenu/ListSideView.h"
#include "ui/sidemenu/ServiceConfig.h"

#include "BinaryData.h"

std::unique_ptr<juce::Component> DRBaseAudioProcessorEditor::createSideView()
{
    const auto picture = juce::ImageCache::getFromMemory (BinaryData::about_picture_png, BinaryData::about_picture_pngSize);

    auto view = std::make_unique<DRListSideView> (&getProcessor(), picture, 118, 132, 50, 8, false,
                                                  juce::Colour (0xffffffff), KA::ServiceConfig::current().makerHomePage);
    view->addEntries (KA::StandaloneFlag::isSet());
    return view;
}
