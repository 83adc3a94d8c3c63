#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

namespace
{
/** Every outside address the user interface knows points at a loopback port
    with nothing behind it for the whole run: no test reaches beyond this
    machine, whatever it clicks. Tests that talk to a service of their own put
    it in place over this one. */
class LoopbackServices : public ::testing::Environment
{
public:
    void SetUp() override
    {
        KA::ServiceConfig config;
        config.signUpEndpoint = juce::URL ("http://127.0.0.1:9/signups");
        config.productPage = juce::URL ("http://127.0.0.1:9/products/dravon-bundle");
        config.makerHomePage = juce::URL ("http://127.0.0.1:9/");
        // and no browser: a page chosen from the side menu opens nothing
        scoped = std::make_unique<KA::ServiceConfig::ScopedOverride> (config);
    }

    void TearDown() override { scoped.reset(); }

private:
    std::unique_ptr<KA::ServiceConfig::ScopedOverride> scoped;
};

[[maybe_unused]] auto* const registered = ::testing::AddGlobalTestEnvironment (new LoopbackServices);
} // namespace
