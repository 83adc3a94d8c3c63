#pragma once

namespace KA::Test::StalledNameLookUp
{
/** Host names ending in this are looked up for 20 s, or until release(), and then
    not found: a name server that never answers, inside the real look-up that libcurl
    makes (this test binary's getaddrinfo stands in front of the C library's). Every
    other name is looked up as usual. */
inline constexpr const char* suffix = ".stall.invalid";

/** How many look-ups of such a name have begun. */
int numBegun();

/** Ends the look-ups that hang, and makes later ones fail at once. */
void release();
} // namespace KA::Test::StalledNameLookUp
