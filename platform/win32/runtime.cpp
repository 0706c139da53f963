// The runtime library's part of the framework on Windows: the argument
// vector the C runtime parsed, calendar time and the pseudo-random sequence.
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "framework/framework.h"
#include "framework/system_conventions.h"

namespace {
// One sequence per process, as the C library's rand has.
std::uint32_t gRandomState = 1;
}  // namespace

int RuntimeArgc()
{
    return __argc;
}

char** RuntimeArgv()
{
    return __argv;
}

long long CalendarTime()
{
    return static_cast<long long>(std::time(nullptr));
}

void SeedRandom(unsigned seed)
{
    gRandomState = seed;
}

int NextRandom()
{
    // The same linear congruential generator as every other backend, so a
    // seed gives the same slideshow order everywhere.
    gRandomState = gRandomState * 1103515245u + 12345u;
    return static_cast<int>((gRandomState / 65536u) % 32768u);
}

bool EmptyCommandLineConfigures()
{
    // Explorer's Configure starts a saver without arguments.
    return true;
}
