#pragma once

namespace KA::Test
{
/** Counts heap allocations made on the calling thread while it exists. */
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();

    int count() const;

    /** False where neither the sanitizer's hooks nor our own operator new can count. */
    static bool isAvailable();
};
} // namespace KA::Test
