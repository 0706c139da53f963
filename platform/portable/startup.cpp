// The runtime's argument vector, as the portable backends' main() set it.
#include "framework/framework.h"
#include "portable/runtime.h"

int RuntimeArgc()
{
    return static_cast<int>(vyla::portable::Runtime::Current().arguments.size());
}

char** RuntimeArgv()
{
    return vyla::portable::Runtime::Current().argumentPointers.data();
}

long long CalendarTime()
{
    return vyla::portable::Runtime::Current().GetHost().CalendarTime();
}

void SeedRandom(unsigned seed)
{
    vyla::portable::Runtime::Current().randomState = seed;
}

int NextRandom()
{
    // The linear congruential generator the C standard gives as its example rand().
    auto& state = vyla::portable::Runtime::Current().randomState;
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state / 65536u) % 32768u);
}
