#include "tests/engine/product/AllocationCounter.h"

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
 #define KA_COUNT_WITH_SANITIZER_HOOKS 1
#elif defined(__has_feature)
 #if __has_feature(address_sanitizer)
  #define KA_COUNT_WITH_SANITIZER_HOOKS 1
 #endif
#endif

namespace
{
thread_local int depth = 0;
thread_local int allocations = 0;

void noteAllocation() noexcept
{
    if (depth > 0)
        ++allocations;
}
} // namespace

#if KA_COUNT_WITH_SANITIZER_HOOKS
// The sanitizer runtime's hook interface; GCC does not ship its header.
extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*mallocHook) (const volatile void*, size_t),
                                                          void (*freeHook) (const volatile void*));

namespace
{
void mallocHook (const volatile void*, size_t) { noteAllocation(); }
void freeHook (const volatile void*) {}

const bool hooksInstalled = __sanitizer_install_malloc_and_free_hooks (mallocHook, freeHook) != 0;
} // namespace
#else
// Without the sanitizer the test binary counts through its own operator new.
void* operator new (std::size_t size)
{
    noteAllocation();
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* operator new[] (std::size_t size) { return operator new (size); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }

namespace
{
const bool hooksInstalled = true;
} // namespace
#endif

namespace KA::Test
{
AllocationCounter::AllocationCounter()
{
    if (depth++ == 0)
        allocations = 0;
}

AllocationCounter::~AllocationCounter()
{
    --depth;
}

int AllocationCounter::count() const
{
    return allocations;
}

bool AllocationCounter::isAvailable()
{
    return hooksInstalled;
}
} // namespace KA::Test
