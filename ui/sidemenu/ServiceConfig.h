#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <optional>

namespace KA
{
/** Every address and name outside the program that the user interface talks
    to or opens: the mailing-list sign-up service with its credential, the web
    pages of the side menu and the browser they are opened in, the maker's
    plug-in scanner application and the way it is started. Tests put their own
    in place, so nothing under test reaches beyond this machine. */
struct ServiceConfig
{
    /** Where the sign-up request is posted. */
    juce::URL signUpEndpoint;

    /** The request header line that carries the service's credential. */
    juce::String signUpCredentialHeader;

    /** The series bundle's product page. */
    juce::URL productPage;

    /** The maker's home page. */
    juce::URL makerHomePage;

    /** Opens a page in the user's browser; true when a browser could be started. */
    std::function<bool (const juce::URL&)> openInBrowser;

    /** The name of the maker's plug-in scanner application in its folder under
        the global applications folder. */
    juce::String scannerBundleName;

    /** Hands a file to the system to open or run; true when that could be started. */
    std::function<bool (const juce::String& path)> openDocument;

    /** The addresses the program ships with. */
    static ServiceConfig ours();

    /** The addresses in force: ours, unless a ScopedOverride is alive.
        Message thread only. */
    static ServiceConfig current();

    class ScopedOverride;
};

/** Puts other addresses in force for its lifetime (nested overrides restore
    each other in reverse order). */
class ServiceConfig::ScopedOverride
{
public:
    explicit ScopedOverride (ServiceConfig replacement);
    ~ScopedOverride();

private:
    std::optional<ServiceConfig> previous;

    JUCE_DECLARE_NON_COPYABLE (ScopedOverride)
};
} // namespace KA
