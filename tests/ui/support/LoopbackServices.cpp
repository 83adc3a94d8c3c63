#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

namespace
{
/** Every outside address points at a loopback port with nothing behind it, and no
    browser or other program opens: no test reaches beyond this machine, whatever it clicks. */
struct LoopbackServices : ::testing::Environment
{
    void SetUp() override
    {
        KA::ServiceConfig config;
        config.signUpEndpoint = juce::URL ("http://127.0.0.1:9/signups");
        config.productPage = juce::URL ("http://127.0.0.1:9/products");
        config.makerHomePage = juce::URL ("http://127.0.0.1:9/");
        scoped = std::make_unique<KA::ServiceConfig::ScopedOverride> (config);
    }
    void TearDown() override { scoped.reset(); }
    std::unique_ptr<KA::ServiceConfig::ScopedOverride> scoped;
};

[[maybe_unused]] auto* const registered = ::testing::AddGlobalTestEnvironment (new LoopbackServices);
} // namespace
