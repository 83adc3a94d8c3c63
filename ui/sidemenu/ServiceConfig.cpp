#include "ui/sidemenu/ServiceConfig.h"

namespace KA
{
namespace
{
std::optional<ServiceConfig>& overridden()
{
    static std::optional<ServiceConfig> config;
    return config;
}
} // namespace

ServiceConfig ServiceConfig::ours()
{
    // The addresses and the credential are put together here rather than kept
    // as plain text in the binary, where any string dump would show them.
    const auto site = juce::String ("korvath-audio") + "." + "example";
    const auto account = juce::String ("dravon-app") + ":" + juce::String::toHexString (0x5d3a91c7) + "k" + juce::String (4096 + 17);

    ServiceConfig config;
    config.signUpEndpoint = juce::URL ("https://lists." + site).getChildURL ("v1").getChildURL ("signups");
    config.signUpCredentialHeader = "Authorization: Basic " + juce::Base64::toBase64 (account);
    config.productPage = juce::URL ("https://www." + site).getChildURL ("products").getChildURL ("dravon-bundle");
    config.makerHomePage = juce::URL ("https://www." + site + "/");
    config.openInBrowser = [] (const juce::URL& page) { return page.launchInDefaultBrowser(); };
    config.scannerBundleName = "Plug-in Scanner";
    config.openDocument = [] (const juce::String& path) { return juce::Process::openDocument (path, {}); };
    return config;
}

ServiceConfig ServiceConfig::current()
{
    return overridden().has_value() ? *overridden() : ours();
}

ServiceConfig::ScopedOverride::ScopedOverride (ServiceConfig replacement)
    : previous (std::exchange (overridden(), std::move (replacement)))
{
}

ServiceConfig::ScopedOverride::~ScopedOverride()
{
    overridden() = std::move (previous);
}
} // namespace KA
