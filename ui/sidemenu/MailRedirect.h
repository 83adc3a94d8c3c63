#pragma once

#include <string>

namespace KA::MailRedirect
{
/** Whether an HTTP status asks for the request to be made again elsewhere (301, 302,
    303, 307, 308). Other 3xx statuses are final answers. */
bool isRedirect (int statusCode);

/** Whether a redirect repeats the request with its method and body (307, 308); the
    others turn it into a GET without a body. */
bool keepsMethodAndBody (int statusCode);

/** A URI reference (a Location header's value) resolved against an absolute base URI
    as RFC 3986 section 5.2 says: its components taken as in Appendix B, merged with
    the base's path (5.2.3), dot segments removed (5.2.4), recomposed (5.3). */
std::string resolve (const std::string& base, const std::string& reference);

/** Whether two absolute http or https URIs have the same scheme, host and port (the
    scheme's own port when none is given); scheme and host compared without case. */
bool haveSameOrigin (const std::string& a, const std::string& b);

/** Whether an absolute URI is an http or https address with a host. */
bool isHttpAddress (const std::string& uri);
} // namespace KA::MailRedirect
