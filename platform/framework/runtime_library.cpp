#include "framework/runtime_library.h"

#include "framework/platform_hooks.h"

void SeedRandom(unsigned seed)
{
    RandomState() = seed;
}

int NextRandom()
{
    // The linear congruential generator the C standard gives as its example rand().
    std::uint32_t& state = RandomState();
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state / 65536u) % 32768u);
}
