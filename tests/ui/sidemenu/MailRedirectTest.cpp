#include "ui/sidemenu/MailRedirect.h"

#include <gtest/gtest.h>

namespace
{
using KA::MailRedirect::resolve;

// RFC 3986 section 5.4: each reference, and the target it resolves to against the base
// "http://a/b/c/d;p?q", as the RFC lists them.
struct Example
{
    const char* reference;
    const char* target;
};

void PrintTo (const Example& e, std::ostream* os) { *os << '"' << e.reference << '"'; }

class Rfc3986Normal : public ::testing::TestWithParam<Example> {};
class Rfc3986Abnormal : public ::testing::TestWithParam<Example> {};

constexpr const char* base = "http://a/b/c/d;p?q";

TEST_P (Rfc3986Normal, ResolvesAsTheRfcSays) { EXPECT_EQ (resolve (base, GetParam().reference), GetParam().target); }
TEST_P (Rfc3986Abnormal, ResolvesAsTheRfcSays) { EXPECT_EQ (resolve (base, GetParam().reference), GetParam().target); }

// Section 5.4.1.
INSTANTIATE_TEST_SUITE_P (MailRedirect, Rfc3986Normal, ::testing::Values (
    Example { "g:h", "g:h" }, Example { "g", "http://a/b/c/g" }, Example { "./g", "http://a/b/c/g" },
    Example { "g/", "http://a/b/c/g/" }, Example { "/g", "http://a/g" }, Example { "//g", "http://g" },
    Example { "?y", "http://a/b/c/d;p?y" }, Example { "g?y", "http://a/b/c/g?y" }, Example { "#s", "http://a/b/c/d;p?q#s" },
    Example { "g#s", "http://a/b/c/g#s" }, Example { "g?y#s", "http://a/b/c/g?y#s" }, Example { ";x", "http://a/b/c/;x" },
    Example { "g;x", "http://a/b/c/g;x" }, Example { "g;x?y#s", "http://a/b/c/g;x?y#s" }, Example { "", "http://a/b/c/d;p?q" },
    Example { ".", "http://a/b/c/" }, Example { "./", "http://a/b/c/" }, Example { "..", "http://a/b/" },
    Example { "../", "http://a/b/" }, Example { "../g", "http://a/b/g" }, Example { "../..", "http://a/" },
    Example { "../../", "http://a/" }, Example { "../../g", "http://a/g" }));

// Section 5.4.2, for a strict parser.
INSTANTIATE_TEST_SUITE_P (MailRedirect, Rfc3986Abnormal, ::testing::Values (
    Example { "../../../g", "http://a/g" }, Example { "../../../../g", "http://a/g" }, Example { "/./g", "http://a/g" },
    Example { "/../g", "http://a/g" }, Example { "g.", "http://a/b/c/g." }, Example { ".g", "http://a/b/c/.g" },
    Example { "g..", "http://a/b/c/g.." }, Example { "..g", "http://a/b/c/..g" }, Example { "./../g", "http://a/b/g" },
    Example { "./g/.", "http://a/b/c/g/" }, Example { "g/./h", "http://a/b/c/g/h" }, Example { "g/../h", "http://a/b/c/h" },
    Example { "g;x=1/./y", "http://a/b/c/g;x=1/y" }, Example { "g;x=1/../y", "http://a/b/c/y" },
    Example { "g?y/./x", "http://a/b/c/g?y/./x" }, Example { "g?y/../x", "http://a/b/c/g?y/../x" },
    Example { "g#s/./x", "http://a/b/c/g#s/./x" }, Example { "g#s/../x", "http://a/b/c/g#s/../x" },
    Example { "http:g", "http:g" }));

TEST (MailRedirect, AnEmptyPathUnderAnAuthorityMergesFromTheRoot)
{
    EXPECT_EQ (resolve ("http://a", "g"), "http://a/g");
    EXPECT_EQ (resolve ("http://a?q", "?y"), "http://a?y");
}

TEST (MailRedirect, SameOriginMeansSchemeHostAndPort)
{
    using KA::MailRedirect::haveSameOrigin;
    EXPECT_TRUE (haveSameOrigin ("https://Lists.Example/v1/signups", "HTTPS://lists.example:443/other?x"));
    EXPECT_TRUE (haveSameOrigin ("http://127.0.0.1:8080/a", "http://user@127.0.0.1:8080/b"));
    EXPECT_TRUE (haveSameOrigin ("http://[::1]:80/a", "http://[::1]/b"));
    EXPECT_FALSE (haveSameOrigin ("http://127.0.0.1:8080/a", "http://localhost:8080/a"));
    EXPECT_FALSE (haveSameOrigin ("http://127.0.0.1:8080/a", "http://127.0.0.1:8081/a"));
    EXPECT_FALSE (haveSameOrigin ("http://lists.example/a", "https://lists.example/a"));
    EXPECT_FALSE (haveSameOrigin ("ftp://lists.example/a", "ftp://lists.example/a"));
    EXPECT_FALSE (haveSameOrigin ("http:g", "http:g"));
}

TEST (MailRedirect, OnlyTheFiveRedirectStatusesAreFollowed)
{
    for (int status = 100; status < 600; ++status)
    {
        const auto redirect = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
        EXPECT_EQ (KA::MailRedirect::isRedirect (status), redirect) << status;
        EXPECT_EQ (KA::MailRedirect::keepsMethodAndBody (status), status == 307 || status == 308) << status;
    }
}
} // namespace
