#include "ui/sidemenu/MailRedirect.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace KA::MailRedirect
{
namespace
{
/** The five components of RFC 3986 Appendix B; an absent one differs from an empty one. */
struct Reference
{
    std::optional<std::string> scheme, authority;
    std::string path;
    std::optional<std::string> query, fragment;
};

/** ^(([^:/?#]+):)?(//([^/?#]*))?([^?#]*)(\?([^#]*))?(#(.*))? */
Reference split (const std::string& s)
{
    Reference r;
    size_t i = 0;
    const auto schemeEnd = s.find_first_of (":/?#");

    if (schemeEnd != std::string::npos && schemeEnd > 0 && s[schemeEnd] == ':')
    {
        r.scheme = s.substr (0, schemeEnd);
        i = schemeEnd + 1;
    }

    if (s.compare (i, 2, "//") == 0)
    {
        const auto end = std::min (s.find_first_of ("/?#", i + 2), s.size());
        r.authority = s.substr (i + 2, end - i - 2);
        i = end;
    }

    const auto pathEnd = std::min (s.find_first_of ("?#", i), s.size());
    r.path = s.substr (i, pathEnd - i);
    i = pathEnd;

    if (i < s.size() && s[i] == '?')
    {
        const auto end = std::min (s.find ('#', i), s.size());
        r.query = s.substr (i + 1, end - i - 1);
        i = end;
    }

    if (i < s.size() && s[i] == '#')
        r.fragment = s.substr (i + 1);

    return r;
}

/** Section 5.2.4. */
std::string removeDotSegments (std::string in)
{
    std::string out;
    const auto dropLastSegment = [&out] { out.erase (std::min (out.size(), out.rfind ('/') == std::string::npos ? 0 : out.rfind ('/'))); };

    while (! in.empty())
    {
        if (in.compare (0, 3, "../") == 0)
            in.erase (0, 3);
        else if (in.compare (0, 2, "./") == 0)
            in.erase (0, 2);
        else if (in.compare (0, 3, "/./") == 0)
            in.erase (0, 2);
        else if (in == "/.")
            in = "/";
        else if (in.compare (0, 4, "/../") == 0)
        {
            in.erase (0, 3);
            dropLastSegment();
        }
        else if (in == "/..")
        {
            in = "/";
            dropLastSegment();
        }
        else if (in == "." || in == "..")
            in.clear();
        else
        {
            const auto end = std::min (in.find ('/', 1), in.size());
            out += in.substr (0, end);
            in.erase (0, end);
        }
    }

    return out;
}

/** Section 5.2.3. */
std::string merge (const Reference& base, const std::string& path)
{
    if (base.authority.has_value() && base.path.empty())
        return "/" + path;

    const auto slash = base.path.rfind ('/');
    return (slash == std::string::npos ? std::string() : base.path.substr (0, slash + 1)) + path;
}

/** Section 5.3. */
std::string recompose (const Reference& r)
{
    std::string s;
    if (r.scheme) s += *r.scheme + ":";
    if (r.authority) s += "//" + *r.authority;
    s += r.path;
    if (r.query) s += "?" + *r.query;
    if (r.fragment) s += "#" + *r.fragment;
    return s;
}

std::string lower (std::string s)
{
    std::transform (s.begin(), s.end(), s.begin(), [] (unsigned char c) { return (char) std::tolower (c); });
    return s;
}

/** Scheme, host and port of an http or https URI; nothing for any other. */
std::optional<std::string> originOf (const std::string& uri)
{
    const auto r = split (uri);
    if (! r.scheme || ! r.authority)
        return std::nullopt;

    const auto scheme = lower (*r.scheme);
    if (scheme != "http" && scheme != "https")
        return std::nullopt;

    auto hostAndPort = r.authority->substr (r.authority->rfind ('@') == std::string::npos ? 0 : r.authority->rfind ('@') + 1);
    // The port follows the last ':' outside an IPv6 literal's brackets.
    const auto colon = hostAndPort.rfind (':');
    const auto hasPort = colon != std::string::npos && hostAndPort.find (']', colon) == std::string::npos;
    auto host = lower (hasPort ? hostAndPort.substr (0, colon) : hostAndPort);
    auto port = hasPort ? hostAndPort.substr (colon + 1) : std::string();

    if (host.empty() || ! std::all_of (port.begin(), port.end(), [] (unsigned char c) { return std::isdigit (c) != 0; }))
        return std::nullopt;

    port.erase (0, std::min (port.find_first_not_of ('0'), port.size()));
    if (port.empty())
        port = scheme == "https" ? "443" : "80";

    return scheme + "://" + host + ":" + port;
}
} // namespace

bool isRedirect (int statusCode)
{
    return statusCode == 301 || statusCode == 302 || statusCode == 303 || keepsMethodAndBody (statusCode);
}

bool keepsMethodAndBody (int statusCode)
{
    return statusCode == 307 || statusCode == 308;
}

std::string resolve (const std::string& baseText, const std::string& referenceText)
{
    // Section 5.2.2, strict: a scheme in the reference always counts.
    const auto base = split (baseText);
    const auto ref = split (referenceText);
    Reference target;

    if (ref.scheme)
    {
        target = ref;
        target.path = removeDotSegments (ref.path);
    }
    else
    {
        if (ref.authority)
        {
            target.authority = ref.authority;
            target.path = removeDotSegments (ref.path);
            target.query = ref.query;
        }
        else
        {
            if (ref.path.empty())
            {
                target.path = base.path;
                target.query = ref.query ? ref.query : base.query;
            }
            else
            {
                target.path = removeDotSegments (ref.path.front() == '/' ? ref.path : merge (base, ref.path));
                target.query = ref.query;
            }

            target.authority = base.authority;
        }

        target.scheme = base.scheme;
    }

    target.fragment = ref.fragment;
    return recompose (target);
}

bool haveSameOrigin (const std::string& a, const std::string& b)
{
    const auto originA = originOf (a);
    return originA.has_value() && originA == originOf (b);
}

bool isHttpAddress (const std::string& uri)
{
    return originOf (uri).has_value();
}
} // namespace KA::MailRedirect
