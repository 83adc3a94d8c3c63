#include "tests/ui/sidemenu/StalledNameLookUp.h"

#include <atomic>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <netdb.h>

namespace
{
// Plain atomics, no destructors: a look-up may still hang while the process ends.
std::atomic<int> begun { 0 };
std::atomic<bool> released { false };

bool isStalled (const char* node)
{
    const auto n = node != nullptr ? std::strlen (node) : 0, s = std::strlen (KA::Test::StalledNameLookUp::suffix);
    return n >= s && std::strcmp (node + n - s, KA::Test::StalledNameLookUp::suffix) == 0;
}
} // namespace

int KA::Test::StalledNameLookUp::numBegun() { return begun.load(); }
void KA::Test::StalledNameLookUp::release() { released = true; }

// Defined in the executable, this comes before the C library's (and the address
// sanitizer's) for every caller, libcurl's resolver thread included.
extern "C" int getaddrinfo (const char* node, const char* service, const struct addrinfo* hints, struct addrinfo** result)
{
    using LookUp = int (*) (const char*, const char*, const struct addrinfo*, struct addrinfo**);
    static const auto next = reinterpret_cast<LookUp> (::dlsym (RTLD_NEXT, "getaddrinfo"));

    if (! isStalled (node))
        return next (node, service, hints, result);

    ++begun;
    const timespec tick { 0, 10 * 1000 * 1000 };
    for (int waited = 0; waited < 20000 && ! released; waited += 10)
        ::nanosleep (&tick, nullptr);

    return EAI_NONAME;
}
